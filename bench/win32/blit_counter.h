// Counts what reaches the screen: every SetDIBitsToDevice call of this program, the
// saver's paint code included, and the pixels it hands over. Installed by swapping the
// program's own import slot, so counting costs an increment and no extra platform call.
#pragma once

#include <cstdint>

struct BlitCounts {
    uint64_t calls = 0;
    uint64_t pixels = 0;  // width * height of each call
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
};

// Routes this program's SetDIBitsToDevice through the counter; false when the import
// slot cannot be found or written (then nothing is counted).
bool InstallBlitCounter();

BlitCounts& TheBlitCounts();

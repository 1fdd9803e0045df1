// What the saver adds to the platform's part of each shape, without any platform call:
// the path step, the keyed stamp onto the screen-sized surface and the bottom-up copy of
// the stamped rectangle that its paint hands to SetDIBitsToDevice.
#pragma once

#include <cstdint>

// Microseconds per shape.
struct OwnWorkPart {
    double stamp = 0;  // path step and keyed stamp
    double rows = 0;   // bottom-up row copy
    double total = 0;
};

struct OwnWork {
    OwnWorkPart warm;  // shape after shape, caches warm
    OwnWorkPart cold;  // each shape starting with caches emptied, as between platform calls
};

// Takes about twice `seconds`; gives the fastest of its short chunks.
OwnWork MeasureOwnWork(int32_t width, int32_t height, double seconds);

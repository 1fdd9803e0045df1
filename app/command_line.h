// Which run mode the argument vector asks for, decided without touching the platform.
#pragma once

#include <cstdint>

enum class RunMode {
    None,         // unrecognised: the program ends at once without a window
    Configure,    // the configuration dialog
    Preview,      // a child animation window inside the display panel's window
    FullScreen,   // the full-screen saver
};

struct RunModeDecision {
    RunMode mode = RunMode::None;
    bool hasParent = false;       // Preview only: a handle argument with at least one digit
    uintptr_t parentHandle = 0;   // Preview only: the handle, pointer-sized
};

// argv[0] is the program itself; argc counts it.
RunModeDecision DecideRunMode(int argc, const char* const* argv);

// Decimal handle text: leading white space, one optional sign, digits up to the first
// non-digit. Values wrap modulo the pointer size, as the platform's own parsers do.
bool ParseWindowHandle(const char* text, uintptr_t& handle);

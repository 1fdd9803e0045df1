// The command line of the Linux program: xscreensaver's window options, one option per
// stored setting (overriding the settings file), presets and import.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"

struct HackOptions {
    enum class Target { OwnWindow, Root, WindowId };
    Target target = Target::OwnWindow;
    uint32_t windowId = 0;
    // Setting name and its text in the settings file's form, in command-line order.
    std::vector<std::pair<std::string, std::string>> values;
    std::string preset;      // --preset NAME
    std::string importFile;  // --import FILE
    std::string display;     // --display NAME
    bool save = false;       // --save: write the settings file and end
    bool help = false;
};

// False with a one-line reason for an unknown option, a missing or unreadable value.
// Options start with one or two dashes.
bool ParseHackOptions(int argc, const char* const* argv, HackOptions& out, std::string& error);

// An X window id: decimal or 0x hexadecimal, non-zero, 32 bits at most.
bool ParseWindowId(const std::string& text, uint32_t& id);

// A line per setting outside what the settings dialog can set (such values are still
// used as given, as on Windows).
std::vector<std::string> SettingsOutOfRange(const SaverSettings& s);

// The option summary printed by --help and after a bad option.
const char* HackUsage();

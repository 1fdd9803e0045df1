#include "linux/hack_options.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "presets/profile_forms.h"
#include "presets/text_file_profile.h"

namespace {

enum class Kind { Float, Number, Colour };

struct ValueOption {
    const char* name;
    Kind kind;
};

constexpr ValueOption kValueOptions[] = {
    {"angleX", Kind::Float},    {"angleY", Kind::Float},    {"angleZ", Kind::Float},    {"cbStep", Kind::Float},
    {"csStep", Kind::Float},    {"ambient", Kind::Float},   {"mirror", Kind::Float},    {"shape", Kind::Number},
    {"size1", Kind::Number},    {"size2", Kind::Number},    {"bound", Kind::Number},    {"phong", Kind::Number},
    {"randomly", Kind::Number}, {"switches", Kind::Number}, {"color0", Kind::Colour},   {"color1", Kind::Colour},
    {"color2", Kind::Colour},   {"color3", Kind::Colour},   {"color4", Kind::Colour},   {"color5", Kind::Colour},
    {"color6", Kind::Colour},
};

// "#RRGGBB", as colour pickers write it, to the stored red + 256 green + 65536 blue.
bool ParseHashColour(const std::string& text, std::string& stored) {
    uint32_t rgb = 0;
    if (text.size() != 7 || text[0] != '#' || !ParseProfileNumber("0x" + text.substr(1), rgb)) return false;
    stored = std::to_string((rgb >> 16 & 255) | (rgb & 0xFF00) | (rgb & 255) << 16);
    return true;
}

bool StoredForm(Kind kind, const std::string& text, std::string& stored) {
    float f = 0;
    uint32_t n = 0;
    stored = text;
    switch (kind) {
        case Kind::Float: return ScanProfileFloat(text, f);
        case Kind::Colour:
            if (ParseHashColour(text, stored)) return true;
            [[fallthrough]];
        case Kind::Number: return ParseProfileNumber(text, n);
    }
    return false;
}

}  // namespace

bool ParseWindowId(const std::string& text, uint32_t& id) {
    uint32_t value = 0;
    // The number reader allows blanks and a minus (" -5" wraps to a huge id): not here.
    if (text.find_first_of(" \t\r\n-") != std::string::npos || !ParseProfileNumber(text, value) || value == 0)
        return false;
    id = value;
    return true;
}

bool ParseHackOptions(int argc, const char* const* argv, HackOptions& out, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.compare(0, 2, "--") == 0) arg.erase(0, 1);  // xscreensaver takes "--x" as "-x"
        if (arg.size() < 2 || arg[0] != '-') {
            error = "unexpected argument \"" + std::string(argv[i]) + "\"";
            return false;
        }
        const std::string name = arg.substr(1);
        if (name == "root") { out.target = HackOptions::Target::Root; continue; }
        if (name == "window") { out.target = HackOptions::Target::OwnWindow; continue; }
        if (name == "save") { out.save = true; continue; }
        if (name == "help" || name == "h") { out.help = true; continue; }
        const ValueOption* option = nullptr;
        for (const ValueOption& v : kValueOptions)
            if (name == v.name) option = &v;
        const bool named = name == "window-id" || name == "preset" || name == "import" || name == "display";
        if (option == nullptr && !named) {
            error = "unknown option " + std::string(argv[i]);
            return false;
        }
        if (i + 1 >= argc) {
            error = "option " + std::string(argv[i]) + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (name == "window-id") {
            if (!ParseWindowId(value, out.windowId)) {
                error = "window id \"" + value + "\" is not a decimal or 0x hexadecimal number";
                return false;
            }
            continue;
        }
        if (name == "preset") out.preset = value;
        if (name == "import") out.importFile = value;
        if (name == "display") out.display = value;
        if (option == nullptr) continue;
        // A colour field left empty in xscreensaver's settings dialog: keep the stored one.
        if (option->kind == Kind::Colour && value.empty()) continue;
        std::string stored;
        if (!StoredForm(option->kind, value, stored)) {
            error = "--" + name + " \"" + value + "\" is not " +
                    (option->kind == Kind::Float ? "a number" : option->kind == Kind::Colour
                                                                     ? "a colour (#RRGGBB or a 32-bit number)"
                                                                     : "a 32-bit number");
            return false;
        }
        out.values.emplace_back(option->name, stored);
    }
    // As in xscreensaver's hacks, a given window wins over -root and -window.
    if (out.windowId != 0) out.target = HackOptions::Target::WindowId;
    return true;
}

std::vector<std::string> SettingsOutOfRange(const SaverSettings& s) {
    struct Range {
        const char* name;
        double value, low, high;
    };
    const Range ranges[] = {
        {"shape", double(s.shape), 0, 2},       {"size1", double(s.size1), 5, 50},
        {"size2", double(s.size2), 5, 50},      {"phong", double(s.phong), 0, 20},
        {"mirror", double(s.mirror), 0, 1},     {"ambient", double(s.ambient), 0, 1},
        {"angleX", double(s.angleX), -1e6, 1e6}, {"angleY", double(s.angleY), -1e6, 1e6},
        {"angleZ", double(s.angleZ), -1e6, 1e6}, {"cbStep", double(s.cbStep), -1e6, 1e6},
        {"csStep", double(s.csStep), -1e6, 1e6},
    };
    std::vector<std::string> lines;
    for (const Range& r : ranges) {
        if (r.value >= r.low && r.value <= r.high) continue;  // NaN fails both
        char line[160];
        std::snprintf(line, sizeof line, "%s %g is outside %g..%g; used as given", r.name, r.value, r.low, r.high);
        lines.emplace_back(line);
    }
    return lines;
}

const char* HackUsage() {
    return "usage: tindlbrg [-root | -window | -window-id ID] [--preset NAME] [--import FILE.pre] [--save]\n"
           "                [--display NAME] [--NAME VALUE]...\n"
           "  NAME VALUE sets one stored value for this run, over ~/.config/tindlbrg/settings:\n"
           "  angleX angleY angleZ cbStep csStep ambient mirror (numbers), shape (0 sphere, 2 torus),\n"
           "  size1 size2 (5..50), phong (0..20), bound randomly (0/1), switches (bit mask 0..127),\n"
           "  color0..color6 (#RRGGBB, or red + 256 green + 65536 blue).\n"
           "  --save writes the settings file with the values given and ends.\n";
}

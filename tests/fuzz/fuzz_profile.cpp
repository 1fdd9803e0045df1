// Profiles as a registry may hold them. Input: a line per value of kNames, "t" and a text, "n" and
// a number, else absent. What loading then saving writes loads back to itself (the scanner's own
// rules are the unit tests' table).
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "presets/memory_profile.h"
#include "presets/profile_forms.h"

namespace {

const char* const kNames[21] = {"angleX", "angleY", "angleZ", "cbStep",   "csStep",   "ambient", "mirror",
                                "shape",  "size1",  "size2",  "bound",    "phong",    "randomly", "switches",
                                "color0", "color1", "color2", "color3",   "color4",   "color5",  "color6"};

// Loads `profile` over the built-in settings and saves them into `saved`.
void LoadAndSave(MemoryProfile& profile, MemoryProfile& saved) {
    SaverSettings settings{};
    RunState runState{};
    SetDefaults(settings, runState);
    LoadProfile(profile, settings);
    SaveProfile(saved, settings);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    MemoryProfile profile, saved, again;
    for (size_t i = 0, at = 0, end = 0; i < 21 && at <= input.size(); ++i, at = end + 1) {
        end = std::min(input.find('\n', at), input.size());
        const std::string line = input.substr(at, end - at);
        uint32_t number = 0;
        for (const char c : line)
            if (c >= '0' && c <= '9') number = number * 10u + static_cast<uint32_t>(c - '0');
        if (line[0] == 't') profile.SetText(kProfileSection, kNames[i], line.substr(1));
        if (line[0] == 'n') profile.SetNumber(kProfileSection, kNames[i], number);
    }
    LoadAndSave(profile, saved);
    LoadAndSave(saved, again);
    for (int i = 0; i < 21; ++i) {
        const MemoryProfile::Value* out = saved.Find(kProfileSection, kNames[i]);
        const MemoryProfile::Value* back = again.Find(kProfileSection, kNames[i]);
        FUZZ_CHECK(out && back && out->isText == (i < 7) && back->isText == out->isText);
        FUZZ_CHECK(out->isText ? back->text == out->text : back->number == out->number);
    }
    return 0;
}

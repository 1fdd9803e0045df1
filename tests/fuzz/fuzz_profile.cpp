// Profiles as a registry may hold them. Input: a line per value of kNames, "t" and a text, "n" and
// a number, else absent. Floats load as strtof reads them (hexadecimal: the leading 0) and save as
// "%f"; numbers save back as stored (switches their low 7 bits, colours their low 24) or the fallback.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "presets/memory_profile.h"
#include "presets/profile_forms.h"

namespace {

const char* const kNames[21] = {"angleX", "angleY", "angleZ", "cbStep",   "csStep",   "ambient", "mirror",
                                "shape",  "size1",  "size2",  "bound",    "phong",    "randomly", "switches",
                                "color0", "color1", "color2", "color3",   "color4",   "color5",  "color6"};
float SaverSettings::*const kFloats[7] = {&SaverSettings::angleX, &SaverSettings::angleY,  &SaverSettings::angleZ,
                                          &SaverSettings::cbStep, &SaverSettings::csStep, &SaverSettings::ambient,
                                          &SaverSettings::mirror};

const MemoryProfile::Value& Saved(const MemoryProfile& profile, const char* name) {
    const MemoryProfile::Value* v = profile.Find(kProfileSection, name);
    FUZZ_CHECK(v != nullptr);
    return *v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    MemoryProfile profile, saved, fallbacks;
    for (size_t i = 0, at = 0, end = 0; i < 21 && at <= input.size(); ++i, at = end + 1) {
        end = std::min(input.find('\n', at), input.size());
        const std::string line = input.substr(at, end - at);
        uint32_t number = 0;
        for (const char c : line)
            if (c >= '0' && c <= '9') number = number * 10u + static_cast<uint32_t>(c - '0');
        if (line[0] == 't') profile.SetText(kProfileSection, kNames[i], line.substr(1));
        if (line[0] == 'n') profile.SetNumber(kProfileSection, kNames[i], number);
    }
    SaverSettings settings{};
    RunState runState{};
    SetDefaults(settings, runState);
    settings.randomly = 5;  // the profile's fallback for it is 0, not the current value
    SaveProfile(fallbacks, settings);
    LoadProfile(profile, settings);
    SaveProfile(saved, settings);
    for (int i = 0; i < 21; ++i) {
        const MemoryProfile::Value* stored = profile.Find(kProfileSection, kNames[i]);
        const MemoryProfile::Value& out = Saved(saved, kNames[i]);
        if (i >= 7) {
            const uint32_t mask = i == 13 ? 127u : i >= 14 ? 0xFFFFFFu : ~0u;
            const bool number = stored != nullptr && !stored->isText;
            FUZZ_CHECK(out.number == (number ? stored->number & mask : i == 12 ? 0u : Saved(fallbacks, kNames[i]).number));
            continue;
        }
        const float value = settings.*kFloats[i];
        char printed[128];
        std::snprintf(printed, sizeof printed, "%f", static_cast<double>(value));
        FUZZ_CHECK(out.text == printed || (value != value && out.text.find("nan") != std::string::npos));
        float ours = 0.0f;
        const bool text = stored != nullptr && stored->isText, read = text && ScanProfileFloat(stored->text, ours);
        FUZZ_CHECK(read ? SameFloat(value, ours) : out.text == Saved(fallbacks, kNames[i]).text);
        if (!text) continue;
        const char* begin = stored->text.c_str();
        const char* digits = begin + std::strspn(begin, " \t\n\v\f\r");
        digits += *digits == '+' || *digits == '-';
        char* end = nullptr;
        const float library = std::strtof(begin, &end);
        if (digits[0] == '0' && (digits[1] | 0x20) == 'x') {
            FUZZ_CHECK(read && ours == 0.0f);
        } else {
            FUZZ_CHECK(read == (end != begin) && (!read || SameFloat(ours, library)));
        }
    }
    return 0;
}

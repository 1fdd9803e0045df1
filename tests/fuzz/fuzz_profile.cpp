// Profiles as a registry may hold them. Input: one line per value of kNames, "t" and a
// text, "n" and a decimal number, else absent. Floats load as strtof reads the text (our
// scanner is locale-free and must agree), save as printf's "%f" and read back the same;
// numbers save back as stored or as the fallback; saved and loaded saves the same again.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// Six decimals as printf gives them, read back as the nearest float: within half a unit
// of the sixth decimal and half a float step.
void CheckFloatText(float f) {
    const std::string text = FormatProfileFloat(f);
    char printed[128];
    std::snprintf(printed, sizeof printed, "%f", static_cast<double>(f));
    FUZZ_CHECK(text == printed || (std::isnan(f) && text.find("nan") != std::string::npos));
    float back = 0.0f;
    FUZZ_CHECK(ScanProfileFloat(text, back) && FormatProfileFloat(back) == text);
    const double error = std::fabs(static_cast<double>(back) - static_cast<double>(f));
    FUZZ_CHECK(std::isnan(f) ? std::isnan(back) : std::isinf(f) ? back == f
                             : error <= 5e-7 + std::ldexp(std::fabs(static_cast<double>(f)), -24) + 1e-45);
}

const MemoryProfile::Value& Saved(const MemoryProfile& profile, const char* name) {
    const MemoryProfile::Value* v = profile.Find(kProfileSection, name);
    FUZZ_CHECK(v != nullptr);
    return *v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    MemoryProfile profile;
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
    const SaverSettings before = settings;
    LoadProfile(profile, settings);
    MemoryProfile saved, fallbacks;
    SaveProfile(saved, settings);
    SaveProfile(fallbacks, before);
    for (int i = 0; i < 21; ++i) {
        const MemoryProfile::Value* stored = profile.Find(kProfileSection, kNames[i]);
        if (i < 7) {
            float expected = before.*kFloats[i];
            // strtof as a second opinion; hexadecimal floats are C99's, not "%f" text of
            // ours: our scanner reads their leading 0 only.
            if (stored != nullptr && stored->isText) {
                const char* text = stored->text.c_str();
                const char* digits = text + std::strspn(text, " \t\n\v\f\r");
                digits += *digits == '+' || *digits == '-';
                const bool hex = digits[0] == '0' && (digits[1] | 0x20) == 'x';
                char* end = nullptr;
                const float library = std::strtof(text, &end);
                float ours = 0.0f;
                const bool read = ScanProfileFloat(stored->text, ours);
                FUZZ_CHECK(hex ? read && ours == 0.0f : read == (end != text) && (!read || SameFloat(ours, library)));
                if (read) expected = ours;
            }
            FUZZ_CHECK(SameFloat(settings.*kFloats[i], expected));
            CheckFloatText(settings.*kFloats[i]);
            continue;
        }
        // Switches keep their low seven bits, colours their low 24.
        const uint32_t mask = i == 13 ? 127u : i >= 14 ? 0xFFFFFFu : ~0u;
        const bool number = stored != nullptr && !stored->isText;
        FUZZ_CHECK(Saved(saved, kNames[i]).number ==
                   (number ? stored->number & mask : i == 12 ? 0u : Saved(fallbacks, kNames[i]).number));
        if (number) CheckFloatText(FloatFromBits(stored->number));  // every bit pattern as a float
    }
    for (int i = 0; i < kShapeSlots; ++i)  // a switch holds the value of its bit
        FUZZ_CHECK(static_cast<uint32_t>(settings.switches[i]) == (Saved(saved, "switches").number & (1u << i)));
    SaverSettings reloaded{};
    SetDefaults(reloaded, runState);
    LoadProfile(saved, reloaded);
    MemoryProfile resaved;
    SaveProfile(resaved, reloaded);
    for (const char* name : kNames) {
        const MemoryProfile::Value &a = Saved(saved, name), &b = Saved(resaved, name);
        FUZZ_CHECK(a.isText == b.isText && a.text == b.text && a.number == b.number);
    }
    return 0;
}

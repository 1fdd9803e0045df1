// Profiles as a registry may hold them: each of the 21 values absent, a text or a number,
// whatever its proper type. Input: one line per value, in the order of kValueNames;
// "t" and the text, "n" and a decimal number (wrapping at 32 bits), anything else absent.
//
// Loading takes a number value as stored, or its fallback; a float value from its text
// exactly as the C library's strtof reads it (our own scanner is locale-free and has to
// agree). Floats go through the "%f" text consistently: saving rounds to six decimals as
// printf does, and what was saved and loaded saves again as the same text.
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "presets/memory_profile.h"
#include "presets/profile_forms.h"

namespace {

constexpr int kFloatCount = 7;
constexpr int kValueCount = 21;
const char* const kValueNames[kValueCount] = {
    "angleX", "angleY", "angleZ", "cbStep",   "csStep",   "ambient", "mirror",
    "shape",  "size1",  "size2",  "bound",    "phong",    "randomly", "switches",
    "color0", "color1", "color2", "color3",   "color4",   "color5",  "color6",
};
float SaverSettings::*const kFloatFields[kFloatCount] = {
    &SaverSettings::angleX, &SaverSettings::angleY,  &SaverSettings::angleZ, &SaverSettings::cbStep,
    &SaverSettings::csStep, &SaverSettings::ambient, &SaverSettings::mirror,
};
int32_t SaverSettings::*const kNumberFields[] = {
    &SaverSettings::shape, &SaverSettings::size1, &SaverSettings::size2,
    &SaverSettings::bound, &SaverSettings::phong,
};

struct Stored {
    enum Kind { kAbsent, kText, kNumber } kind = kAbsent;
    std::string text;
    uint32_t number = 0;
};

uint32_t ParseNumber(const std::string& digits) {
    uint32_t value = 0;
    for (const char c : digits)
        if (c >= '0' && c <= '9') value = value * 10u + static_cast<uint32_t>(c - '0');
    return value;
}

// strtof as a second opinion. Hexadecimal floats are C99's, not "%f" text of ours: our
// scanner reads their leading 0 only.
bool LibraryScan(const std::string& text, float& value, bool& hexadecimal) {
    const char* begin = text.c_str();
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    hexadecimal = text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0;
    char* end = nullptr;
    errno = 0;
    const float read = std::strtof(begin, &end);
    if (end == begin) return false;
    value = read;
    return true;
}

void CheckFloatText(float f) {
    const std::string text = FormatProfileFloat(f);
    char printed[128];
    std::snprintf(printed, sizeof printed, "%f", static_cast<double>(f));
    FUZZ_CHECK(text == printed || (std::isnan(f) && text.find("nan") != std::string::npos));

    float back = 0.0f;
    FUZZ_CHECK(ScanProfileFloat(text, back));
    FUZZ_CHECK(FormatProfileFloat(back) == text);
    if (std::isnan(f)) {
        FUZZ_CHECK(std::isnan(back));
    } else if (std::isinf(f)) {
        FUZZ_CHECK(back == f);
    } else {
        // Six decimals, then the nearest float: within half a unit of the sixth decimal
        // and half a float step.
        const double error = std::fabs(static_cast<double>(back) - static_cast<double>(f));
        FUZZ_CHECK(error <= 5e-7 + std::ldexp(std::fabs(static_cast<double>(f)), -24) + 1e-45);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    Stored stored[kValueCount];
    MemoryProfile profile;
    size_t at = 0;
    for (int i = 0; i < kValueCount && at <= input.size(); ++i) {
        size_t end = input.find('\n', at);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(at, end - at);
        at = end + 1;
        if (line.empty()) continue;
        if (line[0] == 't') {
            stored[i].kind = Stored::kText;
            stored[i].text = line.substr(1);
            profile.SetText(kProfileSection, kValueNames[i], stored[i].text);
        } else if (line[0] == 'n') {
            stored[i].kind = Stored::kNumber;
            stored[i].number = ParseNumber(line.substr(1));
            profile.SetNumber(kProfileSection, kValueNames[i], stored[i].number);
        }
    }

    SaverSettings settings{};
    RunState runState{};
    SetDefaults(settings, runState);
    settings.randomly = 5;  // the profile's fallback for it is 0, not the current value
    const SaverSettings before = settings;
    LoadProfile(profile, settings);

    for (int i = 0; i < kFloatCount; ++i) {
        const float loaded = settings.*kFloatFields[i];
        float expected = before.*kFloatFields[i];
        if (stored[i].kind == Stored::kText) {
            float ours = 0.0f;
            const bool oursRead = ScanProfileFloat(stored[i].text, ours);
            bool hexadecimal = false;
            float library = 0.0f;
            const bool libraryRead = LibraryScan(stored[i].text, library, hexadecimal);
            if (hexadecimal) {
                FUZZ_CHECK(oursRead && ours == 0.0f);
            } else {
                FUZZ_CHECK(oursRead == libraryRead);
                FUZZ_CHECK(!oursRead || SameFloat(ours, library));
            }
            if (oursRead) expected = ours;
        }
        FUZZ_CHECK(SameFloat(loaded, expected));
        CheckFloatText(loaded);
    }
    // Number values as floats: every bit pattern goes through the text form.
    for (int i = kFloatCount; i < kValueCount; ++i)
        if (stored[i].kind == Stored::kNumber) CheckFloatText(FloatFromBits(stored[i].number));

    auto number = [&](int i, uint32_t fallback) {
        return stored[i].kind == Stored::kNumber ? stored[i].number : fallback;
    };
    for (int i = 0; i < 5; ++i)
        FUZZ_CHECK(settings.*kNumberFields[i] ==
                   static_cast<int32_t>(number(kFloatCount + i, static_cast<uint32_t>(before.*kNumberFields[i]))));
    FUZZ_CHECK(settings.randomly == static_cast<int32_t>(number(12, 0)));
    const uint32_t mask = number(13, 127);
    for (int i = 0; i < kShapeSlots; ++i) {
        FUZZ_CHECK(static_cast<uint32_t>(settings.switches[i]) == (mask & (1u << i)));
        const uint32_t colour = number(14 + i, PackColor(before.color[i]));
        FUZZ_CHECK(settings.color[i].red == static_cast<int32_t>(colour & 255) &&
                   settings.color[i].green == static_cast<int32_t>((colour >> 8) & 255) &&
                   settings.color[i].blue == static_cast<int32_t>((colour >> 16) & 255));
    }

    // Save, load, save: the second save writes exactly what the first did.
    MemoryProfile saved;
    SaveProfile(saved, settings);
    FUZZ_CHECK(saved.Size() == kValueCount);
    SaverSettings reloaded{};
    SetDefaults(reloaded, runState);
    LoadProfile(saved, reloaded);
    MemoryProfile resaved;
    SaveProfile(resaved, reloaded);
    for (const char* name : kValueNames) {
        const MemoryProfile::Value* a = saved.Find(kProfileSection, name);
        const MemoryProfile::Value* b = resaved.Find(kProfileSection, name);
        FUZZ_CHECK(a != nullptr && b != nullptr);
        FUZZ_CHECK(a->isText == b->isText && a->text == b->text && a->number == b->number);
    }
    for (int i = 0; i < 5; ++i) FUZZ_CHECK(reloaded.*kNumberFields[i] == settings.*kNumberFields[i]);
    for (int i = 0; i < kShapeSlots; ++i) FUZZ_CHECK((reloaded.switches[i] != 0) == (settings.switches[i] != 0));
    return 0;
}

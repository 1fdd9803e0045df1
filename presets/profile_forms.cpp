#include "presets/profile_forms.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace {

struct FloatValue {
    const char* name;
    float SaverSettings::*field;
};

// The float values in the order they are both loaded and saved.
constexpr FloatValue kFloatValues[] = {
    {"angleX", &SaverSettings::angleX}, {"angleY", &SaverSettings::angleY},
    {"angleZ", &SaverSettings::angleZ}, {"cbStep", &SaverSettings::cbStep},
    {"csStep", &SaverSettings::csStep}, {"ambient", &SaverSettings::ambient},
    {"mirror", &SaverSettings::mirror},
};

struct NumberValue {
    const char* name;
    int32_t SaverSettings::*field;
};

// Number values whose fallback is the setting's current value. Saving writes
// `randomly` first, loading reads it after these with a fallback of its own.
constexpr NumberValue kNumberValues[] = {
    {"shape", &SaverSettings::shape}, {"size1", &SaverSettings::size1},
    {"size2", &SaverSettings::size2}, {"bound", &SaverSettings::bound},
    {"phong", &SaverSettings::phong},
};

constexpr char kRandomlyName[] = "randomly";
constexpr char kSwitchesName[] = "switches";
constexpr uint32_t kAllSwitchesOn = 127;

std::string ColorValueName(int slot) { return "color" + std::to_string(slot); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// White space as the "C" locale's isspace sees it.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool StartsWithNoCase(const char* p, const char* end, const char* word) {
    for (; *word != '\0'; ++p, ++word) {
        if (p == end) return false;
        const char lower = (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
        if (lower != *word) return false;
    }
    return true;
}

const char* SkipDigits(const char* p, const char* end) {
    while (p != end && IsDigit(*p)) ++p;
    return p;
}

// End of the longest prefix of [p, end) that is an unsigned decimal number; p itself
// when there is none. A dangling exponent ("1e", "1e+") is not part of the number.
const char* DecimalEnd(const char* p, const char* end) {
    const char* q = SkipDigits(p, end);
    bool anyDigit = q != p;
    if (q != end && *q == '.') {
        const char* fraction = q + 1;
        q = SkipDigits(fraction, end);
        anyDigit = anyDigit || q != fraction;
    }
    if (!anyDigit) return p;
    if (q != end && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (e != end && (*e == '+' || *e == '-')) ++e;
        const char* exponentEnd = SkipDigits(e, end);
        if (exponentEnd != e) q = exponentEnd;
    }
    return q;
}

// For a number the float cannot hold: whether it is too large (rather than too small).
// Works on the decimal exponent of the leading significant digit, saturated, so any
// length of digits or exponent is harmless.
bool BeyondFloatRange(const char* p, const char* end) {
    constexpr long kLimit = 1000000;
    long magnitude = 0;
    bool significant = false;
    for (; p != end && IsDigit(*p); ++p) {
        significant = significant || *p != '0';
        if (significant) magnitude = std::min(magnitude + 1, kLimit);
    }
    if (p != end && *p == '.') {
        for (++p; p != end && IsDigit(*p); ++p) {
            if (!significant && *p == '0') magnitude = std::max(magnitude - 1, -kLimit);
            significant = significant || *p != '0';
        }
    }
    long exponent = 0;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = p != end && *p == '-';
        if (p != end && (*p == '+' || *p == '-')) ++p;
        for (; p != end && IsDigit(*p); ++p) exponent = std::min(exponent * 10 + (*p - '0'), kLimit);
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent > 0;
}

}  // namespace

std::string FormatProfileFloat(float value) {
    // A widened float needs at most 39 integer digits, a sign, a point and six decimals.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return std::string();
    return std::string(buffer, result.ptr);
}

bool ScanProfileFloat(const std::string& text, float& value) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && IsSpace(*p)) ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }

    float magnitude = 0.0f;
    if (StartsWithNoCase(p, end, "inf")) {
        magnitude = std::numeric_limits<float>::infinity();
    } else if (StartsWithNoCase(p, end, "nan")) {
        magnitude = std::numeric_limits<float>::quiet_NaN();
    } else {
        const char* numberEnd = DecimalEnd(p, end);
        if (numberEnd == p) return false;
        const auto result = std::from_chars(p, numberEnd, magnitude, std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range) {
            // Scanning saturates: overflow gives infinity, underflow zero.
            magnitude = BeyondFloatRange(p, numberEnd) ? std::numeric_limits<float>::infinity() : 0.0f;
        } else if (result.ec != std::errc()) {
            return false;
        }
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

void LoadProfile(Profile& profile, SaverSettings& settings) {
    for (const FloatValue& v : kFloatValues) {
        float read = 0.0f;
        if (ScanProfileFloat(profile.ReadText(kProfileSection, v.name), read)) settings.*v.field = read;
    }
    for (const NumberValue& v : kNumberValues) {
        const uint32_t current = static_cast<uint32_t>(settings.*v.field);
        settings.*v.field = static_cast<int32_t>(profile.ReadNumber(kProfileSection, v.name, current));
    }
    settings.randomly = static_cast<int32_t>(profile.ReadNumber(kProfileSection, kRandomlyName, 0));
    UnpackSwitches(profile.ReadNumber(kProfileSection, kSwitchesName, kAllSwitchesOn), settings.switches);
    for (int i = 0; i < kShapeSlots; ++i) {
        const uint32_t current = PackColor(settings.color[i]);
        settings.color[i] = UnpackColor(profile.ReadNumber(kProfileSection, ColorValueName(i).c_str(), current));
    }
}

void SaveProfile(Profile& profile, const SaverSettings& settings) {
    for (const FloatValue& v : kFloatValues)
        profile.WriteText(kProfileSection, v.name, FormatProfileFloat(settings.*v.field));
    profile.WriteNumber(kProfileSection, kRandomlyName, static_cast<uint32_t>(settings.randomly));
    for (const NumberValue& v : kNumberValues)
        profile.WriteNumber(kProfileSection, v.name, static_cast<uint32_t>(settings.*v.field));
    for (int i = 0; i < kShapeSlots; ++i)
        profile.WriteNumber(kProfileSection, ColorValueName(i).c_str(), PackColor(settings.color[i]));
    profile.WriteNumber(kProfileSection, kSwitchesName, PackSwitches(settings.switches));
}

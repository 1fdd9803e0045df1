// The settings as they are kept in the profile: seven floats as "%f" text, the rest as
// 32-bit numbers, all in the section "Config".
#pragma once

#include <string>

#include "app/settings.h"
#include "presets/profile.h"

// The company key above the program's own; the per-user folder of the presets bears the
// same name.
constexpr char kCompanyName[] = "Pellucid Works";
constexpr char kProfileSection[] = "Config";

// "%f" of the value widened to double: fixed notation, six decimals, rounded, with a
// point whatever the process locale ("inf", "nan" for the non-finite values).
std::string FormatProfileFloat(float value);

// "%f" scanning: leading white space is skipped and the longest prefix that forms a
// decimal number (sign, digits, point, exponent), or an "inf"/"infinity"/"nan", is
// converted; the rest is ignored. Locale-independent. False, with `value` untouched,
// when no number starts the text.
bool ScanProfileFloat(const std::string& text, float& value);

// Overwrites the settings from the profile; a value the profile lacks or cannot convert
// leaves the setting as it was, except `randomly` (0) and the switches (all on).
void LoadProfile(Profile& profile, SaverSettings& settings);

// Writes all 21 values. The results of the writes are not looked at: a profile that
// cannot be written simply keeps what it had.
void SaveProfile(Profile& profile, const SaverSettings& settings);

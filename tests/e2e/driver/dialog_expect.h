// What every control of the configuration dialog must show for a set of settings.
#pragma once

#include <cstdint>
#include <string>

#include "profile.h"

class ConfigDialog;

// A packed colour (red + 256 green + 65536 blue) as the screen shows it, 0x00RRGGBB.
constexpr uint32_t ScreenRgb(uint32_t packed) {
    return (packed & 0xFF) << 16 | (packed & 0xFF00) | (packed >> 16 & 0xFF);
}

// The trackbar position a setting shows: the value (a float times 100, truncated) held
// inside the trackbar's range.
int ShownPosition(int value, int min, int max);
int PercentShown(float value);

// Checks every control against the settings: the seven "on" boxes and colour buttons,
// the five trackbars (range and position), "Bound" (checked and enabled), "Sphere" and
// "Torus", and "Choose presets randomly". Fails with every difference at once.
void ExpectControlsShow(ConfigDialog& dialog, const Profile& settings, const std::string& when);

// A full set of the 21 settings values the saver reads from the registry, written all
// at once so that no case depends on what the saver falls back to.
#pragma once

#include <cstdint>

constexpr int kSlots = 7;

// Colours travel as red + 256 * green + 65536 * blue.
constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) { return red | green << 8 | blue << 16; }

struct Profile {
    // The saver's own starting values, so a case states only what it changes.
    float angleX = 1.0f;
    float angleY = 1.0f;
    float angleZ = -1.0f;
    float cbStep = 1.46f;
    float csStep = 0.01f;
    float ambient = 0.34f;
    float mirror = 0.995f;
    int32_t shape = 0;
    int32_t size1 = 30;
    int32_t size2 = 29;
    int32_t bound = 1;
    int32_t phong = 4;
    int32_t randomly = 0;
    uint32_t switches = 127;  // bit i = slot i
    uint32_t color[kSlots] = {Rgb(255, 0, 0),     Rgb(0, 255, 0),     Rgb(0, 0, 255),    Rgb(178, 178, 0),
                              Rgb(0, 178, 178),   Rgb(178, 0, 178),   Rgb(128, 128, 128)};
};

// Only slot 0 drawn and both speeds 0: every shape lands on the same spot, so the screen
// must show exactly one image on black.
Profile StillProfile();

// Writes all 21 values: the seven floats as "%f" text, the rest as numbers.
void WriteProfile(const Profile& profile);

// A float as the saver gets it back from its "%f" text.
float ThroughText(float value);

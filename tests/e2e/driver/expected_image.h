// What the full-screen saver must show when every shape lands on one spot: the shape
// image rendered by the project's own image code from the same settings, at the spot
// where the path starts when both speeds are 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "preset_store.h"
#include "profile.h"

// The settings that decide how one slot's image looks.
struct ShapeLook {
    float angleX, angleY, angleZ, ambient, mirror;
    int32_t shape, size1, size2, phong;
    uint32_t colour;  // packed red + 256 * green + 65536 * blue
};

// Floats as the saver reads them back from their registry text.
ShapeLook LookOf(const Profile& profile, int slot);
ShapeLook LookOf(const PresetRecord& record, int slot);

struct ExpectedStamp {
    int x = 0;  // top-left corner on the screen
    int y = 0;
    int side = 0;
    std::vector<uint32_t> pixels;  // side * side, 0x00RRGGBB, 0 = transparent
    uint32_t At(int col, int row) const { return pixels[static_cast<size_t>(row) * side + col]; }
};

// The image and where it lands on a screen of the given size with cbStep = csStep = 0.
ExpectedStamp ExpectedStillStamp(const ShapeLook& look, int screenWidth, int screenHeight);

// Empty when the screen shows exactly that image on black, else what differs (the first
// few differing pixels and the count).
std::string CompareWithScreen(const ExpectedStamp& stamp, const class Screenshot& shot);

// The scale of the path and the images: even screen width / 640.
double ScaleFor(int screenWidth);

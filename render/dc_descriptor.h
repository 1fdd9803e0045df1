// The description of a block of pixels shared by images and drawing surfaces.
#pragma once

#include <cstdint>

// Bits of DC_DESCRIPTOR::flags.
constexpr int32_t kDescRowTable = 1 << 0;
constexpr int32_t kDescStrideRounded = 1 << 1;
constexpr int32_t kDescSourceBlend = 1 << 2;
constexpr int32_t kDescColorKeySet = 1 << 14;

struct DC_DESCRIPTOR {
    int32_t width = 0;
    int32_t height = 0;
    int32_t flags = 0;
    int32_t clipX = 0;
    int32_t clipY = 0;
    int32_t clipWidth = 0;
    int32_t clipHeight = 0;
    uint32_t colour = 0x00FFFFFF;
    int32_t colourKey = -1;
    int32_t bitsPerPixel = 32;
    int32_t bytesPerRow = 0;
    int32_t stride = 0;
    uint8_t* pixels = nullptr;  // top row first
    int32_t unused0 = 0;
    int32_t unused1 = 0;
    int32_t bytesPerPixel = 4;
    int32_t alpha = 255;
    void* rowTable = nullptr;
};

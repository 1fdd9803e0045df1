// Checks that abort (libFuzzer keeps the input), little-endian words (missing bytes 0), every shape image's form.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/button_image_creator.h"

[[noreturn]] inline void FuzzCheckFailed(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}
#define FUZZ_CHECK(condition) ((condition) ? void() : FuzzCheckFailed(__FILE__, __LINE__, #condition))

struct WordReader {
    const uint8_t* data;
    size_t size, at = 0;
    uint32_t Word() {
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i, ++at) word |= at < size ? uint32_t{data[at]} << (8 * i) : 0;
        return word;
    }
    float Float() {
        const uint32_t bits = Word();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
};

inline std::vector<uint32_t> ImagePixels(const Image& image) {
    const DC_DESCRIPTOR& d = image.descriptor;
    std::vector<uint32_t> pixels(static_cast<size_t>(d.width) * static_cast<size_t>(d.height));
    if (!pixels.empty()) std::memcpy(pixels.data(), d.pixels, pixels.size() * 4);
    return pixels;
}

// Side 2R + 3 for a supported radius, nothing at all otherwise; runs that fit the image;
// every pixel the key 0 or each channel at least 1 and a top byte of 0.
inline void CheckShapeImage(const ButtonImageCreator& creator, const ShapeImageParams& p) {
    const Image& image = creator.GetImage();
    const DC_DESCRIPTOR& d = image.descriptor;
    const int64_t side = ShapeImageSizeSupported(p.outerSize) ? ShapeImageSide(p.outerSize) : 0;
    FUZZ_CHECK(d.width == side && d.height == side && (d.pixels != nullptr) == (side != 0));
    if (side == 0) return;
    FUZZ_CHECK(d.colourKey == 0 && image.runs.Fits(d));
    for (const uint32_t pixel : ImagePixels(image))
        FUZZ_CHECK(pixel == 0 || ((pixel >> 24) == 0 && (pixel & 0xFF) != 0 && (pixel & 0xFF00) != 0 && (pixel & 0xFF0000) != 0));
}

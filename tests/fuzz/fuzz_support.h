// What the fuzz targets share: a check that stops the run with the failed condition (so
// that libFuzzer keeps the input as a crash), fixed-layout inputs read as little-endian
// words with missing bytes as zero (so every input is a valid one), and the properties
// every shape image has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "render/button_image_creator.h"
#include "render/graphics.h"

[[noreturn]] inline void FuzzCheckFailed(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}
#define FUZZ_CHECK(condition) ((condition) ? void() : FuzzCheckFailed(__FILE__, __LINE__, #condition))

inline float FloatFromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Equal as stored: the same bits, or both not a number (whose sign and payload nothing reads).
inline bool SameFloat(float a, float b) { return (a != a && b != b) || std::memcmp(&a, &b, sizeof a) == 0; }

struct WordReader {
    const uint8_t* data;
    size_t size, at = 0;
    uint32_t Word() {
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i, ++at) word |= at < size ? uint32_t{data[at]} << (8 * i) : 0;
        return word;
    }
    int32_t Int() { return static_cast<int32_t>(Word()); }
    float Float() { return FloatFromBits(Word()); }
    bool AtEnd() const { return at >= size; }
};

inline std::vector<uint32_t> ImagePixels(const Image& image) {
    const DC_DESCRIPTOR& d = image.descriptor;
    std::vector<uint32_t> pixels(static_cast<size_t>(d.width) * static_cast<size_t>(d.height));
    if (!pixels.empty()) std::memcpy(pixels.data(), d.pixels, pixels.size() * 4);
    return pixels;
}

// Side 2R + 3 for a supported radius, nothing at all otherwise; every pixel is either the
// key 0 or has each channel at least 1 and a top byte of 0; unknown shapes draw nothing.
// Stamped through its runs and pixel by pixel, hanging over two edges of a patterned
// surface, the image leaves the same surface.
inline void CheckShapeImage(const ButtonImageCreator& creator, const ShapeImageParams& p) {
    const Image& image = creator.GetImage();
    const DC_DESCRIPTOR& d = image.descriptor;
    if (!ShapeImageSizeSupported(p.outerSize)) {
        FUZZ_CHECK(d.width == 0 && d.height == 0 && d.pixels == nullptr);
        return;
    }
    const int64_t side = ShapeImageSide(p.outerSize);
    FUZZ_CHECK(d.width == side && d.height == side && d.stride == 4 * side && d.pixels != nullptr);
    FUZZ_CHECK(d.colourKey == 0 && (d.flags & kDescColorKeySet) != 0 && image.runs.Fits(d));
    for (const uint32_t pixel : ImagePixels(image)) {
        FUZZ_CHECK(pixel == 0 || (p.shape >= 0 && p.shape <= 2 && (pixel >> 24) == 0 && (pixel & 0xFF) >= 1 &&
                                  ((pixel >> 8) & 0xFF) >= 1 && ((pixel >> 16) & 0xFF) >= 1));
    }
    const int32_t w = d.width + 5, h = d.height / 2 + 3;
    std::unique_ptr<Graphics> byRuns(createSurface(w, h, 32, nullptr)), byRule(createSurface(w, h, 32, nullptr));
    FUZZ_CHECK(byRuns && byRule);
    for (int32_t i = 0; i < w * h; ++i) {
        const uint32_t v = 0x9E3779B9u * static_cast<uint32_t>(i);
        std::memcpy(byRuns->pixels + 4 * i, &v, 4);
        std::memcpy(byRule->pixels + 4 * i, &v, 4);
    }
    drawImage(*byRuns, d, -d.width / 3, h - d.height / 2, 255, &image.runs);
    drawImage(*byRule, d, -d.width / 3, h - d.height / 2, 255);
    FUZZ_CHECK(std::memcmp(byRuns->pixels, byRule->pixels, static_cast<size_t>(w) * h * 4) == 0);
}

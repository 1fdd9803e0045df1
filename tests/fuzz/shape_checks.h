// Properties every shape image has, whatever its parameters.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_check.h"
#include "render/button_image_creator.h"
#include "render/graphics.h"

inline std::vector<uint32_t> ImagePixels(const Image& image) {
    const DC_DESCRIPTOR& d = image.descriptor;
    std::vector<uint32_t> pixels(static_cast<size_t>(d.width) * static_cast<size_t>(d.height));
    if (!pixels.empty()) std::memcpy(pixels.data(), d.pixels, pixels.size() * 4);
    return pixels;
}

// Stamped through its runs and pixel by pixel (the keyed rule), hanging over two edges of
// a patterned surface, the image leaves the same surface.
inline void CheckRunsStamp(const Image& image) {
    const DC_DESCRIPTOR& d = image.descriptor;
    FUZZ_CHECK(image.runs.Fits(d));
    const int32_t w = d.width + 5, h = d.height / 2 + 3;
    std::unique_ptr<Graphics> byRuns(createSurface(w, h, 32, nullptr)), byRule(createSurface(w, h, 32, nullptr));
    FUZZ_CHECK(byRuns && byRule);
    for (int32_t i = 0; i < w * h; ++i) {
        const uint32_t p = 0x9E3779B9u * static_cast<uint32_t>(i);
        std::memcpy(byRuns->pixels + 4 * i, &p, 4);
        std::memcpy(byRule->pixels + 4 * i, &p, 4);
    }
    const int32_t x = -d.width / 3, y = h - d.height / 2;
    drawImage(*byRuns, d, x, y, 255, &image.runs);
    drawImage(*byRule, d, x, y, 255);
    FUZZ_CHECK(std::memcmp(byRuns->pixels, byRule->pixels, static_cast<size_t>(w) * h * 4) == 0);
}

// Side 2R + 3 for a supported radius, nothing at all otherwise; every pixel is either the
// key 0 or has each channel at least 1 and a top byte of 0; unknown shapes draw nothing;
// its runs stamp it as the keyed rule does.
inline void CheckShapeImage(const ButtonImageCreator& creator, const ShapeImageParams& p) {
    const DC_DESCRIPTOR& d = creator.GetImage().descriptor;
    if (!ShapeImageSizeSupported(p.outerSize)) {
        FUZZ_CHECK(d.width == 0 && d.height == 0 && d.pixels == nullptr);
        return;
    }
    const int64_t side = ShapeImageSide(p.outerSize);
    FUZZ_CHECK(d.width == side && d.height == side && d.stride == 4 * side);
    FUZZ_CHECK(d.pixels != nullptr);
    FUZZ_CHECK(d.colourKey == 0 && (d.flags & kDescColorKeySet) != 0);
    const bool knownShape = p.shape >= 0 && p.shape <= 2;
    for (const uint32_t pixel : ImagePixels(creator.GetImage())) {
        if (pixel == 0) continue;
        FUZZ_CHECK(knownShape);
        FUZZ_CHECK((pixel >> 24) == 0);
        FUZZ_CHECK((pixel & 0xFF) >= 1 && ((pixel >> 8) & 0xFF) >= 1 && ((pixel >> 16) & 0xFF) >= 1);
    }
    CheckRunsStamp(creator.GetImage());
}

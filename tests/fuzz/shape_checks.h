// Properties every shape image has, whatever its parameters.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "render/button_image_creator.h"

inline std::vector<uint32_t> ImagePixels(const Image& image) {
    const DC_DESCRIPTOR& d = image.descriptor;
    std::vector<uint32_t> pixels(static_cast<size_t>(d.width) * static_cast<size_t>(d.height));
    if (!pixels.empty()) std::memcpy(pixels.data(), d.pixels, pixels.size() * 4);
    return pixels;
}

// Side 2R + 3 for a supported radius, nothing at all otherwise; every pixel is either the
// key 0 or has each channel at least 1 and a top byte of 0; unknown shapes draw nothing.
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
}

// The motion path under any window size, image width and speeds, "nan" and "inf"
// included. Input: width, height and image width as words, then pairs of speeds
// (cbStep, csStep) as float bits, one pair a step.
//
// A position is valid exactly while every speed so far was finite and the corner fits in
// 32 bits, and then the shape's centre lies within the ring between 60 and 260 pixels of
// the window centre (scaled with the width), give or take the rounding of each axis.
// Stamped onto a surface the size of a small window, the image lands exactly there,
// clipped, and nothing outside its square changes.
#include <cmath>
#include <memory>

#include "app/motion.h"
#include "fuzz_support.h"
#include "render/graphics.h"
#include "render/opaque_runs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WordReader in{data, size};
    const int32_t clientWidth = in.Int(), clientHeight = in.Int(), imageWidth = in.Int();
    MotionPath path;
    path.RecomputeGeometry(clientWidth, clientHeight);
    FUZZ_CHECK(path.width % 2 == 0 && path.height % 2 == 0);
    const double scale = std::fabs(static_cast<double>(path.width) / 640.0);

    // Stamps are checked pixel by pixel on windows up to 64 x 64 with images up to 41
    // wide: a disc of one colour on the key.
    std::unique_ptr<Graphics> surface, image;
    OpaqueRuns runs;  // stamps go through them, as the animation window's do
    if (path.width > 0 && path.height > 0 && path.width <= 64 && path.height <= 64 && imageWidth > 0 &&
        imageWidth <= 41) {
        surface.reset(createSurface(path.width, path.height, 32, nullptr));
        image.reset(createSurface(imageWidth, imageWidth, 32, nullptr));
        FUZZ_CHECK(surface && image);
        surface->colour = 0;
        image->colourKey = 0;
        image->flags |= kDescColorKeySet;
        const int32_t c = imageWidth / 2;
        for (int32_t y = 0; y < imageWidth; ++y)
            for (int32_t x = 0; x < imageWidth; ++x)
                reinterpret_cast<uint32_t*>(image->pixels)[y * imageWidth + x] =
                    (x - c) * (x - c) + (y - c) * (y - c) <= c * c ? 0x00804020u : 0u;
        runs.Build(*image);
    }
    bool finite = true;
    for (int step = 0; step < 64 && !in.AtEnd(); ++step) {
        const float cbStep = in.Float(), csStep = in.Float();
        finite = finite && std::isfinite(cbStep) && std::isfinite(csStep);
        const StampPosition p = path.NextPosition(imageWidth, cbStep, csStep);
        if (!p.valid) {
            // Only a non-finite path, or a corner beyond 32 bits (absurd image widths).
            const int64_t reach = static_cast<int64_t>(260.0 * scale) + 2, h = imageWidth / 2;
            const bool fits = std::max(path.width, path.height) / 2 - h + reach <= INT32_MAX &&
                              std::min(path.width, path.height) / 2 - h - reach >= INT32_MIN;
            FUZZ_CHECK(!finite || !fits);
            continue;
        }
        FUZZ_CHECK(finite);
        // Adding one half and truncating toward zero moves each axis by less than 1.5
        // (toward the centre on the negative side), so the centre by less than 2.2.
        const double distance = std::hypot(static_cast<double>(int64_t{p.x} + imageWidth / 2 - path.width / 2),
                                           static_cast<double>(int64_t{p.y} + imageWidth / 2 - path.height / 2));
        FUZZ_CHECK(distance <= 260.0 * scale + 2.2 && distance >= 60.0 * scale - 2.2);
        if (!surface || step >= 16) continue;
        // Each stamp goes onto a cleared surface, so every pixel is either the image's or black.
        fillRect(*surface, 0, 0, surface->width, surface->height);
        drawImage(*surface, *image, p.x, p.y, 255, &runs);
        for (int32_t row = 0; row < surface->height; ++row)
            for (int32_t col = 0; col < surface->width; ++col) {
                const int64_t ix = int64_t{col} - p.x, iy = int64_t{row} - p.y;
                const bool inside = ix >= 0 && ix < imageWidth && iy >= 0 && iy < imageWidth;
                FUZZ_CHECK((reinterpret_cast<const uint32_t*>(surface->pixels)[row * surface->width + col] & 0xFFFFFFu) ==
                           (inside ? reinterpret_cast<const uint32_t*>(image->pixels)[iy * imageWidth + ix] : 0u));
            }
    }
    return 0;
}

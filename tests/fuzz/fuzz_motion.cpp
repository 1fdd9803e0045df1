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
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/motion.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "render/graphics.h"
#include "render/opaque_runs.h"

namespace {

constexpr int kMaxSteps = 64;
constexpr int32_t kLargestSurface = 64;  // stamps are checked pixel by pixel up to this
constexpr int kStampedSteps = 16;
constexpr int32_t kLargestImage = 41;

// A stand-in shape image: a disc of a single colour on the key.
struct TestImage {
    explicit TestImage(int32_t side) : side(side), pixels(new uint32_t[static_cast<size_t>(side) * side]) {
        const int32_t c = side / 2;
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x)
                pixels[static_cast<size_t>(y) * side + x] = (x - c) * (x - c) + (y - c) * (y - c) <= c * c ? 0x00804020u : 0u;
        descriptor = DC_DESCRIPTOR{};
        descriptor.width = side;
        descriptor.height = side;
        descriptor.clipWidth = side;
        descriptor.clipHeight = side;
        descriptor.bitsPerPixel = 32;
        descriptor.bytesPerPixel = 4;
        descriptor.bytesPerRow = side * 4;
        descriptor.stride = side * 4;
        descriptor.pixels = reinterpret_cast<uint8_t*>(pixels.get());
        descriptor.colourKey = 0;
        descriptor.flags = kDescColorKeySet;
        runs.Build(descriptor);
    }
    int32_t side;
    std::unique_ptr<uint32_t[]> pixels;
    DC_DESCRIPTOR descriptor;
    OpaqueRuns runs;  // stamps go through them, as the animation window's do
};

void CheckStamp(Graphics& surface, const TestImage& image, int32_t x, int32_t y) {
    // Each stamp goes onto a cleared surface, so every pixel is either the image's or black.
    const auto* out = reinterpret_cast<const uint32_t*>(surface.pixels);
    for (int32_t row = 0; row < surface.height; ++row)
        for (int32_t col = 0; col < surface.width; ++col) {
            const int64_t ix = int64_t{col} - x;
            const int64_t iy = int64_t{row} - y;
            uint32_t expected = 0;
            if (ix >= 0 && ix < image.side && iy >= 0 && iy < image.side)
                expected = image.pixels[static_cast<size_t>(iy) * image.side + static_cast<size_t>(ix)];
            FUZZ_CHECK((out[static_cast<size_t>(row) * surface.width + col] & 0x00FFFFFFu) == expected);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WordReader in(data, size);
    const int32_t clientWidth = in.Int();
    const int32_t clientHeight = in.Int();
    const int32_t imageWidth = in.Int();

    MotionPath path;
    path.RecomputeGeometry(clientWidth, clientHeight);
    FUZZ_CHECK(path.width % 2 == 0 && path.height % 2 == 0);
    const double scale = std::fabs(static_cast<double>(path.width) / 640.0);

    std::unique_ptr<Graphics> surface;
    std::unique_ptr<TestImage> image;
    if (path.width > 0 && path.height > 0 && path.width <= kLargestSurface && path.height <= kLargestSurface &&
        imageWidth > 0 && imageWidth <= kLargestImage) {
        surface.reset(createSurface(path.width, path.height, 32, nullptr));
        FUZZ_CHECK(surface != nullptr);
        surface->colour = 0;
        image = std::make_unique<TestImage>(imageWidth);
    }

    bool finite = true;
    for (int step = 0; step < kMaxSteps && !in.AtEnd(); ++step) {
        const float cbStep = in.Float();
        const float csStep = in.Float();
        finite = finite && std::isfinite(cbStep) && std::isfinite(csStep);
        const StampPosition p = path.NextPosition(imageWidth, cbStep, csStep);
        if (!p.valid) {
            // Only a non-finite path, or a corner beyond 32 bits (absurd image widths).
            const int64_t reach = static_cast<int64_t>(260.0 * scale) + 2;
            const int64_t h = imageWidth / 2;
            const bool fits = int64_t{path.width / 2} - h + reach <= INT32_MAX &&
                              int64_t{path.width / 2} - h - reach >= INT32_MIN &&
                              int64_t{path.height / 2} - h + reach <= INT32_MAX &&
                              int64_t{path.height / 2} - h - reach >= INT32_MIN;
            FUZZ_CHECK(!finite || !fits);
            continue;
        }
        FUZZ_CHECK(finite);
        const double dx = static_cast<double>(int64_t{p.x} + imageWidth / 2 - path.width / 2);
        const double dy = static_cast<double>(int64_t{p.y} + imageWidth / 2 - path.height / 2);
        const double distance = std::sqrt(dx * dx + dy * dy);
        // Adding one half and truncating toward zero moves each axis by less than 1.5
        // (toward the centre on the negative side), so the centre by less than 2.2.
        FUZZ_CHECK(distance <= 260.0 * scale + 2.2);
        FUZZ_CHECK(distance >= 60.0 * scale - 2.2);
        if (surface && step < kStampedSteps) {
            fillRect(*surface, 0, 0, surface->width, surface->height);
            drawImage(*surface, image->descriptor, p.x, p.y, 255, &image->runs);
            CheckStamp(*surface, *image, p.x, p.y);
        }
    }
    return 0;
}

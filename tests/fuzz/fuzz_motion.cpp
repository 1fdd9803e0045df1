// The motion path under any window, image width and speeds. Input: width, height, image
// width, then (cbStep, csStep) float bits a step. A position is valid exactly while every
// speed was finite and the corner fits in 32 bits; the shape's centre then lies in the
// ring 60..260 pixels (scaled with the width) from the window's centre, give or take rounding.
#include <algorithm>
#include <cmath>

#include "app/motion.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WordReader in{data, size};
    const int32_t clientWidth = in.Int(), clientHeight = in.Int(), imageWidth = in.Int();
    MotionPath path;
    path.RecomputeGeometry(clientWidth, clientHeight);
    FUZZ_CHECK(path.width % 2 == 0 && path.height % 2 == 0);
    const double scale = std::fabs(static_cast<double>(path.width) / 640.0);
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
    }
    return 0;
}

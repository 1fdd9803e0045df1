// Input: width, height, image width, then (cbStep, csStep) a step. Valid exactly while every speed
// was finite (and the corner fits 32 bits); the centre then lies 60..260 (scaled) from the window's,
// within the 2.2 that adding a half and truncating may move it.
#include <algorithm>
#include <cmath>

#include "app/motion.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WordReader in{data, size};
    const auto clientWidth = static_cast<int32_t>(in.Word()), clientHeight = static_cast<int32_t>(in.Word());
    const auto imageWidth = static_cast<int32_t>(in.Word());
    MotionPath path;
    path.RecomputeGeometry(clientWidth, clientHeight);
    FUZZ_CHECK(path.width % 2 == 0 && path.height % 2 == 0);
    const double scale = std::fabs(static_cast<double>(path.width) / 640.0);
    const int64_t reach = static_cast<int64_t>(260.0 * scale) + 2, half = imageWidth / 2;
    const bool fits = std::max(path.width, path.height) / 2 - half + reach <= INT32_MAX &&
                      std::min(path.width, path.height) / 2 - half - reach >= INT32_MIN;
    bool finite = true;
    for (int step = 0; step < 64 && in.at < size; ++step) {
        const float cbStep = in.Float(), csStep = in.Float();
        finite = finite && std::isfinite(cbStep) && std::isfinite(csStep);
        const StampPosition p = path.NextPosition(imageWidth, cbStep, csStep);
        FUZZ_CHECK(p.valid == finite || (!fits && !p.valid));
        if (!p.valid) continue;
        const double distance = std::hypot(static_cast<double>(int64_t{p.x} + imageWidth / 2 - path.width / 2),
                                           static_cast<double>(int64_t{p.y} + imageWidth / 2 - path.height / 2));
        FUZZ_CHECK(distance <= 260.0 * scale + 2.2 && distance >= 60.0 * scale - 2.2);
    }
    return 0;
}

#include "app/motion.h"

#include <cmath>

#include "engine/numeric.h"

void MotionPath::RecomputeGeometry(int32_t clientWidth, int32_t clientHeight) {
    width = clientWidth & ~1;
    height = clientHeight & ~1;
    scale = width / 640.0;
    baseRadius = scale * 160.0;
    swingRadius = scale * 100.0;
}

StampPosition MotionPath::NextPosition(int32_t imageWidth, float cbStep, float csStep) {
    orbitAngle += static_cast<double>(cbStep);
    swingAngle += static_cast<double>(csStep);
    const double r = baseRadius + swingRadius * std::cos(swingAngle);
    const double px = r * std::cos(orbitAngle);
    const double py = r * std::sin(orbitAngle);
    // Adds one half, then truncates toward zero: not rounding to nearest for negatives.
    const double sx = px + 0.5;
    const double sy = py + 0.5;
    if (!std::isfinite(sx) || !std::isfinite(sy)) return StampPosition{0, 0, false};
    const int64_t h = imageWidth / 2;
    const int64_t x = int64_t{TruncateToInt32(sx)} + width / 2 - h;
    const int64_t y = int64_t{TruncateToInt32(sy)} + height / 2 - h;
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return StampPosition{0, 0, false};
    return StampPosition{static_cast<int32_t>(x), static_cast<int32_t>(y), true};
}

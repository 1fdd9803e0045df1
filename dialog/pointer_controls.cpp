#include "dialog/pointer_controls.h"

#include <cmath>

LightDirection DirectionFromPoint(int32_t x, int32_t y, int32_t clientWidth, int32_t radius) {
    const int32_t half = clientWidth / 2;
    const float r = static_cast<float>(radius);
    LightDirection d;
    d.x = -(static_cast<float>(int64_t{x} - half) / r);
    d.y = -(static_cast<float>(int64_t{y} - half) / r);
    const float s = d.y * d.y + d.x * d.x;
    d.z = s < 1.0f ? -static_cast<float>(std::sqrt(static_cast<double>(1.0f - s))) : 0.0f;
    return d;
}

bool SpinnerDrag::Move(int32_t y, int32_t& delta) {
    if (!dragging_) return false;
    if (lastY_ == -1) {
        lastY_ = y;
        return false;
    }
    delta = static_cast<int32_t>(int64_t{lastY_} - y);
    lastY_ = y;
    return true;
}

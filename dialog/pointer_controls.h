// The pointer arithmetic of the dialog's two custom controls, apart from their windows.
#pragma once

#include <cstdint>

struct LightDirection {
    float x, y, z;
};

// The light direction for a pointer at client (x, y) on the light angle editor: the
// pointer is where the light comes from, seen on a sphere of `radius` pixels centred at
// (half, half) with half = clientWidth / 2 on both axes.
LightDirection DirectionFromPoint(int32_t x, int32_t y, int32_t clientWidth, int32_t radius);

// A spinner centre's drag: the first move after a press only takes its position; each
// later move reports how far the pointer went up.
class SpinnerDrag {
public:
    void Press() { dragging_ = true; }
    void Release() {
        dragging_ = false;
        lastY_ = -1;
    }
    bool Dragging() const { return dragging_; }
    // True with the delta (positive upwards) when the move is reported.
    bool Move(int32_t y, int32_t& delta);

private:
    bool dragging_ = false;
    int32_t lastY_ = -1;  // -1: no reference yet
};

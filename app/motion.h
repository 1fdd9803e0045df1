// The path the shapes travel: a circle around the window centre whose radius swings
// slowly. Pure arithmetic over the window size, the image width and the two speeds.
#pragma once

#include <cstdint>

struct StampPosition {
    int32_t x;
    int32_t y;
    bool valid;  // false when the path went non-finite (a "nan" or "inf" speed): skip the stamp
};

class MotionPath {
public:
    // Client width and height; their lowest bits are cleared here.
    void RecomputeGeometry(int32_t clientWidth, int32_t clientHeight);

    // Advances the path one step (orbit by cbStep, swing by csStep) and returns the
    // top-left corner for an image of the given (odd) width.
    StampPosition NextPosition(int32_t imageWidth, float cbStep, float csStep);

    int32_t width = 0;
    int32_t height = 0;
    double scale = 1.0;
    double baseRadius = 160.0;
    double swingRadius = 100.0;
    double orbitAngle = 0.0;
    double swingAngle = 0.0;
};

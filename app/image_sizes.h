// How the animation window turns the two size settings into the shape images' sizes.
#pragma once

#include <cstdint>

struct ImageSizes {
    int32_t outerSize;
    int32_t innerSize;
    bool drawable;  // false for absurd stored sizes: that slot gets no image and draws nothing
};

ImageSizes ComputeImageSizes(int32_t shape, int32_t size1, int32_t size2, double scale);

// Conversions to integers that follow the x86 rule the engine was built around: truncate
// toward zero, and give the most negative int for not-a-number or out-of-range values.
// Written out so that no conversion is undefined behaviour.
#pragma once

#include <cstdint>
#include <limits>

inline int32_t TruncateToInt32(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

inline int32_t TruncateToInt32(float v) { return TruncateToInt32(static_cast<double>(v)); }

#include "app/image_sizes.h"

#include <algorithm>

#include "engine/numeric.h"
#include "render/shape_shading.h"

ImageSizes ComputeImageSizes(int32_t shape, int32_t size1, int32_t size2, double scale) {
    const bool sphere = shape == static_cast<int32_t>(ShapeKind::Sphere);
    const int32_t outerValue = sphere ? size1 : std::max(size1, size2);
    const int32_t innerValue = sphere ? size2 : std::min(size1, size2);
    const int32_t outer = TruncateToInt32(static_cast<float>(outerValue) * scale);
    const int32_t inner = TruncateToInt32(static_cast<float>(innerValue) * scale);
    // 64-bit so that an absurd inner size cannot overflow the +2.
    int64_t outerSize = outer;
    if (!sphere && outerSize < int64_t{inner} + 2) outerSize = int64_t{inner} + 2;
    if (!ShapeImageSizeSupported(outerSize)) return ImageSizes{0, inner, false};
    return ImageSizes{static_cast<int32_t>(outerSize), inner, true};
}

// Input: the fourteen words of ShapeImageParams, up to six more colours; slow radii fold into 0..32.
// Unshifted, corners keep the key; one shading coloured seven times gives separate renders' pixels;
// mirroring the light and the offset mirrors the image to the bit.
#include <algorithm>
#include <limits>

#include "fuzz_support.h"

static_assert(sizeof(ShapeImageParams) == 56, "fourteen words");

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t block[sizeof(ShapeImageParams)] = {};
    std::memcpy(block, data, std::min(size, sizeof block));
    ShapeImageParams p;
    std::memcpy(&p, block, sizeof p);
    if (ShapeImageSizeSupported(p.outerSize) && p.outerSize >= 33) p.outerSize %= 33;
    std::vector<uint32_t> colours{p.colour};
    for (WordReader in{data, size, sizeof block}; colours.size() < 7 && in.at < size;) colours.push_back(in.Word());

    ButtonImageCreator single(p);
    CheckShapeImage(single, p);
    if (!ShapeImageSizeSupported(p.outerSize)) return 0;
    const std::vector<uint32_t> pixels = ImagePixels(single.GetImage());
    const auto side = static_cast<size_t>(single.GetImage().descriptor.width);
    FUZZ_CHECK(p.offsetX != 0 || p.offsetY != 0 || (pixels[0] | pixels[side - 1] | pixels[side * side - side]) == 0);

    ShapeShading shading;
    ComputeShading(p, static_cast<int32_t>(side), static_cast<int32_t>(side), shading);
    const auto shared = ButtonImageCreator::CreateColoured(p, shading, colours.data(), colours.size());
    FUZZ_CHECK(shared.size() == colours.size());
    for (size_t k = 0; k < colours.size(); ++k) {
        ShapeImageParams coloured = p;
        coloured.colour = colours[k];
        CheckShapeImage(*shared[k], coloured);
        FUZZ_CHECK(ImagePixels(shared[k]->GetImage()) == ImagePixels(ButtonImageCreator(coloured).GetImage()));
    }
    for (const bool horizontal : {true, false}) {
        ShapeImageParams m = p;
        int32_t& offset = horizontal ? m.offsetX : m.offsetY;
        if (offset == std::numeric_limits<int32_t>::min()) continue;
        offset = -offset;
        float& light = horizontal ? m.lightX : m.lightY;
        light = -light;
        const std::vector<uint32_t> mirrored = ImagePixels(ButtonImageCreator(m).GetImage());
        for (size_t row = 0; row < side; ++row)
            for (size_t col = 0; col < side; ++col)
                FUZZ_CHECK(pixels[row * side + col] ==
                           mirrored[(horizontal ? row : side - 1 - row) * side + (horizontal ? side - 1 - col : col)]);
    }
    return 0;
}

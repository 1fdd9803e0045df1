// Input: the fourteen words of ShapeImageParams, up to six more colours; slow radii fold into 0..32.
// Unshifted, corners keep the key; one shading coloured seven times gives separate renders' pixels.
#include <algorithm>

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
    return 0;
}

// Shape images from any parameter block. Input: the fourteen words of ShapeImageParams,
// then up to seven more colours. Radii that get an image but would make a slow one are
// folded into 0..32; absurd ones are fed as they are and must give an empty image at once.
//
// Besides the properties of every image: shading once and colouring seven times gives
// the same pixels as seven separate renders, and mirroring the light and the offset
// mirrors the image exactly (the arithmetic is symmetric to the bit).
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "render/button_image_creator.h"
#include "shape_checks.h"

namespace {

constexpr int32_t kFoldedRadii = 33;  // the default radius, 30, stays as it is
constexpr size_t kColours = 7;

ShapeImageParams ReadParams(WordReader& in) {
    ShapeImageParams p;
    p.lightX = in.Float();
    p.lightY = in.Float();
    p.lightZ = in.Float();
    p.colour = in.Word();
    p.highlightColour = in.Word();
    p.ambient = in.Float();
    p.mirror = in.Float();
    p.lightIntensity = in.Float();
    p.phongPower = in.Int();
    p.outerSize = in.Int();
    p.shape = in.Int();
    p.innerSize = in.Int();
    p.offsetX = in.Int();
    p.offsetY = in.Int();
    if (ShapeImageSizeSupported(p.outerSize) && p.outerSize >= kFoldedRadii) p.outerSize %= kFoldedRadii;
    return p;
}

// Pixel (col, row) of `a` against (mirrored col, row) of `b`, or the rows mirrored.
void CheckMirrored(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int32_t side, bool horizontal) {
    FUZZ_CHECK(a.size() == b.size());
    for (int32_t row = 0; row < side; ++row)
        for (int32_t col = 0; col < side; ++col) {
            const int32_t mcol = horizontal ? side - 1 - col : col;
            const int32_t mrow = horizontal ? row : side - 1 - row;
            FUZZ_CHECK(a[static_cast<size_t>(row) * side + col] == b[static_cast<size_t>(mrow) * side + mcol]);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WordReader in(data, size);
    const ShapeImageParams p = ReadParams(in);
    std::vector<uint32_t> colours{p.colour};
    while (colours.size() < kColours && !in.AtEnd()) colours.push_back(in.Word());

    ButtonImageCreator single(p);
    CheckShapeImage(single, p);
    if (!ShapeImageSizeSupported(p.outerSize)) return 0;
    const std::vector<uint32_t> pixels = ImagePixels(single.GetImage());
    const int32_t side = single.GetImage().descriptor.width;

    // Outside the disc of radius R + 1 around the centre nothing is drawn: the corners
    // keep the key when the shape is not shifted.
    if (p.offsetX == 0 && p.offsetY == 0)
        FUZZ_CHECK(pixels[0] == 0 && pixels[side - 1] == 0 && pixels.back() == 0 &&
                   pixels[pixels.size() - static_cast<size_t>(side)] == 0);

    ShapeShading shading;
    ComputeShading(p, side, side, shading);
    const auto shared = ButtonImageCreator::CreateColoured(p, shading, colours.data(), colours.size());
    FUZZ_CHECK(shared.size() == colours.size());
    for (size_t k = 0; k < colours.size(); ++k) {
        ShapeImageParams coloured = p;
        coloured.colour = colours[k];
        ButtonImageCreator alone(coloured);
        CheckShapeImage(*shared[k], coloured);
        FUZZ_CHECK(ImagePixels(shared[k]->GetImage()) == ImagePixels(alone.GetImage()));
    }
    // Shading made for another size is not used: the image stays transparent.
    {
        const auto mismatched = ButtonImageCreator::CreateColoured(p, ShapeShading{}, &p.colour, 1);
        for (const uint32_t pixel : ImagePixels(mismatched[0]->GetImage())) FUZZ_CHECK(pixel == 0);
    }

    if (p.offsetX != std::numeric_limits<int32_t>::min()) {
        ShapeImageParams m = p;
        m.lightX = -p.lightX;
        m.offsetX = -p.offsetX;
        ButtonImageCreator mirrored(m);
        CheckMirrored(pixels, ImagePixels(mirrored.GetImage()), side, true);
    }
    if (p.offsetY != std::numeric_limits<int32_t>::min()) {
        ShapeImageParams m = p;
        m.lightY = -p.lightY;
        m.offsetY = -p.offsetY;
        ButtonImageCreator mirrored(m);
        CheckMirrored(pixels, ImagePixels(mirrored.GetImage()), side, false);
    }
    return 0;
}

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "render/button_image_creator.h"

namespace {

constexpr uint32_t kDrawn = 0xFFFFFFFFu;  // any pixel but the key

// Pure red, as the first slot's default; light from the upper left, towards the screen.
ShapeImageParams Params(int32_t shape = 0, int32_t outer = 30, int32_t inner = 30) {
    return ShapeImageParams{1.0f, 1.0f, -1.0f, 0x000000FF, 0x00FFFFFF, 0.34f, 0.995f, 0.6f, 4, outer, shape, inner, 0, 0};
}

std::vector<uint32_t> Pixels(const Image& image) {
    const auto& d = image.descriptor;
    std::vector<uint32_t> out(static_cast<size_t>(d.width) * d.height);
    if (!out.empty()) std::memcpy(out.data(), d.pixels, out.size() * 4);
    return out;
}

TEST(ShapeImage, SidesAndPixelsOfEveryShape) {
    const struct { const char* what; int32_t shape, outer, inner, side, x, y; uint32_t pixel; } rows[] = {
        {"default sphere: red 178, green and blue 3", 0, 30, 30, 63, 31, 31, 0x00B20303u},
        {"corners keep the key", 0, 30, 30, 63, 62, 62, 0},
        {"cone apex is channel one", 1, 30, 30, 63, 31, 31, 0x00010101u},
        {"torus: the tube starts 13 from the centre", 2, 30, 20, 63, 44, 31, kDrawn},
        {"torus: 12 from the centre is the hole", 2, 30, 20, 63, 31, 19, 0},
        {"thin torus draws its centre: 2a - 1 + s < 0", 2, 30, 2, 63, 31, 31, 0x00010101u},
        {"radius 0: k = 0/0, not-a-number shading clamps to 1", 0, 0, 0, 3, 1, 1, kDrawn},
        {"radius 0: only the centre", 0, 0, 0, 3, 0, 1, 0},
        {"radius -1: one transparent pixel", 0, -1, 0, 1, 0, 0, 0},
    };
    for (const auto& row : rows) {
        ButtonImageCreator creator(Params(row.shape, row.outer, row.inner));
        const DC_DESCRIPTOR& d = creator.GetImage().descriptor;
        ASSERT_EQ(std::vector<int32_t>({d.width, d.height, d.stride, d.colourKey, d.flags & kDescColorKeySet}),
                  std::vector<int32_t>({row.side, row.side, 4 * row.side, 0, kDescColorKeySet}))
            << row.what;
        const uint32_t pixel = Pixels(creator.GetImage())[row.y * row.side + row.x];
        EXPECT_TRUE(row.pixel == kDrawn ? pixel != 0 : pixel == row.pixel) << row.what << ": " << std::hex << pixel;
    }
    ButtonImageCreator sphere(Params());
    const std::vector<uint32_t> lit = Pixels(sphere.GetImage());
    EXPECT_GT(lit[20 * 63 + 20] >> 16, lit[42 * 63 + 42] >> 16);  // lit from the upper left
    EXPECT_EQ(sphere.GetResource().Name(), "b 63 63");
    for (int shape : {3, -1, 1000}) {
        ButtonImageCreator unknown(Params(shape));
        EXPECT_EQ(Pixels(unknown.GetImage()), std::vector<uint32_t>(63 * 63, 0u)) << "shape " << shape;
    }
    for (int32_t size : {-2, 1025, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
        ButtonImageCreator absurd(Params(0, size));
        EXPECT_EQ(absurd.GetImage().descriptor.width, 0) << size;
        EXPECT_EQ(absurd.GetImage().descriptor.pixels, nullptr) << size;
    }
}

// Powers of one and below give exponent one. A huge power on the largest image once froze the
// saver (multiplied out on subnormals): rz is 0.577 at the centre, so only a small spot is lit.
TEST(ShapeImage, PhongPowers) {
    ShapeImageParams p = Params();
    auto pixelsAt = [&](int32_t power) {
        p.phongPower = power;
        return Pixels(ButtonImageCreator(p).GetImage());
    };
    const std::vector<uint32_t> one = pixelsAt(1);
    for (int power : {0, -3, std::numeric_limits<int32_t>::min()}) EXPECT_EQ(pixelsAt(power), one) << power;
    EXPECT_NE(pixelsAt(2), one);
    for (const auto& [power, outer] : {std::pair{2048, kMaxOuterSize}, {std::numeric_limits<int32_t>::max(), 100}}) {
        p = Params(0, outer, outer);
        const std::vector<uint32_t> lit = pixelsAt(power);
        p.mirror = 0.0f;
        const std::vector<uint32_t> unlit = pixelsAt(power);
        ASSERT_EQ(lit.size(), unlit.size());
        const size_t centre = static_cast<size_t>(outer + 1) * (2 * outer + 4);
        EXPECT_EQ(lit[centre], unlit[centre]) << power;
        size_t highlighted = 0;
        for (size_t i = 0; i < lit.size(); ++i) highlighted += lit[i] != unlit[i];
        EXPECT_LT(highlighted, lit.size() / 100) << power;
        EXPECT_TRUE(highlighted > 0 || power != 2048);
    }
}

// Shading once and colouring seven times: separate renders' pixels, in their own block once free.
TEST(ShapeImage, SharedShadingMatchesIndependentRenders) {
    const uint32_t colours[7] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00B2B2, 0xB2B200, 0xB200B2, 0x808080};
    for (ShapeImageParams p : {Params(0, 48, 46), Params(2, 30, 20), Params(1, 17, 5), Params(0, 0, 0)}) {
        p.lightX = 0.3f;
        p.phongPower = 20;
        const int side = 2 * p.outerSize + 3;
        ShapeShading shading;
        ComputeShading(p, side, side, shading);
        auto seven = ButtonImageCreator::CreateColoured(p, shading, colours, 7);
        ASSERT_EQ(seven.size(), 7u);
        PixelBlock block = seven[0]->GetImage().block;
        const uint8_t* first = seven[0]->GetImage().descriptor.pixels;
        EXPECT_NE(ButtonImageCreator::CreateColoured(p, shading, colours, 7, block)[0]->GetImage().descriptor.pixels,
                  first);
        seven.clear();
        seven = ButtonImageCreator::CreateColoured(p, shading, colours, 7, std::move(block));
        EXPECT_EQ(seven[0]->GetImage().descriptor.pixels, first);
        // Shading made for another size is not used: the image stays transparent.
        EXPECT_EQ(Pixels(ButtonImageCreator::CreateColoured(p, ShapeShading{}, colours, 1)[0]->GetImage()),
                  std::vector<uint32_t>(static_cast<size_t>(side) * side, 0u));
        p.colour = colours[6];
        EXPECT_EQ(Pixels(seven[6]->GetImage()), Pixels(ButtonImageCreator(p).GetImage())) << "shape " << p.shape;
    }
}

// Shading of fractions, negatives, beyond 255 and the int range, infinities, not-a-number; some
// pixels uncovered; 169 pixels, so the last (black, lifted to 1) takes the scalar tail.
TEST(ShapeImage, ColouringFollowsTheLightingRuleForEveryValue) {
    const float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.3f, 0.686f, 1.0f, -0.2f, 2.5f, 1e9f, -1e9f, inf, -inf,
                            std::numeric_limits<float>::quiet_NaN(), 0.0128f, 0.004f, 0.0f};
    ShapeShading shading;
    shading.width = 13 * 13;
    shading.height = 1;
    for (float sp : values)
        for (float di : values) {
            shading.specular.push_back(sp);
            shading.diffuse.push_back(di);
            shading.covered.push_back(static_cast<uint8_t>(shading.covered.size() % 5 != 4));
        }
    // Truncated toward zero, the most negative int beyond the int range, clamped to 1..255.
    auto channel = [](float v) -> uint32_t {
        const int32_t q = (v > -2147483649.0 && v < 2147483648.0) ? static_cast<int32_t>(v) : INT32_MIN;
        return static_cast<uint32_t>(q < 1 ? 1 : (q > 255 ? 255 : q));
    };
    // Three colours, with a grey highlight and with one whose channels differ.
    const uint32_t colours[] = {0x000000FFu, 0x00B2B200u, 0x00FFFFFFu};
    for (uint32_t highlight : {0x00FFFFFFu, 0x00804020u}) {
        std::vector<std::vector<uint32_t>> out(3, std::vector<uint32_t>(shading.covered.size(), 0xABCDEF12u));
        uint32_t* outputs[] = {out[0].data(), out[1].data(), out[2].data()};
        ColourShading(shading, colours, 3, highlight, outputs);
        for (int k = 0; k < 3; ++k)
            for (size_t i = 0; i < shading.covered.size(); ++i) {
                uint32_t expected = 0;  // the key where the shape does not cover
                for (int c = 0; c < 3 && shading.covered[i]; ++c) {
                    const float v = shading.specular[i] * static_cast<float>((highlight >> (8 * c)) & 255u) +
                                    shading.diffuse[i] * static_cast<float>((colours[k] >> (8 * c)) & 255u);
                    expected |= channel(v) << (16 - 8 * c);
                }
                ASSERT_EQ(out[k][i], expected) << "pixel " << i << " colour " << colours[k] << " highlight " << highlight;
            }
        }
}

}  // namespace

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "render/button_image_creator.h"

namespace {

ShapeImageParams DefaultParams() {
    ShapeImageParams p{};
    p.lightX = 1.0f;
    p.lightY = 1.0f;
    p.lightZ = -1.0f;
    p.colour = 0x000000FF;  // pure red
    p.highlightColour = 0x00FFFFFF;
    p.ambient = 0.34f;
    p.mirror = 0.995f;
    p.lightIntensity = 0.6f;
    p.phongPower = 4;
    p.outerSize = 30;
    p.shape = 0;
    p.innerSize = 30;
    return p;
}

uint32_t PixelAt(const Image& image, int x, int y) {
    uint32_t p;
    std::memcpy(&p, image.descriptor.pixels + y * image.descriptor.stride + x * 4, 4);
    return p;
}

std::vector<uint32_t> Pixels(const Image& image) {
    const auto& d = image.descriptor;
    std::vector<uint32_t> out(static_cast<size_t>(d.width) * d.height);
    if (!out.empty()) std::memcpy(out.data(), d.pixels, out.size() * 4);
    return out;
}

TEST(ShapeImage, DefaultRedSphere) {
    ButtonImageCreator creator(DefaultParams());
    const Image& image = creator.GetImage();
    EXPECT_EQ(image.descriptor.width, 63);
    EXPECT_EQ(image.descriptor.height, 63);
    EXPECT_EQ(image.descriptor.stride, 63 * 4);
    EXPECT_EQ(image.descriptor.colourKey, 0);
    EXPECT_NE(image.descriptor.flags & kDescColorKeySet, 0);
    EXPECT_EQ(image.descriptor.alpha, 255);
    EXPECT_EQ(PixelAt(image, 31, 31), 0x00B20303u);  // red 178, green 3, blue 3
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);               // corners keep the key
    EXPECT_EQ(PixelAt(image, 62, 62), 0u);
    // The lit side faces the upper left.
    EXPECT_GT(PixelAt(image, 20, 20) >> 16, PixelAt(image, 42, 42) >> 16);
    EXPECT_EQ(creator.GetResource().Name(), "b 63 63");
    EXPECT_TRUE(creator.IsKindOf(&RefObject::kClass));
    EXPECT_STREQ(creator.ClassName(), "ButtonImageCreator");
}

TEST(ShapeImage, RenderedPixelsAreNeverTheKey) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int shape : {0, 1, 2}) {
        for (float lx : {1.0f, 0.0f, nan}) {
            ShapeImageParams p = DefaultParams();
            p.shape = shape;
            p.innerSize = shape == 2 ? 10 : 0;  // k = 0 for sphere and cone: infinities
            p.lightX = p.lightY = p.lightZ = lx;
            p.colour = 0;
            p.ambient = -5.0f;  // everything computes to black or worse
            ButtonImageCreator creator(p);
            int drawn = 0;
            for (uint32_t px : Pixels(creator.GetImage())) {
                if (px == 0) continue;
                ++drawn;
                ASSERT_GE(px & 0xFF, 1u);
                ASSERT_GE((px >> 8) & 0xFF, 1u);
                ASSERT_GE((px >> 16) & 0xFF, 1u);
                ASSERT_EQ(px >> 24, 0u);
            }
            EXPECT_GT(drawn, 0) << "shape " << shape;
        }
    }
}

TEST(ShapeImage, SmallestSizes) {
    ShapeImageParams p = DefaultParams();
    p.outerSize = 0;
    p.innerSize = 0;
    ButtonImageCreator tiny(p);  // k = 0/0: not-a-number shading, channels clamp to 1
    const Image& image = tiny.GetImage();
    ASSERT_EQ(image.descriptor.width, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(image, x, y) != 0, x == 1 && y == 1) << x << "," << y;

    p.outerSize = -1;  // a single transparent pixel
    ButtonImageCreator one(p);
    EXPECT_EQ(one.GetImage().descriptor.width, 1);
    EXPECT_EQ(PixelAt(one.GetImage(), 0, 0), 0u);
}

TEST(ShapeImage, AbsurdSizesGiveAnEmptyImage) {
    for (int32_t size : {-2, -2000000000, 1025, 2000000000, std::numeric_limits<int32_t>::max(),
                         std::numeric_limits<int32_t>::min()}) {
        ShapeImageParams p = DefaultParams();
        p.outerSize = size;
        ButtonImageCreator creator(p);
        EXPECT_EQ(creator.GetImage().descriptor.width, 0) << size;
        EXPECT_EQ(creator.GetImage().descriptor.pixels, nullptr) << size;
    }
}

TEST(ShapeImage, TorusHole) {
    ShapeImageParams p = DefaultParams();
    p.shape = 2;
    p.outerSize = 30;
    p.innerSize = 20;
    ButtonImageCreator creator(p);
    const Image& image = creator.GetImage();
    ASSERT_EQ(image.descriptor.width, 63);
    // Pixels within 12 of the centre stay transparent; the tube starts just beyond.
    for (int y = 0; y < 63; ++y) {
        for (int x = 0; x < 63; ++x) {
            const int dx = x - 31, dy = y - 31;
            if (dx * dx + dy * dy > 144) continue;
            ASSERT_EQ(PixelAt(image, x, y), 0u) << x << "," << y;
        }
    }
    EXPECT_NE(PixelAt(image, 31 + 13, 31), 0u);
    EXPECT_NE(PixelAt(image, 31 - 21, 31), 0u);  // the tube's centre circle
}

TEST(ShapeImage, ThinTorusDrawsItsCentre) {
    ShapeImageParams p = DefaultParams();
    p.shape = 2;
    p.outerSize = 30;
    p.innerSize = 2;  // a = 3/31: 2a - 1 + s < 0
    ButtonImageCreator creator(p);
    EXPECT_EQ(PixelAt(creator.GetImage(), 31, 31), 0x00010101u);
}

TEST(ShapeImage, ConeApexIsChannelOne) {
    ShapeImageParams p = DefaultParams();
    p.shape = 1;
    ButtonImageCreator creator(p);
    EXPECT_EQ(PixelAt(creator.GetImage(), 31, 31), 0x00010101u);
    EXPECT_NE(PixelAt(creator.GetImage(), 20, 20), 0u);
}

TEST(ShapeImage, UnknownShapesAreFullyTransparent) {
    for (int shape : {3, -1, 1000}) {
        ShapeImageParams p = DefaultParams();
        p.shape = shape;
        ButtonImageCreator creator(p);
        ASSERT_EQ(creator.GetImage().descriptor.width, 63);
        for (uint32_t px : Pixels(creator.GetImage())) ASSERT_EQ(px, 0u);
    }
}

TEST(ShapeImage, PhongPowersOfOneAndBelowUseExponentOne) {
    ShapeImageParams p = DefaultParams();
    p.phongPower = 1;
    const std::vector<uint32_t> one = Pixels(ButtonImageCreator(p).GetImage());
    for (int power : {0, -3, std::numeric_limits<int32_t>::min()}) {
        p.phongPower = power;
        EXPECT_EQ(Pixels(ButtonImageCreator(p).GetImage()), one) << power;
    }
    p.phongPower = 2;
    EXPECT_NE(Pixels(ButtonImageCreator(p).GetImage()), one);
}

TEST(ShapeImage, AbsurdPhongPowerFinishesAndDimsTheHighlight) {
    ShapeImageParams p = DefaultParams();
    p.outerSize = 100;
    p.phongPower = std::numeric_limits<int32_t>::max();
    const auto start = std::chrono::steady_clock::now();
    ButtonImageCreator creator(p);
    // Billions of multiplications per pixel would take minutes; a generous bound catches that.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    p.mirror = 0.0f;  // no highlight at all: the same picture except where rz is 1
    ButtonImageCreator flat(p);
    EXPECT_EQ(PixelAt(creator.GetImage(), 101, 101), PixelAt(flat.GetImage(), 101, 101));
}

// A stored power far above the slider's on the largest image made. Multiplied out one
// by one, mostly on subnormal values, this took minutes and froze the saver.
TEST(ShapeImage, LargeStoredPhongPowerOnTheLargestImage) {
    ShapeImageParams p = DefaultParams();
    p.outerSize = kMaxOuterSize;
    p.innerSize = kMaxOuterSize;
    p.phongPower = 2048;
    ButtonImageCreator creator(p);
    p.mirror = 0.0f;
    ButtonImageCreator flat(p);
    // rz at the centre is 0.577, whose 4095th power is 0: no highlight there, but a
    // small bright spot where rz comes close to 1.
    const int centre = kMaxOuterSize + 1;
    EXPECT_EQ(PixelAt(creator.GetImage(), centre, centre), PixelAt(flat.GetImage(), centre, centre));
    const std::vector<uint32_t> lit = Pixels(creator.GetImage());
    const std::vector<uint32_t> unlit = Pixels(flat.GetImage());
    ASSERT_EQ(lit.size(), unlit.size());
    size_t highlighted = 0;
    for (size_t i = 0; i < lit.size(); ++i) highlighted += lit[i] != unlit[i];
    EXPECT_GT(highlighted, 0u);
    EXPECT_LT(highlighted, lit.size() / 100);
}

TEST(ShapeImage, SharedShadingMatchesIndependentRenders) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const uint32_t colours[7] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00B2B2, 0xB2B200, 0xB200B2, 0x808080};
    struct Case {
        int shape, outer, inner, phong;
        float lx, ly, lz;
    };
    const Case cases[] = {
        {0, 30, 30, 4, 1, 1, -1},   {0, 48, 46, 20, 0.3f, -0.2f, -1}, {2, 30, 20, 4, 1, 1, -1},
        {2, 22, 20, 0, -1, 0, 0},   {1, 17, 5, 7, 0, 0, -1},          {0, 10, 40, 4, 0, 0, 0},
        {0, 10, 0, 4, 1, 1, -1},    {2, 40, 3, 2, nan, 1, -1},        {0, 0, 0, 4, 1, 1, -1},
    };
    for (const Case& c : cases) {
        ShapeImageParams p = DefaultParams();
        p.shape = c.shape;
        p.outerSize = c.outer;
        p.innerSize = c.inner;
        p.phongPower = c.phong;
        p.lightX = c.lx;
        p.lightY = c.ly;
        p.lightZ = c.lz;
        const int side = 2 * c.outer + 3;
        ShapeShading shading;
        ComputeShading(p, side, side, shading);
        auto seven = ButtonImageCreator::CreateColoured(p, shading, colours, 7);
        ASSERT_EQ(seven.size(), 7u);
        // Rebuilt over their own block once nothing else holds it, never while it is held.
        PixelBlock block = seven[0]->GetImage().block;
        const uint8_t* first = seven[0]->GetImage().descriptor.pixels;
        EXPECT_NE(ButtonImageCreator::CreateColoured(p, shading, colours, 7, block)[0]->GetImage().descriptor.pixels,
                  first);
        seven.clear();
        seven = ButtonImageCreator::CreateColoured(p, shading, colours, 7, std::move(block));
        EXPECT_EQ(seven[0]->GetImage().descriptor.pixels, first);
        for (int k = 0; k < 7; ++k) {
            p.colour = colours[k];
            EXPECT_EQ(Pixels(seven[k]->GetImage()), Pixels(ButtonImageCreator(p).GetImage()))
                << "shape " << c.shape << " outer " << c.outer << " colour " << colours[k];
        }
    }
}

TEST(ShapeImage, ColouringFollowsTheLightingRuleForEveryValue) {
    // Hand-made shading with the values that matter to the rule: fractions, negatives,
    // beyond 255, beyond the int range, infinities and not-a-number; some pixels
    // uncovered. Checks the colouring (vectorised where the processor allows) against the
    // rule written out: truncate toward zero, the most negative int for the rest, clamp 1..255.
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {0.0f, 0.3f, 0.686f, 1.0f, -0.2f, 2.5f, 1e9f, -1e9f, inf, -inf, nan, 0.0128f, 0.004f};
    ShapeShading shading;
    shading.width = 13 * 13 + 3;  // not a multiple of four: the tail too
    shading.height = 1;
    for (float sp : values)
        for (float di : values) {
            shading.specular.push_back(sp);
            shading.diffuse.push_back(di);
            shading.covered.push_back(static_cast<uint8_t>(shading.covered.size() % 5 != 4));
        }
    for (int i = 0; i < 3; ++i) {
        shading.specular.push_back(0.5f);
        shading.diffuse.push_back(0.25f);
        shading.covered.push_back(1);
    }
    auto rule = [](float v) -> uint32_t {
        const int32_t q = (v > -2147483649.0 && v < 2147483648.0) ? static_cast<int32_t>(v) : INT32_MIN;
        return static_cast<uint32_t>(q < 1 ? 1 : (q > 255 ? 255 : q));
    };
    // Four outputs of one pass, each written whole.
    const uint32_t colours[] = {0x000000FFu, 0x00B2B200u, 0x00FFFFFFu, 0x00010203u};
    std::vector<std::vector<uint32_t>> out(4, std::vector<uint32_t>(shading.covered.size(), 0xABCDEF12u));
    uint32_t* outputs[] = {out[0].data(), out[1].data(), out[2].data(), out[3].data()};
    ColourShading(shading, colours, 4, 0x00FFFFFF, outputs);
    for (int k = 0; k < 4; ++k) {
        const uint32_t colour = colours[k];
        const std::vector<uint32_t>& pixels = out[k];
        for (size_t i = 0; i < pixels.size(); ++i) {
            if (!shading.covered[i]) {
                ASSERT_EQ(pixels[i], 0u) << i;  // the key
                continue;
            }
            const float sp = shading.specular[i], di = shading.diffuse[i];
            const uint32_t red = rule(sp * 255.0f + di * static_cast<float>(colour & 255u));
            const uint32_t green = rule(sp * 255.0f + di * static_cast<float>((colour >> 8) & 255u));
            const uint32_t blue = rule(sp * 255.0f + di * static_cast<float>((colour >> 16) & 255u));
            ASSERT_EQ(pixels[i], red << 16 | green << 8 | blue) << "pixel " << i << " colour " << colour;
        }
    }
}

TEST(Resources, NameIsLowerCasedAndHashed) {
    Resource r("AbC");
    EXPECT_EQ(r.Name(), "abc");
    EXPECT_EQ(r.NameHash(), 97u + (98u << 1) + (99u << 2));
    Resource high("\xE9");  // characters count as signed bytes
    EXPECT_EQ(high.NameHash(), static_cast<uint32_t>(-23));
}

}  // namespace

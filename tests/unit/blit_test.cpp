#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "render/blit_keyed.h"
#include "render/button_image_creator.h"
#include "render/graphics.h"

namespace {

// The rule every variant must follow, written out pixel by pixel: a source pixel whose
// low 24 bits equal the key's is skipped, any other is written whole.
void ReferenceKeyed(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t w, int32_t h,
                    uint32_t key) {
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t p;
            std::memcpy(&p, src + ptrdiff_t{y} * srcStride + 4 * x, 4);
            if ((p & 0x00FFFFFFu) != (key & 0x00FFFFFFu)) std::memcpy(dst + ptrdiff_t{y} * dstStride + 4 * x, &p, 4);
        }
}

uint32_t Load(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
void Put(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// Source pixels that stress the comparison: the key itself under any top byte, values one
// bit away from the key in the low 24 bits, and anything else. `runs` makes long stretches
// of key and of other pixels, as in shape images; otherwise every pixel is drawn anew.
uint32_t SourcePixel(std::mt19937& rng, uint32_t key) {
    const uint32_t r = rng();
    switch (r % 8) {
        case 0:
        case 1:
        case 2: return (key & 0x00FFFFFFu) | (rng() & 0xFF000000u);  // key, any top byte
        case 3: return ((key ^ (1u << (rng() % 24))) & 0x00FFFFFFu) | (rng() & 0xFF000000u);  // one bit off
        default: return rng();
    }
}

// A block of pixels at a chosen byte offset inside a buffer that ends right after its last
// pixel, so that reading or writing past the block's end is caught by AddressSanitizer.
struct Block {
    std::vector<uint8_t> bytes;
    int32_t offset;  // of the first pixel
    int32_t stride;
    Block(int32_t w, int32_t h, int32_t strideBytes, int32_t byteOffset)
        : bytes(static_cast<size_t>(byteOffset + ptrdiff_t{h - 1} * strideBytes + 4 * w)),
          offset(byteOffset),
          stride(strideBytes) {}
    uint8_t* At(int32_t x, int32_t y) { return bytes.data() + offset + ptrdiff_t{y} * stride + 4 * x; }
};

void FillRandom(std::vector<uint8_t>& bytes, std::mt19937& rng) {
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
}

void FillSource(Block& src, int32_t w, int32_t h, uint32_t key, bool runs, std::mt19937& rng) {
    FillRandom(src.bytes, rng);
    for (int32_t y = 0; y < h; ++y) {
        int32_t run = 0;
        bool keyRun = false;
        for (int32_t x = 0; x < w; ++x) {
            uint32_t p = SourcePixel(rng, key);
            if (runs) {
                if (run == 0) {
                    run = 1 + static_cast<int32_t>(rng() % 40);
                    keyRun = (rng() & 1) != 0;
                }
                --run;
                if (keyRun) p = (key & 0x00FFFFFFu) | (rng() & 0xFF000000u);
                else if ((p & 0x00FFFFFFu) == (key & 0x00FFFFFFu)) p ^= 0x00000100u;
            }
            Put(src.At(x, y), p);
        }
    }
}

std::string Names(const std::vector<KeyedBlitVariant>& variants) {
    std::string out;
    for (const KeyedBlitVariant& v : variants) out += std::string(out.empty() ? "" : " ") + v.name;
    return out;
}

bool Has(const std::vector<KeyedBlitVariant>& variants, const char* name) {
    for (const KeyedBlitVariant& v : variants)
        if (std::string(v.name) == name) return true;
    return false;
}

TEST(KeyedBlit, OffersEveryVariantTheProcessorRuns) {
    const std::vector<KeyedBlitVariant> variants = keyedBlitVariants();
    ::testing::Test::RecordProperty("keyed_blit_variants", Names(variants));
    ASSERT_FALSE(variants.empty());
    EXPECT_STREQ(variants.front().name, "portable");
    EXPECT_EQ(selectedKeyedBlit(), variants.back().fn);
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64)
    // SSE2 is the baseline of every x86 build, so its routine is always there and tested.
    EXPECT_TRUE(Has(variants, "sse2")) << Names(variants);
#endif
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
    // The AVX2 routine must be offered, and therefore tested and used, whenever the
    // processor has it.
    EXPECT_EQ(Has(variants, "avx2"), __builtin_cpu_supports("avx2") != 0) << Names(variants);
    EXPECT_EQ(cpuHasAvx2(), __builtin_cpu_supports("avx2") != 0);
    if (cpuHasAvx2()) {
        EXPECT_STREQ(variants.back().name, "avx2");
    }
#endif
}

TEST(KeyedBlit, ExactPixelsAcrossOneVectorBoundary) {
    // Eleven pixels: past one 8-pixel step, with a 3-pixel overlapping end.
    const std::vector<uint32_t> src = {0x00123456u, 0xFF123456u, 0x00000001u, 0x7F123457u, 0x00000000u, 0x01123456u,
                                       0x80ABCDEFu, 0x00123456u, 0x00523456u, 0xFFFFFFFFu, 0x00123456u};
    const std::vector<uint32_t> expected = {0xEEEEEEEEu, 0xEEEEEEEEu, 0x00000001u, 0x7F123457u,
                                            0x00000000u, 0xEEEEEEEEu, 0x80ABCDEFu, 0xEEEEEEEEu,
                                            0x00523456u, 0xFFFFFFFFu, 0xEEEEEEEEu};
    for (const KeyedBlitVariant& v : keyedBlitVariants()) {
        std::vector<uint32_t> dst(11, 0xEEEEEEEEu);
        v.fn(reinterpret_cast<uint8_t*>(dst.data()), 44, reinterpret_cast<const uint8_t*>(src.data()), 44, 11, 1,
             0xAA123456u);  // top byte of the key ignored
        EXPECT_EQ(dst, expected) << v.name;
    }
}

// Widths 1 to 70 cover rows shorter than one vector, whole vectors and every tail length
// of both vector widths; destination and source start at every pixel offset within 32
// bytes and at odd byte addresses; images are noise or long runs of key and non-key.
TEST(KeyedBlit, EveryVariantMatchesThePixelRuleForAllWidthsAndOffsets) {
    const uint32_t keys[] = {0x00000000u, 0xFF000000u, 0x00123456u, 0x00FFFFFFu};
    std::mt19937 rng(12345u);
    for (const KeyedBlitVariant& v : keyedBlitVariants()) {
        for (int32_t w = 1; w <= 70; ++w) {
            for (int32_t dstOffset = 0; dstOffset < 11; ++dstOffset) {
                // Offsets 0..7 pixels, then 1, 2 and 3 bytes (pixels not on 4-byte addresses).
                const int32_t dstBytes = dstOffset < 8 ? 4 * dstOffset : dstOffset - 7;
                const int32_t srcBytes = 4 * ((w + dstOffset) % 8) + (dstOffset == 10 ? 1 : 0);
                const int32_t h = 1 + (w + dstOffset) % 3;
                const uint32_t key = keys[(w + dstOffset) % 4];
                const bool runs = (w + dstOffset) % 2 == 0;
                // Strides of their own, one of them tight (row after row without a gap).
                const int32_t srcStride = 4 * w + ((w % 3 == 0) ? 0 : 4 * (1 + w % 5));
                const int32_t dstStride = 4 * w + dstBytes + 4 * (1 + w % 7);
                Block src(w, h, srcStride, srcBytes), dst(w, h, dstStride, dstBytes);
                FillSource(src, w, h, key, runs, rng);
                FillRandom(dst.bytes, rng);
                std::vector<uint8_t> expected = dst.bytes;
                ReferenceKeyed(expected.data() + dst.offset, dstStride, src.At(0, 0), srcStride, w, h, key);
                v.fn(dst.At(0, 0), dstStride, src.At(0, 0), srcStride, w, h, key);
                ASSERT_EQ(dst.bytes, expected) << v.name << " width " << w << " destination offset " << dstBytes
                                               << " bytes, source offset " << srcBytes << ", height " << h;
            }
        }
    }
}

TEST(KeyedBlit, EmptyRowsWriteNothing) {
    const std::vector<uint32_t> src(8, 0x00ABCDEFu);
    for (const KeyedBlitVariant& v : keyedBlitVariants())
        for (int32_t w : {0, -1, -9}) {
            std::vector<uint32_t> dst(8, 5u);
            v.fn(reinterpret_cast<uint8_t*>(dst.data()), 16, reinterpret_cast<const uint8_t*>(src.data()), 16, w, 2, 0);
            EXPECT_EQ(dst, std::vector<uint32_t>(8, 5u)) << v.name << " width " << w;
        }
}

TEST(KeyedBlit, EveryVariantWalksEachStrideItsOwnWay) {
    // The source read bottom-up (negative stride) onto a destination with a wide stride.
    const int32_t w = 37, h = 5, srcStride = 4 * 40, dstStride = 4 * 53;
    std::mt19937 rng(777u);
    Block src(w, h, srcStride, 0);
    FillSource(src, w, h, 0, true, rng);
    for (const KeyedBlitVariant& v : keyedBlitVariants()) {
        Block dst(w, h, dstStride, 8);
        FillRandom(dst.bytes, rng);
        std::vector<uint8_t> expected = dst.bytes;
        ReferenceKeyed(expected.data() + dst.offset, dstStride, src.At(0, h - 1), -srcStride, w, h, 0);
        v.fn(dst.At(0, 0), dstStride, src.At(0, h - 1), -srcStride, w, h, 0);
        EXPECT_EQ(dst.bytes, expected) << v.name;
    }
}

TEST(KeyedBlit, EveryVariantStampsAShapeImageAsThePixelRuleDoes) {
    ShapeImageParams p{};
    p.lightX = 1.0f;
    p.lightY = 1.0f;
    p.lightZ = -1.0f;
    p.colour = 0x000000FF;
    p.highlightColour = 0x00FFFFFF;
    p.ambient = 0.34f;
    p.mirror = 0.995f;
    p.lightIntensity = 0.6f;
    p.phongPower = 4;
    p.outerSize = 30;
    p.innerSize = 30;
    const ButtonImageCreator creator(p);
    const DC_DESCRIPTOR& img = creator.GetImage().descriptor;
    ASSERT_EQ(img.width, 63);
    std::mt19937 rng(99u);
    for (const KeyedBlitVariant& v : keyedBlitVariants()) {
        Block dst(63, 63, 4 * 100, 4 * 3);
        FillRandom(dst.bytes, rng);
        std::vector<uint8_t> expected = dst.bytes;
        ReferenceKeyed(expected.data() + dst.offset, dst.stride, img.pixels, img.stride, 63, 63, 0);
        v.fn(dst.At(0, 0), dst.stride, img.pixels, img.stride, 63, 63, 0);
        EXPECT_EQ(dst.bytes, expected) << v.name;
        // The centre pixel of the default red sphere, and a corner that stays the surface's.
        EXPECT_EQ(Load(dst.At(31, 31)), 0x00B20303u) << v.name;
        EXPECT_EQ(Load(dst.At(0, 0)), Load(expected.data() + dst.offset)) << v.name;
    }
}

TEST(PlainBlit, CopiesEveryPixelWholeWithItsOwnStrides) {
    std::mt19937 rng(31u);
    const int32_t w = 13, h = 4;
    Block src(w, h, 4 * 17, 4), dst(w, h, 4 * 21 + 2, 6);
    FillRandom(src.bytes, rng);
    FillRandom(dst.bytes, rng);
    std::vector<uint8_t> expected = dst.bytes;
    for (int32_t y = 0; y < h; ++y) std::memcpy(expected.data() + dst.offset + y * dst.stride, src.At(0, y), 4 * w);
    blitRows(dst.At(0, 0), dst.stride, src.At(0, 0), src.stride, w, h);
    EXPECT_EQ(dst.bytes, expected);
    for (int32_t empty : {0, -3}) {
        blitRows(dst.At(0, 0), dst.stride, src.At(0, 0), src.stride, empty, h);
        EXPECT_EQ(dst.bytes, expected) << "width " << empty;
    }
}

// drawImage clips the image at every edge and corner of the surface and hands the rest to
// the selected routine: the visible part must match the pixel rule, nothing else may change.
TEST(KeyedBlit, ClippedStampsThroughDrawImageMatchThePixelRule) {
    const int32_t iw = 45, ih = 23, sw = 64, sh = 40;
    std::mt19937 rng(4242u);
    Block src(iw, ih, 4 * iw, 0);
    FillSource(src, iw, ih, 0, true, rng);
    DC_DESCRIPTOR image;
    image.width = iw;
    image.height = ih;
    image.bytesPerRow = image.stride = 4 * iw;
    image.pixels = src.bytes.data();
    image.colourKey = 0;
    image.flags = kDescColorKeySet;
    image.alpha = 255;
    image.clipWidth = iw;
    image.clipHeight = ih;
    const int32_t xs[] = {-iw, -iw + 1, -30, -7, -1, 0, 3, 10, sw - iw, sw - iw + 1, sw - 9, sw - 1, sw};
    const int32_t ys[] = {-ih, -ih + 1, -12, -1, 0, 5, sh - ih, sh - ih + 2, sh - 1, sh};
    for (int32_t x : xs)
        for (int32_t y : ys) {
            std::unique_ptr<Graphics> g(createSurface(sw, sh, 32, nullptr));
            ASSERT_TRUE(g);
            std::vector<uint8_t> before(g->pixels, g->pixels + 4 * sw * sh);
            for (size_t i = 0; i < before.size(); i += 4) Put(&before[i], rng() | 1u);
            std::memcpy(g->pixels, before.data(), before.size());
            drawImage(*g, image, x, y, 255);
            for (int32_t py = 0; py < sh; ++py)
                for (int32_t px = 0; px < sw; ++px) {
                    uint32_t want = Load(&before[4 * (py * sw + px)]);
                    const int32_t ix = px - x, iy = py - y;
                    if (ix >= 0 && ix < iw && iy >= 0 && iy < ih) {
                        const uint32_t s = Load(src.At(ix, iy));
                        if ((s & 0x00FFFFFFu) != 0) want = s;
                    }
                    ASSERT_EQ(Load(g->pixels + 4 * (py * sw + px)), want)
                        << "stamp at " << x << "," << y << " pixel " << px << "," << py;
                }
        }
}

}  // namespace

// Surfaces and the keyed stamp: the runs of an image against the pixel rule, clips, fills, paint rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "render/dib_rows.h"
#include "render/graphics.h"
#include "render/opaque_runs.h"

namespace {

uint32_t Load(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Pixels in a buffer that ends right after the last one: AddressSanitizer sees any read past it.
struct Block {
    std::vector<uint8_t> bytes;
    int32_t stride;
    Block(int32_t w, int32_t h, int32_t strideBytes)
        : bytes(static_cast<size_t>(ptrdiff_t{h - 1} * strideBytes + 4 * w)), stride(strideBytes) {}
    uint8_t* At(int32_t x, int32_t y) { return bytes.data() + ptrdiff_t{y} * stride + 4 * x; }
};

// The key under any top byte, one bit off it, anything else; `runs`: long stretches as in shapes.
void FillSource(Block& src, int32_t w, int32_t h, uint32_t key, bool runs, std::mt19937& rng) {
    for (uint8_t& b : src.bytes) b = static_cast<uint8_t>(rng());
    key &= 0x00FFFFFFu;
    for (int32_t y = 0; y < h; ++y) {
        int32_t run = 0;
        bool keyRun = false;
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t r = rng() % 8, top = rng() & 0xFF000000u;
            uint32_t p = r < 3 ? key | top : r == 3 ? ((key ^ (1u << (rng() % 24))) & 0x00FFFFFFu) | top : rng();
            if (runs) {
                if (run == 0) {
                    run = 1 + static_cast<int32_t>(rng() % 40);
                    keyRun = (rng() & 1) != 0;
                }
                --run;
                p = keyRun ? key | top : (p & 0x00FFFFFFu) == key ? p ^ 0x100u : p;
            }
            std::memcpy(src.At(x, y), &p, 4);
        }
    }
}

DC_DESCRIPTOR Describe(Block& b, int32_t w, int32_t h, uint32_t key) {
    DC_DESCRIPTOR d;
    d.width = d.clipWidth = w;
    d.height = d.clipHeight = h;
    d.bytesPerRow = 4 * w;
    d.stride = b.stride;
    d.pixels = b.At(0, 0);
    d.colourKey = static_cast<int32_t>(key);
    d.flags = kDescColorKeySet;
    return d;
}

// Stamps through the runs and pixel by pixel onto noise: a pixel whose low 24 bits are the key's is skipped.
::testing::AssertionResult StampMatchesRule(const DC_DESCRIPTOR& image, int32_t x, int32_t y, int32_t sw, int32_t sh,
                                            std::mt19937& rng) {
    OpaqueRuns runs;
    runs.Build(image);
    if (!runs.Fits(image)) return ::testing::AssertionFailure() << "no runs built";
    std::vector<uint32_t> noise(static_cast<size_t>(sw) * sh), expected;
    for (uint32_t& p : noise) p = rng();
    expected = noise;
    const uint32_t key = static_cast<uint32_t>(image.colourKey) & 0x00FFFFFFu;
    for (int32_t row = std::max(y, 0); row < std::min(y + image.height, sh); ++row)
        for (int32_t col = std::max(x, 0); col < std::min(x + image.width, sw); ++col) {
            const uint32_t p = Load(image.pixels + (row - y) * image.stride + 4 * (col - x));
            if ((p & 0x00FFFFFFu) != key) expected[row * sw + col] = p;
        }
    for (const OpaqueRuns* through : {static_cast<const OpaqueRuns*>(&runs), static_cast<const OpaqueRuns*>(nullptr)}) {
        std::unique_ptr<Graphics> g(createSurface(sw, sh, 32, nullptr));
        std::memcpy(g->pixels, noise.data(), noise.size() * 4);
        drawImage(*g, image, x, y, 255, through);
        for (int32_t i = 0; i < sw * sh; ++i)
            if (Load(g->pixels + 4 * i) != expected[i])
                return ::testing::AssertionFailure() << (through ? "runs: " : "by pixel: ") << "pixel " << i % sw << ","
                                                     << i / sw << " is " << std::hex << Load(g->pixels + 4 * i)
                                                     << ", rule gives " << expected[i];
    }
    return ::testing::AssertionSuccess();
}

// Widths 1 to 70, strides of their own, four keys, at positions over every edge and corner and beyond.
TEST(KeyedBlit, RunsStampExactlyAsThePixelRuleForAnyImageAndClip) {
    const uint32_t keys[] = {0x00000000u, 0xFF000000u, 0x00123456u, 0x00FFFFFFu};
    std::mt19937 rng(12345u);
    for (int32_t w = 1; w <= 70; ++w) {
        const int32_t h = 1 + w % 9;
        const uint32_t key = keys[w % 4];
        Block src(w, h, 4 * w + (w % 3 == 0 ? 0 : 4 * (1 + w % 5)));
        FillSource(src, w, h, key, w % 2 == 0, rng);
        const DC_DESCRIPTOR image = Describe(src, w, h, key);
        const int32_t sw = 40, sh = 12;
        for (int32_t x : {-w, -w + 1, -w / 2, 0, 1, sw - w, sw - w / 2, sw - 1, sw})
            for (int32_t y : {-h, -h + 1, 0, sh - h, sh - 1, sh})
                ASSERT_TRUE(StampMatchesRule(image, x, y, sw, sh, rng)) << "width " << w << " at " << x << "," << y;
    }
}

// A 1 x 1 descriptor over `pixel`, of the given size as far as clipping is concerned.
DC_DESCRIPTOR Over(uint32_t& pixel, int32_t side = 1) {
    DC_DESCRIPTOR d{};
    d.width = d.height = d.clipWidth = d.clipHeight = side;
    d.stride = d.bytesPerRow = 4;
    d.pixels = reinterpret_cast<uint8_t*>(&pixel);
    d.alpha = 255;
    return d;
}

// A new surface is black, white, unkeyed, wholly clipped as a popped state; far stamps change nothing; fills clip.
TEST(Surface, DefaultsSavedStatesFarStampsAndFills) {
    std::unique_ptr<Graphics> g(createSurface(5, 4, 0, nullptr));  // a state left pushed: ASan sees it freed
    ASSERT_TRUE(g);
    EXPECT_EQ(std::make_pair(g->colourKey, g->bitsPerPixel), std::make_pair(-1, 32));  // depth 0 means 32
    g->PushState();
    g->clipX = 2;
    g->clipWidth = 3;
    g->colour = 5;
    g->wholeClip = 0;
    g->PopState();
    EXPECT_EQ(std::vector<uint32_t>({uint32_t(g->clipX), uint32_t(g->clipWidth), g->colour, uint32_t(g->wholeClip)}),
              std::vector<uint32_t>({0, 5, 0x00FFFFFFu, 1}));
    g->PushState();
    uint32_t pixel = 0x00123456u;
    for (auto [x, y] : {std::pair{-2147483647 - 1, 0}, {2147483647, 2147483647}, {2147483647, -2147483647 - 1}})
        drawImage(*g, Over(pixel, 3), x, y, 255);
    g->colour = 0x00112233;
    fillRect(*g, -2, 3, 10, 5);
    std::vector<uint32_t> want(20, 0u);
    std::fill(want.begin() + 15, want.end(), 0x00112233u);
    const auto* surface = reinterpret_cast<uint32_t*>(g->pixels);
    EXPECT_EQ(std::vector<uint32_t>(surface, surface + 20), want);
    pixel = 0xAA000000u;
    DC_DESCRIPTOR d = Over(pixel);
    d.alpha = -1;  // only the low 24 bits are written
    Graphics view(d);
    view.colour = 0x00010203;
    fillRect(view, 0, 0, 1, 1);
    EXPECT_EQ(pixel, 0xAA010203u);
    EXPECT_EQ(createSurface(4, 4, 16, nullptr), nullptr);
}

TEST(Surface, BottomUpRowsForPainting) {
    std::unique_ptr<Graphics> g(createSurface(4, 3, 32, nullptr));
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 4; ++x) reinterpret_cast<uint32_t*>(g->pixels)[y * 4 + x] = y * 10 + x;
    // got: left, top, right, bottom; none: nothing copied.
    const struct { const char* what; PixelRect asked; std::vector<int32_t> got; std::vector<uint32_t> rows; } rows[] = {
        {"beyond the surface: clipped", {1, -5, 100, 2}, {1, 0, 4, 2}, {11, 12, 13, 1, 2, 3}},
        {"empty", {2, 2, 2, 3}, {}, {99}},
        {"misses the surface", {5, 0, 9, 3}, {}, {99}},
    };
    for (const auto& row : rows) {
        std::vector<uint32_t> out{99};
        const PixelRect r = CopyRowsBottomUp(*g, row.asked, out);
        EXPECT_EQ(out, row.rows) << row.what;
        const std::vector<int32_t> got{r.left, r.top, r.right, r.bottom};
        EXPECT_EQ(r.right > r.left ? got : std::vector<int32_t>{}, row.got) << row.what;
    }
    // A paint with no buffer to be had (2^60, 2^62 pixels) is skipped; ASan aborts on a failed new: only 2^62.
#ifdef __SANITIZE_ADDRESS__
    for (int32_t side : {0x7FFFFFFF}) {
#else
    for (int32_t side : {0x40000000, 0x7FFFFFFF}) {
#endif
        uint32_t pixel = 0;
        const Graphics view(Over(pixel, side));
        std::vector<uint32_t> out{7};
        const PixelRect r = CopyRowsBottomUp(view, PixelRect{0, 0, side, side}, out);
        EXPECT_EQ(r.right - r.left, 0) << side;
        EXPECT_EQ(out, std::vector<uint32_t>{7u});
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "render/dib_rows.h"
#include "render/graphics.h"

namespace {

uint32_t At(const Graphics& g, int x, int y) {
    uint32_t p;
    std::memcpy(&p, g.pixels + y * g.stride + x * 4, 4);
    return p;
}

std::unique_ptr<Graphics> Surface(int w, int h) { return std::unique_ptr<Graphics>(createSurface(w, h, 32, nullptr)); }

// A 1 x 1 descriptor over `pixel`, of the given size as far as clipping is concerned.
DC_DESCRIPTOR Over(uint32_t& pixel, int32_t side = 1) {
    DC_DESCRIPTOR d{};
    d.width = d.height = d.clipWidth = d.clipHeight = side;
    d.stride = d.bytesPerRow = 4;
    d.pixels = reinterpret_cast<uint8_t*>(&pixel);
    d.alpha = 255;
    return d;
}

// Stamps wholly outside (the edges are the keyed blit's sweep) at positions whose sums
// overflow 32 bits.
TEST(Surface, StartsBlackWithWholeClipAndFarStampsChangeNothing) {
    auto g = Surface(5, 4);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->stride, 20);
    EXPECT_EQ(g->clipWidth, 5);
    EXPECT_EQ(g->colourKey, -1);
    EXPECT_EQ(g->colour, 0x00FFFFFFu);
    uint32_t pixel = 0x00123456u;
    for (auto [x, y] : {std::pair{-2147483647 - 1, 0}, {2147483647, 2147483647}, {2147483647, -2147483647 - 1}})
        drawImage(*g, Over(pixel, 3), x, y, 255);
    EXPECT_EQ(std::vector<uint32_t>(reinterpret_cast<uint32_t*>(g->pixels), reinterpret_cast<uint32_t*>(g->pixels) + 20),
              std::vector<uint32_t>(20, 0u));
    EXPECT_EQ(createSurface(4, 4, 16, nullptr), nullptr);
    std::unique_ptr<Graphics> defaultDepth(createSurface(2, 2, 0, nullptr));
    ASSERT_TRUE(defaultDepth);
    EXPECT_EQ(defaultDepth->bitsPerPixel, 32);
}

TEST(Surface, FillRectHonoursClipAndAlpha) {
    auto g = Surface(4, 4);
    g->colour = 0x00112233;
    fillRect(*g, -2, 3, 10, 5);
    EXPECT_EQ(At(*g, 0, 3), 0x00112233u);
    EXPECT_EQ(At(*g, 3, 3), 0x00112233u);
    EXPECT_EQ(At(*g, 0, 2), 0u);
    uint32_t pixel = 0xAA000000u;
    DC_DESCRIPTOR d = Over(pixel);
    d.alpha = -1;  // only the low 24 bits are written
    Graphics view(d);
    view.colour = 0x00010203;
    fillRect(view, 0, 0, 1, 1);
    EXPECT_EQ(pixel, 0xAA010203u);
}

TEST(Surface, BottomUpRowsForPainting) {
    auto g = Surface(4, 3);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 4; ++x) reinterpret_cast<uint32_t*>(g->pixels)[y * 4 + x] = y * 10 + x;
    const struct {
        const char* what;
        PixelRect asked;
        std::vector<int32_t> got;  // left, top, right, bottom; none: nothing copied
        std::vector<uint32_t> rows;
    } rows[] = {
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
    // A paint whose row buffer cannot be had is skipped, never thrown out of the window
    // procedure: 2^60 pixels (no such memory), 2^62 (beyond what a vector holds).
    // AddressSanitizer aborts on any failed throwing new, so there only the second runs.
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

TEST(Surface, SavedStatesRestoreClipAndColour) {
    auto g = Surface(10, 10);  // a state left on the stack is freed by the destructor (ASan checks)
    g->PushState();
    g->clipX = 2;
    g->clipWidth = 3;
    g->colour = 5;
    g->wholeClip = 0;
    g->PopState();
    EXPECT_EQ(g->clipX, 0);
    EXPECT_EQ(g->clipWidth, 10);
    EXPECT_EQ(g->colour, 0x00FFFFFFu);
    EXPECT_EQ(g->wholeClip, 1);
    g->PushState();
}

}  // namespace

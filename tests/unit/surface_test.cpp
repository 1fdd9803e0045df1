#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "render/dib_rows.h"
#include "render/graphics.h"

namespace {

// A keyed 3 x 3 test image: key 0 in the middle, distinct colours elsewhere.
struct TestImage {
    std::vector<uint32_t> pixels;
    DC_DESCRIPTOR d;
    TestImage(int w, int h) : pixels(static_cast<size_t>(w) * h) {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x00100000u + static_cast<uint32_t>(i) + 1;
        d.width = w;
        d.height = h;
        d.bytesPerRow = d.stride = w * 4;
        d.pixels = reinterpret_cast<uint8_t*>(pixels.data());
        d.colourKey = 0;
        d.flags = kDescColorKeySet;
        d.alpha = 255;
        d.clipWidth = w;
        d.clipHeight = h;
    }
};

uint32_t At(const Graphics& g, int x, int y) {
    uint32_t p;
    std::memcpy(&p, g.pixels + y * g.stride + x * 4, 4);
    return p;
}

std::unique_ptr<Graphics> Surface(int w, int h) { return std::unique_ptr<Graphics>(createSurface(w, h, 32, nullptr)); }

TEST(Surface, StartsBlackWithWholeClip) {
    auto g = Surface(5, 4);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->stride, 20);
    EXPECT_EQ(g->clipWidth, 5);
    EXPECT_EQ(g->colourKey, -1);
    EXPECT_EQ(g->colour, 0x00FFFFFFu);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(At(*g, x, y), 0u);
    EXPECT_EQ(createSurface(4, 4, 16, nullptr), nullptr);
    std::unique_ptr<Graphics> defaultDepth(createSurface(2, 2, 0, nullptr));
    ASSERT_TRUE(defaultDepth);
    EXPECT_EQ(defaultDepth->bitsPerPixel, 32);
}

TEST(Surface, StampClipsAtEveryEdge) {
    TestImage img(3, 3);
    struct Case {
        int x, y;
    };
    // Each position hangs the image over one edge or corner of an 8 x 6 surface.
    for (Case c : {Case{-1, 2}, Case{6, 2}, Case{3, -2}, Case{3, 5}, Case{-2, -2}, Case{7, 5}, Case{2, 2}}) {
        auto g = Surface(8, 6);
        drawImage(*g, img.d, c.x, c.y, 255);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int sx = x - c.x, sy = y - c.y;
                uint32_t expected = 0;
                if (sx >= 0 && sx < 3 && sy >= 0 && sy < 3) expected = img.pixels[sy * 3 + sx];
                ASSERT_EQ(At(*g, x, y), expected) << "stamp at " << c.x << "," << c.y << " pixel " << x << "," << y;
            }
        }
    }
}

TEST(Surface, StampWhollyOutsideChangesNothing) {
    TestImage img(3, 3);
    auto g = Surface(8, 6);
    for (auto pos : {std::pair{-3, 0}, {8, 0}, {0, -3}, {0, 6}, {-2147483647 - 1, 0}, {2147483647, 2147483647}})
        drawImage(*g, img.d, pos.first, pos.second, 255);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(At(*g, x, y), 0u);
}

TEST(Surface, KeyComparesTheLowThreeBytesAndWritesWholePixels) {
    TestImage img(3, 1);
    img.pixels = {0xFF000000u, 0x00000000u, 0x7F123456u};
    img.d.pixels = reinterpret_cast<uint8_t*>(img.pixels.data());
    auto g = Surface(3, 1);
    g->colour = 0x00ABCDEF;
    fillRect(*g, 0, 0, 3, 1);
    drawImage(*g, img.d, 0, 0, 255);
    EXPECT_EQ(At(*g, 0, 0), 0x00ABCDEFu);  // differs from the key only in its top byte: skipped
    EXPECT_EQ(At(*g, 1, 0), 0x00ABCDEFu);
    EXPECT_EQ(At(*g, 2, 0), 0x7F123456u);  // written whole, top byte included

    img.d.colourKey = -1;  // no key: a plain copy
    drawImage(*g, img.d, 0, 0, 255);
    EXPECT_EQ(At(*g, 1, 0), 0u);
}

TEST(Surface, KeyedRowRoutineMatchesThePlainLoop) {
    std::vector<uint32_t> src(37 * 5), dst(41 * 5, 0x00777777u), ref;
    for (size_t i = 0; i < src.size(); ++i) src[i] = (i % 3 == 0) ? (i % 2 ? 0x01000000u : 0u) : 0x00010203u * (uint32_t)i;
    ref = dst;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x)
            if ((src[y * 37 + x] & 0xFFFFFF) != 0) ref[y * 41 + x + 2] = src[y * 37 + x];
    blitKeyed(reinterpret_cast<uint8_t*>(dst.data() + 2), 41 * 4, reinterpret_cast<const uint8_t*>(src.data()),
              37 * 4, 37, 5, 0xFF000000u);
    EXPECT_EQ(dst, ref);
}

TEST(Surface, FillRectHonoursClipAndAlpha) {
    auto g = Surface(4, 4);
    g->colour = 0x00112233;
    fillRect(*g, -2, 3, 10, 5);
    EXPECT_EQ(At(*g, 0, 3), 0x00112233u);
    EXPECT_EQ(At(*g, 3, 3), 0x00112233u);
    EXPECT_EQ(At(*g, 0, 2), 0u);

    std::vector<uint32_t> px = {0xAA000000u};
    DC_DESCRIPTOR d;
    d.width = d.height = 1;
    d.stride = d.bytesPerRow = 4;
    d.pixels = reinterpret_cast<uint8_t*>(px.data());
    d.alpha = -1;  // only the low 24 bits are written
    Graphics view(d);
    view.colour = 0x00010203;
    fillRect(view, 0, 0, 1, 1);
    EXPECT_EQ(px[0], 0xAA010203u);
}

TEST(Surface, BottomUpRowsForPainting) {
    auto g = Surface(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint32_t v = static_cast<uint32_t>(y * 10 + x);
            std::memcpy(g->pixels + y * 16 + x * 4, &v, 4);
        }
    std::vector<uint32_t> rows;
    PixelRect r = CopyRowsBottomUp(*g, PixelRect{1, -5, 100, 2}, rows);  // beyond the surface: clipped
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 2);
    EXPECT_EQ(rows, (std::vector<uint32_t>{11, 12, 13, 1, 2, 3}));

    rows.assign(1, 99u);
    r = CopyRowsBottomUp(*g, PixelRect{2, 2, 2, 3}, rows);  // empty
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(rows, std::vector<uint32_t>{99u});
    r = CopyRowsBottomUp(*g, PixelRect{5, 0, 9, 3}, rows);  // misses the surface
    EXPECT_EQ(r.right - r.left, 0);

    // A paint whose row buffer cannot be had is skipped, never thrown out of the window
    // procedure: 2^60 pixels (no such memory), 2^62 (beyond what a vector holds).
    // AddressSanitizer aborts on any failed throwing new, so there only the second runs.
#ifdef __SANITIZE_ADDRESS__
    for (int32_t side : {0x7FFFFFFF}) {
#else
    for (int32_t side : {0x40000000, 0x7FFFFFFF}) {
#endif
        uint32_t pixel = 0;
        DC_DESCRIPTOR huge{};
        huge.width = huge.height = huge.clipWidth = huge.clipHeight = side;
        huge.pixels = reinterpret_cast<uint8_t*>(&pixel);
        const Graphics view(huge);
        rows.assign(1, 7u);
        r = CopyRowsBottomUp(view, PixelRect{0, 0, side, side}, rows);
        EXPECT_EQ(r.right - r.left, 0) << side;
        EXPECT_EQ(rows, std::vector<uint32_t>{7u});
    }
}

TEST(Surface, SavedStatesRestoreClipAndColour) {
    auto g = Surface(10, 10);
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
    g->PushState();  // left on the stack: freed by the destructor (ASan checks)
}

}  // namespace

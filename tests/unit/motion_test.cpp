#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/image_sizes.h"
#include "app/motion.h"

namespace {

constexpr float kCb = 1.46f, kCs = 0.01f;

MotionPath Path(int32_t width, int32_t height) {
    MotionPath path;
    path.RecomputeGeometry(width, height);
    return path;
}

TEST(MotionPath, ExactPositions) {
    const struct { const char* what; int32_t imageWidth; float cb, cs; std::vector<std::pair<int32_t, int32_t>> at; }
        rows[] = {
        {"the first three steps at 640 x 480", 63, kCb, kCs, {{318, 467}, {36, 266}, {205, -36}}},
        // Swing frozen at radius 260, orbit pi: px -260, and -259.5 truncates to -259, not -260.
        {"half added before truncating toward zero", 1, 3.14159265358979f, 0.0f, {{-259 + 320, 240}}},
    };
    for (const auto& row : rows) {
        MotionPath path = Path(640, 480);
        for (const auto& [x, y] : row.at) {
            const StampPosition p = path.NextPosition(row.imageWidth, row.cb, row.cs);
            EXPECT_TRUE(p.valid) << row.what;
            EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(x, y)) << row.what;
        }
    }
}

// Scale: the even width over 640; odd windows move as the even one below.
TEST(MotionPath, Geometry) {
    const MotionPath big = Path(1024, 768);
    EXPECT_EQ(std::vector<double>({big.scale, big.baseRadius, big.swingRadius}), std::vector<double>({1.6, 256, 160}));
    MotionPath odd = Path(801, 601), even = Path(800, 600);
    EXPECT_EQ(std::make_pair(odd.width, odd.height), std::make_pair(800, 600));
    for (int i = 0; i < 50; ++i) {
        const StampPosition a = odd.NextPosition(63, kCb, kCs), b = even.NextPosition(63, kCb, kCs);
        ASSERT_EQ(std::make_pair(a.x, a.y), std::make_pair(b.x, b.y)) << i;
    }
}

// Stored sizes, shape and scale -> outer and inner sizes; absurd ones no image (no overflow on +2).
TEST(ImageSizes, ShapesScalesAndAbsurdSizes) {
    const struct { int32_t shape, size1, size2; double scale; int32_t outer, inner; } rows[] = {  // -1: not drawable
        {2, 20, 20, 1.0, 22, 20},  // the torus keeps room for its tube
        {2, 20, 30, 1.0, 30, 20},  // and orders the two sizes
        {0, 10, 40, 1.0, 10, 40},  // the sphere does not
        {0, 30, 29, 1.6, 48, 46}, {0, 0, 0, 1.0, 0, 0},
        {0, 50, 50, 6.0, 300, 300},  // 3840 px wide, the largest slider value
        {0, -5, 29, 1.0, -1, -1}, {0, 2000000000, 29, 1.0, -1, -1}, {0, 2147483647, 29, 1.0, -1, -1},
        {0, 1025, 29, 1.0, -1, -1}, {2, 2147483647, 2147483647, 1.0, -1, -1},
    };
    for (const auto& row : rows) {
        const ImageSizes s = ComputeImageSizes(row.shape, row.size1, row.size2, row.scale);
        SCOPED_TRACE(testing::Message() << row.shape << " " << row.size1 << " " << row.size2 << " x" << row.scale);
        EXPECT_EQ(s.drawable ? std::make_pair(s.outerSize, s.innerSize) : std::make_pair(-1, -1),
                  std::make_pair(row.outer, row.inner));
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/image_sizes.h"
#include "app/motion.h"

namespace {

constexpr float kCb = 1.46f;
constexpr float kCs = 0.01f;

TEST(MotionPath, FirstThreeStepsAt640x480) {
    MotionPath path;
    path.RecomputeGeometry(640, 480);
    const int expected[3][2] = {{318, 467}, {36, 266}, {205, -36}};
    for (const auto& e : expected) {
        const StampPosition p = path.NextPosition(63, kCb, kCs);
        EXPECT_TRUE(p.valid);
        EXPECT_EQ(p.x, e[0]);
        EXPECT_EQ(p.y, e[1]);
    }
}

TEST(MotionPath, GeometryFollowsTheEvenWidthOnly) {
    MotionPath path;
    path.RecomputeGeometry(1024, 768);
    EXPECT_DOUBLE_EQ(path.scale, 1.6);
    EXPECT_DOUBLE_EQ(path.baseRadius, 256.0);
    EXPECT_DOUBLE_EQ(path.swingRadius, 160.0);

    MotionPath odd;
    odd.RecomputeGeometry(801, 601);
    EXPECT_EQ(odd.width, 800);
    EXPECT_EQ(odd.height, 600);
    EXPECT_DOUBLE_EQ(odd.scale, 1.25);
    MotionPath even;
    even.RecomputeGeometry(800, 600);
    for (int i = 0; i < 50; ++i) {
        const StampPosition a = odd.NextPosition(63, kCb, kCs);
        const StampPosition b = even.NextPosition(63, kCb, kCs);
        ASSERT_EQ(a.x, b.x);
        ASSERT_EQ(a.y, b.y);
    }
}

TEST(MotionPath, CentresStayInTheRing) {
    MotionPath path;
    path.RecomputeGeometry(1920, 1080);
    for (int i = 0; i < 5000; ++i) {
        const StampPosition p = path.NextPosition(63, kCb, kCs);
        const double dx = p.x + 31 - 960, dy = p.y + 31 - 540;
        const double r = std::sqrt(dx * dx + dy * dy);
        ASSERT_GE(r, 60 * 3.0 - 2.0);
        ASSERT_LE(r, 260 * 3.0 + 2.0);
    }
}

TEST(MotionPath, HalfIsAddedBeforeTruncatingTowardZero) {
    // With the swing frozen at cos(0) = 1 the radius is 260 at scale 1; an orbit of pi
    // puts px at -260 exactly: -259.5 truncates to -259, not rounded to -260.
    MotionPath path;
    path.RecomputeGeometry(640, 480);
    const StampPosition p = path.NextPosition(1, 3.14159265358979f, 0.0f);
    EXPECT_EQ(p.x, -259 + 320);
}

TEST(MotionPath, NegativeOrbitStepTurnsTheOtherWay) {
    MotionPath forward, backward;
    forward.RecomputeGeometry(640, 480);
    backward.RecomputeGeometry(640, 480);
    const StampPosition f = forward.NextPosition(63, 0.5f, 0.0f);
    const StampPosition b = backward.NextPosition(63, -0.5f, 0.0f);
    EXPECT_EQ(f.x, b.x);
    EXPECT_GT(f.y, 240 - 31);  // clockwise on screen: downwards first
    EXPECT_LT(b.y, 240 - 31);
}

TEST(MotionPath, ZeroOrbitStepStaysOnOneRay) {
    MotionPath path;
    path.RecomputeGeometry(640, 480);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(path.NextPosition(63, 0.0f, kCs).y, 240 - 31);
}

TEST(MotionPath, NonFiniteSpeedsSkipTheStampAndNeverRecover) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {nan, inf, -inf}) {
        MotionPath orbit;
        orbit.RecomputeGeometry(640, 480);
        EXPECT_FALSE(orbit.NextPosition(63, bad, kCs).valid);
        EXPECT_FALSE(orbit.NextPosition(63, kCb, kCs).valid);
        MotionPath swing;
        swing.RecomputeGeometry(640, 480);
        EXPECT_FALSE(swing.NextPosition(63, kCb, bad).valid);
    }
    MotionPath huge;  // finite but enormous steps still give positions on the ring
    huge.RecomputeGeometry(640, 480);
    EXPECT_TRUE(huge.NextPosition(63, 3e38f, 3e38f).valid);
}

// Sizes as stored, shape and scale -> the outer and inner image sizes; absurd stored
// sizes get no image (and no overflow on the torus's +2).
TEST(ImageSizes, ShapesScalesAndAbsurdSizes) {
    const struct {
        int32_t shape, size1, size2;
        double scale;
        int32_t outer, inner;  // -1: not drawable
    } rows[] = {
        {2, 20, 20, 1.0, 22, 20},  // the torus keeps room for its tube
        {2, 20, 30, 1.0, 30, 20},  // and orders the two sizes
        {0, 10, 40, 1.0, 10, 40},  // the sphere does not
        {0, 30, 29, 1.6, 48, 46},
        {0, 0, 0, 1.0, 0, 0},
        {0, 50, 50, 6.0, 300, 300},  // 3840 px wide, the largest slider value
        {0, -2000000000, 29, 1.0, -1, -1}, {0, -5, 29, 1.0, -1, -1}, {0, 2000000000, 29, 1.0, -1, -1},
        {0, 2147483647, 29, 1.0, -1, -1}, {0, 1025, 29, 1.0, -1, -1}, {2, -5, -5, 6.0, -1, -1},
        {2, 1025, 1025, 6.0, -1, -1}, {2, 2147483647, 2147483647, 1.0, -1, -1}, {2, 2000000000, 5, 1.0, -1, -1},
    };
    for (const auto& row : rows) {
        const ImageSizes s = ComputeImageSizes(row.shape, row.size1, row.size2, row.scale);
        SCOPED_TRACE(testing::Message() << row.shape << " " << row.size1 << " " << row.size2 << " x" << row.scale);
        EXPECT_EQ(s.drawable, row.outer >= 0);
        if (row.outer >= 0) {
            EXPECT_EQ(s.outerSize, row.outer);
            EXPECT_EQ(s.innerSize, row.inner);
        }
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dialog/pointer_controls.h"
#include "dialog/settings_edits.h"

namespace {

struct Edits : ::testing::Test {
    void SetUp() override {
        SetDefaults(s, r);
        r.rebuildImages = 0;
    }
    SaverSettings s{};
    RunState r{};
};

TEST_F(Edits, BoundCouplesTheSizesBothWays) {
    MoveSize1(s, r, 40);
    EXPECT_EQ(s.size1, 40);
    EXPECT_EQ(s.size2, 40);
    EXPECT_EQ(r.rebuildImages, 1);
    MoveSize2(s, r, 12);
    EXPECT_EQ(s.size1, 12);

    SetBound(s, r, false);
    MoveSize1(s, r, 33);
    EXPECT_EQ(s.size1, 33);
    EXPECT_EQ(s.size2, 12);
    SetBound(s, r, true);  // checking it again makes the height follow the width
    EXPECT_EQ(s.bound, 1);
    EXPECT_EQ(s.size2, 33);
}

TEST_F(Edits, TorusFromDefaultSizesStartsAsARing) {
    ChooseTorus(s, r);
    EXPECT_EQ(s.shape, 2);
    EXPECT_EQ(s.bound, 0);
    EXPECT_EQ(s.size1, 25);
    EXPECT_EQ(s.size2, 18);
    EXPECT_EQ(r.rebuildImages, 1);

    s.size1 = 40;
    s.size2 = 37;  // differ by 3: kept
    ChooseTorus(s, r);
    EXPECT_EQ(s.size1, 40);
    EXPECT_EQ(s.size2, 37);
    s.size1 = -2147483647 - 1;  // stored nonsense must not overflow the difference
    s.size2 = 2147483647;
    ChooseTorus(s, r);
    EXPECT_EQ(s.size2, 2147483647);

    ChooseSphere(s, r);
    EXPECT_EQ(s.shape, 0);
    EXPECT_EQ(s.bound, 0);  // enabled again, still unchecked
}

TEST_F(Edits, PercentSlidersAndPositions) {
    // What a trackbar stores shows as the same position when the dialog opens again.
    for (int32_t position = kPercentMin; position <= kPercentMax; ++position) {
        MoveMirror(s, r, position);
        MoveAmbient(s, r, position);
        EXPECT_EQ(PercentPosition(s.mirror), position);
        EXPECT_EQ(PercentPosition(s.ambient), position);
    }
    // Values between two positions still truncate.
    EXPECT_EQ(PercentPosition(0.995f), 99);
    EXPECT_EQ(PercentPosition(0.539f), 53);
    EXPECT_EQ(PercentPosition(0.34f), 34);
    EXPECT_EQ(PercentPosition(-0.53f), -53);
    MoveMirror(s, r, 99);
    EXPECT_EQ(s.mirror, 0.99f);
    MoveAmbient(s, r, 100);
    EXPECT_EQ(s.ambient, 1.0f);
    // Stored nonsense shows at the nearer end of the trackbar.
    EXPECT_EQ(PercentPosition(1e30f), 2147483647);
    EXPECT_EQ(PercentPosition(-std::numeric_limits<float>::infinity()), -2147483647 - 1);
    EXPECT_EQ(PercentPosition(std::nanf("")), 0);
}

TEST_F(Edits, SpeedsStepWithoutLimits) {
    const float start = s.cbStep;
    for (int i = 0; i < 10; ++i) StepSpeed(s, SpeedColumn::Radial, -1);
    float expected = start;
    for (int i = 0; i < 10; ++i) expected += -1.0f * 0.0005091f;
    EXPECT_EQ(s.cbStep, expected);
    s.csStep = 0.001f;
    for (int i = 0; i < 10; ++i) StepSpeed(s, SpeedColumn::Round, -1);
    EXPECT_LT(s.csStep, 0.0f);  // through zero
    EXPECT_EQ(r.rebuildImages, 0);

    const float cs = s.csStep, cb = s.cbStep;
    Spin(s, 10, 0);
    EXPECT_EQ(s.csStep, cs + 10.0f * 0.0005091f);
    Spin(s, -4, 1);
    EXPECT_EQ(s.cbStep, cb + -4.0f * 0.0005091f);
    Spin(s, 7, 2);
    EXPECT_EQ(s.csStep, cs + 10.0f * 0.0005091f);
}

TEST_F(Edits, SwitchToggleUsesTheStoredValue) {
    s.switches[2] = 4;  // on, as loaded from a mask
    ToggleSwitch(s, 2);
    EXPECT_EQ(s.switches[2], 0);
    ToggleSwitch(s, 2);
    EXPECT_EQ(s.switches[2], 1);
    ToggleSwitch(s, 7);  // out of range: nothing
    EXPECT_EQ(r.rebuildImages, 0);
}

TEST(LightEditor, PointToDirection) {
    // A 78-pixel-wide control with radius 36: half is 39.
    LightDirection d = DirectionFromPoint(39, 39, 78, 36);
    EXPECT_EQ(d.x, -0.0f);
    EXPECT_EQ(d.y, -0.0f);
    EXPECT_EQ(d.z, -1.0f);
    d = DirectionFromPoint(39 + 18, 39, 78, 36);
    EXPECT_EQ(d.x, -0.5f);
    EXPECT_EQ(d.z, -static_cast<float>(std::sqrt(0.75)));
    d = DirectionFromPoint(39, 39 + 36, 78, 36);  // on the rim
    EXPECT_EQ(d.y, -1.0f);
    EXPECT_EQ(d.z, 0.0f);
    d = DirectionFromPoint(-200, 39, 78, 36);  // dragged far outside
    EXPECT_GT(d.x, 1.0f);
    EXPECT_EQ(d.z, 0.0f);
}

TEST(Spinner, FirstMoveIsOnlyTheReference) {
    SpinnerDrag drag;
    int32_t delta = 0;
    EXPECT_FALSE(drag.Move(10, delta));  // not pressed
    drag.Press();
    EXPECT_FALSE(drag.Move(50, delta));
    EXPECT_TRUE(drag.Move(40, delta));
    EXPECT_EQ(delta, 10);
    EXPECT_TRUE(drag.Move(44, delta));
    EXPECT_EQ(delta, -4);
    EXPECT_TRUE(drag.Move(-1, delta));  // one pixel above the control: no reference after it
    EXPECT_FALSE(drag.Move(20, delta));
    drag.Release();
    drag.Press();
    EXPECT_FALSE(drag.Move(5, delta));  // a new drag starts without a reference
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "dialog/pointer_controls.h"
#include "dialog/settings_edits.h"

namespace {

// One user action after another on the same settings; after each, "size1 size2 bound
// shape phong switch2" and whether new images were asked for.
TEST(Edits, EachActionChangesWhatItShould) {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    const struct { const char* what; std::function<void()> act; std::string after; int rebuild; } steps[] = {
        {"bound: the height follows the width", [&] { MoveSize1(s, r, 40); }, "40 40 1 0 4 1", 1},
        {"bound: the width follows the height", [&] { MoveSize2(s, r, 12); }, "12 12 1 0 4 1", 1},
        {"unbound: sizes apart", [&] { SetBound(s, r, false), MoveSize1(s, r, 33); }, "33 12 0 0 4 1", 1},
        {"checking bound again joins the height", [&] { SetBound(s, r, true); }, "33 33 1 0 4 1", 1},
        {"phong", [&] { MovePhong(s, r, 20); }, "33 33 1 0 20 1", 1},
        {"torus from near sizes starts as a ring", [&] { ChooseTorus(s, r); }, "25 18 0 2 20 1", 1},
        {"sizes 3 apart are kept", [&] { s.size1 = 40, s.size2 = 37, ChooseTorus(s, r); }, "40 37 0 2 20 1", 1},
        {"stored nonsense does not overflow the difference",
         [&] { s.size1 = -2147483647 - 1, s.size2 = 2147483647, ChooseTorus(s, r); },
         "-2147483648 2147483647 0 2 20 1", 1},
        {"sphere: bound enabled again, still unchecked", [&] { ChooseSphere(s, r); },
         "-2147483648 2147483647 0 0 20 1", 1},
        {"a switch toggles what is stored: 4 is on", [&] { s.switches[2] = 4, ToggleSwitch(s, 2); },
         "-2147483648 2147483647 0 0 20 0", 0},
        {"and on again as 1", [&] { ToggleSwitch(s, 2); }, "-2147483648 2147483647 0 0 20 1", 0},
        {"slot 7 is none", [&] { ToggleSwitch(s, 7); }, "-2147483648 2147483647 0 0 20 1", 0},
    };
    for (const auto& step : steps) {
        r.rebuildImages = 0;
        step.act();
        EXPECT_EQ(std::to_string(s.size1) + " " + std::to_string(s.size2) + " " + std::to_string(s.bound) + " " +
                      std::to_string(s.shape) + " " + std::to_string(s.phong) + " " + std::to_string(s.switches[2]),
                  step.after)
            << step.what;
        EXPECT_EQ(r.rebuildImages, step.rebuild) << step.what;
    }
}

// Speeds step by 0.0005091 without limits, each button and spinner its own column (the third spinner none).
TEST(Edits, SpeedsStepWithoutLimits) {
    SaverSettings s{};
    s.cbStep = 1.46f, s.csStep = 0.001f;
    StepSpeed(s, SpeedColumn::Radial, -1);
    for (int i = 0; i < 10; ++i) StepSpeed(s, SpeedColumn::Round, -1);
    EXPECT_FLOAT_EQ(s.cbStep, 1.4594909f);
    EXPECT_FLOAT_EQ(s.csStep, -0.004091f);  // through zero
    Spin(s, 10, 0), Spin(s, -4, 1), Spin(s, 7, 2);
    EXPECT_FLOAT_EQ(s.csStep, 0.001f);
    EXPECT_FLOAT_EQ(s.cbStep, 1.4574545f);
}

TEST(Edits, PercentSlidersShowWhatTheyStored) {
    SaverSettings s{};
    RunState r{};
    for (int32_t position = kPercentMin; position <= kPercentMax; ++position) {
        MoveMirror(s, r, position);
        MoveAmbient(s, r, kPercentMin + kPercentMax - position);  // apart, so that a mix-up shows
        EXPECT_EQ(PercentPosition(s.mirror), position);
        EXPECT_EQ(PercentPosition(s.ambient), kPercentMin + kPercentMax - position);
    }
    // Values between two positions truncate; stored nonsense shows at the nearer end.
    const std::pair<float, int32_t> shown[] = {
        {0.995f, 99}, {0.539f, 53}, {0.34f, 34}, {-0.53f, -53}, {1e30f, 2147483647},
        {-std::numeric_limits<float>::infinity(), -2147483647 - 1}, {std::nanf(""), 0}};
    for (const auto& [value, position] : shown) EXPECT_EQ(PercentPosition(value), position) << value;
}

TEST(PointerControls, LightDirectionAndSpinnerDrag) {
    // A 78-pixel-wide control with radius 36: half is 39.
    const struct { int32_t x, y; float dx, dy, dz; } points[] = {
        {39, 39, -0.0f, -0.0f, -1.0f}, {57, 39, -0.5f, -0.0f, -static_cast<float>(std::sqrt(0.75))},
        {39, 75, -0.0f, -1.0f, 0.0f},  // on the rim
    };
    for (const auto& p : points) {
        const LightDirection d = DirectionFromPoint(p.x, p.y, 78, 36);
        EXPECT_EQ(std::vector<float>({d.x, d.y, d.z}), std::vector<float>({p.dx, p.dy, p.dz})) << p.x << "," << p.y;
    }
    const LightDirection outside = DirectionFromPoint(-200, 39, 78, 36);  // dragged far outside
    EXPECT_EQ(outside.z, 0.0f);
    SpinnerDrag drag;
    int32_t delta = 0;
    EXPECT_FALSE(drag.Move(10, delta));  // not pressed
    for (int press = 0; press < 2; ++press) {
        drag.Press();
        // The first move only takes a reference, as does the one after y = -1; so does a new drag.
        const std::pair<int32_t, int32_t> moves[] = {{50, 0}, {40, 10}, {44, -4}, {-1, 45}, {20, 0}};
        for (const auto& [y, moved] : moves) EXPECT_EQ(drag.Move(y, delta) ? delta : 0, moved) << y;
        drag.Release();
    }
}

}  // namespace

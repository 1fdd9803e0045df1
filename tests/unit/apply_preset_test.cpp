#include <gtest/gtest.h>

#include <cstring>

#include "presets/apply_preset.h"

namespace {

SaverSettings Live() {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    return s;
}

PresetHolder Torus(int32_t size1) {
    PresetHolder h{};
    h.leadWord = 9;
    std::memcpy(h.name, "torus", 6);
    h.angleX = -0.5f;
    h.angleY = 0.25f;
    h.angleZ = -0.75f;
    h.cbStep = -0.0005091f;
    h.csStep = 3.0f;
    h.shape = 2;
    h.size1 = size1;
    h.size2 = 12;
    h.phong = 20;
    h.mirror = 0.5f;
    h.ambient = 0.0f;
    const int32_t switches[kShapeSlots] = {4, 0, -1, 0, 64, 1, 0};
    std::memcpy(h.switches, switches, sizeof switches);
    for (int i = 0; i < kShapeSlots; ++i) h.color[i] = ShapeColor{i, 2 * i, 300};
    h.reserved[0] = 5;
    return h;
}

// Every preset field is copied word for word, without range checks; bound and the
// random choice keep their values; an invalid position changes nothing.
TEST(ApplyPreset, CopiesEveryPresetFieldAndAsksForNewImages) {
    OwnedPresetStore store;
    const SaverSettings before = Live();
    SaverSettings s = before;
    RunState r{};
    for (int32_t position : {0, 1, -1}) {
        ApplyPreset(store, position, s, r);
        if (position == 0) AddPreset(store, Torus(40));
    }
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    EXPECT_EQ(r.rebuildImages, 0);

    s.bound = 77;
    s.randomly = 88;
    ApplyPreset(store, 0, s, r);
    SaverSettings want{-0.5f, 0.25f, -0.75f, -0.0005091f, 3.0f, 2, 40, 12, 20, 0.5f, 0.0f, 77,
                       {4, 0, -1, 0, 64, 1, 0}, {}, 88};
    for (int i = 0; i < kShapeSlots; ++i) want.color[i] = ShapeColor{i, 2 * i, 300};
    EXPECT_EQ(std::memcmp(&s, &want, sizeof s), 0);
    RunState untouched{};
    untouched.rebuildImages = 1;
    EXPECT_EQ(std::memcmp(&r, &untouched, sizeof r), 0);
}

TEST(RandomPreset, PicksOnlyInFullScreenWithTheOptionOnAndPresetsStored) {
    OwnedPresetStore store;
    SaverSettings s = Live();
    RunState r{};
    r.fullScreen = 1;
    s.randomly = 1;
    EXPECT_FALSE(PickRandomPreset(store, 1234, s, r));  // empty store: profile settings stay
    AddPreset(store, Torus(40));
    r.fullScreen = 0;
    EXPECT_FALSE(PickRandomPreset(store, 1234, s, r));
    r.fullScreen = 1;
    s.randomly = 0;
    EXPECT_FALSE(PickRandomPreset(store, 1234, s, r));
    EXPECT_EQ(s.size1, 30);
    EXPECT_EQ(r.rebuildImages, 0);
    s.randomly = 1;
    EXPECT_TRUE(PickRandomPreset(store, 1234, s, r));
    EXPECT_EQ(s.size1, 40);
    EXPECT_EQ(r.rebuildImages, 1);
}

TEST(RandomPreset, PositionIsTheClockModuloTheCountUnsigned) {
    OwnedPresetStore store;
    for (int32_t i = 0; i < 7; ++i) AddPreset(store, Torus(100 + i));
    SaverSettings s = Live();
    s.randomly = 1;
    RunState r{};
    r.fullScreen = 1;
    const std::pair<uint32_t, int32_t> picks[] = {
        {0, 100}, {6, 106}, {7, 100}, {1234, 100 + 1234 % 7}, {0xFFFFFFFFu, 103}, {0x80000000u, 102}};
    for (const auto& [clock, size1] : picks) {
        ASSERT_TRUE(PickRandomPreset(store, clock, s, r));
        EXPECT_EQ(s.size1, size1) << clock;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>

#include "app/settings.h"

namespace {

SaverSettings Garbage() {
    SaverSettings s;
    std::memset(&s, 0x5A, sizeof s);
    return s;
}

TEST(SettingsDefaults, StaticRecordsStartWithTheDefaults) {
    EXPECT_EQ(theRunState.rebuildImages, 1);
    EXPECT_EQ(theRunState.stopDrawing, 0);
    EXPECT_EQ(theRunState.fullScreen, 0);
    EXPECT_EQ(theSettings.randomly, 0);
    EXPECT_FLOAT_EQ(theSettings.cbStep, 1.46f);
    EXPECT_EQ(theSettings.size1, 30);
}

TEST(SettingsDefaults, SetDefaultsWritesEveryDefault) {
    SaverSettings s = Garbage();
    RunState r{};
    r.rebuildImages = 0;
    r.stopDrawing = 1;
    SetDefaults(s, r);
    EXPECT_EQ(s.angleX, 1.0f);
    EXPECT_EQ(s.angleY, 1.0f);
    EXPECT_EQ(s.angleZ, -1.0f);
    EXPECT_EQ(s.cbStep, 1.46f);
    EXPECT_EQ(s.csStep, 0.01f);
    EXPECT_EQ(s.shape, 0);
    EXPECT_EQ(s.size1, 30);
    EXPECT_EQ(s.size2, 29);
    EXPECT_EQ(s.phong, 4);
    EXPECT_EQ(s.mirror, 0.995f);
    EXPECT_EQ(s.ambient, 0.34f);
    EXPECT_EQ(s.bound, 1);
    for (int i = 0; i < kShapeSlots; ++i) {
        EXPECT_EQ(s.switches[i], 1);
        EXPECT_EQ(PackColor(s.color[i]), PackColor(kDefaultColors[i]));
    }
    EXPECT_EQ(PackColor(s.color[3]), 0x00B2B2u);  // 178, 178, 0
    EXPECT_EQ(PackColor(s.color[6]), 0x808080u);
    EXPECT_EQ(r.rebuildImages, 1);
    EXPECT_EQ(r.stopDrawing, 0);
}

TEST(SettingsResets, RenderOptionsResetLeavesSpeedsSwitchesColoursAndRandomAlone) {
    SaverSettings s = Garbage();
    RunState r{};
    r.stopDrawing = 1;
    const SaverSettings before = s;
    ResetRenderOptions(s, r);
    EXPECT_EQ(r.stopDrawing, 0);
    EXPECT_EQ(r.rebuildImages, 1);
    EXPECT_EQ(s.shape, 0);
    EXPECT_EQ(s.angleZ, -1.0f);
    EXPECT_EQ(s.size1, 30);
    EXPECT_EQ(s.size2, 29);
    EXPECT_EQ(s.bound, 1);
    EXPECT_EQ(std::memcmp(&s.cbStep, &before.cbStep, sizeof s.cbStep), 0);
    EXPECT_EQ(std::memcmp(&s.csStep, &before.csStep, sizeof s.csStep), 0);
    EXPECT_EQ(std::memcmp(s.switches, before.switches, sizeof s.switches), 0);
    EXPECT_EQ(std::memcmp(s.color, before.color, sizeof s.color), 0);
    EXPECT_EQ(s.randomly, before.randomly);
}

TEST(SettingsResets, ColourResetRestoresTheTableOnly) {
    SaverSettings s = Garbage();
    RunState r{};
    const SaverSettings before = s;
    ResetColors(s, r);
    EXPECT_EQ(r.rebuildImages, 1);
    EXPECT_EQ(PackColor(s.color[0]), 0x0000FFu);
    EXPECT_EQ(PackColor(s.color[5]), 0xB200B2u);
    EXPECT_EQ(std::memcmp(s.switches, before.switches, sizeof s.switches), 0);
}

TEST(SettingsPacking, ColoursPackRedLowestAndDropHighBits) {
    EXPECT_EQ(PackColor(ShapeColor{1, 2, 3}), 0x030201u);
    // Out-of-range words from a preset file: the sum, with its top byte cleared.
    EXPECT_EQ(PackColor(ShapeColor{static_cast<int32_t>(0xFF123456u), 0, 0}), 0x00123456u);
    EXPECT_EQ(PackColor(ShapeColor{-1, 0, 0}), 0x00FFFFFFu);
    const ShapeColor c = UnpackColor(0x01B2B200u);
    EXPECT_EQ(c.red, 0);
    EXPECT_EQ(c.green, 178);
    EXPECT_EQ(c.blue, 178);
}

TEST(SettingsPacking, SwitchMaskKeepsTheMaskedBitsAndPacksBack) {
    int32_t switches[kShapeSlots];
    UnpackSwitches(5, switches);
    const int32_t expected[kShapeSlots] = {1, 0, 4, 0, 0, 0, 0};
    for (int i = 0; i < kShapeSlots; ++i) EXPECT_EQ(switches[i], expected[i]) << i;
    EXPECT_EQ(PackSwitches(switches), 5u);

    UnpackSwitches(0xFFFFFFFFu, switches);  // bits 7..31 ignored
    EXPECT_EQ(switches[6], 64);
    EXPECT_EQ(PackSwitches(switches), 127u);

    const int32_t odd[kShapeSlots] = {-7, 0, 0, 0, 0, 0, 1000};  // any non-zero is on
    EXPECT_EQ(PackSwitches(odd), 0x41u);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "presets/preset_holder.h"

namespace {

uint32_t WordAt(const PresetBytes& b, size_t offset) {
    return uint32_t{b[offset]} | uint32_t{b[offset + 1]} << 8 | uint32_t{b[offset + 2]} << 16 |
           uint32_t{b[offset + 3]} << 24;
}

SaverSettings DistinctSettings() {
    SaverSettings s{};
    s.angleX = 1.0f;
    s.angleY = -2.0f;
    s.angleZ = 0.5f;
    s.cbStep = 1.46f;
    s.csStep = 0.01f;
    s.shape = 2;
    s.size1 = 30;
    s.size2 = 29;
    s.phong = 4;
    s.mirror = 0.995f;
    s.ambient = 0.34f;
    s.bound = 77;
    for (int i = 0; i < kShapeSlots; ++i) {
        s.switches[i] = 1 << i;
        s.color[i] = ShapeColor{10 + i, 20 + i, 30 + i};
    }
    s.randomly = 88;
    return s;
}

TEST(PresetRecord, EncodesEveryFieldLittleEndianAtItsOffset) {
    const PresetBytes b = EncodePreset(MakePresetFromSettings("Ring", DistinctSettings()));
    EXPECT_EQ(WordAt(b, 0), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[4]), 5), std::string("Ring\0", 5));
    EXPECT_EQ(WordAt(b, 56), 0x3F800000u);  // 1.0f
    EXPECT_EQ(WordAt(b, 60), 0xC0000000u);  // -2.0f
    EXPECT_EQ(WordAt(b, 64), 0x3F000000u);  // 0.5f
    EXPECT_EQ(b[56], 0x00);
    EXPECT_EQ(b[59], 0x3F);
    EXPECT_EQ(WordAt(b, 76), 2u);
    EXPECT_EQ(WordAt(b, 80), 30u);
    EXPECT_EQ(WordAt(b, 84), 29u);
    EXPECT_EQ(WordAt(b, 88), 4u);
    for (int i = 0; i < kShapeSlots; ++i) {
        EXPECT_EQ(WordAt(b, 100 + 4 * i), 1u << i);
        EXPECT_EQ(WordAt(b, 128 + 12 * i), 10u + i);
        EXPECT_EQ(WordAt(b, 132 + 12 * i), 20u + i);
        EXPECT_EQ(WordAt(b, 136 + 12 * i), 30u + i);
    }
    for (size_t i = 212; i < kPresetBytes; ++i) EXPECT_EQ(b[i], 0) << i;
}

TEST(PresetRecord, DecodingGivesBackEveryByte) {
    PresetBytes bytes;
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    EXPECT_EQ(EncodePreset(DecodePreset(bytes)), bytes);
    const PresetHolder h = DecodePreset(bytes);
    EXPECT_EQ(static_cast<uint32_t>(h.shape), WordAt(bytes, 76));
    EXPECT_EQ(static_cast<uint32_t>(h.reserved[3]), WordAt(bytes, 224));
}

TEST(PresetRecord, MadeFromSettingsCarriesNeitherBoundNorRandomly) {
    const SaverSettings s = DistinctSettings();
    const PresetHolder h = MakePresetFromSettings("x", s);
    EXPECT_EQ(h.leadWord, 1);
    EXPECT_EQ(h.cbStep, 1.46f);
    EXPECT_EQ(h.mirror, 0.995f);
    EXPECT_EQ(std::memcmp(h.switches, s.switches, sizeof h.switches), 0);
    EXPECT_EQ(std::memcmp(h.color, s.color, sizeof h.color), 0);
    for (int32_t r : h.reserved) EXPECT_EQ(r, 0);
    const PresetBytes b = EncodePreset(h);
    for (size_t i = 0; i < b.size(); i += 4) {
        EXPECT_NE(WordAt(b, i), 77u) << i;
        EXPECT_NE(WordAt(b, i), 88u) << i;
    }
}

TEST(PresetName, NameIsCutTo49AndZeroFilled) {
    const std::string name49(49, 'n');
    const PresetHolder whole = MakePresetFromSettings(name49, DistinctSettings());
    EXPECT_EQ(PresetName(whole), name49);
    EXPECT_EQ(whole.name[49], '\0');

    const std::string name50 = name49 + "Z";
    EXPECT_EQ(PresetName(MakePresetFromSettings(name50, DistinctSettings())), name49);

    const PresetHolder shortName = MakePresetFromSettings("   lead", DistinctSettings());
    EXPECT_EQ(PresetName(shortName), "   lead");
    for (size_t i = 7; i < kPresetNameField; ++i) EXPECT_EQ(shortName.name[i], '\0') << i;

    EXPECT_EQ(PresetName(MakePresetFromSettings("100% %s %n", DistinctSettings())), "100% %s %n");
}

TEST(PresetName, FieldWithoutZeroGivesAtMost51Characters) {
    PresetBytes bytes{};
    std::memset(&bytes[4], 'q', kPresetNameField);
    bytes[56] = 'X';  // first byte after the field must not leak into the name
    EXPECT_EQ(PresetName(DecodePreset(bytes)), std::string(51, 'q'));
}

TEST(PresetNameRule, FirstNonBlankMustBeAboveTheBlank) {
    EXPECT_FALSE(IsAcceptableName(""));
    EXPECT_FALSE(IsAcceptableName("   "));
    EXPECT_TRUE(IsAcceptableName("   a"));
    EXPECT_TRUE(IsAcceptableName("!"));
    EXPECT_TRUE(IsAcceptableName("A b"));
    EXPECT_FALSE(IsAcceptableName("\tname"));
    EXPECT_FALSE(IsAcceptableName(std::string("\0name", 5)));
    EXPECT_FALSE(IsAcceptableName("  \x1f" "abc"));
    EXPECT_TRUE(IsAcceptableName("\xE9t\xE9"));  // codes above 127 count as unsigned
    EXPECT_TRUE(IsAcceptableName(std::string(48, ' ') + "x"));
    EXPECT_FALSE(IsAcceptableName(std::string(49, ' ') + "x"));  // beyond what is stored
}

}  // namespace

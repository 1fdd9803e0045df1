// The preset record: its bytes, its name, and making it the live animation.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "presets/apply_preset.h"

namespace {

uint32_t WordAt(const PresetBytes& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

SaverSettings Distinct() {
    SaverSettings s{1.0f, -2.0f, 0.5f, 1.46f, 0.01f, 2, 30, 29, 4, 0.995f, 0.34f, 77, {}, {}, 88};
    for (int i = 0; i < kShapeSlots; ++i) {
        s.switches[i] = 1 << i;
        s.color[i] = ShapeColor{10 + i, 20 + i, 30 + i};
    }
    return s;
}

TEST(PresetRecord, EveryFieldLittleEndianAtItsOffsetWithoutBoundOrRandomly) {
    const PresetBytes b = EncodePreset(MakePresetFromSettings("Ring", Distinct()));
    const std::pair<size_t, uint32_t> words[] = {
        {0, 1}, {56, 0x3F800000u}, {60, 0xC0000000u}, {64, 0x3F000000u}, {68, 0x3FBAE148u}, {72, 0x3C23D70Au},
        {76, 2}, {80, 30}, {84, 29}, {88, 4}, {92, 0x3F7EB852u}, {96, 0x3EAE147Bu}};
    for (const auto& [at, word] : words) EXPECT_EQ(WordAt(b, at), word) << "offset " << at;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[4]), 5), std::string("Ring\0", 5));
    for (int i = 0; i < kShapeSlots; ++i) {
        EXPECT_EQ(WordAt(b, 100 + 4 * i), 1u << i);
        EXPECT_EQ(WordAt(b, 128 + 12 * i), 10u + i);
        EXPECT_EQ(WordAt(b, 132 + 12 * i), 20u + i);
        EXPECT_EQ(WordAt(b, 136 + 12 * i), 30u + i);
    }
    for (size_t i = 9; i < 56; ++i) EXPECT_EQ(b[i], 0) << i;
    for (size_t i = 212; i < kPresetBytes; ++i) EXPECT_EQ(b[i], 0) << i;
    PresetBytes bytes;  // every byte of a record read survives its writing
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    EXPECT_EQ(EncodePreset(DecodePreset(bytes)), bytes);
}

TEST(PresetName, CutTo49ZeroFilledAndBoundedWithoutAZero) {
    const std::string n49(49, 'n');
    const struct {
        std::string given, shown;
    } rows[] = {{n49, n49}, {n49 + "Z", n49}, {"   lead", "   lead"}, {"100% %s %n", "100% %s %n"}};
    for (const auto& row : rows) {
        const PresetHolder h = MakePresetFromSettings(row.given, Distinct());
        EXPECT_EQ(PresetName(h), row.shown);
        for (size_t i = row.shown.size(); i < kPresetNameField; ++i) EXPECT_EQ(h.name[i], '\0') << row.given;
    }
    PresetBytes bytes{};
    std::memset(&bytes[4], 'q', kPresetNameField);
    bytes[56] = 'X';  // the first byte after the field must not leak into the name
    EXPECT_EQ(PresetName(DecodePreset(bytes)), std::string(51, 'q'));

    const std::pair<std::string, bool> names[] = {
        {"", false}, {"   ", false}, {"   a", true}, {"!", true}, {"A b", true}, {"\tname", false},
        {std::string("\0name", 5), false}, {"  \x1f" "abc", false},
        {"\xE9t\xE9", true},  // codes above 127 count as unsigned
        {std::string(48, ' ') + "x", true}, {std::string(49, ' ') + "x", false}};  // beyond what is stored
    for (const auto& [name, ok] : names) EXPECT_EQ(IsAcceptableName(name), ok) << '"' << name << '"';
}

PresetHolder Torus(int32_t size1) {
    PresetHolder h{9, "torus", -0.5f, 0.25f, -0.75f, -0.0005091f, 3.0f, 2, size1, 12, 20, 0.5f, 0.0f,
                   {4, 0, -1, 0, 64, 1, 0}, {}, {5}};
    for (int i = 0; i < kShapeSlots; ++i) h.color[i] = ShapeColor{i, 2 * i, 300};
    return h;
}

// Every preset field copied word for word, unchecked, but bound and randomly; a bad position: nothing.
TEST(ApplyPreset, CopiesEveryPresetFieldAndAsksForNewImages) {
    OwnedPresetStore store;
    SaverSettings s = Distinct(), before = s;
    RunState r{};
    for (int32_t position : {0, 1, -1}) {
        ApplyPreset(store, position, s, r);
        if (position == 0) AddPreset(store, Torus(40));
    }
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    EXPECT_EQ(r.rebuildImages, 0);
    ApplyPreset(store, 0, s, r);
    SaverSettings want{-0.5f, 0.25f, -0.75f, -0.0005091f, 3.0f, 2, 40, 12, 20, 0.5f, 0.0f, 77,
                       {4, 0, -1, 0, 64, 1, 0}, {}, 88};
    for (int i = 0; i < kShapeSlots; ++i) want.color[i] = ShapeColor{i, 2 * i, 300};
    EXPECT_EQ(std::memcmp(&s, &want, sizeof s), 0);
    RunState untouched{};
    untouched.rebuildImages = 1;
    EXPECT_EQ(std::memcmp(&r, &untouched, sizeof r), 0);
}

TEST(RandomPreset, OnlyInFullScreenWithTheOptionOnAtTheClockModuloTheCountUnsigned) {
    const struct {
        const char* what;
        int32_t presets, fullScreen, randomly;
        uint32_t clock;
        int32_t size1;  // 30: none picked
    } rows[] = {
        {"empty store", 0, 1, 1, 1234, 30}, {"not full screen", 7, 0, 1, 1234, 30}, {"option off", 7, 1, 0, 1234, 30},
        {"clock 0", 7, 1, 1, 0, 100}, {"clock 6", 7, 1, 1, 6, 106}, {"clock 7", 7, 1, 1, 7, 100},
        {"clock 1234", 7, 1, 1, 1234, 102}, {"clock 0xFFFFFFFF", 7, 1, 1, 0xFFFFFFFFu, 103},
        {"clock 0x80000000", 7, 1, 1, 0x80000000u, 102},
    };
    for (const auto& row : rows) {
        OwnedPresetStore store;
        for (int32_t i = 0; i < row.presets; ++i) AddPreset(store, Torus(100 + i));
        SaverSettings s = Distinct();
        s.size1 = 30;
        RunState r{};
        r.fullScreen = row.fullScreen;
        s.randomly = row.randomly;
        EXPECT_EQ(PickRandomPreset(store, row.clock, s, r), row.size1 != 30) << row.what;
        EXPECT_EQ(s.size1, row.size1) << row.what;
        EXPECT_EQ(r.rebuildImages, row.size1 != 30) << row.what;
    }
}

}  // namespace

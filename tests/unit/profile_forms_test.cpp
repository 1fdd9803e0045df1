#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "presets/memory_profile.h"
#include "presets/profile_forms.h"

namespace {

SaverSettings Defaults() {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    return s;
}

float Scan(const std::string& text, float start = 42.0f) {
    float v = start;
    EXPECT_TRUE(ScanProfileFloat(text, v)) << text;
    return v;
}

TEST(ProfileFloatText, DefaultsAreStoredWithSixDecimals) {
    EXPECT_EQ(FormatProfileFloat(1.0f), "1.000000");
    EXPECT_EQ(FormatProfileFloat(-1.0f), "-1.000000");
    EXPECT_EQ(FormatProfileFloat(1.46f), "1.460000");
    EXPECT_EQ(FormatProfileFloat(0.01f), "0.010000");
    EXPECT_EQ(FormatProfileFloat(0.34f), "0.340000");
    EXPECT_EQ(FormatProfileFloat(0.995f), "0.995000");
}

TEST(ProfileFloatText, RoundsTheWidenedValue) {
    EXPECT_EQ(FormatProfileFloat(0.0104891f), "0.010489");
    EXPECT_EQ(FormatProfileFloat(4e-7f), "0.000000");
    EXPECT_EQ(FormatProfileFloat(-4e-7f), "-0.000000");
    EXPECT_EQ(FormatProfileFloat(-0.0f), "-0.000000");
    // 0.0000015f widens to 1.50000005e-06, just above the halfway point.
    EXPECT_EQ(FormatProfileFloat(0.0000015f), "0.000002");
    EXPECT_EQ(FormatProfileFloat(FLT_MAX), "340282346638528859811704183484516925440.000000");
    EXPECT_EQ(FormatProfileFloat(-FLT_MAX), "-340282346638528859811704183484516925440.000000");
    EXPECT_EQ(FormatProfileFloat(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(FormatProfileFloat(-std::numeric_limits<float>::infinity()), "-inf");
}

TEST(ProfileFloatText, PointDoesNotFollowTheProcessLocale) {
    const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "de-DE"};
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* set = nullptr;
    for (const char* name : commaLocales)
        if ((set = std::setlocale(LC_ALL, name)) != nullptr) break;
    if (set == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string text = FormatProfileFloat(1.46f);
    float v = 0.0f;
    const bool scanned = ScanProfileFloat("2.5", v);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, "1.460000");
    EXPECT_TRUE(scanned);
    EXPECT_EQ(v, 2.5f);
}

TEST(ProfileFloatScan, TakesTheLongestNumberPrefix) {
    EXPECT_EQ(Scan("2.5xyz"), 2.5f);
    EXPECT_EQ(Scan(" \t\r\n-1.25"), -1.25f);
    EXPECT_EQ(Scan("+3"), 3.0f);
    EXPECT_EQ(Scan(".5"), 0.5f);
    EXPECT_EQ(Scan("5."), 5.0f);
    EXPECT_EQ(Scan("1.5E3"), 1500.0f);
    EXPECT_EQ(Scan("2e-2"), 0.02f);
    EXPECT_EQ(Scan("1e"), 1.0f);
    EXPECT_EQ(Scan("1e+"), 1.0f);
    EXPECT_EQ(Scan("100ergs"), 100.0f);
    EXPECT_EQ(Scan("0x10"), 0.0f);
    EXPECT_EQ(Scan("7 8"), 7.0f);
    EXPECT_EQ(Scan("0.010489"), 0.010489f);
    EXPECT_EQ(Scan(std::string("3\0" "9", 3)), 3.0f);
}

TEST(ProfileFloatScan, TextWithoutANumberLeavesTheValue) {
    for (const char* text : {"", "abc", "   ", ".", "-", "+.", "e5", "-e5", "in", "na", "\x80" "1"}) {
        float v = 1.0f;
        EXPECT_FALSE(ScanProfileFloat(text, v)) << text;
        EXPECT_EQ(v, 1.0f) << text;
    }
}

TEST(ProfileFloatScan, SignedZeroInfinityAndNan) {
    const float negativeZero = Scan("-0.000000");
    EXPECT_EQ(negativeZero, 0.0f);
    EXPECT_TRUE(std::signbit(negativeZero));
    EXPECT_EQ(Scan("inf"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(Scan("-Infinity"), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(Scan("nan")));
    EXPECT_TRUE(std::isnan(Scan(" NaN(123)")));
}

TEST(ProfileFloatScan, OutOfRangeSaturatesWithoutHarm) {
    EXPECT_EQ(Scan("1e50"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(Scan("-1e400"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(Scan("1e-50"), 0.0f);
    EXPECT_EQ(Scan("0.0000000000000000000000000000000000000000000000000001"), 0.0f);
    EXPECT_EQ(Scan("1e99999999999999999999999999"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(Scan("1e-99999999999999999999999999"), 0.0f);
    EXPECT_EQ(Scan(std::string(100000, '9')), std::numeric_limits<float>::infinity());
    EXPECT_EQ(Scan("0." + std::string(100000, '0') + "1"), 0.0f);
    EXPECT_EQ(Scan("340282346638528859811704183484516925440.000000"), FLT_MAX);
    EXPECT_EQ(Scan("1.4e-45"), std::numeric_limits<float>::denorm_min());
}

TEST(ProfileFloatScan, StoredTextReadsBackAsTheRoundedValue) {
    const float samples[] = {1.46f, -1.0f, 0.0104891f, 0.995f, 1e-7f, 123456.789f, -0.0005091f, 3e38f};
    for (float x : samples) {
        const std::string text = FormatProfileFloat(x);
        EXPECT_EQ(FormatProfileFloat(Scan(text)), text);
    }
}

const std::vector<std::string> kSaveOrder = {
    "angleX", "angleY", "angleZ", "cbStep", "csStep", "ambient", "mirror", "randomly", "shape", "size1", "size2",
    "bound",  "phong",  "color0", "color1", "color2", "color3",  "color4", "color5",   "color6", "switches"};

const std::vector<std::string> kLoadOrder = {
    "angleX", "angleY", "angleZ", "cbStep", "csStep", "ambient", "mirror", "shape",  "size1", "size2", "bound",
    "phong",  "randomly", "switches", "color0", "color1", "color2", "color3", "color4", "color5", "color6"};

TEST(ProfileLoad, EmptyProfileKeepsDefaultsButSwitchesHoldTheirBits) {
    MemoryProfile profile;
    SaverSettings s = Defaults();
    s.randomly = 1;
    LoadProfile(profile, s);
    const SaverSettings d = Defaults();
    EXPECT_EQ(std::memcmp(&s.angleX, &d.angleX, offsetof(SaverSettings, switches)), 0);
    EXPECT_EQ(std::memcmp(s.color, d.color, sizeof s.color), 0);
    EXPECT_EQ(s.randomly, 0);
    const int32_t bits[kShapeSlots] = {1, 2, 4, 8, 16, 32, 64};
    for (int i = 0; i < kShapeSlots; ++i) EXPECT_EQ(s.switches[i], bits[i]);
    EXPECT_EQ(profile.reads, kLoadOrder);
    EXPECT_EQ(profile.Size(), 0u);
}

TEST(ProfileLoad, UnopenableProfileGivesTheFallbacks) {
    MemoryProfile profile;
    SaveProfile(profile, Defaults());
    profile.SetText(kProfileSection, "angleX", "9");
    profile.available = false;
    SaverSettings s = Defaults();
    LoadProfile(profile, s);
    EXPECT_EQ(s.angleX, 1.0f);
    EXPECT_EQ(s.switches[6], 64);
}

TEST(ProfileLoad, TakesStoredValuesUnchecked) {
    MemoryProfile profile;
    profile.SetText(kProfileSection, "angleX", "2.5xyz");
    profile.SetText(kProfileSection, "angleY", "abc");
    profile.SetText(kProfileSection, "cbStep", "-3.000000");
    profile.SetNumber(kProfileSection, "shape", 2);
    profile.SetNumber(kProfileSection, "size1", 0xFFFFFFFFu);
    profile.SetNumber(kProfileSection, "phong", 1000);
    profile.SetNumber(kProfileSection, "randomly", 1);
    profile.SetNumber(kProfileSection, "switches", 5);
    profile.SetNumber(kProfileSection, "color4", 0x01B2B200u);
    profile.SetText(kProfileSection, "color5", "255");  // wrong kind: reads as absent
    profile.SetNumber(kProfileSection, "mirror", 7);    // wrong kind: no text
    SaverSettings s = Defaults();
    LoadProfile(profile, s);
    EXPECT_EQ(s.angleX, 2.5f);
    EXPECT_EQ(s.angleY, 1.0f);
    EXPECT_EQ(s.cbStep, -3.0f);
    EXPECT_EQ(s.mirror, 0.995f);
    EXPECT_EQ(s.shape, 2);
    EXPECT_EQ(s.size1, -1);
    EXPECT_EQ(s.size2, 29);
    EXPECT_EQ(s.phong, 1000);
    EXPECT_EQ(s.randomly, 1);
    const int32_t switches[kShapeSlots] = {1, 0, 4, 0, 0, 0, 0};
    for (int i = 0; i < kShapeSlots; ++i) EXPECT_EQ(s.switches[i], switches[i]);
    EXPECT_EQ(s.color[4].red, 0);
    EXPECT_EQ(s.color[4].green, 178);
    EXPECT_EQ(s.color[4].blue, 178);
    EXPECT_EQ(PackColor(s.color[5]), 0xB200B2u);
}

TEST(ProfileLoad, MaskZeroTurnsEverySlotOff) {
    MemoryProfile profile;
    profile.SetNumber(kProfileSection, "switches", 0xFFFFFF00u);
    SaverSettings s = Defaults();
    LoadProfile(profile, s);
    for (int i = 0; i < kShapeSlots; ++i) EXPECT_EQ(s.switches[i], 0);
}

TEST(ProfileSave, WritesAll21ValuesInOrderAndForm) {
    MemoryProfile profile;
    SaveProfile(profile, Defaults());
    EXPECT_EQ(profile.writes, kSaveOrder);
    EXPECT_EQ(profile.Size(), 21u);
    const std::pair<const char*, const char*> texts[] = {
        {"angleX", "1.000000"}, {"angleY", "1.000000"}, {"angleZ", "-1.000000"}, {"cbStep", "1.460000"},
        {"csStep", "0.010000"}, {"ambient", "0.340000"}, {"mirror", "0.995000"}};
    for (const auto& [name, text] : texts) {
        const MemoryProfile::Value* v = profile.Find(kProfileSection, name);
        ASSERT_NE(v, nullptr) << name;
        EXPECT_TRUE(v->isText) << name;
        EXPECT_EQ(v->text, text) << name;
    }
    const std::pair<const char*, uint32_t> numbers[] = {
        {"randomly", 0},       {"shape", 0},         {"size1", 30},          {"size2", 29},
        {"bound", 1},          {"phong", 4},         {"color0", 255},        {"color1", 0xFF00},
        {"color2", 0xFF0000},  {"color3", 0x00B2B2}, {"color4", 0xB2B200},   {"color5", 0xB200B2},
        {"color6", 0x808080},  {"switches", 127}};
    for (const auto& [name, number] : numbers) {
        const MemoryProfile::Value* v = profile.Find(kProfileSection, name);
        ASSERT_NE(v, nullptr) << name;
        EXPECT_FALSE(v->isText) << name;
        EXPECT_EQ(v->number, number) << name;
    }
}

TEST(ProfileSave, MaskHasABitPerNonZeroSwitch) {
    SaverSettings s = Defaults();
    const int32_t switches[kShapeSlots] = {1, 0, 4, 0, 0, 0, -3};
    std::memcpy(s.switches, switches, sizeof switches);
    MemoryProfile profile;
    SaveProfile(profile, s);
    EXPECT_EQ(profile.Find(kProfileSection, "switches")->number, 0x45u);
}

TEST(ProfileSave, LoadingWhatWasSavedGivesTheRoundedSettings) {
    SaverSettings saved = Defaults();
    saved.csStep = 0.0104891f;
    saved.angleZ = -4e-7f;
    saved.randomly = 1;
    saved.bound = 0;
    saved.shape = 2;
    saved.color[2] = ShapeColor{1, 2, 3};
    saved.switches[1] = 0;
    MemoryProfile profile;
    SaveProfile(profile, saved);

    SaverSettings loaded = Defaults();
    LoadProfile(profile, loaded);
    EXPECT_EQ(loaded.csStep, 0.010489f);
    EXPECT_EQ(loaded.angleZ, 0.0f);
    EXPECT_EQ(loaded.randomly, 1);
    EXPECT_EQ(loaded.bound, 0);
    EXPECT_EQ(loaded.shape, 2);
    EXPECT_EQ(PackColor(loaded.color[2]), 0x030201u);
    EXPECT_EQ(loaded.switches[1], 0);
    EXPECT_EQ(loaded.switches[2], 4);
}

}  // namespace

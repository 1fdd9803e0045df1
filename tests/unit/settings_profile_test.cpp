// The settings record, its defaults and resets, and the forms its 21 values take in the
// profile: floats as "%f" text read back by a forgiving scanner, the rest as numbers.
#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/settings.h"
#include "presets/memory_profile.h"
#include "presets/profile_forms.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

SaverSettings Garbage() {
    SaverSettings s;
    std::memset(&s, 0x5A, sizeof s);
    return s;
}

SaverSettings Defaults() {
    SaverSettings s = Garbage();
    RunState r{};
    SetDefaults(s, r);
    s.randomly = 0;  // not a default the record's reset writes
    return s;
}

// What a save writes, in its order: text in quotes, numbers in decimal.
std::string Forms(const MemoryProfile& profile) {
    std::string forms;
    for (const std::string& name : profile.writes) {
        const MemoryProfile::Value* v = profile.Find(kProfileSection, name);
        forms += (forms.empty() ? "" : " ") + name + "=" +
                 (v->isText ? "\"" + v->text + "\"" : std::to_string(v->number));
    }
    return forms;
}

std::string Forms(const SaverSettings& s) {
    MemoryProfile profile;
    SaveProfile(profile, s);
    return Forms(profile);
}

const std::string kDefaultForms =
    "angleX=\"1.000000\" angleY=\"1.000000\" angleZ=\"-1.000000\" cbStep=\"1.460000\" csStep=\"0.010000\" "
    "ambient=\"0.340000\" mirror=\"0.995000\" randomly=0 shape=0 size1=30 size2=29 bound=1 phong=4 color0=255 "
    "color1=65280 color2=16711680 color3=45746 color4=11710976 color5=11665586 color6=8421504 switches=127";

TEST(Settings, DefaultsHoldFromTheStartAndAfterEveryReset) {
    EXPECT_EQ(Forms(theSettings), kDefaultForms);
    EXPECT_EQ(theRunState.rebuildImages, 1);
    EXPECT_EQ(theRunState.stopDrawing, 0);
    EXPECT_EQ(theRunState.fullScreen, 0);

    SaverSettings s = Garbage();
    RunState r{0, 1, 0, 0, 0, 0, 0};
    SetDefaults(s, r);
    EXPECT_EQ(s.randomly, 0x5A5A5A5A);  // starts at 0 statically, never reset
    s.randomly = 0;
    EXPECT_EQ(Forms(s), kDefaultForms);
    for (int i = 0; i < kShapeSlots; ++i) EXPECT_EQ(s.switches[i], 1) << i;
    EXPECT_EQ(r.rebuildImages, 1);
    EXPECT_EQ(r.stopDrawing, 0);

    // The render reset leaves speeds, switches, colours and the random choice alone.
    s = Garbage();
    const SaverSettings before = s;
    r = RunState{0, 1, 0, 0, 0, 0, 0};
    ResetRenderOptions(s, r);
    EXPECT_EQ(r.rebuildImages, 1);
    EXPECT_EQ(r.stopDrawing, 0);
    EXPECT_EQ(std::memcmp(&s.cbStep, &before.cbStep, 2 * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(s.switches, before.switches, sizeof s.switches + sizeof s.color + sizeof s.randomly), 0);
    // ...and resets every other value.
    const SaverSettings d = Defaults();
    s.cbStep = d.cbStep;
    s.csStep = d.csStep;
    std::memcpy(s.switches, d.switches, sizeof s.switches + sizeof s.color + sizeof s.randomly);
    EXPECT_EQ(Forms(s), kDefaultForms);

    // The colour reset restores the table only.
    s = Garbage();
    r = RunState{};
    ResetColors(s, r);
    EXPECT_EQ(r.rebuildImages, 1);
    EXPECT_EQ(PackColor(s.color[0]), 0x0000FFu);
    EXPECT_EQ(PackColor(s.color[5]), 0xB200B2u);
    EXPECT_EQ(std::memcmp(s.switches, before.switches, sizeof s.switches), 0);
}

TEST(Settings, ColoursAndSwitchesPackIntoProfileNumbers) {
    EXPECT_EQ(PackColor(ShapeColor{1, 2, 3}), 0x030201u);
    // Out-of-range words from a preset file: the sum, with its top byte cleared.
    EXPECT_EQ(PackColor(ShapeColor{static_cast<int32_t>(0xFF123456u), 0, 0}), 0x00123456u);
    EXPECT_EQ(PackColor(ShapeColor{-1, 0, 0}), 0x00FFFFFFu);
    const ShapeColor c = UnpackColor(0x01B2B200u);
    EXPECT_EQ(std::vector<int32_t>({c.red, c.green, c.blue}), std::vector<int32_t>({0, 178, 178}));

    // Each slot keeps its bit's value; bits 7..31 are ignored; any non-zero switch is on.
    const struct {
        uint32_t mask;
        std::vector<int32_t> switches;
        uint32_t packed;
    } rows[] = {{5, {1, 0, 4, 0, 0, 0, 0}, 5},
                {0xFFFFFFFFu, {1, 2, 4, 8, 16, 32, 64}, 127},
                {0xFFFFFF00u, {0, 0, 0, 0, 0, 0, 0}, 0}};
    for (const auto& row : rows) {
        int32_t switches[kShapeSlots];
        UnpackSwitches(row.mask, switches);
        EXPECT_EQ(std::vector<int32_t>(switches, switches + kShapeSlots), row.switches) << row.mask;
        EXPECT_EQ(PackSwitches(switches), row.packed) << row.mask;
    }
    const int32_t odd[kShapeSlots] = {-7, 0, 0, 0, 0, 0, 1000};
    EXPECT_EQ(PackSwitches(odd), 0x41u);
}

TEST(ProfileFloat, TextHasSixDecimalsOfTheWidenedValue) {
    const struct {
        float value;
        const char* text;
    } rows[] = {
        {1.0f, "1.000000"}, {-1.0f, "-1.000000"}, {1.46f, "1.460000"}, {0.01f, "0.010000"},
        {0.34f, "0.340000"}, {0.995f, "0.995000"}, {0.0104891f, "0.010489"}, {4e-7f, "0.000000"},
        {-4e-7f, "-0.000000"}, {-0.0f, "-0.000000"},
        {0.0000015f, "0.000002"},  // widens to 1.50000005e-06, just above halfway
        {FLT_MAX, "340282346638528859811704183484516925440.000000"},
        {-FLT_MAX, "-340282346638528859811704183484516925440.000000"}, {kInf, "inf"}, {-kInf, "-inf"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatProfileFloat(row.value), row.text);
        float back = 42.0f;  // what is stored reads back as the rounded value
        EXPECT_TRUE(ScanProfileFloat(row.text, back)) << row.text;
        EXPECT_EQ(FormatProfileFloat(back), row.text);
    }
}

TEST(ProfileFloat, TheScanTakesTheLongestNumberPrefixOrLeavesTheValue) {
    const float kUnchanged = 42.0f;
    const struct {
        std::string text;
        float value;  // kUnchanged: no number, the scan fails
    } rows[] = {
        {"2.5xyz", 2.5f}, {" \t\r\n-1.25", -1.25f}, {"+3", 3.0f}, {".5", 0.5f}, {"5.", 5.0f},
        {"1.5E3", 1500.0f}, {"2e-2", 0.02f}, {"1e", 1.0f}, {"1e+", 1.0f}, {"100ergs", 100.0f},
        {"0x10", 0.0f}, {"7 8", 7.0f}, {"0.010489", 0.010489f}, {std::string("3\0" "9", 3), 3.0f},
        {"inf", kInf}, {"-Infinity", -kInf}, {"1e50", kInf}, {"-1e400", -kInf}, {"1e-50", 0.0f},
        {"0.0000000000000000000000000000000000000000000000000001", 0.0f},
        {"1e99999999999999999999999999", kInf}, {"1e-99999999999999999999999999", 0.0f},
        {std::string(100000, '9'), kInf}, {"0." + std::string(100000, '0') + "1", 0.0f},
        {"340282346638528859811704183484516925440.000000", FLT_MAX},
        {"1.4e-45", std::numeric_limits<float>::denorm_min()},
        {"", kUnchanged}, {"abc", kUnchanged}, {"   ", kUnchanged}, {".", kUnchanged}, {"-", kUnchanged},
        {"+.", kUnchanged}, {"e5", kUnchanged}, {"-e5", kUnchanged}, {"in", kUnchanged}, {"na", kUnchanged},
        {"\x80" "1", kUnchanged},
    };
    for (const auto& row : rows) {
        float v = kUnchanged;
        EXPECT_EQ(ScanProfileFloat(row.text, v), row.value != kUnchanged) << row.text.substr(0, 60);
        EXPECT_EQ(v, row.value) << row.text.substr(0, 60);
    }
    float v = 1.0f;
    EXPECT_TRUE(ScanProfileFloat("-0.000000", v));
    EXPECT_TRUE(v == 0.0f && std::signbit(v));
    for (const char* nan : {"nan", " NaN(123)"}) {
        EXPECT_TRUE(ScanProfileFloat(nan, v));
        EXPECT_TRUE(std::isnan(v)) << nan;
    }
}

TEST(ProfileFloat, ThePointDoesNotFollowTheProcessLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* set = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "de-DE"})
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

// Loading takes what is stored, unchecked; a missing value or one of the wrong kind
// keeps the setting, except the random choice (off) and the switches (each its bit).
TEST(Profile, LoadingTakesStoredValuesUncheckedAndFallsBackPerValue) {
    MemoryProfile empty;
    SaverSettings s = Defaults();
    s.randomly = 1;
    LoadProfile(empty, s);
    EXPECT_EQ(Forms(s), kDefaultForms);
    EXPECT_EQ(std::vector<int32_t>(s.switches, s.switches + kShapeSlots),
              (std::vector<int32_t>{1, 2, 4, 8, 16, 32, 64}));
    EXPECT_EQ(empty.reads, (std::vector<std::string>{"angleX", "angleY", "angleZ", "cbStep", "csStep", "ambient",
                                                     "mirror", "shape", "size1", "size2", "bound", "phong",
                                                     "randomly", "switches", "color0", "color1", "color2", "color3",
                                                     "color4", "color5", "color6"}));
    EXPECT_EQ(empty.Size(), 0u);

    MemoryProfile profile;
    profile.SetText(kProfileSection, "angleX", "2.5xyz");
    profile.SetText(kProfileSection, "angleY", "abc");
    profile.SetText(kProfileSection, "cbStep", "-3.000000");
    profile.SetNumber(kProfileSection, "shape", 2);
    profile.SetNumber(kProfileSection, "size1", 0xFFFFFFFFu);
    profile.SetNumber(kProfileSection, "phong", 1000);
    profile.SetNumber(kProfileSection, "randomly", 1);
    profile.SetNumber(kProfileSection, "switches", 5);
    profile.SetNumber(kProfileSection, "color4", 0x01123456u);
    profile.SetText(kProfileSection, "color5", "255");  // wrong kind: reads as absent
    profile.SetNumber(kProfileSection, "mirror", 7);    // wrong kind: no text
    s = Defaults();
    LoadProfile(profile, s);
    EXPECT_EQ(Forms(s),
              "angleX=\"2.500000\" angleY=\"1.000000\" angleZ=\"-1.000000\" cbStep=\"-3.000000\" csStep=\"0.010000\" "
              "ambient=\"0.340000\" mirror=\"0.995000\" randomly=1 shape=2 size1=4294967295 size2=29 bound=1 "
              "phong=1000 color0=255 color1=65280 color2=16711680 color3=45746 color4=1193046 color5=11665586 "
              "color6=8421504 switches=5");
    EXPECT_EQ(s.switches[2], 4);

    // A profile that cannot be opened gives the fallbacks.
    profile.available = false;
    s = Defaults();
    LoadProfile(profile, s);
    EXPECT_EQ(Forms(s), kDefaultForms);
    EXPECT_EQ(s.switches[6], 64);
}

TEST(Profile, LoadingWhatWasSavedGivesTheRoundedSettings) {
    SaverSettings saved = Defaults();
    saved.csStep = 0.0104891f;
    saved.angleZ = -4e-7f;
    saved.randomly = 1;
    saved.bound = 0;
    saved.shape = 2;
    saved.color[2] = ShapeColor{1, 2, 3};
    const int32_t switches[kShapeSlots] = {1, 0, 4, 0, 0, 0, -3};
    std::memcpy(saved.switches, switches, sizeof switches);
    MemoryProfile profile;
    SaveProfile(profile, saved);
    EXPECT_EQ(profile.Find(kProfileSection, "switches")->number, 0x45u);  // a bit per non-zero switch

    SaverSettings loaded = Defaults();
    LoadProfile(profile, loaded);
    EXPECT_EQ(loaded.csStep, 0.010489f);
    EXPECT_EQ(loaded.angleZ, 0.0f);
    EXPECT_EQ(Forms(loaded), Forms(saved));
    EXPECT_EQ(PackColor(loaded.color[2]), 0x030201u);
    EXPECT_EQ(std::vector<int32_t>(loaded.switches, loaded.switches + kShapeSlots),
              (std::vector<int32_t>{1, 0, 4, 0, 0, 0, 64}));
}

}  // namespace

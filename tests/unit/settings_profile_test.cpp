// The settings record, its defaults and resets, and the forms its 21 values take in a profile (the registry,
// the Linux program's text file): floats as "%f" text read back by a forgiving scanner, the rest as numbers.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "preset_test_fs.h"
#include "presets/memory_profile.h"
#include "presets/profile_forms.h"
#include "presets/text_file_profile.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

SaverSettings Defaults() {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    return s;
}

// Every one of the 21 values differs from the defaults.
SaverSettings Edited() {
    SaverSettings s{0.5f, -0.25f, 2.0f, -1.0f, 0.02f, 2, 40, 12, 9, 0.75f, 0.125f, 0, {1, 1, 1, 0, 1, 1, 1}, {}, 1};
    for (int i = 0; i < kShapeSlots; ++i) s.color[i] = ShapeColor{i + 1, 2 * i + 1, 3 * i + 1};
    return s;
}

// The values a profile holds, in the order first written: text in quotes, numbers in decimal.
std::string Forms(const MemoryProfile& profile) {
    std::string forms;
    std::set<std::string> seen;
    for (const std::string& name : profile.writes) {
        const MemoryProfile::Value* v = profile.Find(kProfileSection, name);
        if (v == nullptr || !seen.insert(name).second) continue;
        forms += (forms.empty() ? "" : " ") + name + "=" + (v->isText ? "\"" + v->text + "\"" : std::to_string(v->number));
    }
    return forms;
}

std::string Forms(const SaverSettings& s) {
    MemoryProfile profile;
    SaveProfile(profile, s);
    return Forms(profile);
}

// The forms of `base` with those of `names` from `other`.
std::string Mixed(const std::string& base, const std::string& other, const std::set<std::string>& names) {
    std::istringstream a(base), b(other);
    std::map<std::string, std::string> replaced;
    std::string out, form;
    while (b >> form) replaced[form.substr(0, form.find('='))] = form;
    while (a >> form) {
        const std::string name = form.substr(0, form.find('='));
        out += (out.empty() ? "" : " ") + (names.count(name) ? replaced[name] : form);
    }
    return out;
}

const std::string kDefaultForms =
    "angleX=\"1.000000\" angleY=\"1.000000\" angleZ=\"-1.000000\" cbStep=\"1.460000\" csStep=\"0.010000\" "
    "ambient=\"0.340000\" mirror=\"0.995000\" randomly=0 shape=0 size1=30 size2=29 bound=1 phong=4 color0=255 "
    "color1=65280 color2=16711680 color3=45746 color4=11710976 color5=11665586 color6=8421504 switches=127";
const std::string kEditedForms =
    "angleX=\"0.500000\" angleY=\"-0.250000\" angleZ=\"2.000000\" cbStep=\"-1.000000\" csStep=\"0.020000\" "
    "ambient=\"0.125000\" mirror=\"0.750000\" randomly=1 shape=2 size1=40 size2=12 bound=0 phong=9 color0=65793 "
    "color1=262914 color2=460035 color3=657156 color4=854277 color5=1051398 color6=1248519 switches=119";

TEST(Settings, DefaultsFromTheStartAndAfterEveryReset) {
    EXPECT_EQ(Forms(theSettings), kDefaultForms);
    EXPECT_EQ(theRunState.rebuildImages, 1);
    EXPECT_EQ(theRunState.stopDrawing + theRunState.fullScreen, 0);
    SaverSettings garbage;
    std::memset(&garbage, 0x5A, sizeof garbage);
    const struct { const char* what; void (*reset)(SaverSettings&, RunState&); std::string forms; int32_t sw, stop; }
        rows[] = {
        // The random choice starts at 0 statically and is never reset.
        {"all defaults but the random choice", SetDefaults, Mixed(kDefaultForms, Forms(garbage), {"randomly"}), 1, 0},
        {"render options: not speeds, switches, colours or the random choice", ResetRenderOptions,
         Mixed(Forms(garbage), kDefaultForms,
               {"angleX", "angleY", "angleZ", "ambient", "mirror", "shape", "size1", "size2", "bound", "phong"}),
         0x5A5A5A5A, 0},
        {"colours only", ResetColors,
         Mixed(Forms(garbage), kDefaultForms, {"color0", "color1", "color2", "color3", "color4", "color5", "color6"}),
         0x5A5A5A5A, 1},
    };
    for (const auto& row : rows) {
        SaverSettings s = garbage;
        RunState r{0, 1, 0, 0, 0, 0, 0};
        row.reset(s, r);
        EXPECT_EQ(Forms(s), row.forms) << row.what;
        for (int32_t sw : s.switches) EXPECT_EQ(sw, row.sw) << row.what;
        EXPECT_EQ(r.rebuildImages, 1) << row.what;
        EXPECT_EQ(r.stopDrawing, row.stop) << row.what;
    }
}

// Six decimals of the widened value, and what is stored reads back as the rounded value.
TEST(ProfileFloat, TextHasSixDecimalsOfTheWidenedValue) {
    const struct { float value; const char* text; } rows[] = {
        {1.46f, "1.460000"}, {-1.0f, "-1.000000"}, {0.0104891f, "0.010489"}, {-4e-7f, "-0.000000"},
        {0.0000015f, "0.000002"},  // widens to 1.50000005e-06, just above halfway
        {-FLT_MAX, "-340282346638528859811704183484516925440.000000"}, {kInf, "inf"}, {-kInf, "-inf"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatProfileFloat(row.value), row.text);
        float back = 42.0f;
        EXPECT_TRUE(ScanProfileFloat(row.text, back)) << row.text;
        EXPECT_EQ(FormatProfileFloat(back), row.text);
    }
}

TEST(ProfileFloat, TheScanTakesTheLongestNumberPrefixOrLeavesTheValue) {
    const float kUnchanged = 42.0f;
    const struct { std::string text; float value; } rows[] = {  // kUnchanged: no number, the scan fails
        {"2.5xyz", 2.5f}, {" \t\r\n-1.25", -1.25f}, {"+3", 3.0f}, {".5", 0.5f}, {"5.", 5.0f},
        {"1.5E3", 1500.0f}, {"2e-2", 0.02f}, {"1e", 1.0f}, {"1e+", 1.0f}, {"0x10", 0.0f}, {"7 8", 7.0f},
        {std::string("3\0" "9", 3), 3.0f}, {"-Infinity", -kInf}, {"1e50", kInf}, {"-1e400", -kInf}, {"1e-50", 0.0f},
        {"1e99999999999999999999999999", kInf}, {"1e-99999999999999999999999999", 0.0f},
        {std::string(100000, '9'), kInf}, {"0." + std::string(100000, '0') + "1", 0.0f},
        {"340282346638528859811704183484516925440.000000", FLT_MAX},
        {"1.4e-45", std::numeric_limits<float>::denorm_min()},
        {"", kUnchanged}, {"+.", kUnchanged}, {"e5", kUnchanged}, {"in", kUnchanged}, {"\x80" "1", kUnchanged},
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

// Stored values load unchecked; one missing or of the wrong kind keeps the setting, but the random
// choice falls back to off and the switches to their bits (7..31 ignored); colours lose their top byte.
TEST(Profile, LoadingTakesStoredValuesUncheckedAndFallsBackPerValue) {
    MemoryProfile empty, closed, profile;
    closed.available = false;  // a profile that cannot be opened
    for (const auto& [name, text] : {std::pair<const char*, const char*>{"angleX", "2.5xyz"}, {"angleY", "abc"},
                                     {"cbStep", "-3.000000"}, {"color5", "255"} /* wrong kind: absent */})
        profile.SetText(kProfileSection, name, text);
    for (const auto& [name, number] : {std::pair<const char*, uint32_t>{"shape", 2}, {"size1", 0xFFFFFFFFu},
                                       {"phong", 1000}, {"randomly", 1}, {"switches", 0xFFFFFF05u},
                                       {"color4", 0x01123456u}, {"mirror", 7} /* wrong kind: no text */})
        profile.SetNumber(kProfileSection, name, number);
    const struct { MemoryProfile* profile; std::string forms; std::vector<int32_t> switches; } rows[] = {
        {&empty, kDefaultForms, {1, 2, 4, 8, 16, 32, 64}},
        {&closed, kDefaultForms, {1, 2, 4, 8, 16, 32, 64}},
        {&profile,
         "angleX=\"2.500000\" angleY=\"1.000000\" angleZ=\"-1.000000\" cbStep=\"-3.000000\" csStep=\"0.010000\" "
         "ambient=\"0.340000\" mirror=\"0.995000\" randomly=1 shape=2 size1=4294967295 size2=29 bound=1 phong=1000 "
         "color0=255 color1=65280 color2=16711680 color3=45746 color4=1193046 color5=11665586 color6=8421504 switches=5",
         {1, 0, 4, 0, 0, 0, 0}},
    };
    for (const auto& row : rows) {
        SaverSettings s = Defaults();
        s.randomly = 1;
        LoadProfile(*row.profile, s);
        EXPECT_EQ(Forms(s), row.forms);
        EXPECT_EQ(std::vector<int32_t>(s.switches, s.switches + kShapeSlots), row.switches);
        EXPECT_EQ(row.profile->Size(), row.profile == &profile ? 11u : 0u);  // loading writes nothing
    }
}

// Saved, the 21 values take their forms.
TEST(Profile, SavedForms) { EXPECT_EQ(Forms(Edited()), kEditedForms); }

TextFileProfile Loaded(FakeFileSystem& fs, const std::string& text) {
    fs.files["/c/settings"] = FakeFileSystem::Bytes(text.begin(), text.end());
    TextFileProfile p;
    EXPECT_TRUE(p.Load("/c/settings", fs));
    return p;
}

TEST(ProfileNumberText, Forms) {
    const struct { const char* text; bool ok; uint32_t value; } rows[] = {
        {"40", true, 40}, {" 0x0000ff ", true, 255}, {"0XFFFFFFFF", true, 0xFFFFFFFF}, {"-5", true, 0xFFFFFFFB},
        {"-2147483648", true, 0x80000000}, {"4294967296", false, 7}, {"-2147483649", false, 7}, {"12abc", false, 7},
        {"", false, 7}, {"0x", false, 7}, {"-", false, 7}, {"99999999999999999999", false, 7}, {"1 2", false, 7},
    };
    for (const auto& r : rows) {
        uint32_t v = 7;
        EXPECT_EQ(ParseProfileNumber(r.text, v), r.ok) << r.text;
        EXPECT_EQ(v, r.value) << r.text;
    }
}

// The registry's value forms and fallbacks (float texts, numbers where they read, else the setting); saved, the
// other sections' lines stay, one group per section in first-seen order.
TEST(TextFileProfile, LoadsWithTheRegistrysFallbacksAndSavesKeepingOtherLines) {
    FakeFileSystem fs;
    TextFileProfile p = Loaded(fs, "# comment\r\n[Config]\r\nangleX = 2.5xyz\nambient=abc\nsize1=40\nsize2=huge\n"
                                   "switches=5\ncolor4=0x01B2B200\nnonsense line\n[Mine]\nkeep=me\nsize1=9\n");
    SaverSettings s = Defaults();
    LoadProfile(p, s);
    EXPECT_EQ(s.angleX, 2.5f);
    EXPECT_EQ(s.ambient, 0.34f);
    EXPECT_EQ(std::make_pair(s.size1, s.size2), std::make_pair(40, 29));
    EXPECT_EQ(PackColor(s.color[4]), 0xB2B200u);
    EXPECT_EQ(p.problems, (std::vector<std::string>{"line 9 is not name=value: nonsense line",
                                                    "size2=huge is not a 32-bit number; ignored"}));
    s.csStep = 0.0104891f;
    s.size2 = -3;
    SaveProfile(p, s);
    ASSERT_TRUE(p.Save("/c/settings", fs));
    TextFileProfile back;
    ASSERT_TRUE(back.Load("/c/settings", fs));
    EXPECT_EQ(back.ReadText("Mine", "keep"), "me");
    EXPECT_EQ(back.ReadText("Config", "csStep"), "0.010489");
    EXPECT_EQ(back.ReadNumber("Config", "size2", 0), 0xFFFFFFFDu);
    const std::string text = back.Text();
    EXPECT_EQ(text.rfind("[Config]\nangleX=2.500000\nambient=0.340000\nsize1=40\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n\n[Mine]\nkeep=me\nsize1=9\n"), std::string::npos) << text;
    EXPECT_TRUE(back.problems.empty()) << text;

    // A missing file, a value smuggling in a line, a file cut at 64 KiB (the cut line goes whole,
    // never saved), an unwritable home keeping the old file.
    EXPECT_FALSE(back.Load("/c/missing", fs));
    EXPECT_FALSE(p.WriteText("Config", "angleX", "1\nsize1=5"));
    EXPECT_EQ(p.ReadText("Config", "angleX"), "2.500000");
    TextFileProfile big =
        Loaded(fs, "size1=7\n#" + std::string(65518, 'x') + "\nsize2=123456\n" + std::string(200000, 'x'));
    EXPECT_EQ(big.ReadNumber("Config", "size1", 0), 7u);
    EXPECT_EQ(big.ReadNumber("Config", "size2", 0), 0u);
    EXPECT_EQ(big.problems, std::vector<std::string>{"larger than 64 KiB; only its start is read"});
    EXPECT_FALSE(big.Save("/c/settings", fs));
    fs.failReplace = true;
    EXPECT_FALSE(p.Save("/c/settings", fs));
    EXPECT_EQ(fs.files["/c/settings"].size(), 265541u);
}

}  // namespace

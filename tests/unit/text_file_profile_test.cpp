#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "preset_test_fs.h"
#include "presets/profile_forms.h"
#include "presets/text_file_profile.h"

namespace {

TextFileProfile Loaded(FakeFileSystem& fs, const std::string& text) {
    fs.files["/c/settings"] = FakeFileSystem::Bytes(text.begin(), text.end());
    TextFileProfile p;
    EXPECT_TRUE(p.Load("/c/settings", fs));
    return p;
}

TEST(ProfileNumberText, Forms) {
    const struct {
        const char* text;
        bool ok;
        uint32_t value;
    } rows[] = {
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

// The registry's value forms and fallbacks: float texts, numbers where they read, else the setting.
TEST(TextFileProfile, LoadsSettingsWithRegistryFallbacks) {
    FakeFileSystem fs;
    TextFileProfile p = Loaded(fs,
                               "# comment\r\n[Config]\r\nangleX = 2.5xyz\nambient=abc\nsize1=40\nsize2=huge\n"
                               "switches=5\ncolor4=0x01B2B200\nnonsense line\n[Other]\nsize1=9\n");
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    LoadProfile(p, s);
    EXPECT_EQ(s.angleX, 2.5f);
    EXPECT_EQ(s.ambient, 0.34f);
    EXPECT_EQ(std::make_pair(s.size1, s.size2), std::make_pair(40, 29));
    EXPECT_EQ(PackColor(s.color[4]), 0xB2B200u);
    EXPECT_EQ(p.problems, (std::vector<std::string>{"line 9 is not name=value: nonsense line",
                                                    "size2=huge is not a 32-bit number; ignored"}));
}

TEST(TextFileProfile, SaveLoadRoundTripKeepsOtherLines) {
    FakeFileSystem fs;
    TextFileProfile p = Loaded(fs, "[Config]\nsize1=12\n[Mine]\nkeep=me\n");
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    s.csStep = 0.0104891f;
    s.size2 = -3;
    SaveProfile(p, s);
    ASSERT_TRUE(p.Save("/c/settings", fs));
    TextFileProfile back;
    ASSERT_TRUE(back.Load("/c/settings", fs));
    EXPECT_EQ(back.ReadText("Mine", "keep"), "me");
    EXPECT_EQ(back.ReadText("Config", "csStep"), "0.010489");
    EXPECT_EQ(back.ReadText("Config", "size1"), "30");
    EXPECT_EQ(back.ReadNumber("Config", "size2", 0), 0xFFFFFFFDu);
    const std::string text = back.Text();  // one group per section, in first-seen order
    EXPECT_EQ(text.rfind("[Config]\nsize1=30\n"), 0u) << text;
    EXPECT_NE(text.find("\n\n[Mine]\nkeep=me\n"), std::string::npos) << text;
    EXPECT_TRUE(back.problems.empty());

    // A missing file, a value smuggling in a line, a file cut at 64 KiB (the cut line goes whole,
    // never saved), an unwritable home keeping the old file.
    EXPECT_FALSE(back.Load("/c/missing", fs));
    EXPECT_FALSE(p.WriteText("Config", "angleX", "1\nsize1=5"));
    EXPECT_EQ(p.ReadText("Config", "angleX"), "1.000000");
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

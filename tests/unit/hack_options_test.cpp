#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "linux/hack_options.h"

namespace {

using Target = HackOptions::Target;

struct Row {
    const char* what;
    std::vector<const char*> args;
    const char* error;  // empty when the line is accepted
    Target target;
    uint32_t windowId;
    std::string values;  // name=stored text, space-separated
};

TEST(HackOptions, Table) {
    const Row rows[] = {
        {"nothing: own window", {}, "", Target::OwnWindow, 0, ""},
        {"-root", {"-root"}, "", Target::Root, 0, ""},
        {"--root as -root", {"--root"}, "", Target::Root, 0, ""},
        {"hex id", {"-window-id", "0x1e00007"}, "", Target::WindowId, 0x1e00007, ""},
        {"decimal id wins over a later -root", {"--window-id", "31457287", "-root"}, "", Target::WindowId, 31457287, ""},
        {"values in stored form", {"--size1", "40", "--color0", "0x0000ff", "-cbStep", "2.5x"}, "",
         Target::OwnWindow, 0, "size1=40 color0=0x0000ff cbStep=2.5x"},
        {"#RRGGBB colour packs red lowest", {"--color6", "#102030"}, "", Target::OwnWindow, 0, "color6=3153936"},
        {"unknown", {"--size3", "4"}, "unknown option --size3", Target::OwnWindow, 0, ""},
        {"unknown, last", {"--bogus"}, "unknown option --bogus", Target::OwnWindow, 0, ""},
        {"stray word", {"root"}, "unexpected argument \"root\"", Target::OwnWindow, 0, ""},
        {"missing value", {"--phong"}, "option --phong needs a value", Target::OwnWindow, 0, ""},
        {"bad number", {"--size1", "4x"}, "--size1 \"4x\" is not a 32-bit number", Target::OwnWindow, 0, ""},
        {"bad float", {"--mirror", "x"}, "--mirror \"x\" is not a number", Target::OwnWindow, 0, ""},
        {"bad colour", {"--color1", "#1234567"}, "--color1 \"#1234567\" is not a colour (#RRGGBB or a 32-bit number)",
         Target::OwnWindow, 0, ""},
        {"id zero", {"-window-id", "0"}, "window id \"0\" is not a decimal or 0x hexadecimal number",
         Target::OwnWindow, 0, ""},
        {"id negative", {"-window-id", "-5"}, "window id \"-5\" is not a decimal or 0x hexadecimal number",
         Target::OwnWindow, 0, ""},
        {"id negative behind a blank", {"-window-id", " -0x1"},
         "window id \" -0x1\" is not a decimal or 0x hexadecimal number", Target::OwnWindow, 0, ""},
    };
    for (const Row& r : rows) {
        std::vector<const char*> argv{"tindlbrg"};
        argv.insert(argv.end(), r.args.begin(), r.args.end());
        HackOptions o;
        std::string error;
        const bool ok = ParseHackOptions(static_cast<int>(argv.size()), argv.data(), o, error);
        EXPECT_EQ(error, r.error) << r.what;
        EXPECT_EQ(ok, std::string(r.error).empty()) << r.what;
        if (!ok) continue;
        EXPECT_EQ(o.target, r.target) << r.what;
        EXPECT_EQ(o.windowId, r.windowId) << r.what;
        std::string values;
        for (const auto& [name, text] : o.values) values += (values.empty() ? "" : " ") + name + "=" + text;
        EXPECT_EQ(values, r.values) << r.what;
    }
}

TEST(HackOptions, OutOfRangeSettingsAreNamed) {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    EXPECT_TRUE(SettingsOutOfRange(s).empty());
    s.size1 = 100000;
    s.mirror = -1.0f / 0.0f;
    const std::vector<std::string> lines = SettingsOutOfRange(s);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "size1 100000 is outside 5..50; used as given");
    EXPECT_EQ(lines[1], "mirror -inf is outside 0..1; used as given");
}

}  // namespace

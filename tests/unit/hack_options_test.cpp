#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "linux/hack_options.h"

namespace {

using Target = HackOptions::Target;

TEST(HackOptions, Table) {
    // The error is empty when the line is accepted; values are name=stored text, space-separated.
    const struct { const char* what; std::vector<const char*> args; const char* error;
                   Target target = Target::OwnWindow; uint32_t windowId = 0; std::string values = ""; } rows[] = {
        {"nothing: own window", {}, ""},
        {"-root", {"-root"}, "", Target::Root},
        {"hex id", {"-window-id", "0x1e00007"}, "", Target::WindowId, 0x1e00007},
        {"decimal id wins over a later -root", {"--window-id", "31457287", "-root"}, "", Target::WindowId, 31457287},
        {"values in stored form", {"--size1", "40", "--color0", "0x0000ff", "-cbStep", "2.5x"}, "",
         Target::OwnWindow, 0, "size1=40 color0=0x0000ff cbStep=2.5x"},
        {"#RRGGBB colour packs red lowest", {"--color6", "#102030"}, "", Target::OwnWindow, 0, "color6=3153936"},
        {"unknown", {"--size3", "4"}, "unknown option --size3"},
        {"unknown, last", {"--bogus"}, "unknown option --bogus"},
        {"stray word", {"root"}, "unexpected argument \"root\""},
        {"missing value", {"--phong"}, "option --phong needs a value"},
        {"bad number", {"--size1", "4x"}, "--size1 \"4x\" is not a 32-bit number"},
        {"bad float", {"--mirror", "x"}, "--mirror \"x\" is not a number"},
        {"bad colour", {"--color1", "#1234567"}, "--color1 \"#1234567\" is not a colour (#RRGGBB or a 32-bit number)"},
        {"id zero", {"-window-id", "0"}, "window id \"0\" is not a decimal or 0x hexadecimal number"},
        {"id negative", {"-window-id", "-5"}, "window id \"-5\" is not a decimal or 0x hexadecimal number"},
    };
    for (const auto& r : rows) {
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

}  // namespace

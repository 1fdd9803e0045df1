#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"

namespace {

RunModeDecision Decide(std::vector<const char*> args) {
    args.insert(args.begin(), "tindlbrg.scr");
    return DecideRunMode(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, ModeTable) {
    struct Row {
        std::vector<const char*> args;
        RunMode mode;
    };
    const Row rows[] = {
        {{"/s"}, RunMode::FullScreen},   {{"-S"}, RunMode::FullScreen},  {{"s"}, RunMode::FullScreen},
        {{"/S"}, RunMode::FullScreen},   {{"/s:1"}, RunMode::None},      {{"//s"}, RunMode::None},
        {{"-/s"}, RunMode::None},        {{"/c:1234"}, RunMode::Configure}, {{"c"}, RunMode::Configure},
        {{"/c"}, RunMode::Configure},    {{"-cfoo"}, RunMode::Configure}, {{"/C:1234"}, RunMode::None},
        {{"C"}, RunMode::None},          {{"/p", "5678"}, RunMode::Preview}, {{"/P", "5678"}, RunMode::Preview},
        {{"/p5678"}, RunMode::None},     {{"x"}, RunMode::None},         {{""}, RunMode::None},
        {{"/"}, RunMode::None},          {{}, RunMode::Configure},
    };
    for (const Row& row : rows) {
        const char* first = row.args.empty() ? "(none)" : row.args[0];
        EXPECT_EQ(Decide(row.args).mode, row.mode) << first;
    }
}

TEST(CommandLine, PreviewParentHandle) {
    RunModeDecision d = Decide({"/p", "5678"});
    EXPECT_TRUE(d.hasParent);
    EXPECT_EQ(d.parentHandle, 5678u);

    d = Decide({"/p", "  +42xyz"});
    EXPECT_TRUE(d.hasParent);
    EXPECT_EQ(d.parentHandle, 42u);

    // 64-bit handles are pointer-sized; large values are not cut to 32 bits.
    if (sizeof(uintptr_t) == 8) {
        d = Decide({"/p", "8589934593"});
        EXPECT_EQ(d.parentHandle, uintptr_t(8589934593ull));
    }
    d = Decide({"/p", "-1"});
    EXPECT_TRUE(d.hasParent);
    EXPECT_EQ(d.parentHandle, ~uintptr_t{0});
}

TEST(CommandLine, PreviewWithoutUsableHandle) {
    for (const auto& args : std::vector<std::vector<const char*>>{{"/p"}, {"/p", ""}, {"/p", "abc"}, {"/p", "-"}}) {
        const RunModeDecision d = Decide(args);
        EXPECT_EQ(d.mode, RunMode::Preview);
        EXPECT_FALSE(d.hasParent) << (args.size() > 1 ? args[1] : "(missing)");
    }
}

TEST(CommandLine, NullArgumentVectorIsConfiguration) {
    EXPECT_EQ(DecideRunMode(0, nullptr).mode, RunMode::Configure);
}

}  // namespace

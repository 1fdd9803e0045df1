#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"

namespace {

TEST(CommandLine, ModesAndPreviewHandles) {
    const struct { std::vector<const char*> args; RunMode mode; bool hasParent = false; uintptr_t parent = 0; }
        rows[] = {
        {{"-S"}, RunMode::FullScreen}, {{"s"}, RunMode::FullScreen}, {{"/s"}, RunMode::FullScreen},
        {{"/s:1"}, RunMode::None}, {{"//s"}, RunMode::None}, {{"-/s"}, RunMode::None},
        {{"/c:1234"}, RunMode::Configure}, {{"c"}, RunMode::Configure}, {{"/C:1234"}, RunMode::None},
        {{"C"}, RunMode::None}, {{"/p5678"}, RunMode::None}, {{"x"}, RunMode::None}, {{""}, RunMode::None},
        {{"/"}, RunMode::None}, {{}, RunMode::Configure},
        {{"/p", "5678"}, RunMode::Preview, true, 5678}, {{"/P", "5678"}, RunMode::Preview, true, 5678},
        {{"/p", "  +42xyz"}, RunMode::Preview, true, 42},
        {{"/p", "-1"}, RunMode::Preview, true, ~uintptr_t{0}},
        {{"/p", "8589934593"}, RunMode::Preview, true, uintptr_t(8589934593ull)},  // pointer-sized, not cut to 32 bits
        {{"/p"}, RunMode::Preview}, {{"/p", ""}, RunMode::Preview}, {{"/p", "-"}, RunMode::Preview},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv{"tindlbrg.scr"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        const RunModeDecision d = DecideRunMode(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(testing::Message() << (row.args.empty() ? "(none)" : row.args[0]) << " "
                                        << (row.args.size() > 1 ? row.args[1] : ""));
        EXPECT_EQ(d.mode, row.mode);
        EXPECT_EQ(d.hasParent, row.hasParent);
        EXPECT_EQ(d.parentHandle, row.parent);
    }
    EXPECT_EQ(DecideRunMode(0, nullptr).mode, RunMode::Configure);
}

}  // namespace

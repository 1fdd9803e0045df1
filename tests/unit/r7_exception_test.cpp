#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/r7_exception.h"

namespace {

TEST(R7Exception, RaisesFillTheRecordWithTheFileCutFromThePath) {
    const struct {
        const char* what;
        std::function<void()> raise;
        const char* record;  // error/local/line/file/assert text
    } rows[] = {
        {"assertion", [] { raiseIfFalse(false, "size > 0", "c:\\work\\engine\\vector.cpp", 42, 7, 3); },
         "7/3/42/c:\\work\\engine\\vector.cpp/size > 0"},
        {"27 characters: whole", [] { raiseIfFalse(false, "t", "c:\\src\\engine\\containers.cc", 1, 2, 1); },
         "2/1/1/c:\\src\\engine\\containers.cc/t"},
        {"28, no backslash: nothing", [] { raiseIfFalse(false, "t", "abcdefghijklmnopqrstuvwxyz01", 1, 2, 1); },
         "2/1/1//t"},
        {"a backslash 27th from the end is not among the last 26",
         [] { raiseIfFalse(false, "t", "x:\\aaaaaaaaaaaaaaaaaaaaaaaaaa", 1, 2, 1); }, "2/1/1//t"},
        {"the leftmost backslash among the last 26",
         [] { raiseIfFalse(false, "t", "c:\\projects\\r7\\engine\\containers.cpp", 1, 2, 1); },
         "2/1/1/\\r7\\engine\\containers.cpp/t"},
        {"many backslashes", [] { raiseIfFalse(false, "t", "x:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n.c", 1, 2, 1); },
         "2/1/1/\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n.c/t"},
        {"no path", [] { raiseIfFalse(false, "t", nullptr, 1, 2, 1); }, "2/1/1//t"},
        {"new failed", [] { raiseNewFailed(); }, "1/0/0/unknown/*** new ***"},
        {"heap check", [] { raiseHeapCheck("heap.c", 9); }, "3/0/9/heap.c/*** heap check ***"},
        {"plain error", [] { raiseError(2, 16); }, "2/16/0//"},
    };
    for (const auto& row : rows) {
        std::memset(&theR7ErrorState, 0x5A, sizeof theR7ErrorState);
        std::string got = "not raised";
        try {
            row.raise();
        } catch (R7Exception e) {
            got = std::to_string(e.errorCode) + "/" + std::to_string(e.localCode) + "/" + std::to_string(e.line) +
                  "/" + std::string(e.file, strnlen(e.file, sizeof e.file)) + "/" +
                  std::string(theR7ErrorState.assertText, strnlen(theR7ErrorState.assertText, 120));
        }
        EXPECT_EQ(got, row.record) << row.what;
    }
    theR7ErrorState.record.line = 5;
    EXPECT_NO_THROW(raiseIfFalse(true, "x", "y", 1, 9, 9));
    EXPECT_EQ(theR7ErrorState.record.line, 5);
}

// The report's exact text; fixed-size fields that fill up without a terminator are
// printed to their own end and no further.
TEST(R7ExceptionDeathTest, ReportPrintsAndExitsWithThree) {
    const std::string out = ::testing::TempDir() + "r7_report.txt";
    const std::string a(120, 'a'), i(120, 'i'), f(28, 'f'), c(16, 'c');
    auto report = [](const std::string& assertText, const std::string& info, const std::string& file,
                     const std::string& catchFile) {
        return "assert in : (" + assertText + ") \nfile      : " + file + ", line# 77 \nerror code: 2 / -1, \n" +
               "gameID    : 4 \ninfo      : <" + info + ">\nCatches: \nfile      : " + catchFile +
               ", line: 12, local code: -2\n";
    };
    const struct {
        const char* what;
        std::string assertText, infoText, file, catchFile, expected;
    } rows[] = {
        {"short texts", "p != 0", "ctx", "\\engine\\x.cpp", "main.cpp", report("p != 0", "ctx", "\\engine\\x.cpp", "main.cpp")},
        {"every field full", a, i, f, c, report(a, i, f, c)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::remove(out.c_str());
        auto run = [&] {
            if (!std::freopen(out.c_str(), "w", stdout)) std::_Exit(99);
            // memcpy, not a string copy: the full rows leave no terminator in the field.
            auto put = [](char* field, size_t size, const std::string& text) {
                std::memset(field, 0, size);
                std::memcpy(field, text.data(), std::min(size, text.size()));
            };
            put(theR7ErrorState.assertText, sizeof theR7ErrorState.assertText, row.assertText);
            put(theR7ErrorState.infoText, sizeof theR7ErrorState.infoText, row.infoText);
            put(theR7ErrorState.catches[0].file, 16, row.catchFile);
            std::memset(theR7ErrorState.catches[1].file, 'x', 16);  // beyond the one catch
            theR7ErrorState.catches[0].line = 12;
            theR7ErrorState.catches[0].localCode = -2;
            R7Exception e{1, 2, -1, 4, 0, 0, 0, 0, 77, {}};
            put(e.file, sizeof e.file, row.file);
            ::report(e);
        };
        EXPECT_EXIT(run(), ::testing::ExitedWithCode(3), "");
        std::ifstream in(out, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string got = text.str();
        // The Windows runtime writes text-mode line ends; compare lines.
        for (size_t pos; (pos = got.find("\r\n")) != std::string::npos;) got.erase(pos, 1);
        EXPECT_EQ(got, row.expected);
    }
}

}  // namespace

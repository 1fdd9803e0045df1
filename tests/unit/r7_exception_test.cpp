#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/r7_exception.h"

namespace {

std::string File(const char* path) {
    char file[28];
    FileFromPath(path, file);
    return file;
}

TEST(R7Exception, FileNameCutting) {
    EXPECT_EQ(File("c:\\src\\engine\\containers.c"), "c:\\src\\engine\\containers.c");  // 27: whole
    EXPECT_EQ(File("abcdefghijklmnopqrstuvwxyz01"), "");                          // 28, no backslash
    EXPECT_EQ(File("c:\\projects\\r7\\engine\\containers.cpp"), "\\r7\\engine\\containers.cpp");  // leftmost backslash in the last 26
    EXPECT_EQ(File("x:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n.c"), "\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n.c");
    EXPECT_EQ(File(nullptr), "");
}

TEST(R7Exception, RaisesFillTheRecord) {
    theR7ErrorState.record.line = 5;
    EXPECT_NO_THROW(raiseIfFalse(true, "x", "y", 1, 9, 9));
    EXPECT_EQ(theR7ErrorState.record.line, 5);
    try {
        raiseIfFalse(false, "size > 0", "c:\\work\\engine\\vector.cpp", 42, 7, 3);
    } catch (R7Exception e) {
        EXPECT_EQ(e.errorCode, 7);
        EXPECT_EQ(e.localCode, 3);
        EXPECT_EQ(e.line, 42);
        EXPECT_STREQ(e.file, "c:\\work\\engine\\vector.cpp");
        EXPECT_STREQ(theR7ErrorState.assertText, "size > 0");
    }
    try {
        raiseNewFailed();
    } catch (R7Exception e) {
        EXPECT_EQ(e.errorCode, 1);
        EXPECT_STREQ(e.file, "unknown");
        EXPECT_STREQ(theR7ErrorState.assertText, "*** new ***");
    }
    try {
        raiseHeapCheck("heap.c", 9);
    } catch (R7Exception e) {
        EXPECT_EQ(e.errorCode, 3);
        EXPECT_EQ(e.line, 9);
    }
    try {
        raiseError(2, 16);
    } catch (R7Exception e) {
        EXPECT_EQ(e.localCode, 16);
        EXPECT_EQ(e.line, 0);
        EXPECT_STREQ(e.file, "");
        EXPECT_STREQ(theR7ErrorState.assertText, "");
    }
}

// The report's exact text; fixed-size fields that fill up without a terminator are
// printed to their own end and no further.
TEST(R7ExceptionDeathTest, ReportPrintsAndExitsWithThree) {
    const std::string out = ::testing::TempDir() + "r7_report.txt";
    const std::string a(120, 'a'), i(120, 'i'), f(28, 'f'), c(16, 'c');
    const struct {
        const char* what;
        std::string assertText, infoText, file, catchFile, expected;
    } rows[] = {
        {"short texts", "p != 0", "ctx", "\\engine\\x.cpp", "main.cpp",
         "assert in : (p != 0) \n"
         "file      : \\engine\\x.cpp, line# 77 \n"
         "error code: 2 / -1, \n"
         "gameID    : 4 \n"
         "info      : <ctx>\n"
         "Catches: \n"
         "file      : main.cpp, line: 12, local code: -2\n"},
        {"every field full", a, i, f, c,
         "assert in : (" + a + ") \n" + "file      : " + f + ", line# 77 \n" + "error code: 2 / -1, \n" +
             "gameID    : 4 \n" + "info      : <" + i + ">\n" + "Catches: \n" + "file      : " + c +
             ", line: 12, local code: -2\n"},
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
            R7Exception e{};
            e.catchCount = 1;
            e.errorCode = 2;
            e.localCode = -1;
            e.gameID = 4;
            e.line = 77;
            put(e.file, sizeof e.file, row.file);
            report(e);
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

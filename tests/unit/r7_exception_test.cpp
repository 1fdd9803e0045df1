#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/r7_exception.h"

namespace {

// "error/local/line/file/assert text" of the record a raise fills.
std::string Raised(const std::function<void()>& raise) {
    std::memset(&theR7ErrorState, 0x5A, sizeof theR7ErrorState);
    try {
        raise();
    } catch (R7Exception e) {
        return std::to_string(e.errorCode) + "/" + std::to_string(e.localCode) + "/" + std::to_string(e.line) + "/" +
               std::string(e.file, strnlen(e.file, sizeof e.file)) + "/" +
               std::string(theR7ErrorState.assertText, strnlen(theR7ErrorState.assertText, 120));
    }
    return "not raised";
}

// The file: from the leftmost backslash among the path's last 26 characters (27 or fewer: whole).
TEST(R7Exception, RaisesFillTheRecordWithTheFileCutFromThePath) {
    const struct {
        const char *what, *path, *file;
    } paths[] = {
        {"27 characters: whole", "c:\\src\\engine\\containers.cc", "c:\\src\\engine\\containers.cc"},
        {"28, no backslash: nothing", "abcdefghijklmnopqrstuvwxyz01", ""},
        {"a backslash 27th from the end is not among the last 26", "x:\\aaaaaaaaaaaaaaaaaaaaaaaaaa", ""},
        {"the leftmost backslash among the last 26", "c:\\projects\\r7\\engine\\containers.cpp",
         "\\r7\\engine\\containers.cpp"},
        {"many backslashes", "x:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n.c",
         "\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n.c"},
        {"no path", nullptr, ""},
    };
    for (const auto& row : paths)
        EXPECT_EQ(Raised([&] { raiseIfFalse(false, "t", row.path, 1, 2, 1); }), std::string("2/1/1/") + row.file + "/t")
            << row.what;
    EXPECT_EQ(Raised([] { raiseIfFalse(false, "size > 0", "c:\\work\\engine\\vector.cpp", 42, 7, 3); }),
              "7/3/42/c:\\work\\engine\\vector.cpp/size > 0");
    EXPECT_EQ(Raised([] { raiseNewFailed(); }), "1/0/0/unknown/*** new ***");
    EXPECT_EQ(Raised([] { raiseHeapCheck("heap.c", 9); }), "3/0/9/heap.c/*** heap check ***");
    EXPECT_EQ(Raised([] { raiseError(2, 16); }), "2/16/0//");
    theR7ErrorState.record.line = 5;
    EXPECT_NO_THROW(raiseIfFalse(true, "x", "y", 1, 9, 9));
    EXPECT_EQ(theR7ErrorState.record.line, 5);
}

// The report's exact text; fixed-size fields full without a terminator print to their end only.
TEST(R7ExceptionDeathTest, ReportPrintsAndExitsWithThree) {
    const std::string out = ::testing::TempDir() + "r7_report.txt";
    const std::string a(120, 'a'), i(120, 'i'), f(28, 'f'), c(16, 'c');
    std::remove(out.c_str());
    auto run = [&] {
        if (!std::freopen(out.c_str(), "w", stdout)) std::_Exit(99);
        auto put = [](char* field, size_t size, const std::string& text) { std::memcpy(field, text.data(), size); };
        put(theR7ErrorState.assertText, sizeof theR7ErrorState.assertText, a);
        put(theR7ErrorState.infoText, sizeof theR7ErrorState.infoText, i);
        put(theR7ErrorState.catches[0].file, 16, c);
        std::memset(theR7ErrorState.catches[1].file, 'x', 16);  // beyond the one catch
        theR7ErrorState.catches[0].line = 12;
        theR7ErrorState.catches[0].localCode = -2;
        R7Exception e{1, 2, -1, 4, 0, 0, 0, 0, 77, {}};
        put(e.file, sizeof e.file, f);
        ::report(e);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(3), "");
    std::ifstream in(out, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string got = text.str();
    // The Windows runtime writes text-mode line ends; compare lines.
    for (size_t pos; (pos = got.find("\r\n")) != std::string::npos;) got.erase(pos, 1);
    EXPECT_EQ(got, "assert in : (" + a + ") \nfile      : " + f + ", line# 77 \nerror code: 2 / -1, \ngameID    : 4 \n" +
                       "info      : <" + i + ">\nCatches: \nfile      : " + c + ", line: 12, local code: -2\n");
}

}  // namespace

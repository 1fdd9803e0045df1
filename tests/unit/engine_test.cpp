// The engine's foundation: its raises and report, the ordered pointer vector, reference counting.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/containers.h"
#include "engine/object.h"
#include "engine/r7_exception.h"

namespace {

struct Item { int value; };

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
    const struct { const char *what, *path, *file; } paths[] = {
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
        std::memcpy(theR7ErrorState.assertText, a.data(), sizeof theR7ErrorState.assertText);
        std::memcpy(theR7ErrorState.infoText, i.data(), sizeof theR7ErrorState.infoText);
        std::memcpy(theR7ErrorState.catches[0].file, c.data(), 16);
        std::memset(theR7ErrorState.catches[1].file, 'x', 16);  // beyond the one catch
        theR7ErrorState.catches[0].line = 12, theR7ErrorState.catches[0].localCode = -2;
        R7Exception e{1, 2, -1, 4, 0, 0, 0, 0, 77, {}};
        std::memcpy(e.file, f.data(), sizeof e.file);
        ::report(e);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(3), "");
    std::ifstream in(out, std::ios::binary);
    std::string got{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // The Windows runtime writes text-mode line ends; compare lines.
    for (size_t pos; (pos = got.find("\r\n")) != std::string::npos;) got.erase(pos, 1);
    EXPECT_EQ(got, "assert in : (" + a + ") \nfile      : " + f + ", line# 77 \nerror code: 2 / -1, \ngameID    : 4 \n" +
                       "info      : <" + i + ">\nCatches: \nfile      : " + c + ", line: 12, local code: -2\n");
}

// Growth by the step, clamped inserts, removal closing the gap, a search from a position.
TEST(OrderedPtrVector, KeepsItsOrderThroughGrowthInsertsAndRemovals) {
    std::vector<Item> items(257);
    OrderedPtrVector<Item> v(256, 16);
    for (Item& item : items) ASSERT_TRUE(v.Append(&item));
    EXPECT_EQ(v.Capacity(), 272);
    v.Remove(0);
    EXPECT_EQ(v.Count(), 256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(v.At(i), &items[i + 1]);

    Item a{1}, b{2}, c{3};
    OrderedPtrVector<Item> small(4, 4);
    small.Insert(10, &a);  // beyond the count: appended
    small.Insert(-3, &b);  // negative: at the front
    small.Insert(1, &c);
    small.Append(&c);
    EXPECT_EQ(std::vector<Item*>({small.At(0), small.At(1), small.At(2), small.At(3)}),
              std::vector<Item*>({&b, &c, &a, &c}));
    int32_t pos = 2;
    EXPECT_TRUE(small.Find(&c, nullptr, pos));
    EXPECT_EQ(pos, 3);
    pos = 4;
    EXPECT_FALSE(small.Find(&c, nullptr, pos));
    EXPECT_EQ(pos, 4);

    OrderedPtrVector<Item> full(1, 0);  // no growth step: a full vector refuses
    EXPECT_TRUE(full.Append(&a));
    EXPECT_FALSE(full.Append(&b));
    EXPECT_EQ(std::make_pair(full.Count(), full.Capacity()), std::make_pair(1, 1));
}

// With its flag clear an error is corrected quietly and leaves the last error alone; with
// it set it is raised with error code 2 and its flag as the local code.
TEST(OrderedPtrVector, ErrorsAreCorrectedOrRaisedByTheMask) {
    Item items[3];
    OrderedPtrVector<Item> v(4, 4), empty(4, 4), none(0, 0), g(2, 16), huge(1, 1), discarded(4, 4);
    for (Item& it : items) v.Append(&it);
    g.Append(&items[0]);
    theR7ErrorState.record.localCode = 77;
    EXPECT_EQ(empty.CheckedPosition(0), 0);
    EXPECT_EQ(std::vector<int32_t>({v.CheckedPosition(2), v.CheckedPosition(3), v.CheckedPosition(-1)}),
              std::vector<int32_t>({2, 0, 0}));
    EXPECT_FALSE(none.Append(&items[0]));
    EXPECT_EQ(none.Slot(-1), nullptr);
    EXPECT_EQ(g.Slot(9), nullptr);  // a slot beyond the capacity grows the array to exactly that slot
    EXPECT_EQ(std::make_pair(g.Capacity(), g.Count()), std::make_pair(10, 1));
    EXPECT_EQ(g.Slot(0), &items[0]);
    EXPECT_EQ(huge.Slot(2147483647), nullptr);  // an allocation failure, not gigabytes
    EXPECT_EQ(huge.Capacity(), 1);
    EXPECT_EQ(theR7ErrorState.record.localCode, 77);

    v.errorMask = kErrRange;
    empty.errorMask = kErrEmpty | kErrRange;
    g.errorMask = kErrFull;
    huge.errorMask = kErrMemory;
    discarded.errorMask = kErrDiscard;
    EXPECT_EQ(Raised([&] { v.CheckedPosition(3); }), "2/2/0//");
    EXPECT_EQ(Raised([&] { empty.CheckedPosition(0); }), "2/4/0//");
    EXPECT_EQ(Raised([&] { g.Slot(10); }), "2/16/0//");
    EXPECT_EQ(Raised([&] { huge.Slot(2147483647); }), "2/8/0//");
    EXPECT_EQ(Raised([&] { discarded.Destroy(); }), "2/1/0//");
    EXPECT_EQ(discarded.errorMask, 0u);  // fires once
    discarded.Destroy();                 // the array is still there; now freed quietly
    EXPECT_EQ(discarded.Capacity(), 0);
}

struct Tracked : RefObject {
    explicit Tracked(bool* flag) : deleted(flag) {}
    ~Tracked() override { *deleted = true; }
    bool* deleted;
};

TEST(ObjectModel, ClassIdentityAndReleaseDeletingBelowOne) {
    RefObject r;
    EXPECT_TRUE(r.IsKindOf(&Object::kClass));
    EXPECT_FALSE(Object().IsKindOf(&RefObject::kClass));
    bool gone = false;
    auto* t = new Tracked(&gone);
    t->AddRef();
    t->AddRef();
    Release(t);
    EXPECT_FALSE(gone);
    EXPECT_EQ(t->refCount, 1);
    Release(t);
    EXPECT_TRUE(gone);
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/containers.h"
#include "engine/object.h"
#include "engine/r7_exception.h"

namespace {

struct Item {
    int value;
};

// "error code/local code" of what a call raises; "" when it returns.
template <typename Call>
std::string Raised(Call call) {
    try {
        call();
    } catch (R7Exception e) {
        return std::to_string(e.errorCode) + "/" + std::to_string(e.localCode);
    }
    return "";
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
    EXPECT_EQ(Raised([&] { v.CheckedPosition(3); }), "2/2");
    EXPECT_EQ(Raised([&] { empty.CheckedPosition(0); }), "2/4");
    EXPECT_EQ(Raised([&] { g.Slot(10); }), "2/16");
    EXPECT_EQ(Raised([&] { huge.Slot(2147483647); }), "2/8");
    EXPECT_EQ(Raised([&] { discarded.Destroy(); }), "2/1");
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

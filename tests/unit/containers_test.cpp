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

// "error code/local code/catch count" of what a call raises; "" when it returns.
template <typename Call>
std::string Raised(Call call) {
    try {
        call();
    } catch (R7Exception e) {
        return std::to_string(e.errorCode) + "/" + std::to_string(e.localCode) + "/" + std::to_string(e.catchCount);
    }
    return "";
}

// Growth by the step, clamped inserts, removal closing the gap, a search from a position.
TEST(OrderedPtrVector, KeepsItsOrderThroughGrowthInsertsAndRemovals) {
    std::vector<Item> items(257);
    OrderedPtrVector<Item> v(256, 16);
    for (int i = 0; i < 257; ++i) ASSERT_TRUE(v.Append(&items[i]));
    EXPECT_EQ(v.Capacity(), 272);
    for (int i = 0; i < 257; ++i) ASSERT_EQ(v.At(i), &items[i]);
    v.Remove(0);
    EXPECT_EQ(v.Count(), 256);
    EXPECT_EQ(v.At(0), &items[1]);

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
    EXPECT_EQ(full.Count(), 1);
    EXPECT_EQ(full.Capacity(), 1);
}

// With its flag clear an error is corrected quietly and leaves the last error alone; with
// it set it is raised with error code 2.
TEST(OrderedPtrVector, ErrorsAreCorrectedOrRaisedByTheMask) {
    Item items[3];
    OrderedPtrVector<Item> v(4, 4);
    EXPECT_EQ(v.CheckedPosition(0), 0);
    for (Item& it : items) v.Append(&it);
    theR7ErrorState.record.localCode = 77;
    EXPECT_EQ(v.CheckedPosition(2), 2);
    EXPECT_EQ(v.CheckedPosition(5), 0);
    EXPECT_EQ(v.CheckedPosition(-1), 0);
    OrderedPtrVector<Item> none(0, 0);
    EXPECT_FALSE(none.Append(&items[0]));
    EXPECT_EQ(none.Slot(-1), nullptr);
    EXPECT_EQ(theR7ErrorState.record.localCode, 77);

    v.errorMask = kErrRange;
    EXPECT_EQ(Raised([&] { v.CheckedPosition(5); }), "2/2/0");
    OrderedPtrVector<Item> empty(4, 4);
    empty.errorMask = kErrEmpty | kErrRange;
    EXPECT_EQ(Raised([&] { empty.CheckedPosition(0); }), "2/4/0");

    // A slot beyond the capacity grows the array to exactly that slot.
    OrderedPtrVector<Item> g(2, 16);
    g.Append(&items[0]);
    EXPECT_EQ(g.Slot(9), nullptr);
    EXPECT_EQ(g.Capacity(), 10);
    EXPECT_EQ(g.Count(), 1);
    EXPECT_EQ(g.Slot(0), &items[0]);
    g.errorMask = kErrFull;
    EXPECT_EQ(Raised([&] { g.Slot(10); }), "2/16/0");

    OrderedPtrVector<Item> huge(1, 1);  // an absurd slot is an allocation failure, not gigabytes
    EXPECT_EQ(huge.Slot(2147483647), nullptr);
    EXPECT_EQ(huge.Capacity(), 1);
    huge.errorMask = kErrMemory;
    EXPECT_EQ(Raised([&] { huge.Slot(2147483647); }), "2/8/0");

    OrderedPtrVector<Item> discarded(4, 4);
    discarded.errorMask = kErrDiscard;
    EXPECT_EQ(Raised([&] { discarded.Destroy(); }), "2/1/0");
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
    Object o;
    EXPECT_TRUE(r.IsKindOf(&Object::kClass));
    EXPECT_TRUE(r.IsKindOf(&RefObject::kClass));
    EXPECT_FALSE(o.IsKindOf(&RefObject::kClass));
    EXPECT_STREQ(r.ClassName(), "RefObject");
    EXPECT_STREQ(o.ClassName(), "Object");
    EXPECT_EQ(r.liveMark, -1);
    EXPECT_EQ(r.refCount, 0);
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

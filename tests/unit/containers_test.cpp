#include <gtest/gtest.h>

#include <vector>

#include "engine/containers.h"
#include "engine/object.h"
#include "engine/r7_exception.h"

namespace {

struct Item {
    int value;
};

// Growth by the step, clamped inserts, removal closing the gap without deleting, and
// a search from a given position.
TEST(OrderedPtrVector, KeepsItsOrderThroughGrowthInsertsAndRemovals) {
    std::vector<Item> items(257);
    OrderedPtrVector<Item> v(256, 16);
    for (int i = 0; i < 257; ++i) {
        items[i].value = i;
        ASSERT_TRUE(v.Append(&items[i]));
    }
    EXPECT_EQ(v.Capacity(), 272);
    for (int i = 0; i < 257; ++i) ASSERT_EQ(v.At(i)->value, i);
    v.Remove(0);
    EXPECT_EQ(v.Count(), 256);
    EXPECT_EQ(v.At(0), &items[1]);
    EXPECT_EQ(items[0].value, 0);

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

TEST(OrderedPtrVector, CheckedPositionCorrectsOrThrows) {
    Item items[3];
    OrderedPtrVector<Item> v(4, 4);
    EXPECT_EQ(v.CheckedPosition(0), 0);  // empty: 0, nothing raised
    for (Item& it : items) v.Append(&it);
    EXPECT_EQ(v.CheckedPosition(2), 2);
    EXPECT_EQ(v.CheckedPosition(5), 0);
    EXPECT_EQ(v.CheckedPosition(-1), 0);
    const R7Exception untouched = theR7ErrorState.record;

    v.errorMask = kErrRange;
    try {
        v.CheckedPosition(5);
        FAIL() << "range error not raised";
    } catch (R7Exception e) {
        EXPECT_EQ(e.errorCode, 2);
        EXPECT_EQ(e.localCode, kErrRange);
        EXPECT_EQ(e.catchCount, 0);
    }
    EXPECT_NE(untouched.localCode, kErrRange);

    OrderedPtrVector<Item> empty(4, 4);
    empty.errorMask = kErrEmpty | kErrRange;
    try {
        empty.CheckedPosition(0);
        FAIL() << "empty error not raised";
    } catch (R7Exception e) {
        EXPECT_EQ(e.localCode, kErrEmpty);
    }
}

TEST(OrderedPtrVector, ClearFlagsLeaveTheLastErrorAlone) {
    theR7ErrorState.record.localCode = 77;
    OrderedPtrVector<Item> v(0, 0);
    Item a{};
    EXPECT_FALSE(v.Append(&a));
    EXPECT_EQ(v.CheckedPosition(3), 0);
    EXPECT_EQ(v.Slot(-1), nullptr);
    EXPECT_EQ(theR7ErrorState.record.localCode, 77);
}

TEST(OrderedPtrVector, SlotBeyondCapacityGrowsToExactlyThatSlot) {
    OrderedPtrVector<Item> v(2, 16);
    Item a{};
    v.Append(&a);
    EXPECT_EQ(v.Slot(9), nullptr);
    EXPECT_EQ(v.Capacity(), 10);
    EXPECT_EQ(v.Count(), 1);
    EXPECT_EQ(v.Slot(0), &a);

    v.errorMask = kErrFull;
    EXPECT_THROW(v.Slot(10), R7Exception);

    OrderedPtrVector<Item> huge(1, 1);  // an absurd slot is an allocation failure, not gigabytes
    EXPECT_EQ(huge.Slot(2147483647), nullptr);
    EXPECT_EQ(huge.Capacity(), 1);
    huge.errorMask = kErrMemory;
    EXPECT_THROW(huge.Slot(2147483647), R7Exception);
}

TEST(OrderedPtrVector, DiscardFiresOnce) {
    OrderedPtrVector<Item> v(4, 4);
    v.errorMask = kErrDiscard;
    EXPECT_THROW(v.Destroy(), R7Exception);
    EXPECT_EQ(v.errorMask, 0u);
    v.Destroy();  // the array is still there; now freed quietly
    EXPECT_EQ(v.Capacity(), 0);
}

struct Tracked : RefObject {
    explicit Tracked(bool* flag) : deleted(flag) {}
    ~Tracked() override { *deleted = true; }
    bool* deleted;
};

TEST(RefObject, ReleaseDeletesBelowOne) {
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

TEST(ObjectModel, ClassIdentity) {
    RefObject r;
    Object o;
    EXPECT_TRUE(r.IsKindOf(&Object::kClass));
    EXPECT_TRUE(r.IsKindOf(&RefObject::kClass));
    EXPECT_FALSE(o.IsKindOf(&RefObject::kClass));
    EXPECT_STREQ(r.ClassName(), "RefObject");
    EXPECT_STREQ(o.ClassName(), "Object");
    EXPECT_EQ(r.liveMark, -1);
    EXPECT_EQ(r.refCount, 0);
}

}  // namespace

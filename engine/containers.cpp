#include "engine/containers.h"

#include <algorithm>
#include <new>

#include "engine/r7_exception.h"

namespace {
// Beyond this a slot request is treated as an allocation failure rather than an attempt
// to reserve gigabytes for one pointer.
constexpr int64_t kMaxSlots = int64_t{1} << 26;
}  // namespace

void ContainerExcept::Check(uint32_t kind) {
    if ((errorMask & kind) == 0) return;
    if (kind == kErrDiscard) errorMask &= ~kErrDiscard;
    raiseError(kR7ContainerError, static_cast<int>(kind));
}

BareVectorBase::BareVectorBase(int32_t capacity, int32_t growthStep) : growthStep_(growthStep) {
    if (capacity >= 1 && !Reallocate(capacity)) Check(kErrMemory);
}

BareVectorBase::~BareVectorBase() {
    // Destruction never throws: with the discard check on, the report is the owner's
    // business through Destroy().
    delete[] slots_;
}

bool BareVectorBase::Reallocate(int64_t newCapacity) {
    if (newCapacity > kMaxSlots) return false;
    void** fresh = new (std::nothrow) void*[static_cast<size_t>(newCapacity)]();
    if (fresh == nullptr) return false;
    std::copy(slots_, slots_ + count_, fresh);
    delete[] slots_;
    slots_ = fresh;
    capacity_ = static_cast<int32_t>(newCapacity);
    return true;
}

int32_t BareVectorBase::CheckedPosition(int32_t i) {
    if (i >= 0 && i <= count_ - 1) return i;
    if (count_ == 0) Check(kErrEmpty);
    Check(kErrRange);
    return 0;
}

void** BareVectorBase::SlotAddress(int32_t i) {
    if (i < 0) {
        Check(kErrRange);
        i = 0;
    }
    if (i >= capacity_) {
        Check(kErrFull);
        if (!Reallocate(int64_t{i} + 1)) {
            Check(kErrMemory);
            return nullptr;
        }
    }
    return &slots_[i];
}

bool BareVectorBase::Insert(int32_t position, void* element) {
    if (position > count_) {
        Check(kErrRange);
        position = count_;
    } else if (position < 0) {
        Check(kErrRange);
        position = 0;
    }
    if (count_ >= capacity_) {
        Check(kErrFull);
        if (growthStep_ <= 0) return false;
        if (!Reallocate(int64_t{capacity_} + growthStep_)) {
            Check(kErrMemory);
            return false;
        }
    }
    std::copy_backward(slots_ + position, slots_ + count_, slots_ + count_ + 1);
    slots_[position] = element;
    ++count_;
    return true;
}

void BareVectorBase::Remove(int32_t position) {
    if (position < 0 || position >= count_) return;  // callers pass valid positions; stay in bounds anyway
    std::copy(slots_ + position + 1, slots_ + count_, slots_ + position);
    slots_[--count_] = nullptr;
}

void BareVectorBase::Destroy() {
    if (slots_ == nullptr) return;
    Check(kErrDiscard);
    delete[] slots_;
    slots_ = nullptr;
    capacity_ = 0;
    count_ = 0;
}

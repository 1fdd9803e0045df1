// Vectors of pointers whose checks are switched on one error kind at a time. They never
// delete the elements they point to.
#pragma once

#include <cstdint>

// Error kinds of the mask; each is raised (as R7Exception, error code 2) only when set.
enum ContainerError : uint32_t {
    kErrDiscard = 1,  // slot array released or shrunk below the count; fires once
    kErrRange = 2,    // position outside the operation's valid range
    kErrEmpty = 4,    // position asked of an empty vector
    kErrMemory = 8,   // slot array could not be allocated
    kErrFull = 16,    // the vector had to grow
};

class ContainerExcept {
public:
    virtual ~ContainerExcept() = default;

    uint32_t errorMask = 0;

protected:
    // Raises the kind when its flag is set; otherwise returns and the caller corrects.
    void Check(uint32_t kind);
};

class BareVectorBase : public ContainerExcept {
public:
    BareVectorBase(int32_t capacity, int32_t growthStep);
    ~BareVectorBase() override;
    BareVectorBase(const BareVectorBase&) = delete;
    BareVectorBase& operator=(const BareVectorBase&) = delete;

    int32_t Count() const { return count_; }
    int32_t Capacity() const { return capacity_; }
    int32_t GrowthStep() const { return growthStep_; }

    // i for 0 <= i < count; otherwise raises empty (count 0) then range, and gives 0.
    int32_t CheckedPosition(int32_t i);
    bool Insert(int32_t position, void* element);
    // The caller passes a position below the count; the element is not deleted.
    void Remove(int32_t position);
    void Destroy();

protected:
    // Slot i, growing the array to i + 1 slots when i is beyond it. Null when the slot
    // array cannot be had; the old elements are then kept untouched.
    void** SlotAddress(int32_t i);
    void* const* Slots() const { return slots_; }

private:
    bool Reallocate(int64_t newCapacity);

    void** slots_ = nullptr;
    int32_t capacity_ = 0;
    int32_t count_ = 0;
    int32_t growthStep_ = 0;
};

template <typename T>
class PtrVector : public BareVectorBase {
public:
    using BareVectorBase::BareVectorBase;

    // Element at slot i (null for an empty slot, or when the slot cannot be had).
    T* Slot(int32_t i) {
        void** slot = SlotAddress(i);
        return slot ? static_cast<T*>(*slot) : nullptr;
    }
    void SetSlot(int32_t i, T* element) {
        if (void** slot = SlotAddress(i)) *slot = element;
    }
    bool Insert(int32_t position, T* element) { return BareVectorBase::Insert(position, element); }
    bool Append(T* element) { return Insert(Count(), element); }
    // The usual access pattern: element i for a valid i, element 0 otherwise.
    T* At(int32_t i) { return Slot(CheckedPosition(i)); }
};

template <typename T>
class OrderedPtrVector : public PtrVector<T> {
public:
    using PtrVector<T>::PtrVector;

    virtual bool Equal(const T* a, const T* b) const { return a == b; }

    // From `position` to the last element, the first equal to `key`; writes its position
    // back. False, with `position` unchanged, when none matches.
    virtual bool Find(const T* key, const void* /*unused*/, int32_t& position) {
        for (int32_t i = position; i >= 0 && i < this->Count(); ++i) {
            if (Equal(static_cast<const T*>(this->Slots()[i]), key)) {
                position = i;
                return true;
            }
        }
        return false;
    }
};

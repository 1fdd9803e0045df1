// Root classes of the engine's objects: class identity with an is-kind-of test, and a
// reference count whose holders delete the object when it falls below 1.
#pragma once

#include <cstdint>
#include <iosfwd>

// One per class; the address is the class identity token.
struct ClassInfo {
    const char* name;
    const ClassInfo* base;
};

class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();

    virtual void Hook();
    virtual void PrintClassName(std::ostream& out) const;
    virtual const ClassInfo* ClassId() const;
    virtual bool IsKindOf(const ClassInfo* token) const;
    virtual const char* ClassName() const;

    static const ClassInfo kClass;

    int16_t liveMark = -1;  // all ones while alive, zero after destruction
    int16_t reserved = 0;
};

class RefObject : public Object {
public:
    const ClassInfo* ClassId() const override;
    const char* ClassName() const override;
    virtual void AddRef();

    static const ClassInfo kClass;

    int32_t refCount = 0;
};

// The holder's side of releasing: one reference less, deleted when the count drops below 1.
void Release(RefObject* object);

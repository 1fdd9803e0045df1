#include "engine/object.h"

#include <ostream>

const ClassInfo Object::kClass{"Object", nullptr};
const ClassInfo RefObject::kClass{"RefObject", &Object::kClass};

Object::~Object() { liveMark = 0; }

void Object::Hook() {}

void Object::PrintClassName(std::ostream& out) const { out << ClassName(); }

const ClassInfo* Object::ClassId() const { return &kClass; }

bool Object::IsKindOf(const ClassInfo* token) const {
    for (const ClassInfo* c = ClassId(); c != nullptr; c = c->base)
        if (c == token) return true;
    return false;
}

const char* Object::ClassName() const { return ClassId()->name; }

const ClassInfo* RefObject::ClassId() const { return &kClass; }

const char* RefObject::ClassName() const { return kClass.name; }

void RefObject::AddRef() { ++refCount; }

void Release(RefObject* object) {
    if (object == nullptr) return;
    if (--object->refCount < 1) delete object;
}

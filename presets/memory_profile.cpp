#include "presets/memory_profile.h"

const MemoryProfile::Value* MemoryProfile::Find(const std::string& section,
                                                const std::string& name) const {
    auto it = values_.find({section, name});
    return it == values_.end() ? nullptr : &it->second;
}

const MemoryProfile::Value* MemoryProfile::Lookup(const char* section, const char* name) {
    reads.emplace_back(name);
    return available ? Find(section, name) : nullptr;
}

std::string MemoryProfile::ReadText(const char* section, const char* name) {
    const Value* v = Lookup(section, name);
    return v != nullptr && v->isText ? v->text : std::string();
}

uint32_t MemoryProfile::ReadNumber(const char* section, const char* name, uint32_t fallback) {
    const Value* v = Lookup(section, name);
    return v != nullptr && !v->isText ? v->number : fallback;
}

bool MemoryProfile::WriteText(const char* section, const char* name, const std::string& text) {
    writes.emplace_back(name);
    if (!available) return false;
    SetText(section, name, text);
    return true;
}

bool MemoryProfile::WriteNumber(const char* section, const char* name, uint32_t value) {
    writes.emplace_back(name);
    if (!available) return false;
    SetNumber(section, name, value);
    return true;
}

void MemoryProfile::SetText(const std::string& section, const std::string& name,
                            const std::string& text) {
    Value& v = values_[{section, name}];
    v.isText = true;
    v.text = text;
    v.number = 0;
}

void MemoryProfile::SetNumber(const std::string& section, const std::string& name, uint32_t value) {
    Value& v = values_[{section, name}];
    v.isText = false;
    v.text.clear();
    v.number = value;
}

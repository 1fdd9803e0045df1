// A profile kept in memory, for tests and fuzzers: typed values per section and name,
// and a log of every access in the order it happened.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "presets/profile.h"

class MemoryProfile : public Profile {
public:
    struct Value {
        bool isText = false;
        std::string text;
        uint32_t number = 0;
    };

    std::string ReadText(const char* section, const char* name) override;
    uint32_t ReadNumber(const char* section, const char* name, uint32_t fallback) override;
    bool WriteText(const char* section, const char* name, const std::string& text) override;
    bool WriteNumber(const char* section, const char* name, uint32_t value) override;

    // Direct access that bypasses the log.
    void SetText(const std::string& section, const std::string& name, const std::string& text);
    void SetNumber(const std::string& section, const std::string& name, uint32_t value);
    const Value* Find(const std::string& section, const std::string& name) const;
    size_t Size() const { return values_.size(); }

    // While false the profile behaves like a key that cannot be opened: reads give their
    // fallbacks and writes are refused.
    bool available = true;

    // Value names in the order they were read and written.
    std::vector<std::string> reads;
    std::vector<std::string> writes;

private:
    // A value of the other kind reads as absent, as a registry value of the wrong type or
    // size does.
    const Value* Lookup(const char* section, const char* name);

    std::map<std::pair<std::string, std::string>, Value> values_;
};

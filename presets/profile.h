// The four operations through which settings reach their stored home: on Windows the
// registry under the application's key, in tests a map in memory.
#pragma once

#include <cstdint>
#include <string>

class Profile {
public:
    virtual ~Profile() = default;

    // The text stored under section/name, or the empty text when there is none.
    virtual std::string ReadText(const char* section, const char* name) = 0;
    // The 32-bit number stored under section/name, or `fallback` when it is absent or
    // cannot be read as four bytes.
    virtual uint32_t ReadNumber(const char* section, const char* name, uint32_t fallback) = 0;
    // Both writers report whether the value was stored.
    virtual bool WriteText(const char* section, const char* name, const std::string& text) = 0;
    virtual bool WriteNumber(const char* section, const char* name, uint32_t value) = 0;
};

// The settings in a small text file where there is no registry: "[section]" lines and
// "name=value" lines, every value kept as text. Numbers are read from the text (decimal
// or 0x hexadecimal, 32 bits, a minus sign wraps as the registry's DWORD would), so the
// value forms and fallbacks of the profile stay the same.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "presets/file_system.h"
#include "presets/profile.h"

class TextFileProfile : public Profile {
public:
    // A larger file is not a settings file: reading stops at the last whole line before.
    static constexpr size_t kMaxFileBytes = 64 * 1024;

    // Reads the file in place of what the profile held; false when it cannot be opened
    // (the profile is then empty). Lines that are not "name=value" are noted in `problems`.
    bool Load(const std::string& path, FileSystem& fs = DefaultFileSystem());
    // False after loading only the start of a larger file.
    bool ReadWhole() const { return whole_; }
    // Writes every value, replacing the file only once all is written. Refused after a
    // partial load, whose save would cut the file short.
    bool Save(const std::string& path, FileSystem& fs = DefaultFileSystem()) const;
    // The file's text form of the profile.
    std::string Text() const;

    std::string ReadText(const char* section, const char* name) override;
    uint32_t ReadNumber(const char* section, const char* name, uint32_t fallback) override;
    bool WriteText(const char* section, const char* name, const std::string& text) override;
    bool WriteNumber(const char* section, const char* name, uint32_t value) override;

    // One line each: what was found unreadable and ignored (lines, numbers).
    std::vector<std::string> problems;

private:
    // Kept in the order first written or read, as the file shows it.
    std::vector<std::pair<std::pair<std::string, std::string>, std::string>> values_;
    std::string* Find(const std::string& section, const std::string& name);
    bool whole_ = true;
};

// A whole text (surrounding blanks aside) as a 32-bit number: decimal or 0x hexadecimal,
// an optional minus sign. False for anything else or a value beyond 32 bits.
bool ParseProfileNumber(const std::string& text, uint32_t& value);

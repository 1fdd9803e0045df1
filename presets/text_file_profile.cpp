#include "presets/text_file_profile.h"

#include <algorithm>
#include <memory>

namespace {

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

int DigitValue(char c, int base) {
    int v = 99;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

}  // namespace

bool ParseProfileNumber(const std::string& text, uint32_t& value) {
    const std::string t = Trim(text);
    size_t i = 0;
    const bool negative = i < t.size() && t[i] == '-';
    if (negative) ++i;
    int base = 10;
    if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    if (i == t.size()) return false;
    uint64_t v = 0;
    for (; i < t.size(); ++i) {
        const int d = DigitValue(t[i], base);
        if (d < 0) return false;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    if (negative && v > 0x80000000ull) return false;
    value = negative ? static_cast<uint32_t>(0 - v) : static_cast<uint32_t>(v);
    return true;
}

bool TextFileProfile::Load(const std::string& path, FileSystem& fs) {
    values_.clear();
    problems.clear();
    whole_ = true;
    std::unique_ptr<FileSystem::File> file = fs.Open(path);
    if (!file) return false;
    std::string text(kMaxFileBytes + 1, '\0');
    text.resize(file->Read(&text[0], text.size()));
    file->Close();
    if (text.size() > kMaxFileBytes) {
        problems.push_back("larger than 64 KiB; only its start is read");
        // The line cut at the limit would read as a shorter value: it goes too.
        text.resize(text.rfind('\n', kMaxFileBytes - 1) + 1);
        whole_ = false;
    }
    std::string section = "Config";
    size_t lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const size_t equals = line.find('=');
        if (line.front() == '[' && line.back() == ']') {
            section = Trim(line.substr(1, line.size() - 2));
        } else if (equals != std::string::npos && equals > 0) {
            WriteText(section.c_str(), Trim(line.substr(0, equals)).c_str(), Trim(line.substr(equals + 1)));
        } else {
            problems.push_back("line " + std::to_string(lineNumber) + " is not name=value: " + line.substr(0, 60));
        }
    }
    return true;
}

std::string TextFileProfile::Text() const {
    // Grouped by section, sections and values in the order they first appeared.
    std::vector<std::string> sections;
    for (const auto& entry : values_)
        if (std::find(sections.begin(), sections.end(), entry.first.first) == sections.end())
            sections.push_back(entry.first.first);
    std::string out;
    for (const std::string& section : sections) {
        out += (out.empty() ? "[" : "\n[") + section + "]\n";
        for (const auto& [key, text] : values_)
            if (key.first == section) out += key.second + "=" + text + "\n";
    }
    return out;
}

bool TextFileProfile::Save(const std::string& path, FileSystem& fs) const {
    if (!whole_) return false;
    const std::string text = Text();
    return WriteFileSafely(fs, path, text.data(), text.size());
}

std::string* TextFileProfile::Find(const std::string& section, const std::string& name) {
    for (auto& entry : values_)
        if (entry.first.first == section && entry.first.second == name) return &entry.second;
    return nullptr;
}

std::string TextFileProfile::ReadText(const char* section, const char* name) {
    const std::string* text = Find(section, name);
    return text != nullptr ? *text : std::string();
}

uint32_t TextFileProfile::ReadNumber(const char* section, const char* name, uint32_t fallback) {
    const std::string* text = Find(section, name);
    uint32_t value = 0;
    if (text == nullptr) return fallback;
    if (ParseProfileNumber(*text, value)) return value;
    problems.push_back(std::string(name) + "=" + text->substr(0, 40) + " is not a 32-bit number; ignored");
    return fallback;
}

bool TextFileProfile::WriteText(const char* section, const char* name, const std::string& text) {
    // One line per value: a line break would make the rest a line of its own.
    if (text.find_first_of("\r\n") != std::string::npos) return false;
    if (std::string* old = Find(section, name)) {
        *old = text;
    } else {
        values_.push_back({{section, name}, text});
    }
    return true;
}

bool TextFileProfile::WriteNumber(const char* section, const char* name, uint32_t value) {
    return WriteText(section, name, std::to_string(value));
}

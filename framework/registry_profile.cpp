#include "framework/registry_profile.h"

#include <windows.h>

#include <vector>

namespace fw {

namespace {

// Longest text value read; the settings' texts are a dozen characters, and a stray
// giant value must not cost more than this.
constexpr DWORD kMaxTextBytes = 64 * 1024;

// A reading key is only opened, for reading: reading must create no key (the modes
// that only show the animation write nothing) and must work where the user may only read.
class SectionKey {
public:
    enum Access { kRead, kWrite };
    SectionKey(const std::string& home, const char* section, Access access) {
        const std::string path = home + "\\" + section;
        const LONG rc = access == kRead
                            ? RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_)
                            : RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              KEY_WRITE, nullptr, &key_, nullptr);
        if (rc != ERROR_SUCCESS) key_ = nullptr;
    }
    ~SectionKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    SectionKey(const SectionKey&) = delete;
    SectionKey& operator=(const SectionKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::string RegistryProfile::ReadText(const char* section, const char* name) {
    SectionKey key(home_, section, SectionKey::kRead);
    if (key.get() == nullptr) return std::string();
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::string();
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return std::string();
    if (size > kMaxTextBytes) size = kMaxTextBytes;
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = size;
    const LONG rc = RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc != ERROR_SUCCESS) {
        // Too long for our cap: a prefix is all a number needs, and the platform does
        // not hand out partial values, so treat it as unreadable.
        return std::string();
    }
    buffer[got < size ? got : size] = '\0';
    return std::string(buffer.data());
}

uint32_t RegistryProfile::ReadNumber(const char* section, const char* name, uint32_t fallback) {
    SectionKey key(home_, section, SectionKey::kRead);
    if (key.get() == nullptr) return fallback;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return fallback;
    if (type != REG_DWORD || size != sizeof value) return fallback;
    return value;
}

bool RegistryProfile::WriteText(const char* section, const char* name, const std::string& text) {
    SectionKey key(home_, section, SectionKey::kWrite);
    if (key.get() == nullptr) return false;
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryProfile::WriteNumber(const char* section, const char* name, uint32_t value) {
    SectionKey key(home_, section, SectionKey::kWrite);
    if (key.get() == nullptr) return false;
    const DWORD v = value;
    return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
           ERROR_SUCCESS;
}

}  // namespace fw

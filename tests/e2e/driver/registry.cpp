#include "registry.h"

#include <algorithm>

#include "check.h"

const wchar_t kCompanyKeyPath[] = L"Software\\Pellucid Works";
const wchar_t kConfigKeyPath[] = L"Software\\Pellucid Works\\tindlbrg\\Config";

namespace {

HKEY OpenConfigForWriting() {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, kConfigKeyPath, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                        nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) Fail(Format("cannot create the settings key (error %ld)", status));
    return key;
}

void Collect(HKEY key, const std::wstring& path, std::vector<RegistryValue>& out) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        RegistryValue value;
        value.keyPath = path;
        value.name.assign(name, nameLength);
        value.type = type;
        value.data.resize(size);
        nameLength = 512;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, size ? value.data.data() : nullptr, &size);
        value.data.resize(size);
        out.push_back(std::move(value));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Collect(sub, path + L"\\" + std::wstring(name, nameLength), out);
            RegCloseKey(sub);
        }
    }
}

std::string Show(const RegistryValue& v) {
    std::string data;
    if (v.type == REG_DWORD && v.data.size() == 4) {
        data = Format("dword %lu", static_cast<unsigned long>(v.data[0] | v.data[1] << 8 | v.data[2] << 16 |
                                                              static_cast<uint32_t>(v.data[3]) << 24));
    } else if (v.type == REG_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(v.data.data()), v.data.size() / 2);
        data = "text \"" + Narrow(text.c_str()) + "\"";
    } else {
        data = Format("type %lu, %zu bytes", v.type, v.data.size());
    }
    return Narrow(v.keyPath) + "\\" + Narrow(v.name) + " = " + data;
}

}  // namespace

void DeleteSaverKeys() {
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKeyPath);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Fail(Format("cannot delete the saver's registry key (error %ld)", status));
    RegDeleteKeyW(HKEY_CURRENT_USER, kCompanyKeyPath);
}

void WriteText(const wchar_t* valueName, const std::string& text) {
    HKEY key = OpenConfigForWriting();
    std::wstring wide(text.begin(), text.end());
    const LONG status = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) Fail(Format("cannot write %s (error %ld)", Narrow(valueName).c_str(), status));
}

void WriteNumber(const wchar_t* valueName, uint32_t number) {
    HKEY key = OpenConfigForWriting();
    const DWORD value = number;
    const LONG status =
        RegSetValueExW(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) Fail(Format("cannot write %s (error %ld)", Narrow(valueName).c_str(), status));
}

std::vector<RegistryValue> SnapshotSaverValues() {
    std::vector<RegistryValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kCompanyKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        Collect(key, L"", values);
        RegCloseKey(key);
    }
    std::sort(values.begin(), values.end(), [](const RegistryValue& a, const RegistryValue& b) {
        return a.keyPath != b.keyPath ? a.keyPath < b.keyPath : a.name < b.name;
    });
    return values;
}

std::string DiffSnapshots(const std::vector<RegistryValue>& before, const std::vector<RegistryValue>& after) {
    for (const auto& v : after) {
        auto same = std::find_if(before.begin(), before.end(),
                                 [&](const RegistryValue& b) { return b.keyPath == v.keyPath && b.name == v.name; });
        if (same == before.end()) return "value added: " + Show(v);
        if (!(*same == v)) return "value changed: " + Show(*same) + " became " + Show(v);
    }
    for (const auto& v : before) {
        auto same = std::find_if(after.begin(), after.end(),
                                 [&](const RegistryValue& a) { return a.keyPath == v.keyPath && a.name == v.name; });
        if (same == after.end()) return "value removed: " + Show(v);
    }
    return {};
}

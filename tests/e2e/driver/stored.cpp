#include <shlobj.h>

#include <cstring>
#include <set>

#include "driver.h"

namespace {

const wchar_t kCompanyKey[] = L"Software\\Pellucid Works";
const wchar_t kConfigKey[] = L"Software\\Pellucid Works\\tindlbrg\\Config";
// A function: tables of cases call P() while the program's globals are being made.
bool IsFloat(const std::string& name) {
    static const std::set<std::string> floats = {"angleX", "angleY", "angleZ", "cbStep", "csStep", "ambient", "mirror"};
    return floats.count(name) != 0;
}

std::string Show(DWORD type, const Bytes& data, bool floatName) {
    if (type == REG_DWORD && data.size() == 4) {
        uint32_t n; std::memcpy(&n, data.data(), 4); return (floatName ? "dword " : "") + std::to_string(n);
    }
    if (type == REG_SZ) {
        const std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
        return (floatName ? "" : "text ") + Narrow(text.c_str());
    }
    return Format("type %lu of %zu bytes", type, data.size());
}

// Every value below `key`, by "path\name".
void Collect(HKEY key, const std::string& path, std::map<std::string, std::string>& out, bool asProfile) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[512]; DWORD nameLength = 512, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        Bytes data(size); nameLength = 512;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, size ? data.data() : nullptr, &size);
        const std::string n = Narrow(std::wstring(name, nameLength));
        out[asProfile ? n : path + "\\" + n] = Show(type, data, asProfile ? IsFloat(n) : false);
    }
    for (DWORD i = 0; !asProfile; ++i) {
        wchar_t name[512]; DWORD nameLength = 512; HKEY sub = nullptr;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        Collect(sub, path + "\\" + Narrow(name), out, false); RegCloseKey(sub);
    }
}

std::map<std::string, std::string> ReadKey(const wchar_t* path, bool asProfile) {
    std::map<std::string, std::string> values; HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        Collect(key, "", values, asProfile); RegCloseKey(key);
    }
    return values;
}

std::string Differences(const std::map<std::string, std::string>& want, const std::map<std::string, std::string>& got) {
    std::string diff;
    for (const auto& [name, value] : want) {
        const auto it = got.find(name);
        if (it == got.end()) diff += "; " + name + " is missing (expected " + value + ")";
        else if (it->second != value) diff += "; " + name + " is " + it->second + ", expected " + value;
    }
    for (const auto& [name, value] : got)
        if (!want.count(name)) diff += "; " + name + " = " + value + " is one too many";
    return diff.empty() ? diff : diff.substr(2);
}

std::wstring ScratchFolder() {
    wchar_t temp[MAX_PATH] = {}; GetTempPathW(MAX_PATH, temp); return std::wstring(temp) + L"tindlbrg-e2e";
}

}  // namespace

Profile P(Changes changes) {
    return With(Profile{{"angleX", "1.000000"}, {"angleY", "1.000000"}, {"angleZ", "-1.000000"}, {"cbStep", "1.460000"},
                 {"csStep", "0.010000"}, {"ambient", "0.340000"}, {"mirror", "0.995000"},   {"shape", "0"},
                 {"size1", "30"},        {"size2", "29"},         {"bound", "1"},           {"phong", "4"},
                 {"randomly", "0"},      {"switches", "127"},     {"color0", "0x0000FF"},   {"color1", "0x00FF00"},
                 {"color2", "0xFF0000"}, {"color3", "0x00B2B2"},  {"color4", "0xB2B200"},  {"color5", "0xB200B2"},
                 {"color6", "0x808080"}},
                changes);
}

Profile With(Profile p, Changes changes) {
    for (const auto& [name, value] : changes) p[name] = value;
    for (auto& [name, value] : p)
        if (!IsFloat(name))
            value = std::to_string(static_cast<uint32_t>(std::strtoll(value.c_str(), nullptr, 0)));
    return p;
}

Profile Absurd() {
    Profile p = P({{"angleX", "nan"}, {"angleY", "inf"}, {"angleZ", "-inf"}, {"cbStep", "nan"}, {"csStep", "-inf"},
                   {"ambient", "-inf"}, {"mirror", "1e30"}, {"shape", "2147483647"}, {"size1", "-2000000000"},
                   {"size2", "2000000000"}, {"phong", "2000000000"}, {"switches", "0xFFFFFFFF"}});
    for (int slot = 0; slot < 7; ++slot) p["color" + std::to_string(slot)] = std::to_string(0xFF123456u);
    return p;
}

std::string Rgb(unsigned red, unsigned green, unsigned blue) { return std::to_string(red | green << 8 | blue << 16); }

uint32_t Number(const Profile& profile, const std::string& name) {
    return static_cast<uint32_t>(std::strtoul(profile.at(name).c_str(), nullptr, 10));
}

void WriteProfile(const Profile& profile) {
    HKEY key = nullptr;
    Expect(RegCreateKeyExW(HKEY_CURRENT_USER, kConfigKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
               ERROR_SUCCESS,
           "cannot create the settings key");
    for (const auto& [name, value] : profile) {
        const std::wstring wideName = Wide(name), text = Wide(value); const DWORD number = Number(profile, name);
        const bool isText = IsFloat(name);
        RegSetValueExW(key, wideName.c_str(), 0, isText ? REG_SZ : REG_DWORD,
                       isText ? reinterpret_cast<const BYTE*>(text.c_str()) : reinterpret_cast<const BYTE*>(&number),
                       isText ? static_cast<DWORD>((text.size() + 1) * 2) : 4);
    }
    RegCloseKey(key);
}

Profile ReadProfile() { return ReadKey(kConfigKey, true); }

void ExpectProfile(const Profile& want, const std::string& after) {
    const std::string diff = Differences(want, ReadProfile());
    Expect(diff.empty(), "after " + after + " the settings key differs: " + diff);
}

void PutWord(Bytes& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

Bytes Encode(const Record& r) {
    Bytes out(kRecordSize, 0);
    auto putFloat = [&](size_t offset, float value) {
        uint32_t bits; std::memcpy(&bits, &value, 4); PutWord(out, offset, bits);
    };
    PutWord(out, 0, 1); std::memcpy(&out[4], r.name.data(), std::min<size_t>(r.name.size(), 49));
    putFloat(56, r.angleX); putFloat(60, r.angleY); putFloat(64, r.angleZ); putFloat(68, r.cbStep);
    putFloat(72, r.csStep); PutWord(out, 76, static_cast<uint32_t>(r.shape));
    PutWord(out, 80, static_cast<uint32_t>(r.size1)); PutWord(out, 84, static_cast<uint32_t>(r.size2));
    PutWord(out, 88, static_cast<uint32_t>(r.phong)); putFloat(92, r.mirror); putFloat(96, r.ambient);
    for (int i = 0; i < 7; ++i) {
        PutWord(out, 100 + 4 * i, static_cast<uint32_t>(r.on[i]));
        for (int c = 0; c < 3; ++c) PutWord(out, 128 + 12 * i + 4 * c, r.colour[i] >> (8 * c) & 255);
    }
    return out;  // 212..227 reserved, zero
}

Bytes Store(const std::vector<Bytes>& records) {
    Bytes out(4, 0); PutWord(out, 0, static_cast<uint32_t>(records.size()));
    for (const auto& r : records) out.insert(out.end(), r.begin(), r.end());
    return out;
}

std::wstring WindowsStore() {
    wchar_t dir[MAX_PATH] = {}; GetWindowsDirectoryW(dir, MAX_PATH); return std::wstring(dir) + L"\\tindlbrg.cfg";
}

std::wstring UserStore() {
    wchar_t dir[MAX_PATH] = {};
    Expect(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, dir)),
           "cannot find the user's application data folder");
    return std::wstring(dir) + L"\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
}

std::wstring Scratch(const std::wstring& name) { return ScratchFolder() + L"\\" + name; }

void WriteFileBytes(const std::wstring& path, const Bytes& bytes) {
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Expect(file != INVALID_HANDLE_VALUE, Format("cannot create %s (error %lu)", Narrow(path).c_str(), GetLastError()));
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file); Expect(ok && written == bytes.size(), "cannot write " + Narrow(path));
}

std::optional<Bytes> ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr); if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    Bytes bytes(GetFileSize(file, nullptr)); DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file); bytes.resize(read); return bytes;
}

void Backdate(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const SYSTEMTIME old = {2001, 2, 0, 3, 4, 0, 0, 0}; FILETIME time; SystemTimeToFileTime(&old, &time);
    const bool ok = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &time); CloseHandle(file);
    Expect(ok, "cannot set the time of " + Narrow(path));
}

void ExpectBytes(const std::optional<Bytes>& got, const Bytes& want, const std::string& what) {
    Expect(got.has_value(), what + " does not exist"); size_t first = 0;
    while (first < got->size() && first < want.size() && (*got)[first] == want[first]) ++first;
    Expect(*got == want, Format("%s holds %zu bytes, expected %zu; the first difference is at byte %zu (record %ld, "
                                "byte %zu of it)",
                                what.c_str(), got->size(), want.size(), first,
                                first < 4 ? -1L : static_cast<long>((first - 4) / kRecordSize),
                                first < 4 ? first : (first - 4) % kRecordSize));
}

void ResetStoredState() {
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
    Expect(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND, "cannot delete the saver's registry key");
    RegDeleteKeyW(HKEY_CURRENT_USER, kCompanyKey); const std::wstring folder = ScratchFolder();
    std::vector<std::wstring> files = {WindowsStore(), UserStore()}; WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + L"\\" + found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (const auto& file : files) {
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        Expect(DeleteFileW(file.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
                   GetLastError() == ERROR_PATH_NOT_FOUND,
               "cannot delete " + Narrow(file));
    }
    CreateDirectoryW(folder.c_str(), nullptr);
}

Stored ReadStored() {
    auto time = [](const std::wstring& path) -> uint64_t {
        WIN32_FILE_ATTRIBUTE_DATA data; if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
        return static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
    };
    return Stored{ReadKey(kCompanyKey, false), ReadFileBytes(WindowsStore()), ReadFileBytes(UserStore()),
                  time(WindowsStore()), time(UserStore())};
}

void ExpectUnchanged(const Stored& before, const std::string& mode) {
    const Stored after = ReadStored(); const std::string diff = Differences(before.registry, after.registry);
    Expect(diff.empty(), mode + " wrote to the registry: " + diff);
    Expect(after.windows == before.windows && after.windowsTime == before.windowsTime,
           mode + (before.windows ? " wrote " : " created ") + Narrow(WindowsStore()));
    Expect(after.user == before.user && after.userTime == before.userTime,
           mode + (before.user ? " wrote " : " created ") + Narrow(UserStore()));
}

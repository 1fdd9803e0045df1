#include "preset_store.h"

#include <shlobj.h>

#include <cstring>

#include "check.h"

namespace {

void Put32(std::vector<uint8_t>& out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutFloat(std::vector<uint8_t>& out, size_t offset, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    Put32(out, offset, bits);
}


}  // namespace

std::vector<uint8_t> EncodeRecord(const PresetRecord& r) {
    std::vector<uint8_t> out(kPresetRecordSize, 0);
    Put32(out, 0, 1);
    std::memcpy(&out[4], r.name.data(), std::min<size_t>(r.name.size(), 49));
    PutFloat(out, 56, r.angleX);
    PutFloat(out, 60, r.angleY);
    PutFloat(out, 64, r.angleZ);
    PutFloat(out, 68, r.cbStep);
    PutFloat(out, 72, r.csStep);
    Put32(out, 76, static_cast<uint32_t>(r.shape));
    Put32(out, 80, static_cast<uint32_t>(r.size1));
    Put32(out, 84, static_cast<uint32_t>(r.size2));
    Put32(out, 88, static_cast<uint32_t>(r.phong));
    PutFloat(out, 92, r.mirror);
    PutFloat(out, 96, r.ambient);
    for (int i = 0; i < kSlots; ++i) Put32(out, 100 + 4 * i, static_cast<uint32_t>(r.switches[i]));
    for (int i = 0; i < kSlots; ++i) {
        Put32(out, 128 + 12 * i, r.color[i] & 255);
        Put32(out, 132 + 12 * i, r.color[i] >> 8 & 255);
        Put32(out, 136 + 12 * i, r.color[i] >> 16 & 255);
    }
    return out;  // 212..227 reserved, zero
}

std::vector<uint8_t> EncodeStore(const std::vector<PresetRecord>& records, std::optional<int32_t> count) {
    std::vector<uint8_t> out(4, 0);
    Put32(out, 0, static_cast<uint32_t>(count.value_or(static_cast<int32_t>(records.size()))));
    for (const auto& r : records) {
        const auto bytes = EncodeRecord(r);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

std::wstring WindowsStorePath() {
    wchar_t dir[MAX_PATH] = {};
    GetWindowsDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\tindlbrg.cfg";
}

std::wstring UserStorePath() {
    wchar_t dir[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, dir)))
        Fail("cannot find the user's application data folder");
    return std::wstring(dir) + L"\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
}

void DeleteStoreFiles() {
    for (const auto& path : {WindowsStorePath(), UserStorePath()}) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND)
            Fail(Format("cannot delete %s (error %lu)", Narrow(path).c_str(), GetLastError()));
    }
}

void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    // Create the folders of the per-user copy on the way.
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail(Format("cannot create %s (error %lu)", Narrow(path).c_str(), GetLastError()));
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) Fail(Format("cannot write %s", Narrow(path).c_str()));
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<uint8_t> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void BackdateFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail(Format("cannot open %s", Narrow(path).c_str()));
    SYSTEMTIME old = {};
    old.wYear = 2001;
    old.wMonth = 2;
    old.wDay = 3;
    old.wHour = 4;
    FILETIME time;
    SystemTimeToFileTime(&old, &time);
    const BOOL ok = SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    if (!ok) Fail(Format("cannot set the time of %s", Narrow(path).c_str()));
}

uint64_t LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

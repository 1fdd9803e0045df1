#include "dialog_saved.h"

#include <windows.h>

#include <cstring>

#include "check.h"
#include "registry.h"

namespace {

const char* const kFloatNames[] = {"angleX", "angleY", "angleZ", "cbStep", "csStep", "ambient", "mirror"};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string ValueText(const RegistryValue& value) {
    if (value.type == REG_DWORD && value.data.size() == 4) {
        uint32_t number;
        std::memcpy(&number, value.data.data(), 4);
        return Format("number %lu", static_cast<unsigned long>(number));
    }
    if (value.type == REG_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
        return "text \"" + Narrow(text.c_str()) + "\"";
    }
    return Format("type %lu of %zu bytes", value.type, value.data.size());
}

// Where the first difference lies, in the terms of the record layout.
std::string WhereInStore(size_t offset) {
    if (offset < 4) return "in the count";
    const size_t record = (offset - 4) / kPresetRecordSize;
    const size_t field = (offset - 4) % kPresetRecordSize;
    const char* name = field < 4     ? "lead word"
                       : field < 56  ? "name"
                       : field < 76  ? "light or speeds"
                       : field < 92  ? "shape, sizes or Phong power"
                       : field < 100 ? "mirror or ambient"
                       : field < 128 ? "switches"
                       : field < 212 ? "colours"
                                     : "reserved words";
    return Format("in record %zu at byte %zu (%s)", record, field, name);
}

// Read-only files included.
void RemoveFolder(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::wstring file = path + L"\\" + found.cFileName;
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

std::string FloatText(float value) { return Format("%f", static_cast<double>(value)); }

void ExpectSavedProfile(const Profile& want, const std::string& after) {
    std::vector<std::pair<std::string, std::string>> expected;  // name, "text ..." / "number ..."
    const float floats[] = {want.angleX, want.angleY, want.angleZ, want.cbStep, want.csStep, want.ambient, want.mirror};
    for (int i = 0; i < 7; ++i) expected.emplace_back(kFloatNames[i], "text \"" + FloatText(floats[i]) + "\"");
    auto number = [](uint32_t n) { return Format("number %lu", static_cast<unsigned long>(n)); };
    expected.emplace_back("shape", number(static_cast<uint32_t>(want.shape)));
    expected.emplace_back("size1", number(static_cast<uint32_t>(want.size1)));
    expected.emplace_back("size2", number(static_cast<uint32_t>(want.size2)));
    expected.emplace_back("bound", number(static_cast<uint32_t>(want.bound)));
    expected.emplace_back("phong", number(static_cast<uint32_t>(want.phong)));
    expected.emplace_back("randomly", number(static_cast<uint32_t>(want.randomly)));
    expected.emplace_back("switches", number(want.switches));
    for (int i = 0; i < kSlots; ++i) expected.emplace_back(Format("color%d", i), number(want.color[i]));

    std::vector<RegistryValue> config;
    for (const auto& value : SnapshotSaverValues())
        if (value.keyPath == L"\\tindlbrg\\Config") config.push_back(value);

    std::string wrong;
    for (const auto& [name, text] : expected) {
        const RegistryValue* found = nullptr;
        for (const auto& value : config)
            if (_wcsicmp(value.name.c_str(), Wide(name).c_str()) == 0) found = &value;
        if (!found) {
            wrong += Format("; %s is missing (expected %s)", name.c_str(), text.c_str());
        } else if (ValueText(*found) != text) {
            wrong += Format("; %s is %s, expected %s", name.c_str(), ValueText(*found).c_str(), text.c_str());
        }
    }
    if (config.size() != expected.size())
        wrong += Format("; the settings key holds %zu values, expected %zu", config.size(), expected.size());
    if (!wrong.empty()) Fail("after " + after + " the settings key is not as expected: " + wrong.substr(2));
}

std::vector<uint8_t> StoreBytes(const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> bytes(4, 0);
    const uint32_t count = static_cast<uint32_t>(records.size());
    std::memcpy(bytes.data(), &count, 4);
    for (const auto& record : records) bytes.insert(bytes.end(), record.begin(), record.end());
    return bytes;
}

void ExpectStoreFile(const std::vector<uint8_t>& want, const std::string& after) {
    const auto got = ReadFileBytes(WindowsStorePath());
    Expect(got.has_value(), "after " + after + " there is no store file " + Narrow(WindowsStorePath()));
    if (*got != want) {
        size_t first = 0;
        while (first < got->size() && first < want.size() && (*got)[first] == want[first]) ++first;
        Fail(Format("after %s the store file holds %zu bytes, expected %zu; the first difference is at offset %zu "
                    "%s: %s, expected %s",
                    after.c_str(), got->size(), want.size(), first, WhereInStore(first).c_str(),
                    first < got->size() ? Format("%02x", (*got)[first]).c_str() : "its end",
                    first < want.size() ? Format("%02x", want[first]).c_str() : "the end"));
    }
    Expect(!ReadFileBytes(UserStorePath()),
           "after " + after + " a per-user store appeared beside the Windows directory's: " +
               Narrow(UserStorePath()));
}

PresetRecord PresetOf(const Profile& live, const std::string& name) {
    PresetRecord r;
    r.name = name;
    r.angleX = ThroughText(live.angleX);
    r.angleY = ThroughText(live.angleY);
    r.angleZ = ThroughText(live.angleZ);
    r.cbStep = ThroughText(live.cbStep);
    r.csStep = ThroughText(live.csStep);
    r.shape = live.shape;
    r.size1 = live.size1;
    r.size2 = live.size2;
    r.phong = live.phong;
    r.mirror = ThroughText(live.mirror);
    r.ambient = ThroughText(live.ambient);
    for (int i = 0; i < kSlots; ++i) {
        r.switches[i] = static_cast<int32_t>(live.switches & (1u << i));
        r.color[i] = live.color[i] & 0x00FFFFFFu;
    }
    return r;
}

std::vector<uint8_t> SavedRecordOf(const Profile& live, const std::string& name) {
    return EncodeRecord(PresetOf(live, name));
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"tindlbrg-dialog-e2e";
    RemoveFolder(path_);  // what an earlier case may have left
    if (!CreateDirectoryW(path_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Fail(Format("cannot create %s (error %lu)", Narrow(path_).c_str(), GetLastError()));
}

ScratchFolder::~ScratchFolder() { RemoveFolder(path_); }

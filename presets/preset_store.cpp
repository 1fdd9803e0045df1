#include "presets/preset_store.h"

#include <new>

OwnedPresetStore thePresetStore;

namespace {

constexpr size_t kCountBytes = 4;

// Reads one record; false when the file has fewer than 228 bytes left.
bool ReadRecord(FileSystem::File& file, PresetHolder& preset) {
    PresetBytes bytes;
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) return false;
    preset = DecodePreset(bytes);
    return true;
}

}  // namespace

void ClearStore(PresetStore& store) {
    for (int32_t last = store.Count() - 1; last >= 0; --last) {
        delete store.Slot(last);
        store.Remove(last);
    }
}

const PresetHolder* PresetAt(const PresetStore& store, int32_t position) {
    if (position < 0 || position >= store.Count()) return nullptr;
    // Slot() is not const only because it may grow the array, which no valid position does.
    return const_cast<PresetStore&>(store).Slot(position);
}

bool AddPreset(PresetStore& store, const PresetHolder& preset) {
    auto* record = new (std::nothrow) PresetHolder(preset);
    if (record == nullptr) return false;
    if (store.Append(record)) return true;
    delete record;
    return false;
}

void RemovePreset(PresetStore& store, int32_t position) {
    if (position < 0 || position >= store.Count()) return;
    delete store.Slot(position);
    store.Remove(position);
}

std::vector<std::string> PresetNames(const PresetStore& store) {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(store.Count()));
    for (int32_t i = 0; i < store.Count(); ++i) names.push_back(PresetName(*PresetAt(store, i)));
    return names;
}

bool LoadStore(PresetStore& store, const std::string& path, FileSystem& fs, bool* whole) {
    if (whole != nullptr) *whole = false;
    // Read access is enough: a store left read-only, such as one in the Windows
    // directory, must still load.
    std::unique_ptr<FileSystem::File> file = fs.Open(path);
    if (!file) return false;
    ClearStore(store);
    uint8_t countBytes[kCountBytes];
    const size_t got = file->Read(countBytes, kCountBytes);
    if (got != kCountBytes) {
        if (whole != nullptr) *whole = got == 0 && !file->ReadFailed();  // an empty file holds nothing to lose
        return true;
    }
    const uint32_t word = uint32_t{countBytes[0]} | uint32_t{countBytes[1]} << 8 |
                          uint32_t{countBytes[2]} << 16 | uint32_t{countBytes[3]} << 24;
    const auto count = static_cast<int32_t>(word);
    PresetHolder preset;
    int32_t loaded = 0;
    for (; loaded < count && ReadRecord(*file, preset); ++loaded) {
        if (!AddPreset(store, preset)) break;
    }
    // Whole: every record the count names, and nothing after them. Anything else would
    // lose records if the store were written back.
    uint8_t beyond = 0;
    if (whole != nullptr)
        *whole = count >= 0 && loaded == count && file->Read(&beyond, 1) == 0 && !file->ReadFailed();
    return true;
}

std::vector<uint8_t> EncodeStore(const PresetStore& store) {
    const auto count = static_cast<uint32_t>(store.Count());
    std::vector<uint8_t> content;
    content.reserve(kCountBytes + kPresetBytes * size_t{count});
    for (int i = 0; i < 4; ++i) content.push_back(static_cast<uint8_t>(count >> (8 * i)));
    for (int32_t i = 0; i < store.Count(); ++i) {
        const PresetBytes bytes = EncodePreset(*PresetAt(store, i));
        content.insert(content.end(), bytes.begin(), bytes.end());
    }
    return content;
}

bool SaveStore(const PresetStore& store, const std::string& path, FileSystem& fs) {
    const std::vector<uint8_t> content = EncodeStore(store);
    return WriteFileSafely(fs, path, content.data(), content.size());
}

bool WritePresetFile(const PresetStore& store, int32_t position, const std::string& path, FileSystem& fs) {
    const PresetHolder* preset = PresetAt(store, position);
    if (preset == nullptr) return false;
    const PresetBytes bytes = EncodePreset(*preset);
    return WriteFileSafely(fs, path, bytes.data(), bytes.size());
}

bool ReadPresetFile(PresetStore& store, const std::string& path, FileSystem& fs) {
    std::unique_ptr<FileSystem::File> file = fs.Open(path);
    if (!file) return false;
    PresetHolder preset;
    if (ReadRecord(*file, preset)) AddPreset(store, preset);
    return true;
}

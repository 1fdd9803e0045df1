// The presets of the run, in list order, and their files: the store file (a count and
// the records) and single preset files (one record each).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/containers.h"
#include "presets/file_system.h"
#include "presets/preset_holder.h"

using PresetStore = OrderedPtrVector<PresetHolder>;

constexpr int32_t kStoreCapacity = 256;
constexpr int32_t kStoreGrowthStep = 16;

// Deletes every record and empties the store (the container itself never deletes).
void ClearStore(PresetStore& store);

// A store that owns its records: they go with it.
class OwnedPresetStore : public PresetStore {
public:
    OwnedPresetStore() : PresetStore(kStoreCapacity, kStoreGrowthStep) {}
    ~OwnedPresetStore() override { ClearStore(*this); }
};

// The store of the process.
extern OwnedPresetStore thePresetStore;

// The record at a valid position; null otherwise.
const PresetHolder* PresetAt(const PresetStore& store, int32_t position);

// Appends a copy of the record; false when the store cannot grow.
bool AddPreset(PresetStore& store, const PresetHolder& preset);
// Deletes the record at a valid position; the records after it move up by one.
void RemovePreset(PresetStore& store, int32_t position);
std::vector<std::string> PresetNames(const PresetStore& store);

// The store takes the whole records of the file, in file order, in place of what it
// held. Records are read one at a time until the count is reached or the file ends, so
// a count larger than the file holds costs nothing. True when the file was opened;
// otherwise the store is left as it was. `whole`, when given, tells whether the file held
// exactly the records its count names (or nothing at all): only then may the store be
// written back over it without losing records.
bool LoadStore(PresetStore& store, const std::string& path, FileSystem& fs = DefaultFileSystem(),
               bool* whole = nullptr);
// The bytes of the store file: the count and every record.
std::vector<uint8_t> EncodeStore(const PresetStore& store);
// Writes the count and every record, replacing the file only once all is written.
bool SaveStore(const PresetStore& store, const std::string& path, FileSystem& fs = DefaultFileSystem());

// Writes the record at `position` as a 228-byte preset file; false for an invalid
// position or a file that could not be written (an old file then stays as it was).
bool WritePresetFile(const PresetStore& store, int32_t position, const std::string& path,
                     FileSystem& fs = DefaultFileSystem());
// Appends the first 228 bytes of a preset file as a record; a shorter file adds
// nothing. The file is opened for reading only, so read-only preset files import too.
// True when the file was opened.
bool ReadPresetFile(PresetStore& store, const std::string& path, FileSystem& fs = DefaultFileSystem());

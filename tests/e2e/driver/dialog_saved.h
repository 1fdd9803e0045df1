// What the configuration dialog leaves behind: the settings key after Ok, the store file,
// and the preset files that cases import and export.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "preset_store.h"
#include "profile.h"

// A float as the settings key keeps it: "%f" of the value widened to double.
std::string FloatText(float value);

// Checks all 21 values of the settings key, and that there are no others; the failure
// lists every value that differs.
void ExpectSavedProfile(const Profile& want, const std::string& after);

// The store file as Ok must leave it: the Windows directory's copy holding exactly
// `bytes`, and no per-user copy.
void ExpectStoreFile(const std::vector<uint8_t>& bytes, const std::string& after);
// A count and the records, back to back.
std::vector<uint8_t> StoreBytes(const std::vector<std::vector<uint8_t>>& records);

// A preset as the save dialog makes it from the dialog's settings: the profile's values,
// the switches as words (a loaded mask keeps each slot's bit value), the given name.
PresetRecord PresetOf(const Profile& live, const std::string& name);
std::vector<uint8_t> SavedRecordOf(const Profile& live, const std::string& name);

// A folder of its own for the preset files of a case, emptied when the case starts and
// removed when it ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

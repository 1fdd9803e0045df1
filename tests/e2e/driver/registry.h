// The saver's settings in the current user's registry: wiping them, writing a profile,
// and taking snapshots of every value to prove that a run wrote nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The company key holds everything the saver keeps in the registry.
extern const wchar_t kCompanyKeyPath[];
extern const wchar_t kConfigKeyPath[];

// Removes the company key with everything below it (a missing key is fine).
void DeleteSaverKeys();

void WriteText(const wchar_t* valueName, const std::string& text);
void WriteNumber(const wchar_t* valueName, uint32_t number);

// One registry value below the company key.
struct RegistryValue {
    std::wstring keyPath;  // relative to the company key
    std::wstring name;
    DWORD type = 0;
    std::vector<uint8_t> data;
    bool operator==(const RegistryValue& o) const {
        return keyPath == o.keyPath && name == o.name && type == o.type && data == o.data;
    }
};

// Every value below the company key, in a stable order. Keys without values do not
// appear: reading settings may create the empty key path, which is no write of data.
std::vector<RegistryValue> SnapshotSaverValues();

// Empty when equal, else the first difference in words.
std::string DiffSnapshots(const std::vector<RegistryValue>& before, const std::vector<RegistryValue>& after);

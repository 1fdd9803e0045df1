// The preset store file as the saver reads it: a 32-bit count, then 228-byte records.
// Encoded here byte by byte from the published layout, independent of the saver's code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profile.h"

constexpr size_t kPresetRecordSize = 228;

struct PresetRecord {
    std::string name = "preset";
    float angleX = 1.0f;
    float angleY = 1.0f;
    float angleZ = -1.0f;
    float cbStep = 0.0f;
    float csStep = 0.0f;
    int32_t shape = 0;
    int32_t size1 = 30;
    int32_t size2 = 29;
    int32_t phong = 4;
    float mirror = 0.995f;
    float ambient = 0.34f;
    int32_t switches[kSlots] = {1, 0, 0, 0, 0, 0, 0};
    uint32_t color[kSlots] = {Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(0, 0, 255),   Rgb(178, 178, 0),
                              Rgb(0, 178, 178), Rgb(178, 0, 178), Rgb(128, 128, 128)};
};

std::vector<uint8_t> EncodeRecord(const PresetRecord& record);
// The count word is the number of records unless `count` says otherwise.
std::vector<uint8_t> EncodeStore(const std::vector<PresetRecord>& records, std::optional<int32_t> count = {});

// C:\windows\tindlbrg.cfg, and the per-user copy that takes its place when present.
std::wstring WindowsStorePath();
std::wstring UserStorePath();
// Removes both store files.
void DeleteStoreFiles();

void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
// Empty optional when the file does not exist.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::wstring& path);

// A fixed, old modification time: a saver that rewrote the file, even with the same
// bytes, would give it a new one.
void BackdateFile(const std::wstring& path);
// The file's last-write time, 0 when it does not exist.
uint64_t LastWriteTime(const std::wstring& path);

// The preset record: a named snapshot of the animation settings, 228 bytes, the unit of
// the store file and of single preset files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/settings.h"

constexpr size_t kPresetBytes = 228;
constexpr size_t kPresetNameField = 52;
// Longest name the save dialog stores; the field keeps room for its terminating zero.
constexpr size_t kPresetNameMax = 49;

struct PresetHolder {
    int32_t leadWord;  // 1 for a preset made here; never read
    char name[kPresetNameField];
    float angleX;
    float angleY;
    float angleZ;
    float cbStep;
    float csStep;
    int32_t shape;
    int32_t size1;
    int32_t size2;
    int32_t phong;
    float mirror;
    float ambient;
    int32_t switches[kShapeSlots];
    ShapeColor color[kShapeSlots];
    int32_t reserved[4];
};

static_assert(sizeof(float) == 4, "presets hold IEEE single precision floats");
static_assert(sizeof(PresetHolder) == kPresetBytes, "the record is 228 bytes");
static_assert(offsetof(PresetHolder, name) == 4);
static_assert(offsetof(PresetHolder, angleX) == 56);
static_assert(offsetof(PresetHolder, cbStep) == 68);
static_assert(offsetof(PresetHolder, shape) == 76);
static_assert(offsetof(PresetHolder, phong) == 88);
static_assert(offsetof(PresetHolder, mirror) == 92);
static_assert(offsetof(PresetHolder, ambient) == 96);
static_assert(offsetof(PresetHolder, switches) == 100);
static_assert(offsetof(PresetHolder, color) == 128);
static_assert(offsetof(PresetHolder, reserved) == 212);

using PresetBytes = std::array<uint8_t, kPresetBytes>;

// The record as it lies in files: little-endian words, whatever the host.
PresetBytes EncodePreset(const PresetHolder& preset);
PresetHolder DecodePreset(const PresetBytes& bytes);

// A new record of the live settings under `name`, cut to 49 characters; the rest of the
// name field and the reserved words are zero.
PresetHolder MakePresetFromSettings(const std::string& name, const SaverSettings& settings);

// The name as lists show it. A field without a zero byte (possible only in a file made
// elsewhere) gives its first 51 characters.
std::string PresetName(const PresetHolder& preset);

// Whether a typed name may be saved or exported: within its first 49 characters, the
// first one that is not a blank has a code above the blank's (as an unsigned byte).
bool IsAcceptableName(const std::string& text);

// The fields a preset carries, copied between a record and the live settings (both
// name them alike): everything but `bound` and `randomly`.
template <typename From, typename To>
void CopyPresetFields(const From& from, To& to) {
    to.angleX = from.angleX;
    to.angleY = from.angleY;
    to.angleZ = from.angleZ;
    to.cbStep = from.cbStep;
    to.csStep = from.csStep;
    to.shape = from.shape;
    to.size1 = from.size1;
    to.size2 = from.size2;
    to.phong = from.phong;
    to.mirror = from.mirror;
    to.ambient = from.ambient;
    for (int i = 0; i < kShapeSlots; ++i) {
        to.switches[i] = from.switches[i];
        to.color[i] = from.color[i];
    }
}

// Stored settings far outside anything the dialog would write: registry values given as
// the exact text and numbers a damaged or hand-edited profile may hold, preset records
// with raw words, and the checks the cases with such values share.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "preset_store.h"
#include "process.h"
#include "profile.h"
#include "registry.h"

// All 21 values of the settings key, floats as the literal text stored.
struct RawProfile {
    std::string angleX = "1.000000";
    std::string angleY = "1.000000";
    std::string angleZ = "-1.000000";
    std::string cbStep = "1.460000";
    std::string csStep = "0.010000";
    std::string ambient = "0.340000";
    std::string mirror = "0.995000";
    uint32_t shape = 0;
    uint32_t size1 = 30;
    uint32_t size2 = 29;
    uint32_t bound = 1;
    uint32_t phong = 4;
    uint32_t randomly = 0;
    uint32_t switches = 127;
    uint32_t color[kSlots] = {Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(0, 0, 255),   Rgb(178, 178, 0),
                              Rgb(0, 178, 178), Rgb(178, 0, 178), Rgb(128, 128, 128)};
};

void WriteRawProfile(const RawProfile& profile);

// Every value absurd at once: light (nan, inf, -inf), speeds nan and -inf, ambient -inf,
// mirror 1e30, shape 2147483647, sizes -2000000000 and 2000000000, Phong 2000000000,
// switch mask 0xFFFFFFFF, every colour 0xFF123456. Nothing of it can be drawn.
RawProfile EverythingAbsurd();

// Sizes as 32-bit words.
constexpr uint32_t Word(int32_t value) { return static_cast<uint32_t>(value); }

// One value of the settings key as read back: text for REG_SZ, the number for REG_DWORD.
struct ConfigValue {
    DWORD type = REG_NONE;
    std::string text;
    uint32_t number = 0;
    bool operator==(const ConfigValue& o) const {
        return type == o.type && (type == REG_DWORD ? number == o.number : text == o.text);
    }
};
using ConfigValues = std::map<std::string, ConfigValue>;

ConfigValue TextValue(const std::string& text);
ConfigValue NumberValue(uint32_t number);

// A float's text as a writer of "%f" gives it for the float that `text` scans to:
// "nan" stays "nan", "1e30" becomes the 31-digit value of the nearest float.
std::string FloatForm(const std::string& text);
std::string FloatForm(float value);

// What a profile save must write when the settings are still those loaded from
// `profile`: floats in "%f" form, the switch mask's seven bits, the colours' low 24 bits,
// every other number unchanged.
ConfigValues SavedForms(const RawProfile& profile);

// The values now in the settings key.
ConfigValues ReadConfigValues();

// Empty when equal, else every difference, one per value.
std::string DiffConfig(const ConfigValues& expected, const ConfigValues& actual);

// Preset records with words the published layout allows but no dialog writes.
// Colour channels as raw 32-bit words (the record keeps red, green and blue apart).
void PutRecordWord(std::vector<uint8_t>& record, size_t offset, uint32_t value);
void PutRecordChannels(std::vector<uint8_t>& record, int slot, uint32_t red, uint32_t green, uint32_t blue);
std::vector<uint8_t> StoreOfRecords(const std::vector<std::vector<uint8_t>>& records);

// Registry, both store files and their time stamps, to prove a run wrote nothing.
struct StoredState {
    std::vector<RegistryValue> registry;
    std::optional<std::vector<uint8_t>> windowsStore;
    std::optional<std::vector<uint8_t>> userStore;
    uint64_t windowsTime = 0;
    uint64_t userTime = 0;
};
StoredState ReadStoredState();
void ExpectStoredStateUnchanged(const StoredState& before, const std::string& mode);

// The saver's window answers a message sent to it (its thread is not stuck).
void ExpectResponds(SaverProcess& saver, HWND window, const std::string& when);

// A rectangle of the screen, in screen co-ordinates.
struct ScreenArea {
    RECT rect;
};
ScreenArea WholeScreen();
ScreenArea AreaOfWindow(HWND window);

// Waits until shapes appear in `area`; then every lit pixel there must pass `allowed`
// (a description of the rule goes into the failure message).
void ExpectDrawsIn(SaverProcess& saver, HWND window, const ScreenArea& area, bool (*allowed)(uint32_t pixel),
                   const std::string& rule);
bool AnyPixel(uint32_t pixel);

// Waits until `area` is black (the window has painted its empty surface), then watches
// it across many frame bursts, the saver answering between looks: nothing may appear.
void ExpectStaysBlack(SaverProcess& saver, HWND window, const ScreenArea& area, const std::string& why);

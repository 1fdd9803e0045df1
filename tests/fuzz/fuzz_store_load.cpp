// Store files as a disk may hand them over: any length, any count, any record bytes.
// Loading must take exactly the whole records up to the count, and saving what was
// loaded must give those records back byte for byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "preset_test_fs.h"
#include "presets/preset_store.h"

namespace {

const char kStore[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
const char kSaved[] = "C:\\Windows\\tindlbrg.cfg";

bool SameRecord(const PresetHolder& preset, const uint8_t* bytes) {
    const PresetBytes encoded = EncodePreset(preset);
    return std::memcmp(encoded.data(), bytes, kPresetBytes) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakeFileSystem fs;
    const FakeFileSystem::Bytes input(data, data + size);
    fs.files[kStore] = input;

    OwnedPresetStore store;
    // A record from before the load: loading replaces the store, it does not add to it.
    SaverSettings settings{};
    RunState runState{};
    SetDefaults(settings, runState);
    FUZZ_CHECK(AddPreset(store, MakePresetFromSettings("before", settings)));

    FUZZ_CHECK(LoadStore(store, kStore, fs));

    size_t expected = 0;
    if (size >= 4) {
        const uint32_t word = uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 |
                              uint32_t{data[3]} << 24;
        const auto count = static_cast<int32_t>(word);
        if (count > 0) expected = std::min((size - 4) / kPresetBytes, static_cast<size_t>(count));
    }
    FUZZ_CHECK(static_cast<size_t>(store.Count()) == expected);
    for (size_t i = 0; i < expected; ++i) {
        const PresetHolder& preset = *PresetAt(store, static_cast<int32_t>(i));
        FUZZ_CHECK(SameRecord(preset, data + 4 + i * kPresetBytes));
        // A name field without a zero byte still gives a bounded name.
        const std::string name = PresetName(preset);
        FUZZ_CHECK(name.size() < kPresetNameField);
        FUZZ_CHECK(name.find('\0') == std::string::npos);
    }
    FUZZ_CHECK(fs.files[kStore] == input);  // loading never writes

    FUZZ_CHECK(SaveStore(store, kSaved, fs));
    const FakeFileSystem::Bytes& saved = fs.files[kSaved];
    FUZZ_CHECK(saved.size() == 4 + expected * kPresetBytes);
    FUZZ_CHECK(saved[0] == static_cast<uint8_t>(expected) && saved[1] == static_cast<uint8_t>(expected >> 8) &&
               saved[2] == 0 && saved[3] == 0);
    FUZZ_CHECK(expected == 0 || std::memcmp(saved.data() + 4, data + 4, expected * kPresetBytes) == 0);
    FUZZ_CHECK(fs.files.count(std::string(kSaved) + ".tmp") == 0);

    OwnedPresetStore again;
    FUZZ_CHECK(LoadStore(again, kSaved, fs));
    FUZZ_CHECK(again.Count() == store.Count());
    for (int32_t i = 0; i < again.Count(); ++i)
        FUZZ_CHECK(SameRecord(*PresetAt(again, i), data + 4 + static_cast<size_t>(i) * kPresetBytes));
    return 0;
}

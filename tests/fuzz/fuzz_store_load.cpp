// Store files as a disk may hand them over: any length, any count, any record bytes.
// Loading, which never writes, takes exactly the whole records up to the count in place
// of what the store held, and saving them gives those records back byte for byte.
#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "preset_test_fs.h"
#include "presets/preset_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakeFileSystem fs;
    const FakeFileSystem::Bytes input(data, data + size);
    fs.files["in"] = input;
    OwnedPresetStore store;
    FUZZ_CHECK(AddPreset(store, PresetHolder{}));
    FUZZ_CHECK(LoadStore(store, "in", fs));
    WordReader in{data, size};
    const int32_t count = size >= 4 ? in.Int() : 0;
    const size_t expected = count > 0 ? std::min((size - 4) / kPresetBytes, static_cast<size_t>(count)) : 0;
    FUZZ_CHECK(static_cast<size_t>(store.Count()) == expected);
    for (int32_t i = 0; i < store.Count(); ++i) {  // a name field without a zero byte still gives a bounded name
        const std::string name = PresetName(*PresetAt(store, i));
        FUZZ_CHECK(name.size() < kPresetNameField && name.find('\0') == std::string::npos);
    }
    FUZZ_CHECK(fs.files["in"] == input);

    FUZZ_CHECK(SaveStore(store, "out", fs));
    const FakeFileSystem::Bytes& saved = fs.files["out"];
    const uint8_t countBytes[4] = {static_cast<uint8_t>(expected), static_cast<uint8_t>(expected >> 8), 0, 0};
    FUZZ_CHECK(saved.size() == 4 + expected * kPresetBytes && std::memcmp(saved.data(), countBytes, 4) == 0);
    FUZZ_CHECK(expected == 0 || std::memcmp(saved.data() + 4, data + 4, expected * kPresetBytes) == 0);
    FUZZ_CHECK(fs.files.size() == 2);
    return 0;
}

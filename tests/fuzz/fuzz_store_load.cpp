// Any store file: loading, writing nothing, takes exactly the whole records up to the count in place
// of what the store held, each with a bounded name; saving gives them back byte for byte.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "preset_test_fs.h"
#include "presets/preset_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakeFileSystem fs;
    const FakeFileSystem::Bytes input(data, data + size);
    fs.files["in"] = input;
    OwnedPresetStore store;
    FUZZ_CHECK(AddPreset(store, PresetHolder{}) && LoadStore(store, "in", fs) && fs.files["in"] == input);
    WordReader in{data, size};
    const auto count = static_cast<int32_t>(size >= 4 ? in.Word() : 0);
    const size_t expected = count > 0 ? std::min((size - 4) / kPresetBytes, static_cast<size_t>(count)) : 0;
    FUZZ_CHECK(static_cast<size_t>(store.Count()) == expected);
    for (int32_t i = 0; i < store.Count(); ++i) FUZZ_CHECK(PresetName(*PresetAt(store, i)).size() < kPresetNameField);
    FUZZ_CHECK(SaveStore(store, "out", fs) && fs.files.size() == 2);
    FakeFileSystem::Bytes file{static_cast<uint8_t>(expected), static_cast<uint8_t>(expected >> 8), 0, 0};
    if (expected > 0) file.insert(file.end(), data + 4, data + 4 + expected * kPresetBytes);
    FUZZ_CHECK(fs.files["out"] == file);
    return 0;
}

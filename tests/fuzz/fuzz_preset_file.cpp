// Any preset file: import takes the first 228 bytes if there are so many, writing nothing; export
// gives them back.
#include "fuzz_support.h"
#include "preset_test_fs.h"
#include "presets/preset_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakeFileSystem fs;
    const FakeFileSystem::Bytes input(data, data + size);
    fs.files["in.pre"] = input;
    fs.readOnlyFiles.insert("in.pre");
    OwnedPresetStore store;
    FUZZ_CHECK(AddPreset(store, PresetHolder{}) && ReadPresetFile(store, "in.pre", fs) && fs.files["in.pre"] == input);
    FUZZ_CHECK(store.Count() == (size >= kPresetBytes ? 2 : 1));
    if (store.Count() == 1) return 0;
    FUZZ_CHECK(WritePresetFile(store, 1, "out.pre", fs));
    FUZZ_CHECK(fs.files["out.pre"] == FakeFileSystem::Bytes(data, data + kPresetBytes));
    return 0;
}

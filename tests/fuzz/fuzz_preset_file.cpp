// Any preset file: import takes the first 228 bytes if there are so many, writing nothing; export
// gives them back; applying takes all the record carries but `bound` and `randomly`.
#include "fuzz_support.h"
#include "preset_test_fs.h"
#include "presets/apply_preset.h"

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

    SaverSettings s{};
    RunState run{};
    SetDefaults(s, run);
    s.bound = 7;
    s.randomly = 1;
    run.rebuildImages = 0;
    ApplyPreset(store, 1, s, run);
    const PresetHolder& preset = *PresetAt(store, 1);
    FUZZ_CHECK(run.rebuildImages != 0 && s.bound == 7 && s.randomly == 1);
    FUZZ_CHECK(SameFloat(s.cbStep, preset.cbStep) && s.size1 == preset.size1 &&
               s.color[6].blue == preset.color[6].blue && s.switches[6] == preset.switches[6]);
    return 0;
}

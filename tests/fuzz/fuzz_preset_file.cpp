// Preset files as someone else may have made them: any length, any record. Import takes
// the first 228 bytes of a file that has them and nothing otherwise; export gives them
// back unchanged; and applying the imported record drives the animation without harm.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/image_sizes.h"
#include "app/motion.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "preset_test_fs.h"
#include "presets/apply_preset.h"
#include "presets/preset_store.h"
#include "shape_checks.h"

namespace {

const char kImported[] = "D:\\presets\\ring.pre";
const char kExported[] = "D:\\presets\\copy.pre";
// Larger images cost too much per input; their sizes are still checked.
constexpr int32_t kLargestRendered = 40;

void DriveAnimation(const SaverSettings& s) {
    // A 640 x 480 window: scale 1, the sizes as stored.
    MotionPath path;
    path.RecomputeGeometry(640, 480);
    const ImageSizes sizes = ComputeImageSizes(s.shape, s.size1, s.size2, path.scale);
    FUZZ_CHECK(!sizes.drawable || ShapeImageSizeSupported(sizes.outerSize));
    const int32_t side = sizes.drawable ? static_cast<int32_t>(ShapeImageSide(sizes.outerSize)) : 1;
    if (sizes.drawable && sizes.outerSize <= kLargestRendered) {
        const ShapeImageParams params{s.angleX, s.angleY,          s.angleZ,   PackColor(s.color[0]),
                                      0x00FFFFFF, s.ambient,       s.mirror,   0.6f,
                                      s.phong,    sizes.outerSize, s.shape,    sizes.innerSize,
                                      0,          0};
        ButtonImageCreator creator(params);
        CheckShapeImage(creator, params);
    }
    const bool finite = std::isfinite(s.cbStep) && std::isfinite(s.csStep);
    for (int step = 0; step < 8; ++step) {
        const StampPosition p = path.NextPosition(side, s.cbStep, s.csStep);
        FUZZ_CHECK(p.valid == finite);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakeFileSystem fs;
    fs.files[kImported].assign(data, data + size);

    SaverSettings settings{};
    RunState runState{};
    SetDefaults(settings, runState);
    OwnedPresetStore store;
    FUZZ_CHECK(AddPreset(store, MakePresetFromSettings("first", settings)));
    FUZZ_CHECK(AddPreset(store, MakePresetFromSettings("second", settings)));
    const PresetBytes first = EncodePreset(*PresetAt(store, 0));
    const PresetBytes second = EncodePreset(*PresetAt(store, 1));

    // Reading never needs write access: a read-only preset file imports as well.
    fs.readOnlyFiles.insert(kImported);
    FUZZ_CHECK(ReadPresetFile(store, kImported, fs));
    FUZZ_CHECK(fs.files[kImported] == FakeFileSystem::Bytes(data, data + size));
    const bool whole = size >= kPresetBytes;
    FUZZ_CHECK(store.Count() == (whole ? 3 : 2));
    FUZZ_CHECK(EncodePreset(*PresetAt(store, 0)) == first && EncodePreset(*PresetAt(store, 1)) == second);
    if (!whole) return 0;

    const PresetBytes imported = EncodePreset(*PresetAt(store, 2));
    FUZZ_CHECK(std::memcmp(imported.data(), data, kPresetBytes) == 0);
    FUZZ_CHECK(PresetName(*PresetAt(store, 2)).size() < kPresetNameField);

    FUZZ_CHECK(WritePresetFile(store, 2, kExported, fs));
    const FakeFileSystem::Bytes& exported = fs.files[kExported];
    FUZZ_CHECK(exported.size() == kPresetBytes && std::memcmp(exported.data(), data, kPresetBytes) == 0);

    // The preset takes over everything it carries; `bound` and `randomly` stay.
    settings.bound = 7;
    settings.randomly = 1;
    runState.rebuildImages = 0;
    ApplyPreset(store, 2, settings, runState);
    FUZZ_CHECK(runState.rebuildImages != 0 && settings.bound == 7 && settings.randomly == 1);
    const PresetHolder& preset = *PresetAt(store, 2);
    FUZZ_CHECK(SameFloat(settings.cbStep, preset.cbStep) && settings.size1 == preset.size1 &&
               settings.color[6].blue == preset.color[6].blue && settings.switches[6] == preset.switches[6]);
    DriveAnimation(settings);
    return 0;
}

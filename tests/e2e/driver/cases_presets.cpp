// "Choose presets randomly": the full-screen saver starts with a stored preset.
#include "cases.h"
#include "check.h"
#include "preset_store.h"
#include "profile.h"
#include "registry.h"
#include "saver.h"

namespace {

// Registry settings that differ visibly from every preset below.
Profile RandomProfile(int randomly) {
    Profile profile = StillProfile();
    profile.randomly = randomly;
    profile.color[0] = Rgb(255, 0, 0);
    return profile;
}

PresetRecord BluePreset() {
    PresetRecord preset;
    preset.name = "deep blue";
    preset.size1 = 22;
    preset.size2 = 22;
    preset.phong = 6;
    preset.ambient = 0.5f;
    preset.angleX = 0.5f;
    preset.color[0] = Rgb(20, 60, 230);
    return preset;
}

PresetRecord GreenTorusPreset() {
    PresetRecord preset;
    preset.name = "green torus";
    preset.shape = 2;
    preset.size1 = 18;
    preset.size2 = 28;
    preset.color[0] = Rgb(40, 220, 40);
    return preset;
}

}  // namespace

E2E_CASE(presets, random_start_uses_the_only_preset) {
    WriteProfile(RandomProfile(1));
    const PresetRecord preset = BluePreset();
    WriteFileBytes(WindowsStorePath(), EncodeStore({preset}));
    ExpectFullScreenShows(LookOf(preset, 0), "the stored blue preset");
}

E2E_CASE(presets, user_copy_of_store_takes_precedence) {
    WriteProfile(RandomProfile(1));
    WriteFileBytes(WindowsStorePath(), EncodeStore({BluePreset()}));
    const PresetRecord preset = GreenTorusPreset();
    WriteFileBytes(UserStorePath(), EncodeStore({preset}));
    ExpectFullScreenShows(LookOf(preset, 0), "the green torus of the per-user store");
}

E2E_CASE(presets, option_off_keeps_registry_settings) {
    const Profile profile = RandomProfile(0);
    WriteProfile(profile);
    WriteFileBytes(WindowsStorePath(), EncodeStore({BluePreset()}));
    ExpectFullScreenShows(LookOf(profile, 0), "the registry's red sphere");
}

E2E_CASE(presets, empty_store_keeps_registry_settings) {
    const Profile profile = RandomProfile(1);
    WriteProfile(profile);
    WriteFileBytes(WindowsStorePath(), EncodeStore({}));
    ExpectFullScreenShows(LookOf(profile, 0), "the registry's red sphere");
}

// A preset's switch words count as on when non-zero, whatever the value.
E2E_CASE(presets, preset_switch_word_four_is_on) {
    WriteProfile(RandomProfile(1));
    PresetRecord preset = BluePreset();
    preset.switches[0] = 0;
    preset.switches[2] = 4;
    preset.color[2] = Rgb(250, 120, 0);
    WriteFileBytes(WindowsStorePath(), EncodeStore({preset}));
    ExpectFullScreenShows(LookOf(preset, 2), "slot 2 of the preset, in orange");
}

// Damaged store files: whole records are used, the rest is ignored, nothing breaks.
E2E_CASE(presets, truncated_store_uses_whole_records) {
    WriteProfile(RandomProfile(1));
    const PresetRecord preset = GreenTorusPreset();
    auto bytes = EncodeStore({preset, BluePreset()}, 5);
    bytes.resize(4 + kPresetRecordSize + kPresetRecordSize / 2);
    WriteFileBytes(WindowsStorePath(), bytes);
    ExpectFullScreenShows(LookOf(preset, 0), "the one whole preset, the green torus");
}

E2E_CASE(presets, negative_count_means_no_presets) {
    const Profile profile = RandomProfile(1);
    WriteProfile(profile);
    WriteFileBytes(WindowsStorePath(), EncodeStore({BluePreset()}, -1));
    ExpectFullScreenShows(LookOf(profile, 0), "the registry's red sphere");
}

E2E_CASE(presets, short_store_file_means_no_presets) {
    const Profile profile = RandomProfile(1);
    WriteProfile(profile);
    WriteFileBytes(WindowsStorePath(), {1, 0, 0});
    ExpectFullScreenShows(LookOf(profile, 0), "the registry's red sphere");
}

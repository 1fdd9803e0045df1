#include "presets/apply_preset.h"

void ApplyPreset(const PresetStore& store, int32_t position, SaverSettings& settings, RunState& runState) {
    const PresetHolder* preset = PresetAt(store, position);
    if (preset == nullptr) return;
    CopyPresetFields(*preset, settings);
    runState.rebuildImages = 1;
}

bool PickRandomPreset(const PresetStore& store, uint32_t clockMs, SaverSettings& settings,
                      RunState& runState) {
    if (runState.fullScreen == 0 || settings.randomly == 0 || store.Count() <= 0) return false;
    const uint32_t position = clockMs % static_cast<uint32_t>(store.Count());
    ApplyPreset(store, static_cast<int32_t>(position), settings, runState);
    return true;
}

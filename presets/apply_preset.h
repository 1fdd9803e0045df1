// Making a stored preset the live animation: picked in the dialog, or at random when the
// full-screen saver starts.
#pragma once

#include <cstdint>

#include "app/settings.h"
#include "presets/preset_store.h"

// Copies every field the record carries into the live settings and asks for new shape
// images. `bound` and `randomly` keep their values. An invalid position changes nothing.
void ApplyPreset(const PresetStore& store, int32_t position, SaverSettings& settings, RunState& runState);

// At full-screen start with "Choose presets randomly" on and a non-empty store, applies
// the preset at clock modulo count (both unsigned). True when one was applied.
bool PickRandomPreset(const PresetStore& store, uint32_t clockMs, SaverSettings& settings,
                      RunState& runState);

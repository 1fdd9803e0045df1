// What the configuration dialog's controls do to the live settings, apart from the
// controls themselves: each function is one user action.
#pragma once

#include <cstdint>

#include "app/settings.h"

// Trackbar ranges as the dialog shows them.
constexpr int32_t kSizeMin = 5, kSizeMax = 50;
constexpr int32_t kPhongMin = 0, kPhongMax = 20;
constexpr int32_t kPercentMin = 0, kPercentMax = 100;

// Trackbar positions shown for a value: floats as value x 100, truncated toward zero; a
// value that a trackbar position stores shows as that position.
int32_t PercentPosition(float value);

// A size trackbar moved to `position`; with `bound` on the other size follows.
void MoveSize1(SaverSettings& s, RunState& r, int32_t position);
void MoveSize2(SaverSettings& s, RunState& r, int32_t position);
void MovePhong(SaverSettings& s, RunState& r, int32_t position);
void MoveMirror(SaverSettings& s, RunState& r, int32_t position);
void MoveAmbient(SaverSettings& s, RunState& r, int32_t position);

// "Bound" clicked, with the box's new state.
void SetBound(SaverSettings& s, RunState& r, bool checked);
// "Sphere" and "Torus" clicked.
void ChooseSphere(SaverSettings& s, RunState& r);
void ChooseTorus(SaverSettings& s, RunState& r);

// The speeds: "Round" drives csStep, "Radial" cbStep; no limits either way.
enum class SpeedColumn { Round, Radial };
void StepSpeed(SaverSettings& s, SpeedColumn column, int32_t steps);
// A spinner report: index 0 is "Round", 1 "Radial", any other does nothing.
void Spin(SaverSettings& s, int32_t delta, uint32_t index);

// The "on" box of a slot: the stored switch is toggled, whatever the box shows.
void ToggleSwitch(SaverSettings& s, int slot);

#include "dialog/settings_edits.h"

#include <cstdint>
#include <initializer_list>

#include "engine/numeric.h"

int32_t PercentPosition(float value) {
    // Values beyond the int range show at their own end of the trackbar, not wrapped to
    // the far one; not-a-number shows at the start.
    const float percent = value * 100.0f;
    if (percent != percent) return kPercentMin;
    if (percent >= 2147483647.0f) return INT32_MAX;
    if (percent <= -2147483648.0f) return INT32_MIN;
    // Truncated, except that a value a position stores shows as that position again:
    // 0.53f * 100 is 52.99998, and the next touch of the trackbar would store 0.52.
    const int32_t position = TruncateToInt32(percent);
    for (const int32_t neighbour : {position + 1, position - 1}) {
        if (static_cast<float>(neighbour) / 100.0f == value) return neighbour;
    }
    return position;
}

void MoveSize1(SaverSettings& s, RunState& r, int32_t position) {
    s.size1 = position;
    if (s.bound != 0) s.size2 = s.size1;
    r.rebuildImages = 1;
}

void MoveSize2(SaverSettings& s, RunState& r, int32_t position) {
    s.size2 = position;
    if (s.bound != 0) s.size1 = s.size2;
    r.rebuildImages = 1;
}

void MovePhong(SaverSettings& s, RunState& r, int32_t position) {
    s.phong = position;
    r.rebuildImages = 1;
}

void MoveMirror(SaverSettings& s, RunState& r, int32_t position) {
    s.mirror = static_cast<float>(position) / 100.0f;
    r.rebuildImages = 1;
}

void MoveAmbient(SaverSettings& s, RunState& r, int32_t position) {
    s.ambient = static_cast<float>(position) / 100.0f;
    r.rebuildImages = 1;
}

void SetBound(SaverSettings& s, RunState& r, bool checked) {
    s.bound = checked ? 1 : 0;
    if (s.bound == 1) s.size2 = s.size1;
    r.rebuildImages = 1;
}

void ChooseSphere(SaverSettings& s, RunState& r) {
    s.shape = 0;
    r.rebuildImages = 1;
}

void ChooseTorus(SaverSettings& s, RunState& r) {
    s.shape = 2;
    s.bound = 0;
    // Nearly equal sizes would leave no hole: start from a proper ring instead.
    const int64_t difference = int64_t{s.size1} - s.size2;
    if (difference > -3 && difference < 3) {
        s.size1 = 25;
        s.size2 = 18;
    }
    r.rebuildImages = 1;
}

void StepSpeed(SaverSettings& s, SpeedColumn column, int32_t steps) {
    float& speed = column == SpeedColumn::Round ? s.csStep : s.cbStep;
    speed += static_cast<float>(steps) * kSpeedStep;
}

void Spin(SaverSettings& s, int32_t delta, uint32_t index) {
    if (index == 0) s.csStep += static_cast<float>(delta) * kSpeedStep;
    if (index == 1) s.cbStep += static_cast<float>(delta) * kSpeedStep;
}

void ToggleSwitch(SaverSettings& s, int slot) {
    if (slot < 0 || slot >= kShapeSlots) return;
    s.switches[slot] = !s.switches[slot];
}

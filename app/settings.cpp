#include "app/settings.h"

namespace {
// The one table of defaults; the resets below take their values from it.
constexpr SaverSettings kDefaultSettings = {
    1.0f, 1.0f, -1.0f,  // angleX, angleY, angleZ
    1.46f, 0.01f,       // cbStep, csStep
    0, 30, 29, 4,       // shape, size1, size2, phong
    0.995f, 0.34f,      // mirror, ambient
    1,                  // bound
    {1, 1, 1, 1, 1, 1, 1},
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {178, 178, 0}, {0, 178, 178}, {178, 0, 178}, {128, 128, 128}},
    0,  // randomly
};
}  // namespace

const ShapeColor (&kDefaultColors)[kShapeSlots] = kDefaultSettings.color;

// Constant-initialised, so the defaults are in place before any other static object of
// the program is constructed, whatever the link order.
SaverSettings theSettings = kDefaultSettings;
RunState theRunState = {1, 0, 0, 0, 0, 0, 0};

void SetDefaults(SaverSettings& s, RunState& r) {
    const int32_t randomly = s.randomly;  // not a default of its own: left to the caller
    s = kDefaultSettings;
    s.randomly = randomly;
    r.stopDrawing = 0;
    r.rebuildImages = 1;
}

void ResetRenderOptions(SaverSettings& s, RunState& r) {
    const SaverSettings& d = kDefaultSettings;
    r.stopDrawing = 0;
    s.shape = d.shape;
    r.rebuildImages = 1;
    s.angleX = d.angleX;
    s.angleY = d.angleY;
    s.angleZ = d.angleZ;
    s.size1 = d.size1;
    s.size2 = d.size2;
    s.ambient = d.ambient;
    s.mirror = d.mirror;
    s.phong = d.phong;
    s.bound = d.bound;
}

void ResetColors(SaverSettings& s, RunState& r) {
    for (int i = 0; i < kShapeSlots; ++i) s.color[i] = kDefaultColors[i];
    r.rebuildImages = 1;
}

uint32_t PackColor(const ShapeColor& c) {
    // Channels are 0..255 when the dialog sets them, but a preset file may hold any word:
    // the top byte is always zero, as the colour is stored and shown.
    const uint32_t sum = static_cast<uint32_t>(c.red) + 256u * static_cast<uint32_t>(c.green) +
                         65536u * static_cast<uint32_t>(c.blue);
    return sum & 0x00FFFFFFu;
}

ShapeColor UnpackColor(uint32_t value) {
    return ShapeColor{static_cast<int32_t>(value & 255u), static_cast<int32_t>((value >> 8) & 255u),
                      static_cast<int32_t>((value >> 16) & 255u)};
}

uint32_t PackSwitches(const int32_t (&switches)[kShapeSlots]) {
    uint32_t mask = 0;
    for (int i = 0; i < kShapeSlots; ++i)
        if (switches[i] != 0) mask |= 1u << i;
    return mask;
}

void UnpackSwitches(uint32_t mask, int32_t (&switches)[kShapeSlots]) {
    for (int i = 0; i < kShapeSlots; ++i) switches[i] = static_cast<int32_t>(mask & (1u << i));
}

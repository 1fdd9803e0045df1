// The process-wide settings record and run-state flags, with their defaults and the
// packed forms in which colours and switches travel as single numbers.
#pragma once

#include <cstdint>

constexpr int kShapeSlots = 7;

struct ShapeColor {
    int32_t red;
    int32_t green;
    int32_t blue;
};

struct SaverSettings {
    float angleX;
    float angleY;
    float angleZ;
    float cbStep;
    float csStep;
    int32_t shape;
    int32_t size1;
    int32_t size2;
    int32_t phong;
    float mirror;
    float ambient;
    int32_t bound;
    int32_t switches[kShapeSlots];
    ShapeColor color[kShapeSlots];
    int32_t randomly;
};

struct RunState {
    int32_t rebuildImages;
    int32_t stopDrawing;
    int32_t resumePending;
    uint32_t moveTime;
    int32_t previewMode;
    int32_t fullScreen;
    int32_t firstSizeDone;
};

// The one instance of each, defaulted during static initialisation.
extern SaverSettings theSettings;
extern RunState theRunState;

extern const ShapeColor (&kDefaultColors)[kShapeSlots];

// Writes every default setting and sets `rebuildImages`, clears `stopDrawing`; `randomly`
// and the other run flags are left as they are (they start at 0 with the records).
void SetDefaults(SaverSettings& s, RunState& r);

// Partial resets of the configuration dialog.
void ResetRenderOptions(SaverSettings& s, RunState& r);
void ResetColors(SaverSettings& s, RunState& r);

// Colours travel as red + 256 * green + 65536 * blue with the top byte zero; bits above 23
// are dropped on unpacking too.
uint32_t PackColor(const ShapeColor& c);
ShapeColor UnpackColor(uint32_t value);

// Bit i is set when switches[i] is non-zero; unpacking keeps the masked bit itself.
uint32_t PackSwitches(const int32_t (&switches)[kShapeSlots]);
void UnpackSwitches(uint32_t mask, int32_t (&switches)[kShapeSlots]);

// One click of a speed button, and the unit of a spinner step.
constexpr float kSpeedStep = 0.0005091f;

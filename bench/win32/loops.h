// The two loops that are measured side by side on the same full-screen pop-up window,
// and the saver's own per-shape work without any platform call.
#pragma once

#include <cstdint>
#include <string>

#include "bench/win32/meter.h"

struct RunResult {
    bool ok = false;
    std::string error;
    double seconds = 0;
    double cpuSeconds = 0;  // of this process only; the wineserver and the X server are apart
    uint64_t shapes = 0;
    uint64_t paints = 0;
    uint64_t blits = 0;
    uint64_t pixels = 0;
    int32_t maxBlitWidth = 0;
    bool keptUp = true;
    int32_t imageSide = 0;
};

// Time per shape, in microseconds, of each platform call of the bare loop.
struct BareBreakdown {
    double peek = 0;        // PeekMessage
    double dispatch = 0;    // Translate + Dispatch, without the paint handler inside
    double invalidate = 0;  // InvalidateRect
    double getUpdateRect = 0;
    double beginPaint = 0;
    double getDC = 0;
    double setDIBits = 0;
    double releaseDC = 0;
    double endPaint = 0;
    double total = 0;  // wall time per shape
};

// The real animation window (CDrawWnd) as a top-level pop-up over the whole screen.
RunResult RunSaver(int32_t width, int32_t height, double warmup, double seconds);

// Where the bare loop's paint takes its pixels from.
enum class BareSource {
    kRectangle,     // a ready bottom-up buffer of the update rectangle's size
    kWholeSurface,  // a screen-sized top-down block, the rectangle picked by the source origin
};

// Only the platform's part of each shape: one message removed and dispatched, one
// invalidated rectangle of the image's size at the saver's positions, and a paint that
// hands that rectangle to SetDIBitsToDevice.
// With `breakdown`, every platform call is timed (slower; not for the ratio).
RunResult RunBare(int32_t width, int32_t height, double warmup, double seconds,
                  BareSource source = BareSource::kRectangle, BareBreakdown* breakdown = nullptr);

// The saver's pixel work per shape alone, in microseconds per shape.
struct OwnWorkPart {
    double stamp = 0;  // path step and keyed stamp onto the screen-sized surface
    double rows = 0;   // bottom-up copy of the stamped rectangle for SetDIBitsToDevice
    double total = 0;
};
struct OwnWork {
    OwnWorkPart warm;  // shape after shape, caches warm
    OwnWorkPart cold;  // each shape starting with caches emptied, as between platform calls
};
// Takes about twice `seconds`.
OwnWork MeasureOwnWork(int32_t width, int32_t height, double seconds);

// Side of the shape images for a screen of this width, with the default sizes.
int32_t DefaultImageSide(int32_t width);

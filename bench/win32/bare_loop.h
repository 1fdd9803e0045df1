// The platform's part of each shape and nothing else, in the saver's burst pattern: one
// pending message removed and dispatched, one invalidated rectangle of the image's size
// at the saver's positions, and a paint that hands that rectangle to SetDIBitsToDevice
// (GetUpdateRect, BeginPaint, GetDC, SetDIBitsToDevice, ReleaseDC, EndPaint).
// Two variants add the saver's pixel work back, to weigh a change of its paint.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "bench/win32/pixel_work.h"

class Slicer;

// Where a paint takes its pixels from, and what each shape does besides.
enum class BareSource {
    kRectangle,  // a ready bottom-up buffer of one rectangle: the bare loop
    kCopy,       // the saver's stamp, then its bottom-up row copy: the saver's work emulated
    kDirect,     // the saver's stamp, then straight from the surface as a top-down bitmap
};

// Microseconds per shape in each platform call of the bare loop.
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

class BareLoop {
public:
    BareLoop(int32_t width, int32_t height, Slicer& slicer);

    // One burst of as many shapes as the saver's (all seven slots on), ended early when
    // the slicer asks. `timed`: time every platform call.
    void Burst(HWND hwnd, BareSource source, bool timed);
    void Paint(HWND hwnd);

    uint64_t Shapes() const { return shapes_; }
    int32_t ImageSide() const { return work_.ImageSide(); }
    // The timed calls, per shape measured in timed slices of `seconds` and `shapes`.
    BareBreakdown Breakdown(double seconds, uint64_t shapes) const;
    // Paints one freshly stamped rectangle straight from the surface and reads it back
    // from the window: true when every pixel arrived where it belongs.
    bool CheckDirectBlit(HWND hwnd);

private:
    enum Phase { kPeek, kDispatch, kInvalidate, kGetUpdateRect, kBeginPaint, kGetDC, kSetDIBits, kReleaseDC,
                 kEndPaint, kPhases };
    bool Timing() const;
    template <typename Call>
    auto Timed(Phase phase, Call call);
    // SetDIBitsToDevice of `rect` out of a top-down block of the screen's size.
    int BlitFromBlock(HDC dc, const RECT& rect, const void* block);

    Slicer& slicer_;
    PixelWork work_;
    int32_t width_;
    int32_t height_;
    uint64_t shapes_ = 0;
    bool busy_ = false;
    BareSource source_ = BareSource::kRectangle;  // of the burst that is running
    bool timed_ = false;
    std::vector<uint32_t> rectPixels_;   // bottom-up rows of one rectangle, ready once
    std::vector<uint32_t> wholePixels_;  // a screen-sized top-down block, for bigger paints
    int64_t phaseTicks_[kPhases] = {};
    int64_t paintTicks_ = 0;  // whole paint handlers, to take them out of the dispatch time
};

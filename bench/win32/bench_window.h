// The saver's animation window (CDrawWnd, a top-level pop-up over the whole screen) in
// which the measured loops take turns: in the saver's slices its own timer and paint
// handlers run, in the others the bare loop runs on the same window. The subclass only
// counts and switches; it changes nothing in the saver's handling.
#pragma once

#include <cstdint>

#include "app/draw_wnd_win32.h"
#include "bench/win32/bare_loop.h"
#include "bench/win32/slicer.h"

class BenchWindow : public CDrawWnd {
public:
    BenchWindow(int32_t width, int32_t height, Slicer& slicer);

    // Creates the window over the screen; false when the system refuses.
    bool CreateOverScreen();
    // Every shape stamped by any of the loops.
    uint64_t AllShapes() const { return DrawnShapes() + bare_.Shapes(); }
    BareLoop& Bare() { return bare_; }

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int32_t width_;
    int32_t height_;
    Slicer& slicer_;
    BareLoop bare_;
    bool inBurst_ = false;
};

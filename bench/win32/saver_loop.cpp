// The saver's animation window, measured from outside: a subclass that only counts.
#include <windows.h>

#include "app/draw_wnd_win32.h"
#include "app/settings.h"
#include "bench/win32/loops.h"

namespace {

class MeasuredDrawWnd : public CDrawWnd {
public:
    explicit MeasuredDrawWnd(Meter& meter) : CDrawWnd(0), meter_(meter) {}

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        const bool handled = CDrawWnd::ProcessWindowMessage(msg, wParam, lParam, result);
        if (msg == WM_PAINT) {
            meter_.AfterPaint(DrawnShapes(), Handle());
            // Ends the running burst at its next check, and keeps new ones from starting.
            if (meter_.Done()) theRunState.stopDrawing = 1;
        }
        return handled;
    }

private:
    Meter& meter_;
};

}  // namespace

RunResult RunSaver(int32_t width, int32_t height, double warmup, double seconds) {
    RunResult result;
    // A fresh start as at process start: defaults, no full-screen random preset, and the
    // surface made by this window's first size notification.
    SetDefaults(theSettings, theRunState);
    theSettings.randomly = 0;
    theRunState.fullScreen = 0;
    theRunState.previewMode = 0;
    theRunState.firstSizeDone = 0;
    theRunState.resumePending = 0;

    Meter meter(warmup, seconds);
    auto* window = new MeasuredDrawWnd(meter);
    const RECT rect{0, 0, width, height};
    meter.Begin();
    if (!window->Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, nullptr)) {
        delete window;
        result.error = "CDrawWnd::Create failed";
        return result;
    }
    MSG msg;
    while (!meter.Done() && !meter.Overdue()) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Not WM_CLOSE: the saver's close request ends the thread.
    DestroyWindow(window->Handle());
    delete window;
    theRunState.stopDrawing = 0;
    theRunState.firstSizeDone = 0;

    if (!meter.Done()) {
        result.error = "no paint finished the run in time";
        return result;
    }
    result.ok = true;
    result.seconds = meter.Seconds();
    result.cpuSeconds = meter.CpuSeconds();
    result.shapes = meter.end.shapes - meter.start.shapes;
    result.paints = meter.end.paints - meter.start.paints;
    result.blits = meter.end.blits.calls - meter.start.blits.calls;
    result.pixels = meter.end.blits.pixels - meter.start.blits.pixels;
    result.maxBlitWidth = meter.end.blits.maxWidth;
    result.keptUp = meter.KeptUp();
    result.imageSide = DefaultImageSide(width);
    return result;
}

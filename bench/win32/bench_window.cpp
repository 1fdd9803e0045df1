#include "bench/win32/bench_window.h"

#include "app/settings.h"

namespace {
constexpr UINT_PTR kFrameTimer = 1;

BareSource Source(Mode mode) {
    switch (mode) {
        case Mode::kCopy: return BareSource::kCopy;
        case Mode::kDirect: return BareSource::kDirect;
        default: return BareSource::kRectangle;
    }
}
}  // namespace

BenchWindow::BenchWindow(int32_t width, int32_t height, Slicer& slicer)
    : CDrawWnd(0), width_(width), height_(height), slicer_(slicer), bare_(width, height, slicer) {}

bool BenchWindow::CreateOverScreen() {
    // As the full-screen saver's window, but without its input rules and random preset.
    const RECT rect{0, 0, width_, height_};
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, nullptr);
}

bool BenchWindow::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_TIMER && wParam == kFrameTimer) {
        // Turns change only between bursts, never inside one (a burst's own message
        // dispatch can deliver a tick).
        if (!inBurst_ && slicer_.SwitchPending()) {
            slicer_.Switch();
            theRunState.stopDrawing = 0;
        }
        if (slicer_.Done()) return true;
        const bool outer = !inBurst_;
        inBurst_ = true;
        const Mode mode = slicer_.Current();
        if (mode == Mode::kSaver) {
            CDrawWnd::ProcessWindowMessage(msg, wParam, lParam, result);
        } else {
            bare_.Burst(Handle(), Source(mode), mode == Mode::kTimed);
        }
        if (outer) inBurst_ = false;
        return true;
    }
    if (msg == WM_PAINT) {
        if (slicer_.Current() == Mode::kSaver) {
            CDrawWnd::ProcessWindowMessage(msg, wParam, lParam, result);
        } else {
            bare_.Paint(Handle());
        }
        slicer_.AfterPaint(AllShapes(), Handle());
        // Ends the saver's running burst at its next check.
        if (slicer_.SwitchPending()) theRunState.stopDrawing = 1;
        return true;
    }
    return CDrawWnd::ProcessWindowMessage(msg, wParam, lParam, result);
}

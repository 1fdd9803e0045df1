#include "dialog/spinner_center_win32.h"

#include <windowsx.h>

#include "resources/resource_ids.h"

SpinnerCenter::SpinnerCenter() : cursor_(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_SPINNER))) {}

bool SpinnerCenter::ProcessWindowMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        // The button class takes double clicks: a quick second press comes as one.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // Captured, so the drag goes on past the control's and the dialog's edges.
            SetCapture(Handle());
            drag_.Press();
            SetCursor(cursor_);
            return false;
        case WM_MOUSEMOVE: {
            SetCursor(cursor_);
            if (listener_ == nullptr || !drag_.Dragging()) {
                result = 0;
                return true;  // no further processing
            }
            int32_t delta = 0;
            if (drag_.Move(GET_Y_LPARAM(lParam), delta)) listener_->Spin(delta, index_);
            return false;
        }
        case WM_LBUTTONUP:
            ReleaseCapture();
            drag_.Release();
            return false;
        // The capture taken away (Alt+Tab, a window popping up) ends the drag as a release
        // would, or a mere hover would go on changing the speed. The button's own press
        // handling takes the capture again for this same window: that is no loss.
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != Handle()) drag_.Release();
            return false;
        case WM_CANCELMODE:
            if (drag_.Dragging() && GetCapture() == Handle()) ReleaseCapture();
            drag_.Release();
            return false;
        case WM_SETCURSOR:
            SetCursor(cursor_);
            result = TRUE;
            return true;
    }
    return false;
}

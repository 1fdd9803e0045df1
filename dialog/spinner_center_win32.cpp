#include "dialog/spinner_center_win32.h"

#include <windowsx.h>

#include "resources/resource_ids.h"

SpinnerCenter::SpinnerCenter() : cursor_(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_SPINNER))) {}

bool SpinnerCenter::ProcessWindowMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_LBUTTONDOWN:
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
        // A window popping up cancels the drag, or a mere hover would go on changing the
        // speed. (Wine takes a spinner's capture away by itself while its drag goes on, so
        // the capture change alone does not end it.)
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

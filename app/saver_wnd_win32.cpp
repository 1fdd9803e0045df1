#include "app/saver_wnd_win32.h"

#include <windowsx.h>

bool CSaverWnd::CreateFullScreen() {
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr);
}

void CSaverWnd::RequestClose() { PostMessageA(Handle(), WM_CLOSE, 0, 0); }

bool CSaverWnd::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_SYSCOMMAND:
            // The system's own screen-save and close commands must not end or restart us.
            if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE) {
                result = 0;
                return true;
            }
            return false;
        case WM_DESTROY:
            PostQuitMessage(0);
            return CDrawWnd::ProcessWindowMessage(msg, wParam, lParam, result);
        case WM_SETCURSOR:
            SetCursor(nullptr);
            result = TRUE;
            return true;
        case WM_NCACTIVATE:
            if (wParam) return false;
            result = FALSE;  // refuse to look inactive
            return true;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) RequestClose();
            return false;
        case WM_ACTIVATEAPP:
            if (!wParam) RequestClose();
            return false;
        case WM_MOUSEMOVE:
            OnUserMouseMove(lParam);
            return CDrawWnd::ProcessWindowMessage(msg, wParam, lParam, result);
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            RequestClose();
            return false;
    }
    return CDrawWnd::ProcessWindowMessage(msg, wParam, lParam, result);
}

void CSaverWnd::OnUserMouseMove(LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (firstMouse_.x == -1 && firstMouse_.y == -1) {
        firstMouse_ = p;  // wherever the pointer happens to be when we appear
        return;
    }
    if (p.x != firstMouse_.x || p.y != firstMouse_.y) RequestClose();
}

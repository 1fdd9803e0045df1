#include "host_window.h"

#include "check.h"

namespace {

const wchar_t kClassName[] = L"TindlbrgE2EHost";

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_PARENTNOTIFY && LOWORD(w) == WM_CREATE) {
        switch (static_cast<HostWindow::End>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
            case HostWindow::End::OnChildCreated:
                DestroyWindow(hwnd);
                return 0;
            case HostWindow::End::SoonAfterChildCreated:
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
                break;
            case HostWindow::End::Never:
                break;
        }
    }
    return DefWindowProcW(hwnd, message, w, l);
}

void RegisterOnce() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc)) Fail(Format("cannot register the host window class (error %lu)", GetLastError()));
    registered = true;
}

}  // namespace

HostWindow::HostWindow(int clientWidth, int clientHeight, End end) {
    RegisterOnce();
    RECT rect = {0, 0, clientWidth, clientHeight};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRect(&rect, style, FALSE);
    hwnd_ = CreateWindowExW(0, kClassName, L"preview host", style | WS_VISIBLE, 40, 40, rect.right - rect.left,
                            rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) Fail(Format("cannot create the host window (error %lu)", GetLastError()));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(end));
}

HostWindow::~HostWindow() { Destroy(); }

void HostWindow::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

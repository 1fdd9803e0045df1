#include "framework/window.h"

#include "framework/application.h"

#include <new>

namespace fw {

namespace {
const char kSubclassProp[] = "fw.Window";
}

Window::~Window() {
    // A window object that dies before its window detaches from it, so no message can
    // reach freed memory.
    if (hwnd_ != nullptr && IsWindow(hwnd_)) {
        if (originalProc_ != nullptr) {
            SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
            RemovePropA(hwnd_, kSubclassProp);
        } else {
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        }
    }
}

bool Window::RegisterClassOnce(const char* className, UINT style, HCURSOR cursor, HICON icon, HBRUSH background) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(instance, className, &existing)) return true;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = &Window::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hIcon = icon;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassA(&wc) != 0;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                      HWND parent, UINT_PTR idOrMenu) {
    const HWND hwnd = CreateWindowExA(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                                      rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(idOrMenu),
                                      GetModuleHandleA(nullptr), this);
    return hwnd != nullptr;
}

bool Window::Subclass(HWND hwnd) {
    if (hwnd == nullptr || hwnd_ != nullptr) return false;
    hwnd_ = hwnd;
    SetPropA(hwnd, kSubclassProp, this);
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc)));
    return originalProc_ != nullptr;
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd != nullptr ? static_cast<Window*>(GetPropA(hwnd, kSubclassProp)) : nullptr;
}

bool Window::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Window::DefaultHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (originalProc_ != nullptr) return CallWindowProcA(originalProc_, hwnd_, msg, wParam, lParam);
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return Route(self, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Window*>(GetPropA(hwnd, kSubclassProp));
    if (self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // Hand the window back before its last message, so the final hook may delete us.
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->originalProc_));
        RemovePropA(hwnd, kSubclassProp);
    }
    return Route(self, hwnd, msg, wParam, lParam);
}

LRESULT Window::Route(Window* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->ProcessWindowMessage(msg, wParam, lParam, result);
    } catch (const std::bad_alloc&) {
        // Memory ran out in a handler: its work is skipped and the system's default
        // handling stands in; an exception must never cross the system's procedure.
        if (!IsWindow(hwnd)) return 0;  // the handler may have lost the window first
        result = 0;
    }
    if (!handled) result = self->DefaultHandling(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        if (self->originalProc_ == nullptr) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->originalProc_ = nullptr;
        Application::WindowDestroyed(self);
        self->OnFinalMessage();  // may delete self
    }
    return result;
}

}  // namespace fw

// A window object over a Win32 window. `this` lives in the window's user data from
// WM_NCCREATE on; messages reach ProcessWindowMessage, the class's message map, and
// whatever it does not handle gets the default handling.
#pragma once

#include <windows.h>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }

    // Registers a window class once per process (later calls with the same name do nothing).
    static bool RegisterClassOnce(const char* className, UINT style, HCURSOR cursor, HICON icon = nullptr,
                                  HBRUSH background = nullptr);

    // Creates a window of a class registered above; false when the system refuses.
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                  HWND parent, UINT_PTR idOrMenu = 0);

    // Takes over an existing window (a dialog control): its messages pass through this
    // object's message map first, then to the window's own procedure.
    bool Subclass(HWND hwnd);
    // The object that took over `hwnd`, or null.
    static Window* FromHandle(HWND hwnd);

    // Owner draw, reflected from the parent dialog; false when the control does not draw.
    virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }

protected:
    // The message map. Returns true when the message was handled, with its result.
    virtual bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The platform's handling of the message being processed.
    LRESULT DefaultHandling(UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs after the window's last message (WM_NCDESTROY); the handle is already gone.
    // Windows created on the heap delete themselves here.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT Route(Window* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC originalProc_ = nullptr;  // set for subclassed controls
};

}  // namespace fw

// The window a display settings panel would hand to the saver for its preview: a plain
// top-level window of this process. The saver's child in it is created by messages that
// this thread must answer, so callers keep pumping (PollUntil does).
#pragma once

#include <windows.h>

class HostWindow {
public:
    HostWindow(int clientWidth, int clientHeight);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // Destroys the window (and with it any child the saver made in it).
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};

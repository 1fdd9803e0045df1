// The window a display settings panel would hand to the saver for its preview: a plain
// top-level window of this process. The saver's child in it is created by messages that
// this thread must answer, so callers keep pumping (PollUntil does).
#pragma once

#include <windows.h>

class HostWindow {
public:
    // When the host goes away by itself: never, or as soon as the saver's child tells it
    // that it was created (the child's creation still under way), at once or by a
    // message the host posts itself.
    enum class End { Never, OnChildCreated, SoonAfterChildCreated };

    HostWindow(int clientWidth, int clientHeight, End end = End::Never);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // Destroys the window (and with it any child the saver made in it).
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};

// Waiting without timing assumptions: poll a condition until it holds or a generous
// deadline passes, pumping this thread's messages in between (the preview host window
// must answer the saver's messages while the saver creates its child in it).
#pragma once

#include <windows.h>

// Long enough for a slow, busy CI machine; a case only waits this long when it fails.
constexpr DWORD kDeadlineMs = 10000;

// Dispatches every message waiting for this thread.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// True as soon as done() holds; false when the deadline passes first.
template <class Condition>
bool PollUntil(Condition done, DWORD timeoutMs = kDeadlineMs, DWORD intervalMs = 5) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, intervalMs, QS_ALLINPUT);
    }
}

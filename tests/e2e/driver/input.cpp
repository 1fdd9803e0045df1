#include "input.h"

#include "check.h"

namespace {

LPARAM KeyData(UINT virtualKey, bool alt, bool up) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM data = 1 | static_cast<LPARAM>(scan & 0xFF) << 16;
    if (alt) data |= 1 << 29;
    if (up) data |= static_cast<LPARAM>(3) << 30;
    return data;
}

void Post(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (!PostMessageW(window, message, w, l))
        Fail(Format("cannot post message %04x to the saver's window (error %lu)", message, GetLastError()));
}

}  // namespace

void PostKeyDown(HWND window, UINT virtualKey) { Post(window, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false, false)); }

void PostSysKeyDown(HWND window, UINT virtualKey) {
    Post(window, WM_SYSKEYDOWN, virtualKey, KeyData(virtualKey, true, false));
}

void PostKeyUp(HWND window, UINT virtualKey) { Post(window, WM_KEYUP, virtualKey, KeyData(virtualKey, false, true)); }

void PostMouseMove(HWND window, POINT client) { Post(window, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y)); }

void PostButtonDown(HWND window, UINT message, POINT client) {
    const WPARAM keys = message == WM_LBUTTONDOWN ? MK_LBUTTON : message == WM_MBUTTONDOWN ? MK_MBUTTON : MK_RBUTTON;
    Post(window, message, keys, MAKELPARAM(client.x, client.y));
}

void PostWheel(HWND window, POINT screen, short delta) {
    Post(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(screen.x, screen.y));
}

void SendKeyPress(WORD virtualKey) {
    INPUT inputs[2] = {};
    for (auto& in : inputs) {
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = virtualKey;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    if (SendInput(2, inputs, sizeof(INPUT)) != 2) Fail(Format("SendInput (key) failed (error %lu)", GetLastError()));
}

void SendButtonClick(DWORD downFlag, DWORD upFlag) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = downFlag;
    inputs[1].mi.dwFlags = upFlag;
    if (SendInput(2, inputs, sizeof(INPUT)) != 2) Fail(Format("SendInput (click) failed (error %lu)", GetLastError()));
}

void MovePointerTo(POINT screen) {
    if (!SetCursorPos(screen.x, screen.y)) Fail(Format("SetCursorPos failed (error %lu)", GetLastError()));
}

POINT PointerPosition() {
    POINT p = {};
    GetCursorPos(&p);
    return p;
}

// The user's side: keys, buttons and pointer moves, either posted straight to the
// saver's window or sent through the system's input queue like real hardware input.
#pragma once

#include <windows.h>

// Posted messages: exact, and independent of which window has the focus.
void PostKeyDown(HWND window, UINT virtualKey);
void PostSysKeyDown(HWND window, UINT virtualKey);  // with the Alt context bit, as Alt produces
void PostKeyUp(HWND window, UINT virtualKey);
void PostMouseMove(HWND window, POINT client);
void PostButtonDown(HWND window, UINT message, POINT client);  // WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN
void PostWheel(HWND window, POINT screen, short delta);

// System input, as a keyboard, mouse or pointer warp would produce it.
void SendKeyPress(WORD virtualKey);
void SendButtonClick(DWORD downFlag, DWORD upFlag);  // MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, ...
void MovePointerTo(POINT screen);
POINT PointerPosition();

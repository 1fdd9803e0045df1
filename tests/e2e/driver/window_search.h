// Finding and describing the saver's windows from outside its process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct WindowInfo {
    HWND hwnd = nullptr;
    std::wstring className;
    std::wstring title;
    RECT rect = {};    // screen co-ordinates
    RECT client = {};  // client co-ordinates (left and top are 0)
    LONG style = 0;
    LONG exStyle = 0;
    bool visible = false;
    HWND parent = nullptr;  // GetAncestor(GA_PARENT): the desktop for top-level windows
};

WindowInfo Describe(HWND hwnd);
std::string DescribeForMessage(const WindowInfo& info);

// Top-level windows of the process; only visible ones unless asked otherwise (Wine keeps
// hidden helper windows in every GUI process, and those show the user nothing).
std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly = true);

// Child windows (any depth) of `parent` that belong to the process.
std::vector<HWND> ChildWindowsOf(HWND parent, DWORD pid);

// The screen size as the system reports it.
SIZE ScreenSize();

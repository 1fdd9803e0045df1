#include "window_search.h"

#include "check.h"

namespace {

struct Search {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->pid && (!search->visibleOnly || IsWindowVisible(hwnd))) search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

WindowInfo Describe(HWND hwnd) {
    WindowInfo info;
    info.hwnd = hwnd;
    wchar_t text[256] = {};
    GetClassNameW(hwnd, text, 256);
    info.className = text;
    text[0] = 0;
    // Not WM_GETTEXT: that would wait for a saver that is busy or hung.
    InternalGetWindowText(hwnd, text, 256);
    info.title = text;
    GetWindowRect(hwnd, &info.rect);
    GetClientRect(hwnd, &info.client);
    info.style = GetWindowLongW(hwnd, GWL_STYLE);
    info.exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
    info.visible = IsWindowVisible(hwnd) != FALSE;
    info.parent = GetAncestor(hwnd, GA_PARENT);
    return info;
}

std::string DescribeForMessage(const WindowInfo& info) {
    return Format("window %p class \"%s\" title \"%s\" at (%ld,%ld)-(%ld,%ld) style %08lx exstyle %08lx%s",
                  static_cast<void*>(info.hwnd), Narrow(info.className).c_str(), Narrow(info.title).c_str(),
                  info.rect.left, info.rect.top, info.rect.right, info.rect.bottom,
                  static_cast<unsigned long>(info.style), static_cast<unsigned long>(info.exStyle),
                  info.visible ? " visible" : " hidden");
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly) {
    Search search{pid, visibleOnly, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ChildWindowsOf(HWND parent, DWORD pid) {
    Search search{pid, false, {}};
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

SIZE ScreenSize() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

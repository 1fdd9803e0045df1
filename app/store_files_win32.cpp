#include "app/store_files_win32.h"

#include <windows.h>
#include <shlobj.h>

StoreFolders ThisProgramsStoreFolders(const std::string& programName) {
    StoreFolders folders;
    char windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    if (n > 0 && n <= MAX_PATH) folders.windowsDir = windows;
    char appData[MAX_PATH + 1] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) && appData[0] != '\0')
        folders.userFolder = std::string(appData) + "\\Pellucid Works\\" + programName;
    folders.separator = '\\';
    return folders;
}

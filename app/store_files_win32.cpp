#include "app/store_files_win32.h"

#include <windows.h>
#include <shlobj.h>

StoreFiles ThisProgramsStoreFiles(const std::string& programName) {
    char windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    if (n == 0 || n > MAX_PATH) windows[0] = '\0';
    char appData[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) appData[0] = '\0';
    return LocateStoreFiles(windows, appData, programName);
}

// The system's open and save-as file dialogs.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class FileDialog {
public:
    // `filter` in the "Name (*.ext)|*.ext||" form: pairs separated by bars, ending with two.
    FileDialog(bool open, const char* defaultExtension, const char* filter, DWORD flags, HWND owner);

    // Runs the dialog; true when the user confirmed a file.
    bool DoModal();
    // The full path chosen.
    const std::string& PathName() const { return path_; }

    // The platform's filter form: each bar becomes a zero byte.
    static std::string PlatformFilter(const char* filter);

private:
    bool open_;
    std::string defaultExtension_;
    std::string filter_;
    DWORD flags_;
    HWND owner_;
    std::string path_;
};

}  // namespace fw

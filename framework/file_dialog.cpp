#include "framework/file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace fw {

FileDialog::FileDialog(bool open, const char* defaultExtension, const char* filter, DWORD flags, HWND owner)
    : open_(open), defaultExtension_(defaultExtension), filter_(PlatformFilter(filter)), flags_(flags), owner_(owner) {}

std::string FileDialog::PlatformFilter(const char* filter) {
    std::string out(filter);
    for (char& c : out)
        if (c == '|') c = '\0';
    out.push_back('\0');  // the text's own terminator ends the list with two zero bytes
    return out;
}

bool FileDialog::DoModal() {
    // Long enough for any path the system dialog can give in this form.
    std::vector<char> file(32768, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter_.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = defaultExtension_.c_str();
    ofn.Flags = flags_ | OFN_EXPLORER | OFN_NOCHANGEDIR;
    const BOOL ok = open_ ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (!ok) return false;
    path_.assign(file.data());
    return true;
}

}  // namespace fw

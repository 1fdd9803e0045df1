// The text of a dialog's control, at most `maxLength` characters.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::string ItemText(HWND dialog, int id, int maxLength) {
    std::vector<char> buffer(static_cast<size_t>(maxLength) + 1, '\0');
    GetDlgItemTextA(dialog, id, buffer.data(), maxLength + 1);
    return std::string(buffer.data());
}

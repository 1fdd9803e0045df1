#include "framework/data_exchange.h"

#include <vector>

namespace fw {

void DataExchange::Check(int id, int32_t& value) {
    if (saving_)
        value = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
    else
        CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
}

std::string ControlText(HWND control, int maxLength) {
    std::vector<char> buffer(static_cast<size_t>(maxLength) + 1, '\0');
    GetWindowTextA(control, buffer.data(), maxLength + 1);
    return std::string(buffer.data());
}

void DataExchange::Text(int id, std::string& value, int maxLength) {
    const HWND edit = GetDlgItem(dialog_, id);
    SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
    if (saving_) {
        value = ControlText(edit, maxLength);
    } else {
        SetWindowTextA(edit, value.c_str());
    }
}

}  // namespace fw

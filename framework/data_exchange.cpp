#include "framework/data_exchange.h"

#include <vector>

namespace fw {

void DataExchange::Check(int id, int32_t& value) {
    if (saving_)
        value = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
    else
        CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void DataExchange::Text(int id, std::string& value, int maxLength) {
    const HWND edit = GetDlgItem(dialog_, id);
    SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
    if (saving_) {
        const int length = GetWindowTextLengthA(edit);
        std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
        GetWindowTextA(edit, buffer.data(), length + 1);
        value.assign(buffer.data());
        if (value.size() > static_cast<size_t>(maxLength)) value.resize(static_cast<size_t>(maxLength));
    } else {
        SetWindowTextA(edit, value.c_str());
    }
}

}  // namespace fw

// A drop-down list of a dialog, by handle; one message per call.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

class ComboBox {
public:
    explicit ComboBox(HWND hwnd) : hwnd_(hwnd) {}

    void ResetContent() { SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0); }
    int AddString(const std::string& text) {
        return static_cast<int>(SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCurSel() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)); }
    void SetCurSel(int index) { SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int GetCount() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }

    // Empties the list and adds the texts in order; nothing is selected afterwards.
    void Fill(const std::vector<std::string>& texts) {
        ResetContent();
        for (const std::string& text : texts) AddString(text);
    }

private:
    HWND hwnd_;
};

}  // namespace fw

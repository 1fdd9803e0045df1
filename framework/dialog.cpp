#include "framework/dialog.h"

#include "framework/window.h"

#include <new>

namespace fw {

INT_PTR Dialog::DoModal(HWND owner) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, &Dialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::UpdateData(bool saveAndValidate) {
    if (hwnd_ == nullptr) return false;
    DataExchange dx(hwnd_, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        try {
            return self->OnInitDialog();
        } catch (const std::bad_alloc&) {
            return TRUE;  // as below: the work is skipped, the dialog still opens
        }
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;

    if (msg == WM_NCDESTROY) self->hwnd_ = nullptr;
    try {
        return self->Route(hwnd, msg, wParam, lParam);
    } catch (const std::bad_alloc&) {
        // Memory ran out in a handler: skip its work, the dialog's default stands in.
        return msg == WM_DRAWITEM ? TRUE : FALSE;
    }
}

INT_PTR Dialog::Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM) {
        // Owner-drawn controls paint themselves.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        Window* control = Window::FromHandle(item->hwndItem);
        if (control != nullptr && control->DrawItem(*item)) return TRUE;
    }

    LRESULT result = 0;
    if (ProcessWindowMessage(msg, wParam, lParam, result)) {
        // Messages whose answer is the procedure's own return value.
        switch (msg) {
            case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
            case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
                return static_cast<INT_PTR>(result);
        }
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace fw

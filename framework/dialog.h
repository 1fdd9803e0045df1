// A modal dialog from a dialog template. `this` lives in the dialog's user data from
// WM_INITDIALOG on; messages reach ProcessWindowMessage, the class's message map;
// owner-draw requests are reflected to the control objects attached to the dialog.
#pragma once

#include <windows.h>

#include <string>

#include "framework/data_exchange.h"

namespace fw {

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; IDOK, IDCANCEL or what EndDialog was given; -1 on failure.
    INT_PTR DoModal(HWND owner);

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // The text of control `id`, at most `maxLength` characters.
    std::string ItemText(int id, int maxLength) const { return ControlText(Item(id), maxLength); }
    void EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

    // Runs the data exchange; false when the dialog has no window.
    bool UpdateData(bool saveAndValidate);

protected:
    virtual void DoDataExchange(DataExchange& dx);
    // Default: exchange into the controls; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    // Default: exchange out of the controls, then end with IDOK.
    virtual void OnOK();
    // Default: end with IDCANCEL.
    virtual void OnCancel();
    // The message map: true when handled, with the message's result in `result`.
    // WM_COMMAND for IDOK and IDCANCEL reaches OnOK and OnCancel when the map leaves it.
    virtual bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Owner drawing, the message map, then Ok and Cancel; may throw std::bad_alloc.
    INT_PTR Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND hwnd_ = nullptr;
};

}  // namespace fw

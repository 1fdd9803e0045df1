// A push button of a dialog template taken over by an object, so that custom controls can
// handle their own mouse messages and paint themselves.
#pragma once

#include "framework/window.h"

namespace fw {

class Button : public Window {
public:
    // Takes over the dialog's control `id`.
    bool Attach(HWND dialog, int id) { return Subclass(GetDlgItem(dialog, id)); }
    bool IsChecked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
};

}  // namespace fw

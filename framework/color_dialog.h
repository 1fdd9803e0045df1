// The system's colour dialog, fully opened, with one table of custom colours for the whole
// run of the program (not saved).
#pragma once

#include <windows.h>

namespace fw {

class ColorDialog {
public:
    ColorDialog(COLORREF initial, HWND owner) : color_(initial), owner_(owner) {}

    bool DoModal();
    COLORREF GetColor() const { return color_; }

private:
    COLORREF color_;
    HWND owner_;
};

}  // namespace fw

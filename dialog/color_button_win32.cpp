#include "dialog/color_button_win32.h"

void ColorButton::SetColor(uint32_t color) {
    color_ = color;
    if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, TRUE);
}

bool ColorButton::DrawItem(const DRAWITEMSTRUCT& item) {
    // The packed form is the platform's own colour layout.
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color_ & 0x00FFFFFFu));
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    return true;
}

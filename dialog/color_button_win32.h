// A colour slot's button: painted all over in its colour, nothing else.
#pragma once

#include <cstdint>

#include "framework/button.h"

class ColorButton : public fw::Button {
public:
    // Stores the packed colour (red lowest) and repaints.
    void SetColor(uint32_t color);
    uint32_t Color() const { return color_; }

    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    uint32_t color_ = 100 + 256 * 100 + 65536 * 100;  // mid grey until the dialog sets it
};

// The light angle editor: a blue sphere lit from the current light direction; pressing or
// dragging on it points the light.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/button.h"
#include "render/graphics.h"
#include "render/shape_shading.h"

class LighAnglesEditor : public fw::Button {
public:
    LighAnglesEditor();

    // Takes the light direction from the live settings and redraws the sphere.
    void RedrawFromSettings();

    bool DrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void SetDirectionFromPoint(int32_t x, int32_t y);
    // The sphere's radius from the client size; known before the first paint, since the
    // pointer may come first.
    void MeasureRadius();
    void RedrawPicture();

    std::unique_ptr<Graphics> surface_;
    ShapeImageParams params_;
    int32_t radius_ = 0;
    int32_t dragging_ = 0;
    HCURSOR cursor_;
    std::vector<uint32_t> paintRows_;
};

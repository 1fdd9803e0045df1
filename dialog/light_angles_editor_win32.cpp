#include "dialog/light_angles_editor_win32.h"

#include <windowsx.h>

#include <algorithm>

#include "app/settings.h"
#include "dialog/pointer_controls.h"
#include "render/button_image_creator.h"
#include "render/paint_win32.h"
#include "resources/resource_ids.h"

LighAnglesEditor::LighAnglesEditor()
    : params_{1.0f, 1.0f, -1.0f, 0x00FF0000, 0x00FFFFFF, 0.4f, 0.995f, 0.6f, 4, 8, 0, 8, 0, 0},
      cursor_(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LIGHT_EDITOR))) {}

void LighAnglesEditor::RedrawFromSettings() { RedrawPicture(); }

bool LighAnglesEditor::DrawItem(const DRAWITEMSTRUCT&) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (!surface_) {
        surface_.reset(createSurface(client.right, client.bottom, 32, nullptr));
        MeasureRadius();
        RedrawPicture();
    }
    if (surface_) paintToWindow(*surface_, Handle(), client, &paintRows_);
    return true;
}

void LighAnglesEditor::RedrawPicture() {
    if (!surface_) return;
    params_.lightX = theSettings.angleX;
    params_.lightY = theSettings.angleY;
    params_.lightZ = theSettings.angleZ;
    auto* creator = new ButtonImageCreator(params_);
    creator->AddRef();
    const int32_t c = (surface_->width - creator->GetImage().descriptor.width) / 2;
    drawImage(*surface_, creator->GetImage().descriptor, c, c, 255, &creator->GetImage().runs);
    InvalidateRect(Handle(), nullptr, FALSE);
    Release(creator);
}

void LighAnglesEditor::MeasureRadius() {
    RECT client;
    GetClientRect(Handle(), &client);
    radius_ = std::min(client.right, client.bottom) / 2 - 3;
    params_.outerSize = radius_;
    params_.innerSize = radius_;
}

void LighAnglesEditor::SetDirectionFromPoint(int32_t x, int32_t y) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (radius_ == 0) MeasureRadius();
    const LightDirection d = DirectionFromPoint(x, y, client.right, radius_);
    params_.lightX = theSettings.angleX = d.x;
    params_.lightY = theSettings.angleY = d.y;
    params_.lightZ = theSettings.angleZ = d.z;
    theRunState.rebuildImages = 1;
}

bool LighAnglesEditor::ProcessWindowMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        // The button class takes double clicks: a quick second press comes as one.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCursor(cursor_);
            dragging_ = 1;
            SetCapture(Handle());
            SetDirectionFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            RedrawPicture();
            return false;
        case WM_MOUSEMOVE:
            SetCursor(cursor_);
            if (dragging_ == 1) {
                SetDirectionFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                RedrawPicture();
            }
            return false;
        case WM_LBUTTONUP:
            dragging_ = 0;
            ReleaseCapture();
            // A release alone points the light too.
            SetDirectionFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            RedrawPicture();
            return false;
        // The capture taken away: stop following the pointer, or a mere hover would move
        // the light. The button's own press handling takes the capture again for this same
        // window: that is no loss.
        case WM_CANCELMODE:
            if (dragging_ == 1 && GetCapture() == Handle()) ReleaseCapture();
            dragging_ = 0;
            return false;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != Handle()) dragging_ = 0;
            return false;
        case WM_SETCURSOR:
            SetCursor(cursor_);
            result = TRUE;
            return true;
    }
    return false;
}

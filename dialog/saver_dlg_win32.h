// The configuration dialog: edits the live settings directly beside a live preview, and
// hosts the preset controls.
#pragma once

#include <cstdint>

#include "app/draw_wnd_win32.h"
#include "dialog/color_button_win32.h"
#include "dialog/light_angles_editor_win32.h"
#include "dialog/spinner_center_win32.h"
#include "framework/dialog.h"

// Shown in the caption and the help box.
constexpr char kTagline[] = "Shaded shapes, never cleared";
constexpr char kEditionWord[] = "Ring";

class CSaverDlg : public fw::Dialog, public SpinnerCenterListener {
public:
    CSaverDlg();

    void Spin(int32_t delta, uint32_t index) override;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool OnCommand(int id, int code);
    void OnHScroll(HWND trackbar);
    void OnMove();
    bool OnPaint();

    void RefreshControls();
    void FillPresetList();
    void SetTrackbar(int id, int32_t min, int32_t max, int32_t position);
    void MoveTrackbar(int id, int32_t position);

    void OnSwitch(int slot);
    void OnColor(int slot);
    void OnResetColors();
    void OnResetRender();
    void OnBound();
    void OnSphere();
    void OnTorus();
    void OnPresetChosen();
    void OnRandomly();
    void OnSave();
    void OnDelete();
    void OnExport();
    void OnImport();
    void OnHelp();

    SpinnerCenter radialSpinner_;  // control 1049
    SpinnerCenter roundSpinner_;   // control 1048
    LighAnglesEditor lightEditor_;
    ColorButton colorButtons_[kShapeSlots];  // slot i on control 1019 + 2i
    int32_t randomly_ = 0;
    HICON icon_;
    CDrawWnd preview_{0};
    bool controlsAttached_ = false;
};

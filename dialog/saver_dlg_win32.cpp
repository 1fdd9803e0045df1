#include "dialog/saver_dlg_win32.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "dialog/settings_edits.h"
#include "framework/color_dialog.h"
#include "framework/combo_box.h"
#include "framework/file_dialog.h"
#include "presets/apply_preset.h"
#include "presets/delete_preset_win32.h"
#include "presets/export_preset_dialog_win32.h"
#include "presets/preset_store.h"
#include "presets/save_dialog_win32.h"
#include "resources/resource_ids.h"

namespace {

int SwitchId(int slot) { return IDC_SWITCH0 + 2 * slot; }
int ColorId(int slot) { return IDC_COLOR0 + 2 * slot; }

// Pauses the preview while a modal window of ours is open. A move of the dialog just
// before would otherwise end this pause too, 150 ms after the move.
class PreviewPause {
public:
    PreviewPause() {
        theRunState.stopDrawing = 1;
        theRunState.resumePending = 0;
    }
    ~PreviewPause() { theRunState.stopDrawing = 0; }
    PreviewPause(const PreviewPause&) = delete;
    PreviewPause& operator=(const PreviewPause&) = delete;
};

}  // namespace

CSaverDlg::CSaverDlg() : fw::Dialog(IDD_SAVER_DIALOG), icon_(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SAVER))) {}

void CSaverDlg::DoDataExchange(fw::DataExchange& dx) {
    if (!controlsAttached_) {
        controlsAttached_ = true;
        radialSpinner_.Attach(dx.Dialog(), IDC_RADIAL_SPINNER);
        roundSpinner_.Attach(dx.Dialog(), IDC_ROUND_SPINNER);
        lightEditor_.Attach(dx.Dialog(), IDC_LIGHT_ANGLE);
        for (int slot = kShapeSlots - 1; slot >= 0; --slot) colorButtons_[slot].Attach(dx.Dialog(), ColorId(slot));
    }
    dx.Check(IDC_RANDOMLY, randomly_);
}

BOOL CSaverDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    const std::string caption = std::string(kTagline) + " - Tindelborg Screen Saver 2.0 - " + kEditionWord + " edition";
    SetWindowTextA(Handle(), caption.c_str());

    RECT area;
    GetWindowRect(Item(IDC_PREVIEW_AREA), &area);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&area), 2);
    preview_.Create(0, WS_CHILD | WS_VISIBLE, area, Handle());

    // Centred over the owner, or over the screen without one.
    RECT self, over;
    GetWindowRect(Handle(), &self);
    const HWND owner = GetWindow(Handle(), GW_OWNER);
    if (owner != nullptr)
        GetWindowRect(owner, &over);
    else
        over = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int w = self.right - self.left, h = self.bottom - self.top;
    SetWindowPos(Handle(), nullptr, over.left + (over.right - over.left - w) / 2,
                 over.top + (over.bottom - over.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    RefreshControls();
    roundSpinner_.SetListener(this, 0);
    radialSpinner_.SetListener(this, 1);
    FillPresetList();
    randomly_ = theSettings.randomly;
    UpdateData(false);
    return TRUE;
}

bool CSaverDlg::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_SYSCOMMAND: return false;
        case WM_PAINT: return OnPaint();
        case WM_QUERYDRAGICON: result = reinterpret_cast<LRESULT>(icon_); return true;
        case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_HSCROLL: OnHScroll(reinterpret_cast<HWND>(lParam)); return false;
        case WM_LBUTTONDOWN: return false;
        case WM_MOVE: OnMove(); return false;
    }
    return false;
}

bool CSaverDlg::OnCommand(int id, int code) {
    if (id >= IDC_SWITCH0 && id <= SwitchId(kShapeSlots - 1) && (id - IDC_SWITCH0) % 2 == 0) {
        if (code == BN_CLICKED) OnSwitch((id - IDC_SWITCH0) / 2);
        return code == BN_CLICKED;
    }
    if (id >= IDC_COLOR0 && id <= ColorId(kShapeSlots - 1) && (id - IDC_COLOR0) % 2 == 0) {
        if (code == BN_CLICKED) OnColor((id - IDC_COLOR0) / 2);
        return code == BN_CLICKED;
    }
    if (id == IDC_PRESET_LIST) {
        if (code == CBN_SELCHANGE) OnPresetChosen();
        return code == CBN_SELCHANGE;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_DELETE: OnDelete(); return true;
        case IDC_RESET_COLORS: OnResetColors(); return true;
        case IDC_SAVE: OnSave(); return true;
        case IDC_BOUND: OnBound(); return true;
        case IDC_SPHERE: OnSphere(); return true;
        case IDC_TORUS: OnTorus(); return true;
        case IDC_RESET_RENDER: OnResetRender(); return true;
        case IDC_ROUND_MINUS: StepSpeed(theSettings, SpeedColumn::Round, -1); return true;
        case IDC_ROUND_PLUS: StepSpeed(theSettings, SpeedColumn::Round, +1); return true;
        case IDC_RADIAL_PLUS: StepSpeed(theSettings, SpeedColumn::Radial, +1); return true;
        case IDC_RADIAL_MINUS: StepSpeed(theSettings, SpeedColumn::Radial, -1); return true;
        case IDC_HELP_BUTTON: OnHelp(); return true;
        case IDC_EXPORT: OnExport(); return true;
        case IDC_IMPORT: OnImport(); return true;
        case IDC_RANDOMLY: OnRandomly(); return true;
    }
    return false;  // OK and Cancel reach OnOK and OnCancel
}

void CSaverDlg::Spin(int32_t delta, uint32_t index) { ::Spin(theSettings, delta, index); }

void CSaverDlg::OnHScroll(HWND trackbar) {
    const int32_t position = static_cast<int32_t>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
    switch (GetDlgCtrlID(trackbar)) {
        case IDC_SIZE1:
            MoveSize1(theSettings, theRunState, position);
            if (theSettings.bound != 0) MoveTrackbar(IDC_SIZE2, theSettings.size1);
            break;
        case IDC_SIZE2:
            MoveSize2(theSettings, theRunState, position);
            if (theSettings.bound != 0) MoveTrackbar(IDC_SIZE1, theSettings.size2);
            break;
        case IDC_PHONG: MovePhong(theSettings, theRunState, position); break;
        case IDC_MIRROR: MoveMirror(theSettings, theRunState, position); break;
        case IDC_AMBIENT: MoveAmbient(theSettings, theRunState, position); break;
    }
}

void CSaverDlg::OnMove() {
    // Dragging the dialog freezes the preview until it has rested for a moment.
    theRunState.stopDrawing = 1;
    theRunState.resumePending = 1;
    theRunState.moveTime = timeGetTime();
}

bool CSaverDlg::OnPaint() {
    if (!IsIconic(Handle())) return false;
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle(), &ps);
    SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(Handle(), &ps);
    return true;
}

void CSaverDlg::SetTrackbar(int id, int32_t min, int32_t max, int32_t position) {
    const HWND trackbar = Item(id);
    SendMessageA(trackbar, TBM_SETRANGEMIN, FALSE, min);
    SendMessageA(trackbar, TBM_SETRANGEMAX, FALSE, max);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);  // out-of-range values show at the nearer end
}

void CSaverDlg::MoveTrackbar(int id, int32_t position) { SendMessageA(Item(id), TBM_SETPOS, TRUE, position); }

void CSaverDlg::RefreshControls() {
    const SaverSettings& s = theSettings;
    for (int slot = 0; slot < kShapeSlots; ++slot) {
        CheckDlgButton(Handle(), SwitchId(slot), s.switches[slot] != 0 ? BST_CHECKED : BST_UNCHECKED);
        colorButtons_[slot].SetColor(PackColor(s.color[slot]));
    }
    SetTrackbar(IDC_SIZE1, kSizeMin, kSizeMax, s.size1);
    SetTrackbar(IDC_SIZE2, kSizeMin, kSizeMax, s.size2);
    SetTrackbar(IDC_PHONG, kPhongMin, kPhongMax, s.phong);
    SetTrackbar(IDC_MIRROR, kPercentMin, kPercentMax, PercentPosition(s.mirror));
    SetTrackbar(IDC_AMBIENT, kPercentMin, kPercentMax, PercentPosition(s.ambient));
    CheckDlgButton(Handle(), IDC_BOUND, s.bound != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(Item(IDC_BOUND), s.shape == 0);
    CheckDlgButton(Handle(), IDC_SPHERE, s.shape == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_TORUS, s.shape != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void CSaverDlg::FillPresetList() { fw::ComboBox(Item(IDC_PRESET_LIST)).Fill(PresetNames(thePresetStore)); }

void CSaverDlg::OnSwitch(int slot) { ToggleSwitch(theSettings, slot); }

void CSaverDlg::OnColor(int slot) {
    fw::ColorDialog chooser(PackColor(theSettings.color[slot]), Handle());
    PreviewPause pause;
    if (!chooser.DoModal()) return;
    const uint32_t c = chooser.GetColor();
    theSettings.color[slot] = UnpackColor(c);
    colorButtons_[slot].SetColor(c & 0x00FFFFFFu);
    theRunState.rebuildImages = 1;
}

void CSaverDlg::OnResetColors() {
    ResetColors(theSettings, theRunState);
    for (int slot = 0; slot < kShapeSlots; ++slot) colorButtons_[slot].SetColor(PackColor(theSettings.color[slot]));
}

void CSaverDlg::OnResetRender() {
    ResetRenderOptions(theSettings, theRunState);
    RefreshControls();
}

void CSaverDlg::OnBound() {
    SetBound(theSettings, theRunState, IsDlgButtonChecked(Handle(), IDC_BOUND) == BST_CHECKED);
    if (theSettings.bound == 1) MoveTrackbar(IDC_SIZE2, theSettings.size1);
}

void CSaverDlg::OnSphere() {
    ChooseSphere(theSettings, theRunState);
    CheckDlgButton(Handle(), IDC_SPHERE, BST_CHECKED);
    EnableWindow(Item(IDC_BOUND), TRUE);
}

void CSaverDlg::OnTorus() {
    ChooseTorus(theSettings, theRunState);
    CheckDlgButton(Handle(), IDC_TORUS, BST_CHECKED);
    CheckDlgButton(Handle(), IDC_BOUND, BST_UNCHECKED);
    EnableWindow(Item(IDC_BOUND), FALSE);
    MoveTrackbar(IDC_SIZE1, theSettings.size1);
    MoveTrackbar(IDC_SIZE2, theSettings.size2);
}

void CSaverDlg::OnPresetChosen() {
    const int selected = fw::ComboBox(Item(IDC_PRESET_LIST)).GetCurSel();
    if (selected < 0) return;
    ApplyPreset(thePresetStore, selected, theSettings, theRunState);
    RefreshControls();
    theRunState.rebuildImages = 1;
    lightEditor_.RedrawFromSettings();
}

void CSaverDlg::OnRandomly() {
    UpdateData(true);
    theSettings.randomly = randomly_;
}

void CSaverDlg::OnSave() {
    PreviewPause pause;
    SaveDialog dialog;
    if (dialog.DoModal(Handle()) == IDOK) FillPresetList();
}

void CSaverDlg::OnDelete() {
    PreviewPause pause;
    DeletePreset dialog;
    dialog.DoModal(Handle());
    FillPresetList();
}

void CSaverDlg::OnExport() {
    PreviewPause pause;
    ExportPresetDialog dialog;
    dialog.DoModal(Handle());
}

void CSaverDlg::OnImport() {
    PreviewPause pause;
    fw::FileDialog chooser(true, "pre", kPresetFileFilter, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, Handle());
    if (!chooser.DoModal()) return;
    ReadPresetFile(thePresetStore, chooser.PathName());
    FillPresetList();
}

void CSaverDlg::OnHelp() {
    PreviewPause pause;
    char text[256];
    std::snprintf(text, sizeof text,
                  "Tindelborg Screen Saver %s version 2.0\n\nTo get help or some useful advices, open Tindelborg "
                  "Help from Start Menu",
                  kEditionWord);
    MessageBoxA(Handle(), text, "About/Help", MB_OK);
}

void CSaverDlg::OnOK() {
    theRunState.stopDrawing = 1;  // and it stays set: the preview is done
    fw::Dialog::OnOK();
}

void CSaverDlg::OnCancel() {
    theRunState.stopDrawing = 1;
    fw::Dialog::OnCancel();
}

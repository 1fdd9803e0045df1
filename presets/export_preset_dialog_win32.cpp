#include "presets/export_preset_dialog_win32.h"

#include "framework/combo_box.h"
#include "framework/file_dialog.h"
#include "presets/preset_holder.h"
#include "presets/preset_store.h"
#include "resources/resource_ids.h"

namespace {
// Longest file name the field holds: a full path.
constexpr int kFileNameMax = 32767;
}

ExportPresetDialog::ExportPresetDialog() : fw::Dialog(IDD_EXPORT_PRESET) {}

void ExportPresetDialog::DoDataExchange(fw::DataExchange& dx) { dx.Text(IDC_EXPORT_FILE, fileName_, kFileNameMax); }

BOOL ExportPresetDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    fw::ComboBox(Item(IDC_PRESET_LIST)).Fill(PresetNames(thePresetStore));
    EnableWindow(Item(IDOK), FALSE);
    return TRUE;
}

bool ExportPresetDialog::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg != WM_COMMAND) return false;
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if ((id == IDC_EXPORT_FILE && code == EN_CHANGE) || (id == IDC_PRESET_LIST && code == CBN_SELCHANGE)) {
        ApplyEnablingRule();
        return true;
    }
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        OnBrowse();
        return true;
    }
    return false;
}

void ExportPresetDialog::ApplyEnablingRule() {
    const bool named = IsAcceptableName(ItemText(IDC_EXPORT_FILE, static_cast<int>(kPresetNameMax)));
    const bool chosen = fw::ComboBox(Item(IDC_PRESET_LIST)).GetCurSel() >= 0;
    EnableWindow(Item(IDOK), named && chosen);
}

void ExportPresetDialog::OnBrowse() {
    fw::FileDialog chooser(false, "pre", kPresetFileFilter, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, Handle());
    if (chooser.DoModal()) {
        fileName_ = chooser.PathName();
        UpdateData(false);
    }
    ApplyEnablingRule();
}

void ExportPresetDialog::OnOK() {
    const std::string path = ItemText(IDC_EXPORT_FILE, kFileNameMax);
    const int selected = fw::ComboBox(Item(IDC_PRESET_LIST)).GetCurSel();
    // Closes with OK whether or not the file could be written, as the dialog always has.
    if (selected >= 0) WritePresetFile(thePresetStore, selected, path);
    EndDialog(IDOK);
}

#include "presets/save_dialog_win32.h"

#include "app/settings.h"
#include "presets/preset_holder.h"
#include "presets/preset_store.h"
#include "resources/resource_ids.h"

SaveDialog::SaveDialog() : fw::Dialog(IDD_SAVE_PRESET) {}

void SaveDialog::DoDataExchange(fw::DataExchange& dx) {
    // The record keeps 49 characters: the field takes no more, so what is seen is stored.
    dx.Text(IDC_PRESET_NAME, name_, static_cast<int>(kPresetNameMax));
}

BOOL SaveDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    EnableWindow(Item(IDOK), FALSE);
    return TRUE;
}

bool SaveDialog::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_PRESET_NAME && HIWORD(wParam) == EN_CHANGE) {
        EnableWindow(Item(IDOK), IsAcceptableName(ItemText(IDC_PRESET_NAME, static_cast<int>(kPresetNameMax))));
        return true;
    }
    return false;
}

void SaveDialog::OnOK() {
    const std::string name = ItemText(IDC_PRESET_NAME, static_cast<int>(kPresetNameMax));
    AddPreset(thePresetStore, MakePresetFromSettings(name, theSettings));
    EndDialog(IDOK);
}

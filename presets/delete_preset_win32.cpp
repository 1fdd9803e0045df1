#include "presets/delete_preset_win32.h"

#include <string>

#include "framework/combo_box.h"
#include "presets/preset_store.h"
#include "resources/resource_ids.h"

DeletePreset::DeletePreset() : fw::Dialog(IDD_DELETE_PRESET) {}

BOOL DeletePreset::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    FillList();
    return TRUE;
}

void DeletePreset::FillList() { fw::ComboBox(Item(IDC_PRESET_LIST)).Fill(PresetNames(thePresetStore)); }

bool DeletePreset::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    // Only a confirmed choice deletes; merely moving the selection does nothing.
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_PRESET_LIST && HIWORD(wParam) == CBN_SELENDOK) {
        OnChoiceConfirmed();
        return true;
    }
    return false;
}

void DeletePreset::OnChoiceConfirmed() {
    const int selected = fw::ComboBox(Item(IDC_PRESET_LIST)).GetCurSel();
    if (selected < 0 || selected >= thePresetStore.Count()) return;
    const std::string text = "Delete preset " + PresetNames(thePresetStore)[static_cast<size_t>(selected)] + " ?";
    if (MessageBoxA(Handle(), text.c_str(), "Confirm delete", MB_YESNO) != IDYES) return;
    RemovePreset(thePresetStore, selected);
    FillList();
}

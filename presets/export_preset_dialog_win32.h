// "Export preset to a file": writes one preset of the store to a file of its own.
#pragma once

#include <string>

#include "framework/dialog.h"

// The file dialogs' filter for preset files.
constexpr char kPresetFileFilter[] = "Tindelborg Preset Files (*.pre)|*.pre||";

class ExportPresetDialog : public fw::Dialog {
public:
    ExportPresetDialog();

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ApplyEnablingRule();
    void OnBrowse();

    std::string fileName_;
};

// "Delete preset(s)": removes presets one at a time, each after a confirmation.
#pragma once

#include "framework/dialog.h"

class DeletePreset : public fw::Dialog {
public:
    DeletePreset();

protected:
    BOOL OnInitDialog() override;
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnChoiceConfirmed();
    void FillList();
};

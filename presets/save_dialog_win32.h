// "Save current animation as preset": names the live settings and appends them to the store.
#pragma once

#include <string>

#include "framework/dialog.h"

class SaveDialog : public fw::Dialog {
public:
    SaveDialog();

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::string name_;
};

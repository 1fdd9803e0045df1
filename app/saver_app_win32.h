// The application object: loads the settings and the presets, decides the run mode from
// the command line and creates that mode's one window.
#pragma once

#include "framework/application.h"

class CSaverApp : public fw::Application {
public:
    bool InitInstance() override;
    int FailureStatus() const override { return failureStatus_; }

private:
    bool StartPreview(uintptr_t parentHandle, bool hasParent);
    bool StartFullScreen();
    void RunConfiguration();

    int failureStatus_ = 0;
};

// The application object: loads the settings and the presets, decides the run mode from
// the command line and creates that mode's one window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    std::string storeFile_;           // the store loaded at start; empty when there was none
    bool storeWhole_ = true;          // it held exactly the records its count names
    std::vector<uint8_t> loaded_;     // what a store not whole gave, to tell whether the user changed it
};

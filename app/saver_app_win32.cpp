#include "app/saver_app_win32.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/draw_wnd_win32.h"
#include "app/file_system_win32.h"
#include "app/saver_wnd_win32.h"
#include "app/settings.h"
#include "app/store_files_win32.h"
#include "dialog/saver_dlg_win32.h"
#include "framework/registry_profile.h"
#include "presets/preset_store.h"
#include "presets/profile_forms.h"

namespace {
// Status of a program started with a command line it cannot use.
constexpr int kBadCommandLine = 1;
}  // namespace

bool CSaverApp::InitInstance() {
    static Win32FileSystem files;
    UseFileSystem(files);
    // Dialog controls look three-dimensional by themselves on every 32- and 64-bit Windows.
    SetRegistryKey("Pellucid Works");
    fw::RegistryProfile profile(RegistryHome());
    LoadProfile(profile, theSettings);
    storeFile_ = StoreLoadPath(ThisProgramsStoreFolders(AppName()), DefaultFileSystem());
    // A store that could not be read whole is never written back: that would lose the
    // records it holds beyond what was read. No file at all is a store to start.
    storeWhole_ = storeFile_.empty();
    if (!storeFile_.empty()) LoadStore(thePresetStore, storeFile_, DefaultFileSystem(), &storeWhole_);
    if (!storeWhole_) loaded_ = EncodeStore(thePresetStore);

    const RunModeDecision decision = DecideRunMode(__argc, __argv);
    switch (decision.mode) {
        case RunMode::Preview:
            return StartPreview(decision.parentHandle, decision.hasParent);
        case RunMode::FullScreen:
            return StartFullScreen();
        case RunMode::Configure:
            RunConfiguration();
            return false;
        case RunMode::None:
            break;
    }
    failureStatus_ = kBadCommandLine;
    return false;
}

bool CSaverApp::StartPreview(uintptr_t parentHandle, bool hasParent) {
    const HWND parent = reinterpret_cast<HWND>(parentHandle);
    // Without a window to live in there is nothing to show: end at once, not wait forever.
    if (!hasParent || parent == nullptr || !IsWindow(parent)) {
        failureStatus_ = kBadCommandLine;
        return false;
    }
    theRunState.fullScreen = 0;
    theRunState.previewMode = 1;
    RECT client{};
    GetClientRect(parent, &client);
    auto* preview = new CDrawWnd(1);
    // The main window before it exists: its first burst runs inside the creation, and the
    // panel may destroy it there. Its destruction then posts the quit with status 0.
    mainWindow = preview;
    const bool created = preview->Create(0, WS_CHILD | WS_VISIBLE, client, parent);
    if (mainWindow == nullptr) return true;  // already gone: the loop ends at once with 0
    if (!created) {
        // No window ever existed, so the object is still ours. A host that vanished just
        // now is the panel closing, not a bad command line.
        mainWindow = nullptr;
        delete preview;
        failureStatus_ = IsWindow(parent) ? kBadCommandLine : 0;
        return false;
    }
    return true;
}

bool CSaverApp::StartFullScreen() {
    theRunState.previewMode = 0;
    theRunState.fullScreen = 1;
    auto* saver = new CSaverWnd();
    if (!saver->CreateFullScreen()) {  // as for the preview, never deleted here
        failureStatus_ = kBadCommandLine;
        return false;
    }
    mainWindow = saver;
    return true;
}

void CSaverApp::RunConfiguration() {
    theRunState.fullScreen = 0;
    theRunState.previewMode = 0;
    // The trackbars live in the common controls library.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    CSaverDlg dialog;
    if (dialog.DoModal(nullptr) != IDOK) return;  // Cancel writes nothing
    fw::RegistryProfile profile(RegistryHome());
    SaveProfile(profile, theSettings);
    if (storeWhole_) {
        SaveStoreFile(thePresetStore, ThisProgramsStoreFolders(AppName()), DefaultFileSystem());
        return;
    }
    if (EncodeStore(thePresetStore) == loaded_) return;  // nothing the user did is lost
    const std::string text = "The presets file " + storeFile_ +
                             " could not be read whole, so it was left as it is. The presets saved, deleted or "
                             "imported this time are not kept.";
    MessageBoxA(nullptr, text.c_str(), AppName().c_str(), MB_OK | MB_ICONWARNING);
}

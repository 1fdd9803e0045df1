// Full screen and preview read the settings and the presets but never write them.
#include <string>

#include "cases.h"
#include "check.h"
#include "host_window.h"
#include "input.h"
#include "poll.h"
#include "preset_store.h"
#include "registry.h"
#include "saver.h"

namespace {

// A few values only (a saved profile would add the missing ones), the random option on
// so that full screen applies a preset, and store files with an old time stamp.
void PrepareSettings(bool userCopy) {
    WriteNumber(L"randomly", 1);
    WriteNumber(L"switches", 3);
    WriteText(L"cbStep", "0.500000");
    PresetRecord preset;
    preset.name = "kept as it is";
    preset.cbStep = 0.3f;
    preset.csStep = 0.02f;
    preset.switches[1] = 1;
    WriteFileBytes(WindowsStorePath(), EncodeStore({preset}));
    BackdateFile(WindowsStorePath());
    if (userCopy) {
        preset.name = "the user's own";
        WriteFileBytes(UserStorePath(), EncodeStore({preset, preset}));
        BackdateFile(UserStorePath());
    }
}

struct Stored {
    std::vector<RegistryValue> registry;
    std::optional<std::vector<uint8_t>> windowsStore;
    std::optional<std::vector<uint8_t>> userStore;
    uint64_t windowsTime = 0;
    uint64_t userTime = 0;
};

Stored ReadStored() {
    return Stored{SnapshotSaverValues(), ReadFileBytes(WindowsStorePath()), ReadFileBytes(UserStorePath()),
                  LastWriteTime(WindowsStorePath()), LastWriteTime(UserStorePath())};
}

void ExpectUnchanged(const Stored& before, const char* mode) {
    const Stored after = ReadStored();
    const std::string diff = DiffSnapshots(before.registry, after.registry);
    Expect(diff.empty(), Format("%s wrote to the registry: %s", mode, diff.c_str()));
    Expect(after.windowsStore == before.windowsStore && after.windowsTime == before.windowsTime,
           Format("%s wrote %s", mode, Narrow(WindowsStorePath()).c_str()));
    if (before.userStore) {
        Expect(after.userStore == before.userStore && after.userTime == before.userTime,
               Format("%s wrote %s", mode, Narrow(UserStorePath()).c_str()));
    } else {
        Expect(!after.userStore, Format("%s created %s", mode, Narrow(UserStorePath()).c_str()));
    }
}

void ExpectFullScreenWritesNothing(bool userCopy) {
    PrepareSettings(userCopy);
    const Stored before = ReadStored();
    {
        auto saver = StartSaver({L"/s"});
        HWND window = WaitForFullScreenWindow(*saver);
        WaitForDrawing(*saver);
        PostKeyDown(window, 'A');
        ExpectEndsWithStatus(*saver, 0, "a key press");
    }
    ExpectUnchanged(before, "full screen");
}

}  // namespace

E2E_CASE(no_writes, full_screen_writes_nothing) { ExpectFullScreenWritesNothing(false); }
E2E_CASE(no_writes, full_screen_leaves_user_store_alone) { ExpectFullScreenWritesNothing(true); }

E2E_CASE(no_writes, preview_writes_nothing) {
    PrepareSettings(true);
    const Stored before = ReadStored();
    {
        HostWindow host(320, 240);
        auto saver = StartSaver({L"/p", HandleText(host.Handle())});
        WaitForPreviewChild(*saver, host.Handle());
        host.Destroy();
        ExpectEndsWithStatus(*saver, 0, "the host window was destroyed");
    }
    ExpectUnchanged(before, "the preview");
}

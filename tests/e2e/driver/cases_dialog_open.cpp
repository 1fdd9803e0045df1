// The configuration dialog as it opens: how it is started, its caption, the live preview
// in place, every control showing the stored settings, and how it closes.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "cases.h"
#include "check.h"
#include "dialog_driver.h"
#include "dialog_expect.h"
#include "dialog_pixels.h"
#include "dialog_saved.h"
#include "input.h"
#include "poll.h"
#include "preset_store.h"
#include "profile.h"
#include "registry.h"
#include "screen.h"
#include "window_search.h"

namespace {

void ExpectOpensAndCancels(const std::vector<std::wstring>& args) {
    ConfigDialog dialog(args);
    const WindowInfo info = Describe(dialog.Handle());
    Expect(info.title == kDialogCaption, Format("with %s the dialog's caption is \"%s\", expected \"%s\"",
                                                DescribeArgs(args).c_str(), Narrow(info.title).c_str(),
                                                Narrow(kDialogCaption).c_str()));
    Expect((info.style & WS_CAPTION) == WS_CAPTION && (info.style & WS_SYSMENU) != 0 &&
               (info.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0,
           "the dialog should have a caption and a close box but no minimise or maximise box: " +
               DescribeForMessage(info));
    // Without an owner it is centred on the screen, and the first tab stop, Ok, has the focus.
    const SIZE screen = ScreenSize();
    const LONG width = info.rect.right - info.rect.left, height = info.rect.bottom - info.rect.top;
    Expect(info.rect.left == (screen.cx - width) / 2 && info.rect.top == (screen.cy - height) / 2,
           Format("the %ldx%ld dialog lies at (%ld,%ld), not centred on the %ldx%ld screen", width, height,
                  info.rect.left, info.rect.top, screen.cx, screen.cy));
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    HWND focus = nullptr;
    PollUntil([&] {
        focus = GetGUIThreadInfo(GetWindowThreadProcessId(dialog.Handle(), nullptr), &gui) ? gui.hwndFocus : nullptr;
        return focus == dialog.Item(dlg::kOk);
    });
    Expect(focus == dialog.Item(dlg::kOk),
           Format("the focus is on control %d, not on Ok", focus ? GetDlgCtrlID(focus) : 0));
    // The dialog paints its own face: the gap right of the Ok button shows the face colour.
    RECT ok;
    GetWindowRect(dialog.Item(dlg::kOk), &ok);
    const uint32_t face = GetSysColor(COLOR_BTNFACE);
    const uint32_t faceRgb = (face & 0xFF) << 16 | (face & 0xFF00) | (face >> 16 & 0xFF);
    uint32_t shown = 0;
    const bool painted = PollUntil([&] {
        shown = Screenshot::Capture().At(ok.right + 3, (ok.top + ok.bottom) / 2);
        return shown == faceRgb;
    });
    Expect(painted, Format("beside the Ok button the dialog shows %06x, not the face colour %06x", shown, faceRgb));
    Expect(dialog.Windows().size() == 1,
           Format("with %s the saver shows %zu windows, expected only its dialog", DescribeArgs(args).c_str(),
                  dialog.Windows().size()));
    dialog.PressCancel();
    Expect(SnapshotSaverValues().empty(), "Cancel wrote to the registry: " + DiffSnapshots({}, SnapshotSaverValues()));
}

// Settings that differ from the built-in ones in every control.
Profile StoredProfile() {
    Profile p;
    p.angleX = 0.25f;
    p.angleY = -0.5f;
    p.angleZ = -0.75f;
    p.cbStep = 0.75f;
    p.csStep = 0.02f;
    p.size1 = 12;
    p.size2 = 44;
    p.phong = 9;
    p.mirror = 0.5f;
    p.ambient = 0.8f;
    p.bound = 0;
    p.randomly = 1;
    p.switches = 5;  // slots 0 and 2
    p.color[0] = Rgb(10, 20, 30);
    p.color[3] = Rgb(200, 100, 50);
    p.color[6] = Rgb(0, 0, 0);
    return p;
}

}  // namespace

E2E_CASE(dialog_open, with_no_argument) { ExpectOpensAndCancels({}); }
E2E_CASE(dialog_open, with_c) { ExpectOpensAndCancels({L"c"}); }
E2E_CASE(dialog_open, with_slash_c_and_a_handle) { ExpectOpensAndCancels({L"/c:1234"}); }

E2E_CASE(dialog_open, shows_the_built_in_settings) {
    ConfigDialog dialog;
    ExpectControlsShow(dialog, Profile{}, "with nothing stored");
    Expect(dialog.TrackbarPosition(dlg::kMirror) == 99, "the built-in mirror 0.995 does not show as 99");
    const HWND list = dialog.Item(dlg::kPresetList);
    Expect(ComboEntries(list).empty(), "with no store the preset list shows " + DescribeEntries(ComboEntries(list)));
    ExpectLightPicture(dialog, 1.0f, 1.0f, -1.0f, "the built-in light direction");
    // Horizontal trackbars without tick marks, the thumb pointing up; push-like "Bound",
    // "Sphere" and "Torus".
    for (int id : {dlg::kWidth, dlg::kHeight, dlg::kPhong, dlg::kMirror, dlg::kAmbient}) {
        const LONG style = GetWindowLongW(dialog.Item(id), GWL_STYLE);
        Expect((style & (TBS_VERT | TBS_NOTICKS | TBS_TOP)) == (TBS_NOTICKS | TBS_TOP),
               Format("trackbar %d has style %08lx: not horizontal, tickless and pointing up", id,
                      static_cast<unsigned long>(style)));
    }
    for (int id : {dlg::kBound, dlg::kSphere, dlg::kTorus})
        Expect((GetWindowLongW(dialog.Item(id), GWL_STYLE) & BS_PUSHLIKE) != 0,
               Format("control %d does not look like a push button", id));
    dialog.PressCancel();
}

E2E_CASE(dialog_open, shows_the_stored_settings) {
    const Profile stored = StoredProfile();
    WriteProfile(stored);
    PresetRecord first, second;
    first.name = "first of two";
    second.name = "100% second";
    WriteFileBytes(WindowsStorePath(), EncodeStore({first, second}));
    ConfigDialog dialog;
    ExpectControlsShow(dialog, stored, "read from the registry");
    const HWND list = dialog.Item(dlg::kPresetList);
    const auto entries = ComboEntries(list);
    Expect(entries == std::vector<std::wstring>{L"first of two", L"100% second"},
           "the preset list shows " + DescribeEntries(entries) + ", expected the store's two names in file order");
    Expect(ComboSelection(list) == -1, Format("the preset list opens with entry %d selected", ComboSelection(list)));
    ExpectLightPicture(dialog, 0.25f, -0.5f, -0.75f, "the stored light direction");
    dialog.PressCancel();
}

// A colour value with bits above the blue byte: only the low three bytes count.
E2E_CASE(dialog_open, colour_with_a_high_byte_shows_its_low_bytes) {
    Profile stored;
    stored.color[4] = 0x01B2B200u;
    WriteProfile(stored);
    ConfigDialog dialog;
    dialog.ExpectButtonShows(dlg::ColourId(4), ScreenRgb(Rgb(0, 178, 178)), "stored colour 01B2B200");
    dialog.PressOk();
    Profile want;
    want.color[4] = Rgb(0, 178, 178);
    ExpectSavedProfile(want, "Ok");
}

// Values beyond a trackbar's range show at its nearer end, and the settings keep them
// until the trackbar is moved.
E2E_CASE(dialog_open, out_of_range_values_show_at_the_ends) {
    Profile stored;
    stored.size1 = 70;
    stored.size2 = 2;
    stored.phong = -3;
    stored.mirror = 1.5f;
    stored.ambient = -0.2f;
    WriteProfile(stored);
    ConfigDialog dialog;
    std::string wrong;
    const int shown[5][2] = {{dlg::kWidth, 50}, {dlg::kHeight, 5}, {dlg::kPhong, 0}, {dlg::kMirror, 100}, {dlg::kAmbient, 0}};
    for (const auto& [id, want] : shown)
        if (dialog.TrackbarPosition(id) != want)
            wrong += Format(" trackbar %d shows %d, expected %d;", id, dialog.TrackbarPosition(id), want);
    Expect(wrong.empty(), "out-of-range settings are not shown at the trackbars' ends:" + wrong);
    dialog.PressOk();
    ExpectSavedProfile(stored, "Ok without touching the trackbars");
}

E2E_CASE(dialog_open, stored_torus_shows_bound_disabled) {
    Profile stored;
    stored.shape = 2;
    stored.bound = 1;
    WriteProfile(stored);
    ConfigDialog dialog;
    ExpectControlsShow(dialog, stored, "for a stored torus");
    dialog.PressCancel();
}

// Ok with nothing changed writes all 21 values and an empty store; a press on the
// dialog's background changes nothing.
E2E_CASE(dialog_open, ok_writes_the_built_in_settings) {
    ConfigDialog dialog;
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    const LPARAM spot = MAKELPARAM(client.right / 2, client.bottom - 2);
    dialog.Post(dialog.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, spot);
    dialog.Post(dialog.Handle(), WM_LBUTTONUP, 0, spot);
    dialog.PressOk();
    ExpectSavedProfile(Profile{}, "Ok");
    ExpectStoreFile(StoreBytes({}), "Ok with no presets");
}

// The Escape key, pressed on the keyboard, ends the dialog as Cancel does.
E2E_CASE(dialog_open, escape_writes_nothing) {
    WriteProfile(StoredProfile());
    const auto before = SnapshotSaverValues();
    ConfigDialog dialog;
    dialog.MoveTrackbar(dlg::kPhong, 15);
    SendKeyPress(VK_ESCAPE);
    Expect(dialog.Saver().WaitExit(kDeadlineMs), "the Escape key did not end the dialog");
    const std::string diff = DiffSnapshots(before, SnapshotSaverValues());
    Expect(diff.empty(), "the Escape key wrote to the registry: " + diff);
    Expect(!ReadFileBytes(WindowsStorePath()) && !ReadFileBytes(UserStorePath()), "the Escape key wrote a store file");
}

// The close box is the system command that ends the dialog as Cancel does.
E2E_CASE(dialog_open, close_box_writes_nothing) {
    WriteProfile(StoredProfile());
    const auto before = SnapshotSaverValues();
    ConfigDialog dialog;
    dialog.MoveTrackbar(dlg::kPhong, 15);
    dialog.Post(dialog.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Expect(dialog.Saver().WaitExit(kDeadlineMs), "the close box did not end the dialog");
    const std::string diff = DiffSnapshots(before, SnapshotSaverValues());
    Expect(diff.empty(), "the close box wrote to the registry: " + diff);
    Expect(!ReadFileBytes(WindowsStorePath()) && !ReadFileBytes(UserStorePath()), "the close box wrote a store file");
}

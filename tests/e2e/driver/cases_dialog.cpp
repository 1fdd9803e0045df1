// The configuration dialog: its controls, what Ok writes, the preset dialogs, the store's bytes, the preview's pauses.
#include <cmath>

#include "dialog.h"

namespace {
const wchar_t kSaveCaption[] = L"Save current animation as preset";
void ExpectSizes(Dialog& d, int width, int height, const std::string& after) {
    Expect(d.Position(id::kWidth) == width && d.Position(id::kHeight) == height,
           Format("after %s the sizes show %d and %d, expected %d and %d", after.c_str(), d.Position(id::kWidth),
                  d.Position(id::kHeight), width, height));
}
Record Preset(const std::string& name, int v) {
    Record p = Named(name);
    p.angleX = 0.1f * v, p.angleY = -0.2f, p.angleZ = -0.9f, p.cbStep = 0.5f + v, p.csStep = 0.001f * v;
    p.size1 = 10 + v, p.size2 = 20 + v, p.phong = v, p.mirror = 0.25f, p.ambient = 0.5f; p.on[0] = 0, p.on[v % 7] = 1;
    p.rgb[0][0] = v, p.rgb[0][1] = 2 * v, p.rgb[0][2] = 3 * v; return p;
}
const Bytes kAlpha = Encode(Preset("alpha", 1)), kBeta = Encode(Preset("beta", 2)), kGamma = Encode(Preset("gamma", 3));
const Bytes kExact = [] {  // a record's lead word nobody reads
    Bytes exact = Encode(Preset("exact", 5)); exact[0] = 7; return exact;
}();
// Alpha's values, as choosing it before an export or import sets them.
const Profile kAlphaChosen = P({{"angleX", "0.100000"}, {"angleY", "-0.200000"}, {"angleZ", "-0.900000"},
                                {"cbStep", "1.500000"}, {"csStep", "0.001000"}, {"size1", "11"}, {"size2", "21"},
                                {"phong", "1"}, {"mirror", "0.250000"}, {"ambient", "0.500000"}, {"switches", "2"},
                                {"color0", "0x030201"}});
// The built-in settings saved as a preset: each switch word keeps its slot's bit.
Bytes Saved(const std::string& name) {
    Record r = Named(name); r.cbStep = 1.46f, r.csStep = 0.01f;
    for (int i = 0; i < 7; ++i) r.on[i] = 1 << i;
    return Encode(r);
}
void SavePreset(Dialog& d, const std::wstring& typed, const std::wstring& shown = L"") {  // shown: all typed
    const HWND save = d.Open(id::kSave, kSaveCaption), field = GetDlgItem(save, id::kPresetName); Type(field, typed);
    const std::wstring want = shown.empty() ? typed : shown;
    Expect(PollUntil([&] { return TextOf(field) == want; }), "the name field shows \"" + Narrow(TextOf(field)) + "\"");
    Press(save, IDOK); d.WaitClosed(save, "the save dialog");
}
struct DialogRow {
    const char* name;
    Profile stored;              // nothing stored when empty
    std::vector<Bytes> presets;  // the store, none when empty
    void (*act)(Dialog&);
    Profile saved = {};               // after Ok; empty: the row ends the dialog, writing nothing
    std::optional<Bytes> store = {};  // the Windows directory's store after Ok, when given
};
void RunDialog(const DialogRow& row) {
    if (!row.stored.empty()) WriteProfile(row.stored);
    if (!row.presets.empty()) WriteFileBytes(WindowsStore(), Store(row.presets), true);
    const Stored before = ReadStored();
    Dialog dialog({L"/c"});
    row.act(dialog);
    if (row.saved.empty()) {
        Expect(PollUntil([&] { return !dialog.saver().Running(); }), std::string(row.name) + ": the dialog did not end");
        return ExpectUnchanged(before, row.name);
    }
    dialog.Ok();
    const std::string diff = Differences(row.saved, ReadKey(kConfigKey, false));
    Expect(diff.empty(), std::string("after ") + row.name + " and Ok the settings key differs: " + diff);
    if (row.store) ExpectBytes(ReadFileBytes(WindowsStore()), *row.store, "after Ok the store");
    if (row.store) Expect(!ReadFileBytes(UserStore()), "Ok made a per-user store beside the Windows directory's");
}
// Out-of-range sizes, a torus, a colour's high byte: shown at the ends, as Torus, as the low bytes; Ok keeps them.
const Profile kStored = P({{"angleX", "0.250000"}, {"angleY", "-0.500000"}, {"angleZ", "-0.750000"},
                           {"cbStep", "0.750000"}, {"csStep", "0.020000"}, {"size1", "70"}, {"size2", "2"},
                           {"phong", "9"}, {"mirror", "0.500000"}, {"ambient", "-0.200000"}, {"bound", "0"},
                           {"shape", "2"}, {"randomly", "1"}, {"switches", "5"}, {"color0", "0x1E140A"},
                           {"color3", "0x3264C8"}, {"color4", "0x01B2B200"}, {"color6", "0"}});
const Bytes kFirst = Encode(Preset("first of two", 1)), kSecond = Encode(Preset("100% second", 2));
const DialogRow kOpen[] = {
    // Ok with nothing changed writes all 21 values and an empty store.
    {"shows_the_built_in_settings", {}, {}, [](Dialog& d) {
         ExpectControls(d, P(), {30, 29, 4, 99, 34}, "with nothing stored");
         Expect(Entries(d.Item(id::kPresetList)).empty(), "with no store the preset list is not empty");
         ExpectLightPicture(d, 1, 1, -1, "its first picture, of the built-in light");
     }, P(), Store({})},
    {"shows_the_stored_settings", kStored, {kFirst, kSecond}, [](Dialog& d) {
         ExpectControls(d, kStored, {50, 5, 9, 50, 0}, "read from the registry");
         ExpectList(d.Item(id::kPresetList), {L"first of two", L"100% second"}, "the preset list");
         ExpectLightPicture(d, 0.25f, -0.5f, -0.75f, "the stored light direction");
     }, With(kStored, {{"color4", "0xB2B200"}}), Store({kFirst, kSecond})},
    // Each way out but Ok writes neither the changed settings nor the saved preset.
    {"cancel_writes_nothing", kStored, {kFirst}, [](Dialog& d) {
         d.Track(id::kPhong, 15); SavePreset(d, L"dropped"); d.PostClick(id::kCancel);
     }},
    {"escape_writes_nothing", kStored, {kFirst}, [](Dialog& d) {  // once the preview draws: its bursts take keys too
         d.Track(id::kPhong, 15); Pause(1500); PostKey(d.Item(id::kOk), WM_KEYDOWN, VK_ESCAPE);
     }},
    {"close_box_writes_nothing", kStored, {kFirst}, [](Dialog& d) {
         d.Track(id::kPhong, 15); SavePreset(d, L"dropped"); Post(d.Handle(), WM_SYSCOMMAND, SC_CLOSE);
     }},
};
const DialogRow kControls[] = {
    // With Bound the sizes move together, else alone; scrolls from no trackbar change nothing; switches toggle.
    {"trackbars_and_switches", {}, {}, [](Dialog& d) {
         d.Track(id::kWidth, 40); ExpectSizes(d, 40, 40, "the width to 40 with Bound"); d.Track(id::kHeight, 12);
         ExpectSizes(d, 12, 12, "the height to 12 with Bound");
         d.Click(id::kBound); d.Track(id::kWidth, 44); d.Track(id::kHeight, 7);
         ExpectSizes(d, 44, 7, "the width to 44 and the height to 7 without Bound"); d.Click(id::kBound);
         ExpectSizes(d, 44, 44, "checking Bound again");
         Send(d.Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 7), 0);
         Send(d.Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 7), reinterpret_cast<LPARAM>(d.Item(id::kRoundPlus)));
         d.Track(id::kPhong, 17); d.Track(id::kMirror, 37); d.Track(id::kAmbient, 62);
         for (int slot : {0, 2, 4, 6}) d.Click(id::Switch(slot));
     }, P({{"size1", "44"}, {"size2", "44"}, {"phong", "17"}, {"mirror", "0.370000"}, {"ambient", "0.620000"},
           {"switches", "42"}})},
    // A torus starts from 25 and 18 (nearly equal sizes leave no hole); Sphere then enables Bound, unchecked.
    {"torus_then_sphere", {}, {}, [](Dialog& d) {
         d.Click(id::kTorus);
         ExpectControls(d, P({{"shape", "2"}, {"bound", "0"}, {"size1", "25"}, {"size2", "18"}}), {25, 18, 4, 99, 34},
                        "after Torus");
         d.Click(id::kSphere);
         ExpectControls(d, P({{"bound", "0"}, {"size1", "25"}, {"size2", "18"}}), {25, 18, 4, 99, 34}, "after Sphere");
     }, P({{"bound", "0"}, {"size1", "25"}, {"size2", "18"}})},
    // Steps of 0.0005091 in single precision.
    {"each_speed_button_steps_its_own_speed", {}, {}, [](Dialog& d) {
         for (int i = 0; i < 10; ++i) d.Click(id::kRadialMinus);
         for (int i = 0; i < 3; ++i) d.Click(id::kRadialPlus);
         for (int i = 0; i < 2; ++i) d.Click(id::kRoundPlus);
     }, P({{"cbStep", "1.456436"}, {"csStep", "0.011018"}})},
    // A double click's second press comes as its own message and drags as a press does.
    {"a_double_clicks_second_press_drags", {}, {}, [](Dialog& d) {
         for (int control : {id::kRadialSpinner, id::kLight}) d.Drag(control, {{23, 23}, {23, 23}});  // the first click
         d.Drag(id::kRadialSpinner, {{5, 5}, {5, 40}, {5, 30}}, true, WM_LBUTTONDBLCLK);          // 10 px up: cbStep + 10 steps
         d.Drag(id::kLight, {{23, 23}, {43, 43}}, false, WM_LBUTTONDBLCLK);                     // to the centre
         ExpectLightPicture(d, 0, 0, -1, "the light dragged by a double click's second press");
         Post(d.Item(id::kLight), WM_LBUTTONUP, 0, At(43, 43));
     }, P({{"angleX", "-0.000000"}, {"angleY", "-0.000000"}, {"angleZ", "-1.000000"}, {"cbStep", "1.465091"}})},
    // A drag cancelled or its capture taken ends as a release would, its moves kept; a release alone points the light.
    {"lost_capture_ends_every_drag_and_a_release_points_the_light", {}, {}, [](Dialog& d) {
         ExpectLightPicture(d, 1, 1, -1, "its first picture, of the built-in light");
         for (int control : {id::kRoundSpinner, id::kRadialSpinner, id::kLight})
             for (UINT loss : {WM_CANCELMODE, WM_CAPTURECHANGED}) {
                 if (control == id::kLight) d.Drag(control, {{23, 23}, {43, 43}}, false);  // to the centre
                 else d.Drag(control, {{5, 5}, {5, 40}, {5, 30}}, false);                 // 10 pixels up
                 Post(d.Item(control), loss);
                 for (int y : {50, 10}) Post(d.Item(control), WM_MOUSEMOVE, 0, At(23, y));  // not back to 30
             }
         ExpectLightPicture(d, 0, 0, -1, "a light from straight ahead");
         Post(d.Item(id::kLight), WM_LBUTTONUP, 0, At(30, 50));
         ExpectLightPicture(d, 0.382352948f, -0.205882356f, -0.900787771f, "the light of a release alone");
     }, P({{"angleX", "0.382353"}, {"angleY", "-0.205882"}, {"angleZ", "-0.900788"}, {"cbStep", "1.470182"},
           {"csStep", "0.020182"}})},  // (30, 50): 13 left, 7 down of the centre over the radius 34; z on the sphere
};
const wchar_t k49[] = L"   abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrst";
const DialogRow kPresets[] = {
    // The name field takes 49 characters, blanks first kept.
    {"save_takes_49_characters", {}, {}, [](Dialog& d) {
         SavePreset(d, L"   abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefgh", k49);
     }, P(), Store({Saved(Narrow(k49))})},
    // A mere change of selection asks nothing; "Yes" to the question removes the preset.
    {"delete_asks_first", {}, {kAlpha, kBeta, kGamma}, [](Dialog& d) {
         const HWND remover = d.Open(id::kDelete, L"Delete preset(s)"), list = GetDlgItem(remover, id::kPresetList);
         ExpectList(list, {L"alpha", L"beta", L"gamma"}, "the delete dialog");
         Select(list, 2);  // sent: a question would hold it
         const HWND box = d.Opened([&] { Select(list, 0, CBN_SELENDOK); }, "choosing alpha to delete", L"Confirm delete");
         Expect(TextOf(GetDlgItem(box, id::kBoxText)) == L"Delete preset alpha ?", "the deletion asks another question");
         Press(box, IDYES); d.WaitClosed(box, "the question");
         ExpectList(list, {L"beta", L"gamma"}, "after deleting alpha the delete dialog");
         Expect(Send(list, CB_GETCURSEL) == CB_ERR, "after a deletion an entry is selected"); Press(remover, IDOK);
         d.WaitClosed(remover, "the delete dialog");
         ExpectList(d.Item(id::kPresetList), {L"beta", L"gamma"}, "after deleting alpha the preset list");
     }, P(), Store({kBeta, kGamma})},
    // Export needs a chosen preset and a name that is not blank; the typed name is the file, replaced unasked.
    {"export_by_typed_name", {}, {kAlpha, kBeta}, [](Dialog& d) {
         const std::wstring path = Scratch(L"typed by hand, with a name longer than most.pre");
         WriteFileBytes(path, Bytes(300, 0x5A)); d.Choose(0);
         const HWND exporter = d.Open(id::kExport, L"Export preset to a file");
         const HWND field = GetDlgItem(exporter, id::kExportFile), list = GetDlgItem(exporter, id::kPresetList);
         auto exportable = [&](const wchar_t* name, int chosen) {
             if (chosen >= 0) Select(list, chosen);
             if (name) SetText(field, name);
             return IsWindowEnabled(GetDlgItem(exporter, IDOK)) != FALSE;
         };
         Expect(!exportable(nullptr, -1) && !exportable(path.c_str(), -1) && exportable(nullptr, 1) &&
                    !exportable(L"   ", -1) && !exportable(L"", -1) && exportable(path.c_str(), -1),
                "Export is not enabled exactly for a chosen preset and a name"); Press(exporter, IDOK);
         d.WaitClosed(exporter, "the export dialog"); ExpectBytes(ReadFileBytes(path), kBeta, "the exported file");
     }, kAlphaChosen, Store({kAlpha, kBeta})},
    // The file dialog adds the extension. Alpha chosen first sets its values.
    {"import_adds_the_extension", {}, {kAlpha}, [](Dialog& d) {
         WriteFileBytes(Scratch(L"exact.pre"), kExact);
         d.Choose(0); const HWND chooser = d.Open(id::kImport); ChooseFile(chooser, Scratch(L"exact"));
         d.WaitClosed(chooser, "the file-open dialog");
         ExpectList(d.Item(id::kPresetList), {L"alpha", L"exact"}, "after importing exact.pre the preset list");
     }, kAlphaChosen, Store({kAlpha, kExact})},
};

const bool kDialogsAdded = AddRows("dialog_open", kOpen, RunDialog) && AddRows("dialog_controls", kControls, RunDialog) &&
                           AddRows("dialog_presets", kPresets, RunDialog);

// ---- the preview stands still while a modal window (moved off it) is open, and runs again after
struct PauseRow {
    const char* name; int opener; const wchar_t* caption;
    int close;  // the button that closes it; 0: the close box
    bool movedFirst;
};
void RunPause(const PauseRow& row) {
    WriteFileBytes(WindowsStore(), Store({kAlpha})); Dialog d;
    const RECT part = ClientOnScreen(d.Preview()), r = RectOf(d.Handle());
    ExpectChanging(d.saver(), part, "before the modal window opens");
    if (row.movedFirst) SetWindowPos(d.Handle(), nullptr, r.left + 1, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const HWND window = d.Open(row.opener, row.caption);
    SetWindowPos(window, nullptr, 1000, 740, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);  // corner on the screen
    Send(window, WM_NULL);  // answered once it has finished opening
    // Shapes stamped just before the pause may still be on their way: three looks in a row at one picture.
    std::vector<uint32_t> still = Capture().Area(part); int same = 0;
    PollScreen(d.saver(), std::string("a still preview while ") + row.name, [&](const Screenshot& shot) {
        auto now = shot.Area(part); if (now == still && ++same == 2) return std::string(); if (now != still) same = 0;
        still = std::move(now); return std::string("it changed within 100 ms");
    }, 100);
    for (const ULONGLONG end = GetTickCount64() + 700; GetTickCount64() < end; Pause(10)) {  // running, it changes in ms
        const auto now = Capture().Area(part); size_t changed = 0;
        for (size_t i = 0; i < now.size(); ++i) changed += now[i] != still[i];
        Expect(changed == 0, Format("the preview went on drawing while %s: %zu pixels changed", row.name, changed));
    }
    if (row.close) Press(window, row.close);
    else Post(window, WM_SYSCOMMAND, SC_CLOSE);
    d.WaitClosed(window, row.name);
    ExpectChanging(d.saver(), part, "after the modal window closed");
    Expect(d.Windows().size() == 1, "a window stayed open: " + d.saver().Showing()); d.Cancel();
}
const PauseRow kPauses[] = {
    {"still_while_the_colour_dialog_is_open", id::Colour(2), nullptr, IDCANCEL, false},
    {"still_while_the_help_box_is_open", id::kHelp, L"About/Help", IDOK, false},
    {"still_while_the_save_dialog_is_open", id::kSave, kSaveCaption, IDCANCEL, false},
    {"still_while_the_delete_dialog_is_open", id::kDelete, L"Delete preset(s)", IDOK, false},
    {"still_while_the_export_dialog_is_open", id::kExport, L"Export preset to a file", 0, false},
    {"still_while_the_import_file_dialog_is_open", id::kImport, nullptr, IDCANCEL, false},
    // The pause of a move ends 150 ms after it; the box's pause must last while it is open.
    {"still_while_a_box_opened_right_after_a_move_is_open", id::kHelp, L"About/Help", IDOK, true},
};
const bool kPausesAdded = AddRows("dialog_preview", kPauses, RunPause);

// While the dialog is dragged the preview stands still; once it rests it draws again after 150 ms, not before.
E2E_CASE(dialog_preview, still_while_moved_and_resumes_after_a_rest) {
    Dialog d; ExpectChanging(d.saver(), ClientOnScreen(d.Preview()), "before the dialog moves");
    const RECT start = RectOf(d.Handle()); int moves = 0; ULONGLONG lastMove = 0;
    auto move = [&] {  // a pixel to the side and back, as a hand would
        lastMove = GetTickCount64();
        SetWindowPos(d.Handle(), nullptr, start.left + ++moves % 2, start.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto picture = [&] { return Capture().Area(ClientOnScreen(d.Preview())); };  // where it is now
    // Only a drag without a gap of 100 ms counts: held up that long, this driver starts over.
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs; std::vector<uint32_t> still; bool proven = false;
    while (!proven && GetTickCount64() < deadline) {
        move(); std::vector<uint32_t> previous = picture(); still.clear(); bool steady = true;
        for (ULONGLONG settled = 0; steady && !settled && GetTickCount64() < deadline;) {  // the picture settles
            Sleep(20); steady = GetTickCount64() - lastMove <= 100; move(); auto now = picture();
            if (now == previous) still = now, settled = 1;
            previous = std::move(now);
        }
        // Dragging on for a second, the picture must still be the same one.
        for (const ULONGLONG dragStart = GetTickCount64(); steady && !still.empty() && GetTickCount64() < deadline;) {
            Sleep(20); steady = GetTickCount64() - lastMove <= 100; move();
            if (GetTickCount64() - dragStart >= 1000 && picture() == still) proven = true;
            if (proven) break;
        }
    }
    Expect(d.saver().Running() && proven, Format("the preview went on drawing while the dialog moved (%d moves)", moves));
    const ULONGLONG rest = lastMove; ULONGLONG seen = 0;
    Expect(PollUntil([&] { return seen = GetTickCount64(), picture() != still; }, kDeadlineMs, 5),
           "the preview did not run again after the dialog came to rest");
    Expect(seen - rest >= 150, Format("the preview drew again %llu ms after the last move", seen - rest)); d.Cancel();
}

// The store is saved where it was loaded from: the per-user copy, when there is one.
E2E_CASE(dialog_presets, ok_saves_the_store_it_loaded) {
    WriteFileBytes(WindowsStore(), Store({kBeta}), true);
    WriteFileBytes(UserStore(), Store({kAlpha})); const Stored shared = ReadStored(); Dialog d;
    ExpectList(d.Item(id::kPresetList), {L"alpha"}, "with a per-user store the preset list"); SavePreset(d, L"added");
    d.Ok(); ExpectBytes(ReadFileBytes(UserStore()), Store({kAlpha, Saved("added")}), "the per-user store after Ok");
    Expect(ReadFileBytes(WindowsStore()) == shared.windows && ReadStored().windowsTime == shared.windowsTime,
           "Ok changed the Windows directory's store while a per-user store exists");
}

// A store not read whole (here: held open by another program) is never written back, nor hidden by a per-user
// copy; a box says the changed presets are not kept. Which files are whole the unit tests prove.
E2E_CASE(dialog_presets, ok_keeps_a_store_it_could_not_read_whole) {
    WriteFileBytes(WindowsStore(), Store({kBeta}), true);
    const auto time = ReadStored().windowsTime;
    const HANDLE inUse = CreateFileW(WindowsStore().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Expect(inUse != INVALID_HANDLE_VALUE, "cannot hold the store open");
    {
        Dialog d; SavePreset(d, L"added");
        const HWND box = d.Opened([&] { d.PostClick(id::kOk); }, "Ok with a store held open");
        const std::wstring text = TextOf(GetDlgItem(box, id::kBoxText));
        Expect(text.find(L"could not be read whole") != std::wstring::npos, "Ok says \"" + Narrow(text) + "\"");
        Press(box, IDOK); d.saver().ExpectEnds(0, "the box");
    }
    CloseHandle(inUse);
    Expect(ReadFileBytes(WindowsStore()) == Store({kBeta}) && ReadStored().windowsTime == time,
           "Ok wrote the held store");
    Expect(!ReadFileBytes(UserStore()), "Ok made a per-user store beside the held one");
}

}  // namespace

// The preset controls of the configuration dialog: saving, deleting, exporting,
// importing and choosing presets, what the lists show, and the store file's exact bytes
// after Ok (or its absence of change after Cancel).
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cases.h"
#include "check.h"
#include "dialog_driver.h"
#include "dialog_expect.h"
#include "dialog_pixels.h"
#include "dialog_saved.h"
#include "poll.h"
#include "preset_store.h"
#include "profile.h"
#include "registry.h"
#include "window_search.h"

namespace {

const wchar_t kSaveCaption[] = L"Save current animation as preset";
const wchar_t kDeleteCaption[] = L"Delete preset(s)";
const wchar_t kExportCaption[] = L"Export preset to a file";

// Three presets that differ from each other and from the built-in settings.
PresetRecord Preset(const std::string& name, int variant) {
    PresetRecord p;
    p.name = name;
    p.angleX = 0.1f * variant;
    p.angleY = -0.2f;
    p.angleZ = -0.9f;
    p.cbStep = 0.5f + variant;
    p.csStep = 0.001f * variant;
    p.size1 = 10 + variant;
    p.size2 = 20 + variant;
    p.phong = variant;
    p.mirror = 0.25f;
    p.ambient = 0.5f;
    p.switches[variant % kSlots] = 1;
    p.color[0] = Rgb(variant, 2 * variant, 3 * variant);
    return p;
}

std::vector<uint8_t> Bytes(const PresetRecord& record) { return EncodeRecord(record); }

void ExpectList(HWND combo, const std::vector<std::wstring>& want, const std::string& where) {
    std::vector<std::wstring> got;
    const bool matched = PollUntil([&] {
        got = ComboEntries(combo);
        return got == want;
    });
    Expect(matched, Format("%s lists %s, expected %s", where.c_str(), DescribeEntries(got).c_str(),
                           DescribeEntries(want).c_str()));
}

// The main list loses its selection when it is filled again: proof that the dialog has
// finished with the last preset action.
void WaitForRefill(ConfigDialog& dialog, const std::string& after) {
    const HWND list = dialog.Item(dlg::kPresetList);
    const bool refilled = PollUntil([&] { return ComboSelection(list) == -1; });
    Expect(refilled, "the preset list was not filled again after " + after);
}

// Saves the dialog's current settings under `name` through the save dialog.
void SavePreset(ConfigDialog& dialog, const std::wstring& name) {
    const HWND save = OpenModal(dialog, dlg::kSave, kSaveCaption);
    const HWND field = GetDlgItem(save, dlg::kPresetName);
    TypeInto(field, name);
    Expect(PollUntil([&] { return TextOf(field) == name; }),
           "the name field shows \"" + Narrow(TextOf(field)) + "\" after typing \"" + Narrow(name) + "\"");
    PressButton(save, IDOK);
    WaitClosed(dialog, save, "the save dialog");
}

void ImportFile(ConfigDialog& dialog, const std::wstring& path) {
    dialog.ChoosePreset(0);  // filling the list again clears this
    const HWND chooser = OpenModal(dialog, dlg::kImport, nullptr);
    ChooseFile(chooser, path);
    WaitClosed(dialog, chooser, "the file-open dialog");
    WaitForRefill(dialog, "importing " + Narrow(path));
}

// Picks entry `index` in the delete dialog and answers the question with `answer`.
void DeleteEntry(ConfigDialog& dialog, HWND remover, int index, const std::wstring& question, int answer) {
    const HWND list = GetDlgItem(remover, dlg::kPresetList);
    SendTo(list, CB_SETCURSEL, static_cast<WPARAM>(index));
    const auto before = dialog.Windows();
    PostTo(remover, WM_COMMAND, MAKEWPARAM(dlg::kPresetList, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    const HWND box = WaitForModal(dialog, before, Format("choosing entry %d to delete", index));
    const std::wstring caption = Describe(box).title;
    Expect(caption == L"Confirm delete", "the deletion asks in a box titled \"" + Narrow(caption) + "\"");
    const std::wstring text = MessageBoxText(box);
    Expect(text == question, "the deletion asks \"" + Narrow(text) + "\", expected \"" + Narrow(question) + "\"");
    PressButton(box, answer);
    WaitClosed(dialog, box, "the question");
}

Profile ProfileOf(const PresetRecord& p, int32_t bound, int32_t randomly) {
    Profile s;
    s.angleX = p.angleX;
    s.angleY = p.angleY;
    s.angleZ = p.angleZ;
    s.cbStep = p.cbStep;
    s.csStep = p.csStep;
    s.shape = p.shape;
    s.size1 = p.size1;
    s.size2 = p.size2;
    s.phong = p.phong;
    s.mirror = p.mirror;
    s.ambient = p.ambient;
    s.bound = bound;
    s.randomly = randomly;
    s.switches = 0;
    for (int i = 0; i < kSlots; ++i) {
        if (p.switches[i] != 0) s.switches |= 1u << i;
        s.color[i] = p.color[i];
    }
    return s;
}

// A file that another program holds open, shared with nobody.
class HeldOpen {
public:
    explicit HeldOpen(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (handle_ == INVALID_HANDLE_VALUE) Fail(Format("cannot hold %s open", Narrow(path).c_str()));
    }
    ~HeldOpen() { CloseHandle(handle_); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

private:
    HANDLE handle_;
};

// Files beside `path` whose names start with its name: what a write may have left.
std::vector<std::wstring> LeftBeside(const std::wstring& path) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"?*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace

// Blanks alone keep Save disabled; a name that starts with blanks keeps them.
E2E_CASE(dialog_presets, save_needs_more_than_blanks_and_keeps_them) {
    ConfigDialog dialog;
    const HWND save = OpenModal(dialog, dlg::kSave, kSaveCaption);
    const HWND field = GetDlgItem(save, dlg::kPresetName);
    const HWND button = GetDlgItem(save, IDOK);
    Expect(field && button, "the save dialog has no name field or no Save button");
    Expect(!IsWindowEnabled(button), "Save is enabled while the name is empty");
    TypeInto(field, L"   ");
    Expect(PollUntil([&] { return TextOf(field) == L"   "; }), "three typed blanks do not show in the name field");
    Expect(!IsWindowEnabled(button), "Save is enabled for a name of three blanks");
    TypeInto(field, L"x");
    Expect(PollUntil([&] { return TextOf(field) == L"   x"; }), "the typed x does not show in the name field");
    Expect(IsWindowEnabled(button), "Save stays disabled for the name \"   x\"");
    PressButton(save, IDOK);
    WaitClosed(dialog, save, "the save dialog");
    ExpectList(dialog.Item(dlg::kPresetList), {L"   x"}, "after saving \"   x\" the preset list");
    Expect(ComboSelection(dialog.Item(dlg::kPresetList)) == -1, "after saving, an entry of the preset list is selected");
    dialog.PressOk();
    ExpectStoreFile(StoreBytes({SavedRecordOf(Profile{}, "   x")}), "saving \"   x\" and Ok");
}

// The name field takes 49 characters; the record keeps them with a terminating zero.
E2E_CASE(dialog_presets, save_takes_49_characters) {
    ConfigDialog dialog;
    const HWND save = OpenModal(dialog, dlg::kSave, kSaveCaption);
    const HWND field = GetDlgItem(save, dlg::kPresetName);
    std::wstring typed;
    for (int i = 0; i < 60; ++i) typed += static_cast<wchar_t>(L'a' + i % 26);
    TypeInto(field, typed);
    const std::wstring kept = typed.substr(0, 49);
    Expect(PollUntil([&] { return TextOf(field) == kept; }),
           Format("after typing 60 characters the name field shows %zu: \"%s\"", TextOf(field).size(),
                  Narrow(TextOf(field)).c_str()));
    PressButton(save, IDOK);
    WaitClosed(dialog, save, "the save dialog");
    ExpectList(dialog.Item(dlg::kPresetList), {kept}, "after saving a long name the preset list");
    dialog.PressOk();
    const std::string name(kept.begin(), kept.end());
    auto record = SavedRecordOf(Profile{}, name);
    Expect(record[4 + 49] == 0, "the expected record has no terminating zero after 49 characters");
    ExpectStoreFile(StoreBytes({record}), "saving a 49-character name and Ok");
}

// A second save under the same name is a further preset, the newer one last.
E2E_CASE(dialog_presets, save_twice_under_one_name) {
    ConfigDialog dialog;
    SavePreset(dialog, L"twin");
    dialog.MoveTrackbar(dlg::kPhong, 11);
    SavePreset(dialog, L"twin");
    ExpectList(dialog.Item(dlg::kPresetList), {L"twin", L"twin"}, "after saving \"twin\" twice the preset list");
    dialog.PressOk();
    Profile later;
    later.phong = 11;
    ExpectStoreFile(StoreBytes({SavedRecordOf(Profile{}, "twin"), SavedRecordOf(later, "twin")}),
                    "saving \"twin\" twice and Ok");
}

// "No" keeps the preset and the delete dialog open; "Yes" removes it.
E2E_CASE(dialog_presets, delete_asks_first) {
    const PresetRecord a = Preset("alpha", 1), b = Preset("beta", 2), c = Preset("gamma", 3);
    WriteFileBytes(WindowsStorePath(), EncodeStore({a, b, c}));
    ConfigDialog dialog;
    const HWND remover = OpenModal(dialog, dlg::kDelete, kDeleteCaption);
    const HWND list = GetDlgItem(remover, dlg::kPresetList);
    ExpectList(list, {L"alpha", L"beta", L"gamma"}, "the delete dialog");
    Expect(ComboSelection(list) == -1, "the delete dialog opens with an entry selected");

    // Only a confirmed choice asks; a mere change of selection does nothing (a question
    // opened here would hold this sent message until it timed out).
    SendTo(list, CB_SETCURSEL, 2);
    SendTo(remover, WM_COMMAND, MAKEWPARAM(dlg::kPresetList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    Expect(dialog.Windows().size() == 2, "a mere change of selection in the delete dialog opened a window");

    DeleteEntry(dialog, remover, 1, L"Delete preset beta ?", IDNO);
    Expect(IsWindowVisible(remover) != FALSE, "answering No closed the delete dialog");
    ExpectList(list, {L"alpha", L"beta", L"gamma"}, "after answering No the delete dialog");
    Expect(ComboSelection(list) == 1, "after answering No the delete dialog no longer shows beta chosen");

    DeleteEntry(dialog, remover, 0, L"Delete preset alpha ?", IDYES);
    ExpectList(list, {L"beta", L"gamma"}, "after deleting alpha the delete dialog");
    Expect(ComboSelection(list) == -1, "after a deletion an entry of the delete dialog's list is selected");
    PressButton(remover, IDOK);
    WaitClosed(dialog, remover, "the delete dialog");
    ExpectList(dialog.Item(dlg::kPresetList), {L"beta", L"gamma"}, "after deleting alpha the preset list");
    dialog.PressOk();
    ExpectStoreFile(StoreBytes({Bytes(b), Bytes(c)}), "deleting alpha and Ok");
}

E2E_CASE(dialog_presets, delete_the_only_preset) {
    WriteFileBytes(WindowsStorePath(), EncodeStore({Preset("only", 4)}));
    ConfigDialog dialog;
    const HWND remover = OpenModal(dialog, dlg::kDelete, kDeleteCaption);
    DeleteEntry(dialog, remover, 0, L"Delete preset only ?", IDYES);
    ExpectList(GetDlgItem(remover, dlg::kPresetList), {}, "after deleting the only preset the delete dialog");
    PressButton(remover, IDOK);
    WaitClosed(dialog, remover, "the delete dialog");
    ExpectList(dialog.Item(dlg::kPresetList), {}, "after deleting the only preset the preset list");
    dialog.PressOk();
    ExpectStoreFile(StoreBytes({}), "deleting the only preset and Ok");
}

// Export needs a name that is not blank and a chosen preset; a typed name is the file
// written. The file imported again is a twin at the end of the list.
E2E_CASE(dialog_presets, export_by_typed_name_then_import) {
    ScratchFolder folder;
    const PresetRecord a = Preset("alpha", 1), b = Preset("beta", 2);
    WriteFileBytes(WindowsStorePath(), EncodeStore({a, b}));
    ConfigDialog dialog;
    dialog.ChoosePreset(0);
    const HWND exporter = OpenModal(dialog, dlg::kExport, kExportCaption);
    const HWND field = GetDlgItem(exporter, dlg::kExportFile);
    const HWND list = GetDlgItem(exporter, dlg::kPresetList);
    const HWND button = GetDlgItem(exporter, IDOK);
    Expect(field && list && button, "the export dialog lacks its name field, list or Export button");
    ExpectList(list, {L"alpha", L"beta"}, "the export dialog");
    Expect(ComboSelection(list) == -1, "the export dialog opens with a preset selected");
    Expect(!IsWindowEnabled(button), "Export is enabled as the export dialog opens");

    // Longer than the 49 characters that decide whether Export may be pressed.
    const std::wstring path = folder.File(L"typed by hand, with a name longer than most.pre");
    WriteFileBytes(path, std::vector<uint8_t>(300, 0x5A));  // replaced without a question
    SetTextOf(field, path);
    Expect(!IsWindowEnabled(button), "Export is enabled with a name but no preset chosen");
    SendTo(list, CB_SETCURSEL, 1);
    SendTo(exporter, WM_COMMAND, MAKEWPARAM(dlg::kPresetList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    Expect(IsWindowEnabled(button), "Export stays disabled with a name and a chosen preset");
    SetTextOf(field, L"   ");
    Expect(!IsWindowEnabled(button), "Export is enabled for a name of blanks");
    SetTextOf(field, L"");
    Expect(!IsWindowEnabled(button), "Export is enabled for an empty name");
    SetTextOf(field, path);
    Expect(IsWindowEnabled(button), "Export stays disabled once the name is back");
    PressButton(exporter, IDOK);
    WaitClosed(dialog, exporter, "the export dialog");

    const auto written = ReadFileBytes(path);
    Expect(written.has_value(), "Export wrote no file " + Narrow(path));
    Expect(*written == Bytes(b), Format("the exported file holds %zu bytes that are not beta's record", written->size()));
    Expect(ComboSelection(dialog.Item(dlg::kPresetList)) == 0, "exporting filled the preset list again");

    ImportFile(dialog, path);
    ExpectList(dialog.Item(dlg::kPresetList), {L"alpha", L"beta", L"beta"}, "after importing the export the preset list");
    dialog.PressOk();
    ExpectStoreFile(StoreBytes({Bytes(a), Bytes(b), Bytes(b)}), "exporting beta, importing it and Ok");
}

// Browse offers preset files, adds their extension, fills in the chosen path, asks before
// overwriting, and Export replaces the file.
E2E_CASE(dialog_presets, export_by_browse_over_an_existing_file) {
    ScratchFolder folder;
    const PresetRecord a = Preset("alpha", 1), b = Preset("beta", 2);
    WriteFileBytes(WindowsStorePath(), EncodeStore({a, b}));
    const std::wstring path = folder.File(L"browsed.pre");
    WriteFileBytes(path, std::vector<uint8_t>(10, 0x5A));
    const std::wstring typed = folder.File(L"browsed");  // the extension comes by itself
    ConfigDialog dialog;
    const HWND exporter = OpenModal(dialog, dlg::kExport, kExportCaption);
    const HWND field = GetDlgItem(exporter, dlg::kExportFile);
    const HWND button = GetDlgItem(exporter, IDOK);

    auto before = dialog.Windows();
    PressButton(exporter, dlg::kBrowse);
    const HWND chooser = WaitForModal(dialog, before, "Browse");
    const HWND types = GetDlgItem(chooser, 0x470);
    Expect(types && ComboEntries(types) == std::vector<std::wstring>{L"Tindelborg Preset Files (*.pre)"},
           "the save-as dialog offers " + (types ? DescribeEntries(ComboEntries(types)) : std::string("no file types")));
    before = dialog.Windows();
    ChooseFile(chooser, typed);
    const HWND question = WaitForModal(dialog, before, "choosing an existing file to export to");
    Expect(GetDlgItem(question, IDYES) != nullptr,
           "choosing an existing file opened a window without a Yes button: " + Narrow(Describe(question).title));
    PressButton(question, IDYES);
    WaitClosed(dialog, question, "the question before overwriting");
    WaitClosed(dialog, chooser, "the save-as dialog");

    Expect(PollUntil([&] { return _wcsicmp(TextOf(field).c_str(), path.c_str()) == 0; }),
           "after Browse the name field shows \"" + Narrow(TextOf(field)) + "\", expected \"" + Narrow(path) + "\"");
    Expect(!IsWindowEnabled(button), "Export is enabled after Browse with no preset chosen");
    const HWND list = GetDlgItem(exporter, dlg::kPresetList);
    SendTo(list, CB_SETCURSEL, 0);
    SendTo(exporter, WM_COMMAND, MAKEWPARAM(dlg::kPresetList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    PressButton(exporter, IDOK);
    WaitClosed(dialog, exporter, "the export dialog");
    const auto written = ReadFileBytes(path);
    Expect(written && *written == Bytes(a),
           Format("the browsed file holds %zu bytes, not alpha's record", written ? written->size() : 0));
    dialog.PressCancel();
    Expect(ReadFileBytes(WindowsStorePath()) == EncodeStore({a, b}), "Cancel after an export changed the store file");
}

// A file in use by another program cannot be exported over: Export closes the dialog,
// the file stays as it was and nothing is left beside it.
E2E_CASE(dialog_presets, export_over_a_file_in_use_leaves_it) {
    ScratchFolder folder;
    WriteFileBytes(WindowsStorePath(), EncodeStore({Preset("alpha", 1)}));
    const std::wstring path = folder.File(L"busy.pre");
    const std::vector<uint8_t> old(10, 0x5A);
    WriteFileBytes(path, old);
    ConfigDialog dialog;
    {
        HeldOpen inUse(path);
        const HWND exporter = OpenModal(dialog, dlg::kExport, kExportCaption);
        const HWND list = GetDlgItem(exporter, dlg::kPresetList);
        SetTextOf(GetDlgItem(exporter, dlg::kExportFile), path);
        SendTo(list, CB_SETCURSEL, 0);
        SendTo(exporter, WM_COMMAND, MAKEWPARAM(dlg::kPresetList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        PressButton(exporter, IDOK);
        WaitClosed(dialog, exporter, "the export dialog");
    }
    const auto kept = ReadFileBytes(path);
    Expect(kept.has_value(), "the file in use is gone after Export: " + Narrow(path));
    Expect(*kept == old, Format("Export replaced the file in use %s (it now holds %zu bytes)", Narrow(path).c_str(),
                                kept->size()));
    const auto left = LeftBeside(path);
    Expect(left.empty(), "Export left " + DescribeEntries(left) + " beside the file in use");
    dialog.PressCancel();
}

// A file of 228 bytes is one record; of 229, its first 228; each is used exactly as read.
// The name may be typed without its extension.
E2E_CASE(dialog_presets, import_whole_records) {
    ScratchFolder folder;
    const PresetRecord a = Preset("alpha", 1);
    WriteFileBytes(WindowsStorePath(), EncodeStore({a}));
    auto exact = Bytes(Preset("exact", 5));
    exact[0] = 7;  // a lead word nobody reads
    auto longer = Bytes(Preset("longer", 6));
    const auto longerRecord = longer;
    longer.push_back(0x5A);
    WriteFileBytes(folder.File(L"exact.pre"), exact);
    WriteFileBytes(folder.File(L"longer.pre"), longer);
    ConfigDialog dialog;
    // The file dialog offers the preset files, and adds their extension to a bare name.
    dialog.ChoosePreset(0);
    const HWND chooser = OpenModal(dialog, dlg::kImport, nullptr);
    const HWND types = GetDlgItem(chooser, 0x470);
    Expect(types && ComboEntries(types) == std::vector<std::wstring>{L"Tindelborg Preset Files (*.pre)"},
           "the file-open dialog offers " + (types ? DescribeEntries(ComboEntries(types)) : std::string("no file types")));
    ChooseFile(chooser, folder.File(L"exact"));
    WaitClosed(dialog, chooser, "the file-open dialog");
    WaitForRefill(dialog, "importing \"exact\"");
    ExpectList(dialog.Item(dlg::kPresetList), {L"alpha", L"exact"}, "after importing a 228-byte file the preset list");
    ImportFile(dialog, folder.File(L"longer.pre"));
    ExpectList(dialog.Item(dlg::kPresetList), {L"alpha", L"exact", L"longer"},
               "after importing a 229-byte file the preset list");
    dialog.PressOk();
    ExpectStoreFile(StoreBytes({Bytes(a), exact, longerRecord}), "importing 228 and 229 bytes and Ok");
}

// A cancelled file dialog leaves the list alone; a 227-byte file or a missing one adds
// nothing.
E2E_CASE(dialog_presets, import_of_a_short_file_adds_nothing) {
    ScratchFolder folder;
    const PresetRecord a = Preset("alpha", 1);
    WriteFileBytes(WindowsStorePath(), EncodeStore({a}));
    auto shorter = Bytes(Preset("shorter", 2));
    shorter.pop_back();
    WriteFileBytes(folder.File(L"shorter.pre"), shorter);
    ConfigDialog dialog;

    dialog.ChoosePreset(0);
    const HWND chooser = OpenModal(dialog, dlg::kImport, nullptr);
    PressButton(chooser, IDCANCEL);
    WaitClosed(dialog, chooser, "the cancelled file-open dialog");
    // A posted click is handled only once the import step has returned.
    dialog.PostClick(dlg::kRandomly);
    Expect(PollUntil([&] { return dialog.Checked(dlg::kRandomly); }), "\"Choose presets randomly\" did not check");
    Expect(ComboSelection(dialog.Item(dlg::kPresetList)) == 0, "a cancelled import filled the preset list again");

    ImportFile(dialog, folder.File(L"shorter.pre"));
    ExpectList(dialog.Item(dlg::kPresetList), {L"alpha"}, "after importing a 227-byte file the preset list");
    ImportFile(dialog, folder.File(L"missing.pre"));
    ExpectList(dialog.Item(dlg::kPresetList), {L"alpha"}, "after importing a missing file the preset list");
    dialog.PressOk();
    ExpectStoreFile(StoreBytes({Bytes(a)}), "importing 227 bytes and Ok");
}

E2E_CASE(dialog_presets, import_of_a_read_only_file) {
    ScratchFolder folder;
    const std::wstring path = folder.File(L"kept.pre");
    const auto record = Bytes(Preset("read only", 3));
    WriteFileBytes(path, record);
    Expect(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE, "cannot make the preset file read-only");
    ConfigDialog dialog;
    ImportFile(dialog, path);
    ExpectList(dialog.Item(dlg::kPresetList), {L"read only"}, "after importing a read-only file the preset list");
    dialog.PressOk();
    ExpectStoreFile(StoreBytes({record}), "importing a read-only file and Ok");
    Expect(ReadFileBytes(path) == record, "importing changed the read-only file");
}

// A stored record whose name field has no terminating zero: the list shows at most the
// 52 characters of the field, the preset can be chosen, and Ok writes its settings back.
E2E_CASE(dialog_presets, name_without_a_terminating_zero) {
    PresetRecord record = Preset("x", 4);
    auto bytes = Bytes(record);
    for (size_t i = 4; i < 56; ++i) bytes[i] = static_cast<uint8_t>('A' + (i - 4) % 26);
    WriteFileBytes(WindowsStorePath(), StoreBytes({bytes}));
    ConfigDialog dialog;
    const auto entries = ComboEntries(dialog.Item(dlg::kPresetList));
    const std::string field(bytes.begin() + 4, bytes.begin() + 56);
    Expect(entries.size() == 1 && !entries[0].empty() && entries[0].size() <= 52 &&
               field.compare(0, entries[0].size(), Narrow(entries[0])) == 0,
           "a name without its zero shows as " + DescribeEntries(entries) + ", expected a part of \"" + field + "\"");
    dialog.ChoosePreset(0);
    dialog.PressOk();
    ExpectSavedProfile(ProfileOf(record, 1, 0), "choosing a preset whose name has no zero");
    const auto saved = ReadFileBytes(WindowsStorePath());
    Expect(saved && saved->size() == 4 + kPresetRecordSize &&
               std::equal(bytes.begin() + 56, bytes.end(), saved->begin() + 4 + 56),
           "after Ok the store does not hold the record's settings as they were");
}

// Choosing a preset sets every control and the light editor's picture; Bound and the
// random option are no part of a preset.
E2E_CASE(dialog_presets, choosing_a_preset_sets_every_control) {
    Profile stored;
    stored.bound = 1;
    stored.randomly = 1;
    WriteProfile(stored);
    PresetRecord cone = Preset("cone", 2);
    cone.shape = 1;
    PresetRecord torus = Preset("torus", 3);
    torus.shape = 2;
    torus.size1 = 12;
    torus.size2 = 44;
    torus.phong = 15;
    torus.mirror = 0.45f;
    torus.ambient = 0.66f;
    torus.angleX = 0.3f;
    torus.angleY = -0.4f;
    torus.angleZ = -0.866f;
    const int32_t words[kSlots] = {0, 4, 0, 1, 0, 0, 9};
    for (int i = 0; i < kSlots; ++i) {
        torus.switches[i] = words[i];
        torus.color[i] = Rgb(30 * i, 255 - 30 * i, 60 + 10 * i);
    }
    WriteFileBytes(WindowsStorePath(), EncodeStore({cone, torus}));
    ConfigDialog dialog;

    dialog.ChoosePreset(0);
    Expect(dialog.Checked(dlg::kTorus) && !dialog.Checked(dlg::kSphere),
           "a preset of shape 1 does not show \"Torus\" checked");
    Expect(!dialog.Enabled(dlg::kBound), "a preset of shape 1 leaves \"Bound\" enabled");

    dialog.ChoosePreset(1);
    const Profile shown = ProfileOf(torus, 1, 1);
    ExpectControlsShow(dialog, shown, "after choosing the torus preset");
    ExpectLightPicture(dialog, torus.angleX, torus.angleY, torus.angleZ, "the torus preset's light");

    dialog.ChoosePreset(-1);  // no selection: nothing happens
    ExpectControlsShow(dialog, shown, "after a selection change to no entry");
    dialog.PressOk();
    ExpectSavedProfile(shown, "choosing the torus preset");
    ExpectStoreFile(EncodeStore({cone, torus}), "choosing presets");
}

// Bound is no part of a preset: after a torus preset it stays checked (disabled), and the
// size trackbars stay coupled.
E2E_CASE(dialog_presets, torus_preset_keeps_bound) {
    PresetRecord torus = Preset("torus", 3);
    torus.shape = 2;
    WriteFileBytes(WindowsStorePath(), EncodeStore({torus}));
    ConfigDialog dialog;
    dialog.ChoosePreset(0);
    Expect(dialog.Checked(dlg::kBound) && !dialog.Enabled(dlg::kBound),
           "after a torus preset \"Bound\" is not shown checked and disabled");
    dialog.MoveTrackbar(dlg::kWidth, 33);
    const int height = dialog.TrackbarPosition(dlg::kHeight);
    Expect(height == 33, Format("with \"Bound\" kept, moving the width to 33 leaves the height at %d", height));
    dialog.PressOk();
    Profile want = ProfileOf(torus, 1, 0);
    want.size1 = want.size2 = 33;
    ExpectSavedProfile(want, "a torus preset and a width of 33");
}

// The store is saved where it was loaded from: the per-user copy, when there is one.
E2E_CASE(dialog_presets, ok_saves_the_store_it_loaded) {
    const PresetRecord user = Preset("user's", 1), shared = Preset("shared", 2);
    WriteFileBytes(WindowsStorePath(), EncodeStore({shared}));
    BackdateFile(WindowsStorePath());
    const uint64_t sharedTime = LastWriteTime(WindowsStorePath());
    WriteFileBytes(UserStorePath(), EncodeStore({user}));
    ConfigDialog dialog;
    ExpectList(dialog.Item(dlg::kPresetList), {L"user's"}, "with a per-user store the preset list");
    SavePreset(dialog, L"added");
    dialog.PressOk();
    const auto saved = ReadFileBytes(UserStorePath());
    Expect(saved == StoreBytes({Bytes(user), SavedRecordOf(Profile{}, "added")}),
           "after saving a preset and Ok the per-user store does not hold both presets");
    Expect(ReadFileBytes(WindowsStorePath()) == EncodeStore({shared}) && LastWriteTime(WindowsStorePath()) == sharedTime,
           "Ok changed the Windows directory's store while a per-user store exists");
}

// The Windows directory's store in use by another program can be neither read nor
// written: the list is empty, and Ok saves the presets as the per-user store, which the
// next start loads, leaving that file as it was.
E2E_CASE(dialog_presets, ok_with_the_store_in_use_saves_a_per_user_copy) {
    const auto shared = EncodeStore({Preset("shared", 2)});
    WriteFileBytes(WindowsStorePath(), shared);
    const uint64_t sharedTime = LastWriteTime(WindowsStorePath());
    {
        HeldOpen inUse(WindowsStorePath());
        ConfigDialog dialog;
        ExpectList(dialog.Item(dlg::kPresetList), {}, "with the store in use the preset list");
        SavePreset(dialog, L"added");
        dialog.PressOk();
    }
    Expect(ReadFileBytes(WindowsStorePath()) == shared && LastWriteTime(WindowsStorePath()) == sharedTime,
           "Ok changed the store that another program held open");
    const auto left = LeftBeside(WindowsStorePath());
    Expect(left.empty(), "Ok left " + DescribeEntries(left) + " beside the store in use");
    const auto saved = ReadFileBytes(UserStorePath());
    Expect(saved.has_value(), "after Ok with the store in use no per-user store was made");
    Expect(*saved == StoreBytes({SavedRecordOf(Profile{}, "added")}), "the per-user store does not hold the saved preset");
}

// Cancel after changing settings, saving, importing and deleting presets writes neither
// the settings key nor the store file.
E2E_CASE(dialog_presets, cancel_writes_nothing) {
    ScratchFolder folder;
    Profile stored;
    stored.phong = 7;
    stored.switches = 3;
    WriteProfile(stored);
    const PresetRecord a = Preset("alpha", 1), b = Preset("beta", 2);
    WriteFileBytes(WindowsStorePath(), EncodeStore({a, b}));
    BackdateFile(WindowsStorePath());
    WriteFileBytes(folder.File(L"extra.pre"), Bytes(Preset("extra", 5)));
    const auto registryBefore = SnapshotSaverValues();
    const uint64_t storeTime = LastWriteTime(WindowsStorePath());
    ConfigDialog dialog;

    dialog.MoveTrackbar(dlg::kPhong, 18);
    dialog.Click(dlg::kTorus);
    dialog.Click(dlg::SwitchId(4));
    dialog.Click(dlg::kRandomly);
    const HWND chooser = OpenModal(dialog, dlg::ColourId(0), nullptr);
    ChooseColour(chooser, 1, 2, 3);
    WaitClosed(dialog, chooser, "the colour dialog");

    const HWND save = OpenModal(dialog, dlg::kSave, kSaveCaption);
    TypeInto(GetDlgItem(save, dlg::kPresetName), L"dropped");
    PressButton(save, IDCANCEL);
    WaitClosed(dialog, save, "the cancelled save dialog");
    SavePreset(dialog, L"new");
    ImportFile(dialog, folder.File(L"extra.pre"));
    const HWND remover = OpenModal(dialog, dlg::kDelete, kDeleteCaption);
    DeleteEntry(dialog, remover, 0, L"Delete preset alpha ?", IDYES);
    PressButton(remover, IDOK);
    WaitClosed(dialog, remover, "the delete dialog");
    ExpectList(dialog.Item(dlg::kPresetList), {L"beta", L"new", L"extra"}, "before Cancel the preset list");

    dialog.PressCancel();
    const std::string diff = DiffSnapshots(registryBefore, SnapshotSaverValues());
    Expect(diff.empty(), "Cancel wrote to the registry: " + diff);
    Expect(ReadFileBytes(WindowsStorePath()) == EncodeStore({a, b}) && LastWriteTime(WindowsStorePath()) == storeTime,
           "Cancel rewrote the store file");
    Expect(!ReadFileBytes(UserStorePath()), "Cancel created a per-user store");
}

// Absurd stored values in the configuration dialog: it opens, its trackbars show such
// values at their ends, the live preview draws what the values allow, Cancel writes
// nothing, and OK after one change writes that change and every other value exactly as
// it was loaded.
#include <limits>
#include <string>

#include "absurd_values.h"
#include "cases.h"
#include "check.h"
#include "poll.h"
#include "preset_store.h"
#include "registry.h"
#include "remote_dialog.h"
#include "saver.h"
#include "window_search.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Trackbar ranges of the dialog.
constexpr int kSizeMin = 5, kSizeMax = 50, kPhongMax = 20, kPercentMax = 100;

std::vector<uint8_t> AbsurdRecord(const char* name) {
    PresetRecord r;
    r.name = name;
    r.angleX = kNaN;
    r.angleY = kInf;
    r.angleZ = -kInf;
    r.cbStep = kInf;
    r.csStep = kNaN;
    r.shape = 1;  // a cone: never offered by the dialog, only stored
    r.size1 = 2000000000;
    r.size2 = 0;
    r.phong = -5;
    r.mirror = 1e30f;
    r.ambient = -kInf;
    const int32_t words[kSlots] = {-1, 7, 0x7FFFFFFF, 0, 0, 0, 4};
    for (int i = 0; i < kSlots; ++i) r.switches[i] = words[i];
    std::vector<uint8_t> record = EncodeRecord(r);
    PutRecordChannels(record, 0, 0xFF123456u, 0, 0);
    return record;
}

std::vector<std::vector<uint8_t>> AbsurdRecords() {
    std::vector<uint8_t> shapeless = AbsurdRecord("no such shape");
    PutRecordWord(shapeless, 76, static_cast<uint32_t>(-1));
    std::vector<uint8_t> huge = AbsurdRecord("too big");
    PutRecordWord(huge, 80, static_cast<uint32_t>(-2000000000));
    PutRecordWord(huge, 84, 2000000000u);
    return {AbsurdRecord("light from nowhere"), shapeless, huge};
}

void StoreAbsurdPresets(const std::wstring& path) {
    WriteFileBytes(path, StoreOfRecords(AbsurdRecords()));
    BackdateFile(path);
}

void ExpectTrackbar(HWND dialog, int id, const char* name, int expected) {
    const int shown = TrackbarPosition(dialog, id);
    Expect(shown == expected, Format("the %s trackbar shows %d, expected %d", name, shown, expected));
}

// A value the trackbar cannot show sits at one of its ends.
void ExpectTrackbarAtAnEnd(HWND dialog, int id, const char* name, int low, int high) {
    const int shown = TrackbarPosition(dialog, id);
    Expect(shown == low || shown == high,
           Format("the %s trackbar shows %d, expected one of its ends %d or %d", name, shown, low, high));
}

void WaitForTrackbar(HWND dialog, int id, int position) {
    Expect(PollUntil([&] { return TrackbarPosition(dialog, id) == position; }),
           Format("trackbar %d never reached %d", id, position));
}

// OK after the one change `change` made; the store must come back byte for byte.
void ExpectOkWrites(SaverProcess& saver, HWND dialog, const ConfigValues& expected, const std::string& change) {
    const auto storeBefore = ReadFileBytes(WindowsStorePath());
    CloseDialogWith(saver, dialog, dialog_id::kOk);
    const std::string diff = DiffConfig(expected, ReadConfigValues());
    Expect(diff.empty(), "after " + change + " and OK the profile differs: " + diff);
    Expect(ReadFileBytes(WindowsStorePath()) == storeBefore,
           "after " + change + " and OK the store file is not byte for byte what was loaded");
    Expect(!ReadFileBytes(UserStorePath()), "OK created a per-user store beside the Windows directory's");
}

bool DarkestGrey(uint32_t pixel) { return pixel == 0x010101; }

constexpr int kImportButton = 1035;

// Imports the preset file at `path` through "Imp" and the system's file-open dialog.
void ImportPresetFile(SaverProcess& saver, HWND dialog, const std::wstring& path) {
    ClickButton(dialog, kImportButton);  // posted: the file dialog is modal
    HWND files = nullptr;
    PollUntil([&] {
        for (HWND hwnd : TopLevelWindowsOf(saver.Pid()))
            if (hwnd != dialog && Describe(hwnd).className == L"#32770") files = hwnd;
        return files != nullptr || !saver.Running();
    });
    Expect(files != nullptr, "\"Imp\" opened no file dialog");
    // The name field: an edit in a combo box in an extended combo box, all of id 0x47c.
    HWND field = GetDlgItem(files, 0x47c);
    for (const wchar_t* inner : {L"ComboBox", L"Edit"}) {
        HWND child = field ? FindWindowExW(field, nullptr, inner, nullptr) : nullptr;
        if (child) field = child;
    }
    Expect(field != nullptr, "the file dialog has no file name field");
    DWORD_PTR result = 0;
    Expect(SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                               kDeadlineMs, &result) != 0,
           "the file dialog did not take the file name");
    ClickButton(files, IDOK);
    Expect(PollUntil([&] { return !IsWindow(files) || !saver.Running(); }) && saver.Running(),
           "the file dialog did not close on Open");
}

std::wstring TempPresetPath() {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"absurd.pre";
}

}  // namespace

E2E_CASE(absurd, dialog_everything_at_once_then_cancel) {
    WriteRawProfile(EverythingAbsurd());
    StoreAbsurdPresets(WindowsStorePath());
    const StoredState before = ReadStoredState();
    {
        auto saver = StartSaver({L"/c"});
        HWND dialog = WaitForConfigDialog(*saver);
        ExpectTrackbar(dialog, dialog_id::kSize1, "shape width (-2000000000)", kSizeMin);
        ExpectTrackbar(dialog, dialog_id::kSize2, "shape height (2000000000)", kSizeMax);
        ExpectTrackbar(dialog, dialog_id::kPhong, "Phong power (2000000000)", kPhongMax);
        ExpectTrackbarAtAnEnd(dialog, dialog_id::kMirror, "mirror (1e30)", 0, kPercentMax);
        ExpectTrackbar(dialog, dialog_id::kAmbient, "ambient (-inf)", 0);
        Expect(IsChecked(dialog, dialog_id::kTorus) && !IsChecked(dialog, dialog_id::kSphere),
               "shape 2147483647 does not show as \"Torus\"");
        Expect(!IsWindowEnabled(DialogItem(dialog, dialog_id::kBound)), "\"Bound\" is enabled for a non-sphere");
        for (int slot = 0; slot < kSlots; ++slot)
            Expect(IsChecked(dialog, dialog_id::Switch(slot)), Format("mask 0xFFFFFFFF leaves slot %d off", slot));
        ExpectStaysBlack(*saver, dialog, PreviewArea(dialog), "every value absurd in the preview");
        Expect(PresetCount(dialog) == 3, Format("the preset list has %d entries, expected 3", PresetCount(dialog)));
        for (int preset = 0; preset < 3; ++preset) {
            ChoosePreset(dialog, preset);
            ExpectResponds(*saver, dialog, Format("after choosing absurd preset %d", preset));
        }
        CloseDialogWith(*saver, dialog, dialog_id::kCancel);
    }
    ExpectStoredStateUnchanged(before, "the dialog closed with Cancel");
}

E2E_CASE(absurd, dialog_preview_draws_non_finite_light) {
    RawProfile p;
    p.angleX = "nan";
    p.angleY = "inf";
    p.angleZ = "-inf";
    WriteRawProfile(p);
    const StoredState before = ReadStoredState();
    {
        auto saver = StartSaver({L"/c"});
        HWND dialog = WaitForConfigDialog(*saver);
        ExpectDrawsIn(*saver, dialog, PreviewArea(dialog), DarkestGrey, "every pixel 010101");
        CloseDialogWith(*saver, dialog, dialog_id::kCancel);
    }
    ExpectStoredStateUnchanged(before, "the dialog closed with Cancel");
}

E2E_CASE(absurd, dialog_preview_draws_specks_of_zero_size) {
    RawProfile p;
    p.size1 = 0;
    p.size2 = 0;
    WriteRawProfile(p);
    auto saver = StartSaver({L"/c"});
    HWND dialog = WaitForConfigDialog(*saver);
    ExpectTrackbar(dialog, dialog_id::kSize1, "shape width (0)", kSizeMin);
    ExpectDrawsIn(*saver, dialog, PreviewArea(dialog), DarkestGrey, "every pixel 010101");
    CloseDialogWith(*saver, dialog, dialog_id::kCancel);
}

E2E_CASE(absurd, dialog_cancel_after_many_changes_writes_nothing) {
    WriteRawProfile(EverythingAbsurd());
    StoreAbsurdPresets(UserStorePath());
    const StoredState before = ReadStoredState();
    {
        auto saver = StartSaver({L"/c"});
        HWND dialog = WaitForConfigDialog(*saver);
        ChoosePreset(dialog, 2);
        MoveTrackbar(dialog, dialog_id::kSize1, 12);
        MoveTrackbar(dialog, dialog_id::kSize2, 40);
        MoveTrackbar(dialog, dialog_id::kPhong, 3);
        MoveTrackbar(dialog, dialog_id::kMirror, 55);
        MoveTrackbar(dialog, dialog_id::kAmbient, 20);
        ClickButton(dialog, dialog_id::kSphere);
        ClickButton(dialog, dialog_id::kTorus);
        ClickButton(dialog, dialog_id::kColorReset);
        ClickButton(dialog, dialog_id::Switch(4));
        ClickButton(dialog, dialog_id::kRoundPlus);
        ClickButton(dialog, dialog_id::kRadialMinus);
        ChoosePreset(dialog, 0);
        ExpectResponds(*saver, dialog, "after a dozen changes");
        CloseDialogWith(*saver, dialog, dialog_id::kCancel);
    }
    ExpectStoredStateUnchanged(before, "the dialog closed with Cancel after changes");
}

E2E_CASE(absurd, dialog_ok_writes_the_moved_phong_and_keeps_the_rest) {
    const RawProfile profile = EverythingAbsurd();
    WriteRawProfile(profile);
    StoreAbsurdPresets(WindowsStorePath());
    auto saver = StartSaver({L"/c"});
    HWND dialog = WaitForConfigDialog(*saver);
    MoveTrackbar(dialog, dialog_id::kPhong, 7);
    WaitForTrackbar(dialog, dialog_id::kPhong, 7);
    ConfigValues expected = SavedForms(profile);
    expected["phong"] = NumberValue(7);
    ExpectOkWrites(*saver, dialog, expected, "moving Phong power to 7");
}

E2E_CASE(absurd, dialog_ok_writes_the_toggled_switch_and_keeps_the_rest) {
    RawProfile profile;
    profile.switches = 0xFFFFFFFFu;
    for (auto& c : profile.color) c = 0xFF123456u;
    profile.cbStep = "nan";
    profile.csStep = "-inf";
    profile.mirror = "1e30";
    WriteRawProfile(profile);
    StoreAbsurdPresets(WindowsStorePath());
    auto saver = StartSaver({L"/c"});
    HWND dialog = WaitForConfigDialog(*saver);
    ClickButton(dialog, dialog_id::Switch(3));
    Expect(PollUntil([&] { return !IsChecked(dialog, dialog_id::Switch(3)); }), "slot 3's box stays checked");
    ConfigValues expected = SavedForms(profile);
    expected["switches"] = NumberValue(127u & ~8u);
    ExpectOkWrites(*saver, dialog, expected, "switching slot 3 off");
}

E2E_CASE(absurd, dialog_ok_writes_the_moved_size_and_keeps_the_other) {
    RawProfile profile;
    profile.shape = Word(2147483647);
    profile.size1 = Word(2000000000);
    profile.size2 = Word(-2000000000);
    profile.bound = 0;
    profile.phong = Word(-5);
    profile.ambient = "1e30";
    WriteRawProfile(profile);
    StoreAbsurdPresets(WindowsStorePath());
    auto saver = StartSaver({L"/c"});
    HWND dialog = WaitForConfigDialog(*saver);
    ExpectTrackbar(dialog, dialog_id::kSize1, "shape width (2000000000)", kSizeMax);
    ExpectTrackbar(dialog, dialog_id::kSize2, "shape height (-2000000000)", kSizeMin);
    ExpectTrackbar(dialog, dialog_id::kPhong, "Phong power (-5)", 0);
    ExpectTrackbarAtAnEnd(dialog, dialog_id::kAmbient, "ambient (1e30)", 0, kPercentMax);
    MoveTrackbar(dialog, dialog_id::kSize1, 20);
    WaitForTrackbar(dialog, dialog_id::kSize1, 20);
    ConfigValues expected = SavedForms(profile);
    expected["size1"] = NumberValue(20);
    ExpectOkWrites(*saver, dialog, expected, "moving the shape width to 20");
}

E2E_CASE(absurd, dialog_ok_after_choosing_an_absurd_preset_writes_it) {
    // Choosing a preset changes every field it holds; bound and randomly are not in it.
    RawProfile profile;
    profile.randomly = 1;
    profile.bound = 1;
    WriteRawProfile(profile);
    StoreAbsurdPresets(WindowsStorePath());
    auto saver = StartSaver({L"/c"});
    HWND dialog = WaitForConfigDialog(*saver);
    ChoosePreset(dialog, 0);
    Expect(PollUntil([&] { return IsChecked(dialog, dialog_id::kTorus); }),
           "the preset of shape 1 never showed as \"Torus\"");
    ExpectTrackbar(dialog, dialog_id::kSize1, "shape width (2000000000)", kSizeMax);
    ExpectTrackbar(dialog, dialog_id::kSize2, "shape height (0)", kSizeMin);
    ExpectTrackbar(dialog, dialog_id::kPhong, "Phong power (-5)", 0);
    ExpectTrackbar(dialog, dialog_id::kAmbient, "ambient (-inf)", 0);
    ExpectResponds(*saver, dialog, "after choosing the absurd preset");

    ConfigValues expected = SavedForms(profile);
    expected["angleX"] = TextValue(FloatForm(kNaN));
    expected["angleY"] = TextValue(FloatForm(kInf));
    expected["angleZ"] = TextValue(FloatForm(-kInf));
    expected["cbStep"] = TextValue(FloatForm(kInf));
    expected["csStep"] = TextValue(FloatForm(kNaN));
    expected["mirror"] = TextValue(FloatForm(1e30f));
    expected["ambient"] = TextValue(FloatForm(-kInf));
    expected["shape"] = NumberValue(1);
    expected["size1"] = NumberValue(2000000000u);
    expected["size2"] = NumberValue(0);
    expected["phong"] = NumberValue(Word(-5));
    expected["switches"] = NumberValue(1u | 2u | 4u | 64u);
    // Slot 0's red word 0xFF123456 packs to 0xFF123456; a colour is its low three bytes.
    expected["color0"] = NumberValue(0x123456u);
    ExpectOkWrites(*saver, dialog, expected, "choosing the absurd preset");
}

E2E_CASE(absurd, dialog_imports_an_absurd_preset_file) {
    // Shape 3 draws nothing, so whatever appears once the import is chosen is its own.
    RawProfile profile;
    profile.shape = 3;
    profile.bound = 0;
    WriteRawProfile(profile);
    // Finite speeds and sizes, so that its shapes are stamped.
    std::vector<uint8_t> record = AbsurdRecord("imported from afar");
    PutRecordWord(record, 68, 0x3FBAE148u);  // cbStep 1.46
    PutRecordWord(record, 72, 0x3C23D70Au);  // csStep 0.01
    PutRecordWord(record, 80, 30);
    PutRecordWord(record, 84, 20);
    // Wide colour words have a case of their own (choosing a stored preset).
    PutRecordChannels(record, 0, 255, 0, 0);
    const std::wstring path = TempPresetPath();
    WriteFileBytes(path, record);
    {
        auto saver = StartSaver({L"/c"});
        HWND dialog = WaitForConfigDialog(*saver);
        ExpectStaysBlack(*saver, dialog, PreviewArea(dialog), "shape 3 in the preview");
        ImportPresetFile(*saver, dialog, path);
        Expect(PollUntil([&] { return PresetCount(dialog) == 1; }), "the imported preset is not listed");
        ChoosePreset(dialog, 0);
        // A cone lit from nowhere: every drawn pixel is the darkest grey.
        ExpectDrawsIn(*saver, dialog, PreviewArea(dialog), DarkestGrey, "every pixel 010101");
        CloseDialogWith(*saver, dialog, dialog_id::kOk);
    }
    DeleteFileW(path.c_str());
    const auto store = ReadFileBytes(WindowsStorePath());
    Expect(store && *store == StoreOfRecords({record}),
           "after the import and OK the store file is not the count 1 and the imported record byte for byte");
    ConfigValues expected = SavedForms(profile);
    expected["angleX"] = TextValue(FloatForm(kNaN));
    expected["angleY"] = TextValue(FloatForm(kInf));
    expected["angleZ"] = TextValue(FloatForm(-kInf));
    expected["cbStep"] = TextValue("1.460000");
    expected["csStep"] = TextValue("0.010000");
    expected["mirror"] = TextValue(FloatForm(1e30f));
    expected["ambient"] = TextValue(FloatForm(-kInf));
    expected["shape"] = NumberValue(1);
    expected["size1"] = NumberValue(30);
    expected["size2"] = NumberValue(20);
    expected["phong"] = NumberValue(Word(-5));
    expected["switches"] = NumberValue(1u | 2u | 4u | 64u);
    expected["color0"] = NumberValue(Rgb(255, 0, 0));
    const std::string diff = DiffConfig(expected, ReadConfigValues());
    Expect(diff.empty(), "after importing, choosing the preset and OK the profile differs: " + diff);
}

// The configuration dialog seen from outside: starting it, finding its controls, using
// them as a user would (clicks, trackbar moves, picks in lists) and reading back what
// they show, plus the modal windows it opens.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "process.h"

// Controls of the configuration dialog.
namespace dlg {
constexpr int kOk = IDOK;
constexpr int kCancel = IDCANCEL;
constexpr int kHelp = 1047;
constexpr int kPreviewArea = 1006;
constexpr int kPresetList = 1003;
constexpr int kSave = 1017;
constexpr int kExport = 1034;
constexpr int kImport = 1035;
constexpr int kDelete = 1018;
constexpr int kRandomly = 1069;
constexpr int kWidth = 1011;
constexpr int kHeight = 1015;
constexpr int kPhong = 1008;
constexpr int kMirror = 1013;
constexpr int kAmbient = 1012;
constexpr int kBound = 1036;
constexpr int kLightAngle = 1016;
constexpr int kSphere = 1037;
constexpr int kTorus = 1038;
constexpr int kResetRender = 1042;
constexpr int kResetColours = 1033;
constexpr int kRoundPlus = 1043;
constexpr int kRoundSpinner = 1048;
constexpr int kRoundMinus = 1046;
constexpr int kRadialPlus = 1044;
constexpr int kRadialSpinner = 1049;
constexpr int kRadialMinus = 1045;
constexpr int SwitchId(int slot) { return 1020 + 2 * slot; }
constexpr int ColourId(int slot) { return 1019 + 2 * slot; }

// The save, delete and export dialogs.
constexpr int kPresetName = 1000;
constexpr int kExportFile = 1061;
constexpr int kBrowse = 1059;

// One click on a speed button or one pixel of a spinner drag.
constexpr float kSpeedStep = 0.0005091f;
}  // namespace dlg

extern const wchar_t kDialogCaption[];
extern const wchar_t kPreviewClass[];

class ConfigDialog {
public:
    // Starts the saver with `args` and waits until its dialog and the live preview in it
    // are showing.
    explicit ConfigDialog(const std::vector<std::wstring>& args = {});
    // The same for a saver started already.
    explicit ConfigDialog(std::unique_ptr<SaverProcess> saver);

    SaverProcess& Saver() { return *saver_; }
    HWND Handle() const { return dialog_; }
    HWND Item(int id) const;
    HWND Preview() const { return preview_; }

    // Sent: the saver has handled the message when this returns. Only for what opens
    // no modal window (that would hold the driver until the window closes).
    LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);
    // Posted: handled later, in order with every other message posted to the saver.
    void Post(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);

    void Click(int id);      // a click handled before this returns
    void PostClick(int id);  // a click that opens a modal window

    bool Checked(int id);
    bool Enabled(int id) const;
    int TrackbarPosition(int id);
    int TrackbarMin(int id);
    int TrackbarMax(int id);
    // The thumb put at `position`, then the notifications of a finished drag.
    void MoveTrackbar(int id, int position);

    // Picks entry `index` of the preset list as a user would (-1 for no selection).
    void ChoosePreset(int index);

    // Waits until a button's whole face shows `rgb` (0x00RRGGBB); fails with the first
    // pixel that differs otherwise.
    void ExpectButtonShows(int id, uint32_t rgb, const std::string& what);

    // Closes the dialog with its Ok button and waits for the end (status 0).
    void PressOk();
    // Closes it with Cancel and waits for the end.
    void PressCancel();

    // Every visible top-level window of the saver, the dialog included.
    std::vector<HWND> Windows() const;

private:
    std::unique_ptr<SaverProcess> saver_;
    HWND dialog_ = nullptr;
    HWND preview_ = nullptr;
};

// A message to a window of the saver and its answer, failing when it does not answer.
LRESULT SendTo(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);
void PostTo(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);

// A window's text as the window itself reports it.
std::wstring TextOf(HWND window);
void SetTextOf(HWND window, const std::wstring& text);
// Characters typed into an edit control, one WM_CHAR each.
void TypeInto(HWND edit, const std::wstring& text);

// The entries of a combo box, and which one is selected (-1: none).
std::vector<std::wstring> ComboEntries(HWND combo);
int ComboSelection(HWND combo);
std::string DescribeEntries(const std::vector<std::wstring>& entries);

// The modal window the saver opens after `step`: a new visible top-level window of its
// process; fails when none comes.
HWND WaitForModal(ConfigDialog& dialog, const std::vector<HWND>& before, const std::string& step);
// A click on control `id` of the dialog and the modal window it opens, which must bear
// `caption` (any caption when null).
HWND OpenModal(ConfigDialog& dialog, int id, const wchar_t* caption);
// Waits until `window` is gone; fails when it stays.
void WaitClosed(ConfigDialog& dialog, HWND window, const std::string& what);

// A message box of the saver: its text, and a click on one of its buttons.
std::wstring MessageBoxText(HWND box);
void PressButton(HWND window, int id);

// The file dialogs: puts `path` in the name field and confirms.
void ChooseFile(HWND fileDialog, const std::wstring& path);

// The colour dialog: the red, green and blue fields, and OK.
struct ColourFields {
    int red, green, blue;
};
ColourFields ReadColourFields(HWND colourDialog);
void ChooseColour(HWND colourDialog, int red, int green, int blue);

// The configuration dialog driven from outside its process the way a user's input reaches
// it (BM_CLICK, TBM_SETPOS and the scroll notifications of a drag, list selection
// changes), the modal windows it opens, and what its controls and pictures show.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "stored.h"

namespace id {
constexpr int kOk = IDOK, kCancel = IDCANCEL, kHelp = 1047, kPreviewArea = 1006, kPresetList = 1003, kSave = 1017,
              kExport = 1034, kImport = 1035, kDelete = 1018, kRandomly = 1069, kWidth = 1011, kHeight = 1015,
              kPhong = 1008, kMirror = 1013, kAmbient = 1012, kBound = 1036, kLight = 1016, kSphere = 1037,
              kTorus = 1038, kResetRender = 1042, kResetColours = 1033, kRoundPlus = 1043, kRoundSpinner = 1048,
              kRoundMinus = 1046, kRadialPlus = 1044, kRadialSpinner = 1049, kRadialMinus = 1045;
constexpr int Switch(int slot) { return 1020 + 2 * slot; }
constexpr int Colour(int slot) { return 1019 + 2 * slot; }
constexpr int kPresetName = 1000, kExportFile = 1061, kBrowse = 1059;  // in the preset dialogs
}  // namespace id

class Dialog {
public:
    // Starts the saver with `args` (or takes one started already) and waits until its
    // dialog and the live preview in it show.
    explicit Dialog(const std::vector<std::wstring>& args = {}); explicit Dialog(std::unique_ptr<Saver> saver);
    Saver& saver() { return *saver_; }
    HWND Handle() const { return dialog_; }
    HWND Preview() const { return preview_; }
    HWND Item(int id) const;
    std::vector<HWND> Windows() const { return WindowsOf(saver_->Pid()); }

    void Click(int id);      // handled when this returns
    void PostClick(int id);  // for what opens a modal window
    bool Checked(int id) { return Send(Item(id), BM_GETCHECK) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Position(int id); void Track(int id, int position);
    void Choose(int index);  // in the preset list, -1 for none
    // Posts a click on `id` and returns the new window it opens (with `caption` if given).
    HWND Open(int id, const wchar_t* caption = nullptr);
    HWND WaitForNew(const std::vector<HWND>& before, const std::string& step);
    void WaitClosed(HWND window, const std::string& what);
    void Ok();      // and the end with status 0
    void Cancel();  // and the end
    // A press, moves with the button held and a release, posted to control `id`.
    void Drag(int id, std::initializer_list<POINT> points, bool release = true);

private:
    std::unique_ptr<Saver> saver_; HWND dialog_ = nullptr, preview_ = nullptr;
};

std::wstring TextOf(HWND window); void SetText(HWND window, const std::wstring& text);
void Type(HWND edit, const std::wstring& text);  // one WM_CHAR each
std::vector<std::wstring> Entries(HWND combo); int Selection(HWND combo);
void Select(HWND owner, HWND combo, int index, WORD notification);  // CB_SETCURSEL and the notification
std::string Show(const std::vector<std::wstring>& entries);
void ExpectList(HWND combo, const std::vector<std::wstring>& want, const std::string& where);
void Press(HWND window, int id);  // a posted click on an enabled button of a modal window
void ChooseFile(HWND fileDialog, const std::wstring& path); std::array<int, 3> ColourFields(HWND colourDialog);
void ChooseColour(HWND colourDialog, int red, int green, int blue);

// Every control against the settings: switches, colour buttons, Bound, Sphere, Torus,
// the random option, and the five trackbars at `positions` (width, height, Phong, mirror,
// ambient). Fails with every difference.
void ExpectControls(Dialog& dialog, const Profile& settings, std::array<int, 5> positions, const std::string& when);
void ExpectButtonShows(Dialog& dialog, int id, uint32_t packedColour, const std::string& what);

// The widest strip of the preview that `cover` leaves visible, in screen co-ordinates.
RECT VisiblePreview(HWND preview, HWND cover = nullptr);
void ExpectPreviewRuns(Dialog& dialog, const RECT& part, const std::string& when);
// Once the last stamped shapes have reached the screen, the picture stays the same.
void ExpectPreviewStill(Dialog& dialog, const RECT& part, const std::string& when);
// The light angle editor shows the blue sphere of its fixed material lit from (x, y, z).
void ExpectLightPicture(Dialog& dialog, float x, float y, float z, const std::string& what);

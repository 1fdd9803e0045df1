// The configuration dialog driven from outside its process, the way a user's input
// reaches it: a trackbar moved with TBM_SETPOS and then the scroll notification a drag
// sends its dialog, buttons clicked with a posted BM_CLICK, the preset list by selection
// change. Control ids are those of the published dialog layout.
#pragma once

#include <windows.h>

#include "absurd_values.h"
#include "process.h"

namespace dialog_id {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kPresetList = 1003;
constexpr int kPreviewArea = 1006;  // hidden static under the live preview
constexpr int kPhong = 1008;
constexpr int kSize1 = 1011;
constexpr int kAmbient = 1012;
constexpr int kMirror = 1013;
constexpr int kSize2 = 1015;
constexpr int kColorReset = 1033;
constexpr int kBound = 1036;
constexpr int kSphere = 1037;
constexpr int kTorus = 1038;
constexpr int kRoundPlus = 1043;
constexpr int kRadialPlus = 1044;
constexpr int kRadialMinus = 1045;
constexpr int kRoundMinus = 1046;
constexpr int Switch(int slot) { return 1020 + 2 * slot; }
}  // namespace dialog_id

// The saver's configuration dialog box once it is shown; fails when none appears.
HWND WaitForConfigDialog(SaverProcess& saver);

// A control of the dialog; fails when it has none with that id.
HWND DialogItem(HWND dialog, int id);

void MoveTrackbar(HWND dialog, int id, int position);
int TrackbarPosition(HWND dialog, int id);
void ClickButton(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
void ChoosePreset(HWND dialog, int index);
int PresetCount(HWND dialog);

// Where the live preview shows on the screen.
ScreenArea PreviewArea(HWND dialog);

// Clicks OK or Cancel and waits for the end with status 0.
void CloseDialogWith(SaverProcess& saver, HWND dialog, int buttonId);

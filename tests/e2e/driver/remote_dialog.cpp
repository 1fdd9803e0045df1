#include "remote_dialog.h"

#include <commctrl.h>

#include "check.h"
#include "poll.h"
#include "saver.h"
#include "window_search.h"

namespace {

// Sent messages wait for the saver's thread; a hung saver must fail the case, not stall it.
LRESULT SendWithin(HWND window, UINT message, WPARAM w, LPARAM l, const char* what) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG | SMTO_BLOCK, kDeadlineMs, &result))
        Fail(Format("the dialog did not answer %s within %lu s (error %lu)", what, kDeadlineMs / 1000,
                    GetLastError()));
    return static_cast<LRESULT>(result);
}

void PostTo(HWND window, UINT message, WPARAM w, LPARAM l, const char* what) {
    if (!PostMessageW(window, message, w, l)) Fail(Format("cannot post %s (error %lu)", what, GetLastError()));
}

}  // namespace

HWND WaitForConfigDialog(SaverProcess& saver) {
    HWND dialog = nullptr;
    PollUntil([&] {
        for (HWND hwnd : TopLevelWindowsOf(saver.Pid()))
            if (Describe(hwnd).className == L"#32770") dialog = hwnd;
        return dialog != nullptr || !saver.Running();
    });
    if (!dialog) {
        if (!saver.Running())
            Fail(Format("the saver ended with status %lu without showing its dialog", saver.ExitCode()));
        Fail(Format("no configuration dialog appeared within %lu s", kDeadlineMs / 1000));
    }
    // The live preview is made during the dialog's initialisation; once the dialog
    // answers, it exists.
    SendWithin(dialog, WM_NULL, 0, 0, "its first message");
    return dialog;
}

HWND DialogItem(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) Fail(Format("the dialog has no control %d", id));
    return item;
}

void MoveTrackbar(HWND dialog, int id, int position) {
    HWND trackbar = DialogItem(dialog, id);
    SendWithin(trackbar, TBM_SETPOS, TRUE, position, "TBM_SETPOS");
    const LPARAM source = reinterpret_cast<LPARAM>(trackbar);
    PostTo(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), source, "WM_HSCROLL");
    PostTo(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), source, "WM_HSCROLL");
}

int TrackbarPosition(HWND dialog, int id) {
    return static_cast<int>(SendWithin(DialogItem(dialog, id), TBM_GETPOS, 0, 0, "TBM_GETPOS"));
}

void ClickButton(HWND dialog, int id) { PostTo(DialogItem(dialog, id), BM_CLICK, 0, 0, "BM_CLICK"); }

bool IsChecked(HWND dialog, int id) {
    return SendWithin(DialogItem(dialog, id), BM_GETCHECK, 0, 0, "BM_GETCHECK") == BST_CHECKED;
}

void ChoosePreset(HWND dialog, int index) {
    HWND list = DialogItem(dialog, dialog_id::kPresetList);
    SendWithin(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0, "CB_SETCURSEL");
    PostTo(dialog, WM_COMMAND, MAKEWPARAM(dialog_id::kPresetList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list),
           "CBN_SELCHANGE");
}

int PresetCount(HWND dialog) {
    return static_cast<int>(SendWithin(DialogItem(dialog, dialog_id::kPresetList), CB_GETCOUNT, 0, 0, "CB_GETCOUNT"));
}

ScreenArea PreviewArea(HWND dialog) {
    ScreenArea area = AreaOfWindow(DialogItem(dialog, dialog_id::kPreviewArea));
    // The preview's picture has the window's size rounded down to even numbers; an odd
    // last column or row is never painted and shows whatever lies beneath.
    area.rect.right = area.rect.left + ((area.rect.right - area.rect.left) & ~1L);
    area.rect.bottom = area.rect.top + ((area.rect.bottom - area.rect.top) & ~1L);
    return area;
}

void CloseDialogWith(SaverProcess& saver, HWND dialog, int buttonId) {
    ClickButton(dialog, buttonId);
    ExpectEndsWithStatus(saver, 0, buttonId == dialog_id::kOk ? "OK" : "Cancel");
}

// The dialog's live preview: it runs in place of its placeholder, stands still while a
// modal window of the dialog is open and while the dialog is being moved, and runs
// again once that window has closed or the dialog has rested for a moment.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cases.h"
#include "check.h"
#include "dialog_driver.h"
#include "dialog_pixels.h"
#include "poll.h"
#include "preset_store.h"
#include "window_search.h"

namespace {

// Milliseconds of a fine clock, for the intervals this driver measures itself.
double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

RECT WholePreview(ConfigDialog& dialog) { return VisiblePreviewPart(dialog.Preview(), nullptr); }

// The preview stands still while `window` is open (watched beside it) and runs again once
// `close` has closed it.
template <class Close>
void ExpectPauseWhileOpen(ConfigDialog& dialog, HWND window, const std::string& what, Close close) {
    // Out of the preview's way, as far as the screen allows.
    RECT r;
    GetWindowRect(window, &r);
    const SIZE screen = ScreenSize();
    SetWindowPos(window, nullptr, screen.cx - (r.right - r.left), screen.cy - (r.bottom - r.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendTo(window, WM_NULL);  // answered once the window has finished opening
    ExpectPreviewStill(dialog, VisiblePreviewPart(dialog.Preview(), window), "while " + what + " is open");
    close();
    WaitClosed(dialog, window, what);
    ExpectPreviewRuns(dialog, WholePreview(dialog), "after " + what + " closed");
}

}  // namespace

E2E_CASE(dialog_preview, runs_in_place_of_the_placeholder) {
    ConfigDialog dialog;
    const HWND placeholder = dialog.Item(dlg::kPreviewArea);
    Expect(!IsWindowVisible(placeholder), "the preview's placeholder is visible");
    const WindowInfo preview = Describe(dialog.Preview());
    const WindowInfo place = Describe(placeholder);
    Expect(EqualRect(&preview.rect, &place.rect) != FALSE,
           Format("the preview lies at (%ld,%ld)-(%ld,%ld), its placeholder at (%ld,%ld)-(%ld,%ld)", preview.rect.left,
                  preview.rect.top, preview.rect.right, preview.rect.bottom, place.rect.left, place.rect.top,
                  place.rect.right, place.rect.bottom));
    Expect((preview.style & WS_CHILD) != 0 && GetParent(dialog.Preview()) == dialog.Handle(),
           "the preview is not a child of the dialog: " + DescribeForMessage(preview));
    ExpectPreviewRuns(dialog, WholePreview(dialog), "in the open dialog");
    dialog.PressCancel();
}

E2E_CASE(dialog_preview, still_while_the_colour_dialog_is_open) {
    ConfigDialog dialog;
    ExpectPreviewRuns(dialog, WholePreview(dialog), "before a colour button is clicked");
    const HWND chooser = OpenModal(dialog, dlg::ColourId(2), nullptr);
    ExpectPauseWhileOpen(dialog, chooser, "the colour dialog", [&] { PressButton(chooser, IDCANCEL); });
    dialog.PressCancel();
}

E2E_CASE(dialog_preview, still_while_the_help_box_is_open) {
    ConfigDialog dialog;
    ExpectPreviewRuns(dialog, WholePreview(dialog), "before Help");
    const HWND box = OpenModal(dialog, dlg::kHelp, L"About/Help");
    const std::wstring text = MessageBoxText(box);
    const std::wstring want =
        L"Tindelborg Screen Saver Ring version 2.0\n\nTo get help or some useful advices, open Tindelborg Help from "
        L"Start Menu";
    Expect(text == want, "the help box says \"" + Narrow(text) + "\"");
    Expect(dialog.Windows().size() == 2, Format("Help opened %zu windows, expected the one box", dialog.Windows().size() - 1));
    Expect(GetDlgItem(box, IDCANCEL) == nullptr && GetDlgItem(box, IDYES) == nullptr && GetDlgItem(box, IDOK) != nullptr,
           "the help box should have an OK button only");
    ExpectPauseWhileOpen(dialog, box, "the help box", [&] { PressButton(box, IDOK); });
    Expect(dialog.Windows().size() == 1, "a window stayed open after the help box closed");
    dialog.PressCancel();
}

// Save, delete, export and the file-open dialog of import each pause it, and closing each
// without doing anything lets it run again.
E2E_CASE(dialog_preview, still_while_each_preset_dialog_is_open) {
    PresetRecord preset;
    preset.name = "one";
    WriteFileBytes(WindowsStorePath(), EncodeStore({preset}));
    ConfigDialog dialog;
    ExpectPreviewRuns(dialog, WholePreview(dialog), "before any preset dialog");
    const struct {
        int id;
        const char* what;
        int close;
    } steps[] = {
        {dlg::kSave, "the save dialog", IDCANCEL},
        {dlg::kDelete, "the delete dialog", IDOK},
        {dlg::kExport, "the export dialog", IDCANCEL},
        {dlg::kImport, "the file-open dialog of import", IDCANCEL},
    };
    for (const auto& step : steps) {
        const HWND window = OpenModal(dialog, step.id, nullptr);
        if (step.id == dlg::kExport) {
            // The export dialog has no Cancel button; the close box ends it.
            ExpectPauseWhileOpen(dialog, window, step.what, [&] { PostTo(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
        } else {
            ExpectPauseWhileOpen(dialog, window, step.what, [&] { PressButton(window, step.close); });
        }
    }
    dialog.PressCancel();
}

// While the dialog is dragged about the preview stands still; once it rests, drawing
// comes back after 150 ms and not before.
E2E_CASE(dialog_preview, still_while_moved_and_resumes_after_a_rest) {
    ConfigDialog dialog;
    const RECT whole = WholePreview(dialog);
    ExpectPreviewRuns(dialog, whole, "before the dialog moves");
    RECT start;
    GetWindowRect(dialog.Handle(), &start);
    int moves = 0;
    double lastMove = 0;
    // One step of a drag: one pixel to the side and back again, as a hand would.
    auto move = [&] {
        ++moves;
        lastMove = NowMs();
        Expect(SetWindowPos(dialog.Handle(), nullptr, start.left + moves % 2, start.top, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE,
               Format("cannot move the dialog (error %lu)", GetLastError()));
    };

    // Only a drag without a pause of 150 ms counts: when this driver is held up for that
    // long, the preview rightly runs again and the watching starts over.
    constexpr double kSteadyGapMs = 100;
    constexpr double kDragMs = 1000;
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    std::vector<uint32_t> still;
    bool proven = false;
    while (!proven && GetTickCount64() < deadline) {
        // Wait for the picture to settle while moving.
        move();
        std::vector<uint32_t> previous = PreviewPixels(dialog.Preview(), whole);
        still.clear();
        bool steady = true;
        while (steady && still.empty() && GetTickCount64() < deadline) {
            Sleep(20);
            if (NowMs() - lastMove > kSteadyGapMs) steady = false;
            move();
            auto now = PreviewPixels(dialog.Preview(), whole);
            if (now == previous) still = now;
            previous = std::move(now);
        }
        if (!steady || still.empty()) continue;
        // Keep dragging for a while; then the picture must still be the same one. A
        // preview that drew on never comes back to it.
        const double dragStart = NowMs();
        while (steady && GetTickCount64() < deadline) {
            Sleep(20);
            if (NowMs() - lastMove > kSteadyGapMs) steady = false;
            move();
            if (NowMs() - dragStart >= kDragMs && PreviewPixels(dialog.Preview(), whole) == still) {
                proven = true;
                break;
            }
        }
    }
    Expect(dialog.Saver().Running(), Format("the saver ended (status %lu) while being moved", dialog.Saver().ExitCode()));
    Expect(proven, Format("the preview went on drawing while the dialog was being moved (%d moves in %lu s)", moves,
                          kDeadlineMs / 1000));

    // The rest: the last move above was the last one.
    const double rest = lastMove;
    bool resumed = false;
    double seen = 0;
    PollUntil(
        [&] {
            const bool changed = PreviewPixels(dialog.Preview(), whole) != still;
            seen = NowMs();
            if (changed) resumed = true;
            return resumed;
        },
        kDeadlineMs, 5);
    Expect(resumed, Format("the preview did not run again within %lu s after the dialog came to rest", kDeadlineMs / 1000));
    Expect(seen - rest >= 150,
           Format("the preview drew again %.0f ms after the last move, before 150 ms of rest", seen - rest));
    std::printf("info: the preview drew again at most %.0f ms after the last move\n", seen - rest);
    dialog.PressCancel();
}

// A modal window opened right after a move must keep the preview still for as long as it
// is open, not only until the move's short rest is over.
E2E_CASE(dialog_preview, still_while_a_box_opened_right_after_a_move_is_open) {
    ConfigDialog dialog;
    ExpectPreviewRuns(dialog, WholePreview(dialog), "before the dialog moves");
    RECT start;
    GetWindowRect(dialog.Handle(), &start);
    Expect(SetWindowPos(dialog.Handle(), nullptr, start.left + 1, start.top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE,
           Format("cannot move the dialog (error %lu)", GetLastError()));
    const HWND box = OpenModal(dialog, dlg::kHelp, L"About/Help");
    ExpectPauseWhileOpen(dialog, box,
                         "the help box, opened right after the dialog moved (the pause of the move, ending 150 ms "
                         "after it, also ended the help box's pause)",
                         [&] { PressButton(box, IDOK); });
    dialog.PressCancel();
}

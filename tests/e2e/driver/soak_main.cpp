// The soak driver: runs the saver for minutes and watches what that costs its process.
//
//   tindlbrg_soak full_screen MINUTES SAVER_PATH CSV_PATH [SCREEN.bmp]
//       the full-screen saver, left alone, then ended with a key
//   tindlbrg_soak dialog MINUTES SAVER_PATH CSV_PATH [SCREEN.bmp]
//       the configuration dialog with its live preview, a setting changed every second
//       through the dialog's controls, then closed with Cancel
//
// Samples every few seconds (memory, GDI and USER objects, windows, handles, whether the
// saver answers and the picture moves), prints a table and a last line PASS or FAIL: why;
// the samples go to CSV_PATH. Exit status 0 when it passed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "check.h"
#include "input.h"
#include "poll.h"
#include "preset_store.h"
#include "registry.h"
#include "remote_dialog.h"
#include "saver.h"
#include "screen.h"
#include "soak_sampler.h"

namespace {

constexpr DWORD kSampleEveryMs = 3000;
constexpr DWORD kChangeEveryMs = 1000;

DWORD runLimitMs = 0;

DWORD WINAPI Watchdog(LPVOID) {
    Sleep(runLimitMs);
    std::printf("FAIL: the soak did not finish within %lu s\n", runLimitMs / 1000);
    std::fflush(stdout);
    TerminateAllSavers();
    ExitProcess(3);
}

std::wstring screenshotPath;

void SaveScreenOnFailure() {
    if (!screenshotPath.empty()) Screenshot::Capture().SaveBmp(screenshotPath);
}

class Clock {
public:
    double Seconds() const { return static_cast<double>(GetTickCount64() - start_) / 1000.0; }
    ULONGLONG Ms() const { return GetTickCount64() - start_; }

private:
    ULONGLONG start_ = GetTickCount64();
};

// Waits until `untilMs` on the clock, pumping; fails when the saver ends meanwhile.
void WaitUntil(SaverProcess& saver, const Clock& clock, ULONGLONG untilMs, const char* mode) {
    const ULONGLONG now = clock.Ms();
    if (untilMs > now) PollUntil([&] { return !saver.Running(); }, static_cast<DWORD>(untilMs - now), 20);
    if (!saver.Running())
        Fail(Format("the %s saver ended after %.0f s with status %lu", mode, clock.Seconds(), saver.ExitCode()));
}

struct Run {
    std::vector<SoakSample> samples;
    std::string extra;  // lines to print after the table
};

Run SoakFullScreen(double minutes) {
    Run run;
    auto saver = StartSaver({L"/s"});
    const Clock clock;
    HWND window = WaitForFullScreenWindow(*saver);
    WaitForDrawing(*saver);
    SoakSampler sampler(saver->Pid());
    const RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const ULONGLONG durationMs = static_cast<ULONGLONG>(minutes * 60000);
    for (ULONGLONG next = clock.Ms(); next <= durationMs; next += kSampleEveryMs) {
        WaitUntil(*saver, clock, next, "full-screen");
        run.samples.push_back(sampler.Take(clock.Seconds(), window, area));
    }
    PostKeyDown(window, VK_SPACE);
    ExpectEndsWithStatus(*saver, 0, "a key press at the end of the soak");
    return run;
}

// One change a second, cycling through the dialog's kinds of control. Speed clicks go
// both ways and each slot is switched off and on again, so the preview keeps drawing.
class DialogChanges {
public:
    explicit DialogChanges(HWND dialog) : dialog_(dialog) {}

    void Next() {
        const int k = count_++;
        const int cycle = k / 10;
        switch (k % 10) {
            case 0: MoveTrackbar(dialog_, dialog_id::kSize1, 5 + (k * 7) % 46); break;
            case 1: MoveTrackbar(dialog_, dialog_id::kPhong, k % 21); break;
            case 2: MoveTrackbar(dialog_, dialog_id::kMirror, (k * 13) % 101); break;
            case 3: ClickButton(dialog_, dialog_id::kColorReset); break;
            case 4: ClickButton(dialog_, dialog_id::kTorus); break;
            case 5: MoveTrackbar(dialog_, dialog_id::kSize2, 5 + (k * 11) % 46); break;
            case 6: ClickButton(dialog_, dialog_id::kSphere); break;
            case 7: ClickButton(dialog_, dialog_id::Switch((cycle / 2) % 7)); break;
            case 8: MoveTrackbar(dialog_, dialog_id::kAmbient, (k * 17) % 101); break;
            case 9:
                ClickButton(dialog_, cycle % 2 ? dialog_id::kRoundMinus : dialog_id::kRoundPlus);
                ClickButton(dialog_, cycle % 2 ? dialog_id::kRadialPlus : dialog_id::kRadialMinus);
                break;
        }
    }
    int Count() const { return count_; }

private:
    HWND dialog_;
    int count_ = 0;
};

Run SoakDialog(double minutes) {
    Run run;
    auto saver = StartSaver({L"/c"});
    const Clock clock;
    HWND dialog = WaitForConfigDialog(*saver);
    const RECT area = PreviewArea(dialog).rect;
    SoakSampler sampler(saver->Pid());
    DialogChanges changes(dialog);
    const ULONGLONG durationMs = static_cast<ULONGLONG>(minutes * 60000);
    ULONGLONG nextSample = clock.Ms();
    ULONGLONG nextChange = nextSample + kChangeEveryMs;
    while (nextSample <= durationMs) {
        if (nextChange < nextSample) {
            WaitUntil(*saver, clock, nextChange, "configuration");
            changes.Next();
            nextChange += kChangeEveryMs;
            continue;
        }
        WaitUntil(*saver, clock, nextSample, "configuration");
        run.samples.push_back(sampler.Take(clock.Seconds(), dialog, area));
        nextSample += kSampleEveryMs;
    }
    // Torus after sphere, as cycles end: the radio buttons prove the clicks were handled.
    const bool torus = IsChecked(dialog, dialog_id::kTorus), sphere = IsChecked(dialog, dialog_id::kSphere);
    Expect(torus != sphere, "the shape buttons show neither or both checked");
    run.extra = Format("  %d settings changed through the dialog's controls\n", changes.Count());
    CloseDialogWith(*saver, dialog, dialog_id::kCancel);
    const std::string written = DiffSnapshots({}, SnapshotSaverValues());
    Expect(written.empty(), "the dialog closed with Cancel wrote to the registry: " + written);
    return run;
}

int Usage() {
    std::fprintf(stderr, "usage: tindlbrg_soak full_screen|dialog MINUTES SAVER_PATH CSV_PATH [SCREEN.bmp]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 5 || argc > 6) return Usage();
    const std::wstring mode = argv[1];
    const double minutes = std::wcstod(argv[2], nullptr);
    if ((mode != L"full_screen" && mode != L"dialog") || !(minutes > 0 && minutes <= 600)) return Usage();
    SetSaverPath(argv[3]);
    const std::wstring csvPath = argv[4];
    if (argc == 6) {
        screenshotPath = argv[5];
        SetFailureHook(SaveScreenOnFailure);
    }
    runLimitMs = static_cast<DWORD>(minutes * 60000) + 180000;
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));

    Run run;
    std::string failure;
    try {
        if (GetFileAttributesW(SaverPath().c_str()) == INVALID_FILE_ATTRIBUTES)
            Fail("the saver is missing: " + Narrow(SaverPath()));
        // The built-in settings, no store, the pointer at rest where the saver starts.
        DeleteSaverKeys();
        DeleteStoreFiles();
        MovePointerTo(kPointerHome);
        run = mode == L"dialog" ? SoakDialog(minutes) : SoakFullScreen(minutes);
    } catch (const CaseFailure& f) {
        failure = f.what();
    } catch (const std::exception& e) {
        failure = std::string("unexpected error: ") + e.what();
    }
    TerminateAllSavers();

    const SoakVerdict verdict = JudgeSoak(Narrow(mode), run.samples, SoakLimits{});
    std::printf("%s%s", verdict.report.c_str(), run.extra.c_str());
    if (!WriteSoakCsv(csvPath, run.samples)) std::printf("  (cannot write %s)\n", Narrow(csvPath).c_str());
    if (failure.empty() && !verdict.passed) failure = "the process grew or stalled (see above)";
    if (!failure.empty()) {
        std::printf("FAIL: %s\n", failure.c_str());
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}

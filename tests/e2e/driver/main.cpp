// The end-to-end test driver: a Windows console program that runs one case against the
// real saver and reports PASS or FAIL with the reason.
//
//   tindlbrg_driver list                  names of all cases, one a line
//   tindlbrg_driver run CASE SAVER_PATH [SCREEN.bmp]
//                                         runs one case; exit status 0 when it passed; on
//                                         failure the screen at that moment goes to SCREEN.bmp
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "cases.h"
#include "check.h"
#include "input.h"
#include "preset_store.h"
#include "process.h"
#include "registry.h"
#include "saver.h"
#include "screen.h"

namespace {

// Longer than any case takes even when every wait in it runs into its deadline.
constexpr DWORD kCaseLimitMs = 90000;

DWORD WINAPI Watchdog(LPVOID) {
    Sleep(kCaseLimitMs);
    std::printf("FAIL: the case did not finish within %lu s\n", kCaseLimitMs / 1000);
    std::fflush(stdout);
    TerminateAllSavers();
    ExitProcess(3);
}

std::wstring screenshotPath;

void SaveScreenOnFailure() {
    if (!screenshotPath.empty()) Screenshot::Capture().SaveBmp(screenshotPath);
}

// Every case starts from no settings, no store files and the pointer at its resting place.
void ResetState() {
    DeleteSaverKeys();
    DeleteStoreFiles();
    MovePointerTo(kPointerHome);
}

int Run(const Case& c) {
    try {
        if (GetFileAttributesW(SaverPath().c_str()) == INVALID_FILE_ATTRIBUTES)
            Fail("the saver is missing: " + Narrow(SaverPath()));
        ResetState();
        c.run();
    } catch (const CaseFailure& failure) {
        std::printf("FAIL: %s\n", failure.what());
        return 1;
    } catch (const std::exception& error) {
        std::printf("FAIL: unexpected error: %s\n", error.what());
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: tindlbrg_driver list | run CASE SAVER_PATH [SCREEN.bmp]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // Groups in name order, cases in the order they are written.
    std::stable_sort(AllCases().begin(), AllCases().end(), [](const Case& a, const Case& b) {
        return a.name.substr(0, a.name.find('.')) < b.name.substr(0, b.name.find('.'));
    });
    if (argc == 2 && std::wcscmp(argv[1], L"list") == 0) {
        for (const auto& c : AllCases()) std::printf("%s\n", c.name.c_str());
        return 0;
    }
    if (argc < 4 || argc > 5 || std::wcscmp(argv[1], L"run") != 0) return Usage();
    if (argc == 5) {
        screenshotPath = argv[4];
        SetFailureHook(SaveScreenOnFailure);
    }
    const std::string name = Narrow(argv[2]);
    SetSaverPath(argv[3]);
    for (const auto& c : AllCases()) {
        if (c.name != name) continue;
        CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
        const int status = Run(c);
        // The saver of a failed case ends here, before the next case starts.
        TerminateAllSavers();
        return status;
    }
    std::fprintf(stderr, "no case named %s\n", name.c_str());
    return 2;
}

std::vector<Case>& AllCases() {
    static std::vector<Case> cases;
    return cases;
}

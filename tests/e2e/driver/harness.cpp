// tindlbrg_driver list | run CASE SAVER; soak.* cases (not listed) run $TINDLBRG_SOAK_MINUTES.
#include "driver.h"

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 2 && argv[1] == std::wstring(L"list")) {
        for (const auto& [name, run] : Cases())
            if (name.compare(0, 5, "soak.") != 0) std::printf("%s\n", name.c_str());
        return 0;
    }
    const auto it = argc == 4 && argv[1] == std::wstring(L"run") ? Cases().find(Narrow(argv[2])) : Cases().end();
    if (it == Cases().end()) {
        std::fprintf(stderr, "usage: %ls list | run CASE SAVER\n", argv[0]);
        return 2;
    }
    saverPath = argv[3];
    // A case that hangs fails; the runner then ends the Wine session and what it left.
    const char* minutes = std::getenv("TINDLBRG_SOAK_MINUTES");
    static const DWORD limitMs = 90000 + static_cast<DWORD>((minutes ? std::atof(minutes) : 0) * 60000);
    CloseHandle(CreateThread(nullptr, 0, [](LPVOID) -> DWORD {
        Sleep(limitMs);
        std::printf("FAIL: the case did not finish within %lu s\n", limitMs / 1000);
        ExitProcess(3);
    }, nullptr, 0, nullptr));
    try {
        Expect(GetFileAttributesW(saverPath.c_str()) != INVALID_FILE_ATTRIBUTES, "the saver is missing: " + Narrow(saverPath));
        ResetStoredState();
        MovePointer({100, 100});
        it->second();
    } catch (const std::exception& failure) {
        std::printf("FAIL: %s\n", failure.what());
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}

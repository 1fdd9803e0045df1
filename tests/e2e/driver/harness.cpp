// The driver's main: tindlbrg_driver list | run CASE SAVER [SCREEN.bmp]. A case named
// soak.* runs for $TINDLBRG_SOAK_MINUTES and is not listed.
#include "driver.h"

namespace {

DWORD limitMs = 90000;
DWORD WINAPI Watchdog(LPVOID) {
    Sleep(limitMs);
    std::printf("FAIL: the case did not finish within %lu s\n", limitMs / 1000);
    ExitProcess(3);
}

// A 32-bit top-down BMP of the screen as the check failed.
void SaveBmp(const Screenshot& shot, const std::wstring& path) {
    const DWORD size = static_cast<DWORD>(shot.pixels.size() * 4);
    BITMAPINFOHEADER header = {sizeof header, shot.width, -shot.height, 1, 32, BI_RGB, size, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof header};
    file.bfSize = file.bfOffBits + size;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&header, sizeof header, 1, out);
        std::fwrite(shot.pixels.data(), 4, shot.pixels.size(), out);
        std::fclose(out);
    }
}

}  // namespace

void Fail(const std::string& message) {
    if (!screenshotPath.empty()) {
        const std::wstring path = screenshotPath;
        screenshotPath.clear();  // once only: capturing may fail too
        try {
            SaveBmp(Capture(), path);
        } catch (const CaseFailure&) {
        }
    }
    throw CaseFailure(message);
}

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"list" && argc == 2) {
        for (const auto& [name, run] : Cases())
            if (name.compare(0, 5, "soak.") != 0) std::printf("%s\n", name.c_str());
        return 0;
    }
    const auto it = argc >= 4 && argc <= 5 && command == L"run" ? Cases().find(Narrow(argv[2])) : Cases().end();
    if (it == Cases().end()) {
        std::fprintf(stderr, "usage: %ls list | run CASE SAVER [SCREEN.bmp] (%ls is no case)\n", argv[0],
                     argc > 2 ? argv[2] : L"");
        return 2;
    }
    saverPath = argv[3];
    if (argc == 5) screenshotPath = argv[4];
    if (it->first.compare(0, 5, "soak.") == 0) limitMs += static_cast<DWORD>(SoakMinutes() * 60000);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
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

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "driver.h"

double soakMinutes = 0; std::wstring soakCsv;

namespace {

std::wstring screenshotPath;

struct Registered {
    std::string name; std::function<void()> run;
};
std::vector<Registered>& Cases() {
    static std::vector<Registered> cases; return cases;
}

// The savers alive right now, shared with the watchdog thread.
CRITICAL_SECTION liveLock; std::vector<HANDLE> live;

DWORD limitMs = 90000;
DWORD WINAPI Watchdog(LPVOID) {
    Sleep(limitMs); std::printf("FAIL: the case did not finish within %lu s\n", limitMs / 1000); TerminateAllSavers();
    ExitProcess(3);
}

std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    for (wchar_t c : arg) quoted += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
    return quoted + L"\"";
}

std::wstring saverPath;

}  // namespace

void Fail(const std::string& message) {
    if (!screenshotPath.empty()) {
        const std::wstring path = screenshotPath;
        screenshotPath.clear();  // once only: saving may fail too
        try {
            Screenshot::Capture().SaveBmp(path);
        } catch (const CaseFailure&) {
        }
    }
    throw CaseFailure(message);
}

std::string Format(const char* format, ...) {
    va_list args, copy; va_start(args, format); va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy); va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, args);
    va_end(args); return text;
}

std::string Narrow(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                         static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(std::max(size, 0))); return out;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg); DispatchMessageW(&msg);
    }
}

void AddCase(const std::string& name, std::function<void()> run) { Cases().push_back({name, std::move(run)}); }

// tindlbrg_driver list | run CASE SAVER [SCREEN.bmp] | soak MODE MINUTES SAVER CSV [SCREEN.bmp]
int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0); InitializeCriticalSection(&liveLock);
    std::stable_sort(Cases().begin(), Cases().end(), [](const Registered& a, const Registered& b) {
        return a.name.substr(0, a.name.find('.')) < b.name.substr(0, b.name.find('.'));
    });
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"list" && argc == 2) {
        for (const auto& c : Cases())
            if (c.name.compare(0, 5, "soak.") != 0) std::printf("%s\n", c.name.c_str());
        return 0;
    }
    std::string name; int next = 3;
    if (command == L"run" && argc >= 4 && argc <= 5) {
        name = Narrow(argv[2]);
    } else if (command == L"soak" && argc >= 6 && argc <= 7) {
        name = "soak." + Narrow(argv[2]); soakMinutes = std::wcstod(argv[3], nullptr); soakCsv = argv[5];
        limitMs = static_cast<DWORD>(soakMinutes * 60000) + 180000; next = 4;
    } else {
        std::fprintf(stderr, "usage: %ls list | run CASE SAVER [SCREEN.bmp] | soak MODE MINUTES SAVER CSV [SCREEN.bmp]\n",
                     argv[0]); return 2;
    }
    saverPath = argv[next]; if (argc > next + (command == L"soak" ? 2 : 1)) screenshotPath = argv[argc - 1];
    for (const auto& c : Cases()) {
        if (c.name != name) continue;
        CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
        int status = 1;
        try {
            Expect(GetFileAttributesW(saverPath.c_str()) != INVALID_FILE_ATTRIBUTES,
                   "the saver is missing: " + Narrow(saverPath)); ResetStoredState(); MovePointer({100, 100});
            c.run(); std::printf("PASS\n"); status = 0;
        } catch (const std::exception& failure) {
            std::printf("FAIL: %s\n", failure.what());
        }
        TerminateAllSavers(); return status;
    }
    std::fprintf(stderr, "no case named %s\n", name.c_str()); return 2;
}

std::vector<HWND> WindowsOf(DWORD pid, bool visibleOnly) {
    struct Search {
        DWORD pid; bool visibleOnly; std::vector<HWND> found;
    } search{pid, visibleOnly, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param); DWORD owner = 0; GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->pid && (!s->visibleOnly || IsWindowVisible(hwnd))) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search)); return search.found;
}

std::vector<HWND> ChildrenOf(HWND parent, DWORD pid) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        DWORD owner = 0; GetWindowThreadProcessId(child, &owner); if (owner == pid) found.push_back(child);
        for (HWND deeper : ChildrenOf(child, pid)) found.push_back(deeper);
    }
    return found;
}

std::wstring ClassOf(HWND window) {
    wchar_t text[256] = {}; GetClassNameW(window, text, 256); return text;
}

std::wstring TitleOf(HWND window) {
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, 256);  // not WM_GETTEXT: that waits for a busy saver
    return text;
}

RECT RectOf(HWND window) {
    RECT r = {}; GetWindowRect(window, &r); return r;
}

LONG StyleOf(HWND window, int which) { return GetWindowLongW(window, which); }

std::string Describe(HWND window) {
    const RECT r = RectOf(window);
    return Format("window %p class \"%s\" title \"%s\" at (%ld,%ld)-(%ld,%ld) style %08lx exstyle %08lx%s",
                  static_cast<void*>(window), Narrow(ClassOf(window)).c_str(), Narrow(TitleOf(window)).c_str(), r.left,
                  r.top, r.right, r.bottom, static_cast<unsigned long>(StyleOf(window)),
                  static_cast<unsigned long>(StyleOf(window, GWL_EXSTYLE)), IsWindowVisible(window) ? " visible" : " hidden");
}

void Post(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (!PostMessageW(window, message, w, l))
        Fail(Format("cannot post message %04x to window %p (error %lu)", message, static_cast<void*>(window),
                    GetLastError()));
}

LRESULT Send(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG | SMTO_BLOCK, kDeadlineMs, &result))
        Fail(Format("window %p did not answer message %04x within %lu s (error %lu)", static_cast<void*>(window),
                    message, kDeadlineMs / 1000, GetLastError())); return static_cast<LRESULT>(result);
}

void PostKey(HWND window, UINT message, UINT virtualKey) {
    LPARAM data = 1 | static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (message == WM_SYSKEYDOWN) data |= 1 << 29;
    if (message == WM_KEYUP) data |= static_cast<LPARAM>(3) << 30;
    Post(window, message, virtualKey, data);
}

void SendKeyPress(WORD virtualKey) {
    INPUT in[2] = {};
    for (auto& i : in) {
        i.type = INPUT_KEYBOARD; i.ki.wVk = virtualKey;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    Expect(SendInput(2, in, sizeof(INPUT)) == 2, Format("SendInput (key) failed (error %lu)", GetLastError()));
}

void MovePointer(POINT screen) {
    Expect(SetCursorPos(screen.x, screen.y) != FALSE, Format("SetCursorPos failed (error %lu)", GetLastError()));
}

Saver::Saver(const std::vector<std::wstring>& args) {
    std::wstring line = L"\"" + saverPath + L"\"";
    for (const auto& arg : args) {
        line += L" " + Quote(arg); args_ += (args_.empty() ? "\"" : " \"") + Narrow(arg) + "\"";
    }
    if (args.empty()) args_ = "(no argument)";
    wchar_t temp[MAX_PATH] = {}; GetTempPathW(MAX_PATH, temp);
    STARTUPINFOW startup = {}; startup.cb = sizeof startup; PROCESS_INFORMATION info = {};
    if (!CreateProcessW(saverPath.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, temp, &startup, &info))
        Fail(Format("cannot start the saver with %s (error %lu)", args_.c_str(), GetLastError()));
    CloseHandle(info.hThread); process_ = info.hProcess; pid_ = info.dwProcessId; EnterCriticalSection(&liveLock);
    live.push_back(process_); LeaveCriticalSection(&liveLock);
}

Saver::~Saver() {
    // A case that failed half-way must not leave a full-screen window over the next one.
    if (Running()) {
        TerminateProcess(process_, 99); WaitForSingleObject(process_, 5000);
    }
    EnterCriticalSection(&liveLock); live.erase(std::find(live.begin(), live.end(), process_));
    LeaveCriticalSection(&liveLock); CloseHandle(process_);
}

bool Saver::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Saver::ExitCode() const {
    DWORD code = 0; GetExitCodeProcess(process_, &code); return code;
}

std::string Saver::Showing() const {
    std::string text; for (HWND hwnd : WindowsOf(pid_)) text += "; " + Describe(hwnd);
    return text.empty() ? "no visible window" : text.substr(2);
}

void Saver::ExpectEnds(DWORD status, const std::string& after) {
    Expect(PollUntil([this] { return !Running(); }),
           Format("the saver (%s) was still running %lu s after %s (%s)", args_.c_str(), kDeadlineMs / 1000,
                  after.c_str(), Showing().c_str()));
    Expect(ExitCode() == status, Format("after %s the saver (%s) ended with status %lu, expected %lu", after.c_str(),
                                        args_.c_str(), ExitCode(), status));
}

void Saver::ExpectAnswers(HWND window, const std::string& when) {
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kDeadlineMs, &result) != 0;
    Expect(Running(), Format("the saver ended (status %lu) %s", ExitCode(), when.c_str()));
    Expect(answered, Format("the saver did not answer a message within %lu s %s", kDeadlineMs / 1000, when.c_str()));
}

HWND Saver::FullScreen() {
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; HWND window = nullptr;
    // The window may still be settling into place: wait for the final geometry.
    PollUntil([&] {
        const auto shown = WindowsOf(pid_); window = shown.size() == 1 ? shown[0] : nullptr;
        const RECT r = window ? RectOf(window) : RECT{}; return (window && EqualRect(&r, &screen)) || !Running();
    });
    Expect(Running(), Format("the saver (%s) ended with status %lu without a full-screen window", args_.c_str(), ExitCode()));
    Expect(window != nullptr, "full screen shows not exactly one window: " + Showing());
    const LONG style = StyleOf(window); RECT client = {}; GetClientRect(window, &client);
    Expect(EqualRect(&client, &screen) && (style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME)) &&
               (StyleOf(window, GWL_EXSTYLE) & WS_EX_TOPMOST) && TitleOf(window).empty(),
           "the full-screen window is not an untitled topmost pop-up covering the screen: " + Describe(window));
    return window;
}

void TerminateAllSavers() {
    EnterCriticalSection(&liveLock);
    for (HANDLE process : live) {
        TerminateProcess(process, 99); WaitForSingleObject(process, 5000);
    }
    LeaveCriticalSection(&liveLock);
}

void ExpectEndsWithoutWindow(const std::vector<std::wstring>& args, DWORD status) {
    Saver saver(args); std::string seen;
    // Look as often as possible: a window that flashes up and goes is still one.
    PollUntil(
        [&] {
            const auto windows = WindowsOf(saver.Pid());
            if (seen.empty() && !windows.empty()) seen = Describe(windows[0]);
            return !saver.Running();
        },
        kDeadlineMs, 1); Expect(seen.empty(), "with " + saver.Args() + " the saver showed a " + seen);
    saver.ExpectEnds(status, "starting");
}

std::wstring HandleText(HWND window) { return std::to_wstring(reinterpret_cast<uintptr_t>(window)); }

HostWindow::HostWindow(int clientWidth, int clientHeight, End end) {
    static const bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM w, LPARAM l) -> LRESULT {
            const auto end = static_cast<End>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (message == WM_PARENTNOTIFY && LOWORD(w) == WM_CREATE && end == End::OnChildCreated) {
                DestroyWindow(hwnd); return 0;
            }
            if (message == WM_PARENTNOTIFY && LOWORD(w) == WM_CREATE && end == End::SoonAfterChildCreated)
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return DefWindowProcW(hwnd, message, w, l);
        };
        wc.hInstance = GetModuleHandleW(nullptr); wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"TindlbrgE2EHost"; return RegisterClassW(&wc) != 0;
    }();
    Expect(registered, "cannot register the host window class"); RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FALSE);
    hwnd_ = CreateWindowExW(0, L"TindlbrgE2EHost", L"preview host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                            40, 40, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    Expect(hwnd_ != nullptr, Format("cannot create the host window (error %lu)", GetLastError()));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(end));
}

void HostWindow::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

HWND WaitForPreviewChild(Saver& saver, HWND host) {
    HWND child = nullptr;
    PollUntil([&] {
        for (HWND hwnd : ChildrenOf(host, saver.Pid()))
            if (IsWindowVisible(hwnd)) child = hwnd;
        return child != nullptr || !saver.Running();
    });
    Expect(saver.Running(), Format("the preview ended with status %lu before making its window", saver.ExitCode()));
    Expect(child != nullptr, "no visible preview window appeared in the host"); return child;
}

// What every end-to-end case shares: failing with a reason, waiting with a deadline, the
// case runner, the saver as a child process, its windows, and input sent to them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct CaseFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Throws CaseFailure; the first time it saves the screen for the runner.
[[noreturn]] void Fail(const std::string& message);
inline void Expect(bool condition, const std::string& message) {
    if (!condition) Fail(message);
}
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string Narrow(const std::wstring& text); std::wstring Wide(const std::string& text);

// Long enough for a slow, busy machine; a case only waits this long when it fails.
constexpr DWORD kDeadlineMs = 10000; void PumpMessages();
// True as soon as done() holds, pumping this thread's messages in between (a preview
// host must answer while the saver makes its child in it); false at the deadline.
template <class Condition>
bool PollUntil(Condition done, DWORD timeoutMs = kDeadlineMs, DWORD intervalMs = 5) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages(); if (done()) return true; if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, intervalMs, QS_ALLINPUT);
    }
}
inline void Pause(DWORD ms) { PollUntil([] { return false; }, ms); }

// Cases: each runs in a driver process of its own, from no settings, no store files, an
// empty scratch folder and the pointer at kPointerHome.
void AddCase(const std::string& name, std::function<void()> run);
#define E2E_CASE(group, name)                                                                       \
    static void group##_##name();                                                                   \
    static const bool group##_##name##_added = (AddCase(#group "." #name, group##_##name), true); \
    static void group##_##name()
// One case per row of a table, named group.row: each row starts from the clean state.
template <class Row, size_t N>
bool AddRows(const char* group, const Row (&rows)[N], void (*run)(const Row&)) {
    for (const Row& row : rows) AddCase(std::string(group) + "." + row.name, [&row, run] { run(row); });
    return true;
}
// The soak's length and sample file, given on its command line.
extern double soakMinutes; extern std::wstring soakCsv;

constexpr POINT kPointerHome = {100, 100};

// Windows of a process: top-level (only visible ones unless asked: Wine keeps hidden
// helper windows in every GUI process), or children of `parent` at any depth.
std::vector<HWND> WindowsOf(DWORD pid, bool visibleOnly = true); std::vector<HWND> ChildrenOf(HWND parent, DWORD pid);
std::wstring ClassOf(HWND window); std::wstring TitleOf(HWND window); std::string Describe(HWND window);
RECT RectOf(HWND window); LONG StyleOf(HWND window, int which = GWL_STYLE);

// Posted messages fail the case when they cannot be posted; sent ones when the saver does
// not answer in time (so a hung saver fails the case instead of stalling it).
void Post(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);
LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);
void PostKey(HWND window, UINT message, UINT virtualKey);  // WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP
void SendKeyPress(WORD virtualKey);                        // through the system's input queue
void SendClick(); void MovePointer(POINT screen);
inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The saver under test, started with exactly `args` from the temporary folder (its file
// dialogs open there), and terminated if a case ends while it runs.
class Saver {
public:
    explicit Saver(const std::vector<std::wstring>& args); ~Saver(); Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    bool Running() const; DWORD ExitCode() const;
    const std::string& Args() const { return args_; }
    std::string Showing() const;
    // Fails unless it ends with `status` within the deadline.
    void ExpectEnds(DWORD status, const std::string& after);
    // Fails unless it is still running and `window` answers a message.
    void ExpectAnswers(HWND window, const std::string& when);
    // The full-screen window once it covers the screen, a topmost pop-up without title.
    HWND FullScreen();

private:
    HANDLE process_ = nullptr; DWORD pid_ = 0; std::string args_;
};
void TerminateAllSavers();
// Starts the saver and fails unless it ends by itself with `status`, never showing a window.
void ExpectEndsWithoutWindow(const std::vector<std::wstring>& args, DWORD status);
// A window handle as the display panel passes it: a decimal number.
std::wstring HandleText(HWND window);

// The window a display panel lends to the preview. It may go away by itself when the
// saver's child announces its creation: at once, or by a message it posts itself.
class HostWindow {
public:
    enum class End { Never, OnChildCreated, SoonAfterChildCreated };
    HostWindow(int clientWidth, int clientHeight, End end = End::Never);
    ~HostWindow() { Destroy(); }
    HostWindow(const HostWindow&) = delete; HostWindow& operator=(const HostWindow&) = delete;
    HWND Handle() const { return hwnd_; }
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};
// The saver's visible child in `host`; fails when none appears in time.
HWND WaitForPreviewChild(Saver& saver, HWND host);

#include "process.h"

#include <algorithm>

#include "check.h"
#include "poll.h"

namespace {

// The handles of the savers alive right now, shared with the watchdog thread.
struct LiveSavers {
    LiveSavers() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    std::vector<HANDLE> handles;
};

LiveSavers& Live() {
    static LiveSavers live;
    return live;
}

void Track(HANDLE process, bool add) {
    EnterCriticalSection(&Live().lock);
    auto& handles = Live().handles;
    if (add) {
        handles.push_back(process);
    } else {
        auto it = std::find(handles.begin(), handles.end(), process);
        if (it != handles.end()) handles.erase(it);
    }
    LeaveCriticalSection(&Live().lock);
}

std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    for (wchar_t c : arg) {
        if (c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

}  // namespace

SaverProcess::SaverProcess(const std::wstring& exe, const std::vector<std::wstring>& args) {
    commandLine_ = L"\"" + exe + L"\"";
    for (const auto& arg : args) commandLine_ += L" " + Quote(arg);
    std::wstring mutableLine = commandLine_;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        Fail(Format("cannot start %s (error %lu)", Narrow(commandLine_).c_str(), GetLastError()));
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    Track(process_, true);
}

SaverProcess::~SaverProcess() {
    // A case that failed half-way must not leave a full-screen window over the next one.
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    Track(process_, false);
    CloseHandle(process_);
}

bool SaverProcess::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool SaverProcess::WaitExit(DWORD timeoutMs) {
    return PollUntil([this] { return !Running(); }, timeoutMs);
}

DWORD SaverProcess::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void TerminateAllSavers() {
    EnterCriticalSection(&Live().lock);
    for (HANDLE process : Live().handles) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
    LeaveCriticalSection(&Live().lock);
}

std::string DescribeArgs(const std::vector<std::wstring>& args) {
    if (args.empty()) return "(no argument)";
    std::string text;
    for (const auto& arg : args) text += (text.empty() ? "\"" : " \"") + Narrow(arg) + "\"";
    return text;
}

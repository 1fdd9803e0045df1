// The saver under test as a child process: started with a given argument list, waited
// for with a deadline, and never left behind (terminated when the case ends early).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class SaverProcess {
public:
    // Starts `exe` with exactly `args` after the program name (each quoted only when it
    // has to be, so that "/p" and "1234" arrive as the saver's argv[1] and argv[2]).
    SaverProcess(const std::wstring& exe, const std::vector<std::wstring>& args);
    ~SaverProcess();
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;
    // Waits for the end while pumping this thread's messages; true when it ended.
    bool WaitExit(DWORD timeoutMs);
    // Only meaningful once the process has ended.
    DWORD ExitCode() const;
    // The command line as passed, for messages.
    const std::wstring& CommandLine() const { return commandLine_; }

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::wstring commandLine_;
};

// Ends every saver still running; for the runner's watchdog, which cannot unwind the
// case that hangs.
void TerminateAllSavers();

// The argument list as one readable text, for messages ("(none)" when empty).
std::string DescribeArgs(const std::vector<std::wstring>& args);

// What a long run costs the saver's process, sampled from outside: memory through
// GetProcessMemoryInfo, GDI and USER objects through GetGuiResources, and what every
// system provides even when those two do not answer: its windows and kernel handles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct SoakSample {
    double seconds = 0;           // since the saver started
    uint64_t privateUsage = 0;    // PrivateUsage
    uint64_t pagefileUsage = 0;   // PagefileUsage: on Windows the same commit figure
    uint64_t workingSet = 0;
    uint64_t peakWorkingSet = 0;
    uint32_t gdiObjects = 0;      // GetGuiResources(GR_GDIOBJECTS)
    uint32_t userObjects = 0;     // GetGuiResources(GR_USEROBJECTS)
    uint32_t gdiError = 0;        // GetLastError when the call gave 0
    uint32_t userError = 0;
    uint32_t windows = 0;         // every window of the process, hidden and child ones too
    uint32_t handles = 0;         // GetProcessHandleCount
    bool answered = false;        // a sent WM_NULL came back
    bool screenChanged = false;   // the watched area differs from the previous sample
};

class SoakSampler {
public:
    // Opens the process by id with query rights only.
    explicit SoakSampler(DWORD pid);
    ~SoakSampler();
    SoakSampler(const SoakSampler&) = delete;
    SoakSampler& operator=(const SoakSampler&) = delete;

    // One sample; `window` gets the WM_NULL, `area` (screen co-ordinates) is watched.
    SoakSample Take(double seconds, HWND window, const RECT& area);

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::vector<uint32_t> lastArea_;
};

// The verdict over a whole run, with the table that shows it.
struct SoakVerdict {
    bool passed = true;
    std::string report;  // table and reasons, lines ending in '\n'
};

// Under Wine the full-screen saver stays flat to the byte for ten minutes; the dialog's
// preview, rebuilding its images at every change, settles within 0.2 MiB of its
// baseline. 2 MiB is ten times that, yet the seven images of one rebuild leaked per
// change (about 180 KiB in the preview) pass it within the first minute.
struct SoakLimits {
    double warmUpSeconds = 10;
    uint64_t privateGrowth = 2u << 20;
    uint64_t workingSetGrowth = 4u << 20;
    uint32_t objectGrowth = 0;  // GDI, USER, windows
    uint32_t handleGrowth = 0;
    double quietLimitSeconds = 60;  // longest stretch without a change of the picture
};

SoakVerdict JudgeSoak(const std::string& mode, const std::vector<SoakSample>& samples, const SoakLimits& limits);

// Writes the samples as CSV (header first); false when the file cannot be written.
bool WriteSoakCsv(const std::wstring& path, const std::vector<SoakSample>& samples);

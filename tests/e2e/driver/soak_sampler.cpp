#include "soak_sampler.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "check.h"
#include "poll.h"
#include "screen.h"

namespace {

struct WindowCount {
    DWORD pid;
    uint32_t count;
};

BOOL CALLBACK CountChild(HWND hwnd, LPARAM param) {
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == c->pid) ++c->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM param) {
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == c->pid) ++c->count;
    // Children of any window may be the process's own (the preview in a host, say).
    EnumChildWindows(hwnd, CountChild, param);
    return TRUE;
}

// Wine's hidden message-only windows are the process's USER objects too.
BOOL CountMessageWindows(WindowCount& c) {
    HWND last = nullptr;
    while ((last = FindWindowExW(HWND_MESSAGE, last, nullptr, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(last, &owner);
        if (owner == c.pid) ++c.count;
    }
    return TRUE;
}

std::string Mib(uint64_t bytes) { return Format("%.2f MiB", static_cast<double>(bytes) / (1 << 20)); }

}  // namespace

SoakSampler::SoakSampler(DWORD pid) : pid_(pid) {
    process_ = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process_) Fail(Format("cannot open the saver's process %lu (error %lu)", pid, GetLastError()));
}

SoakSampler::~SoakSampler() {
    if (process_) CloseHandle(process_);
}

SoakSample SoakSampler::Take(double seconds, HWND window, const RECT& area) {
    SoakSample s;
    s.seconds = seconds;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        s.privateUsage = memory.PrivateUsage;
        s.pagefileUsage = memory.PagefileUsage;
        s.workingSet = memory.WorkingSetSize;
        s.peakWorkingSet = memory.PeakWorkingSetSize;
    }
    SetLastError(0);
    s.gdiObjects = GetGuiResources(process_, GR_GDIOBJECTS);
    if (s.gdiObjects == 0) s.gdiError = GetLastError();
    SetLastError(0);
    s.userObjects = GetGuiResources(process_, GR_USEROBJECTS);
    if (s.userObjects == 0) s.userError = GetLastError();

    WindowCount count{pid_, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
    CountMessageWindows(count);
    s.windows = count.count;
    DWORD handles = 0;
    if (GetProcessHandleCount(process_, &handles)) s.handles = handles;

    DWORD_PTR result = 0;
    s.answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kDeadlineMs, &result) != 0;

    const Screenshot shot = Screenshot::Capture();
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(area.right - area.left) * (area.bottom - area.top));
    for (int y = std::max<LONG>(area.top, 0); y < area.bottom && y < shot.Height(); ++y)
        for (int x = std::max<LONG>(area.left, 0); x < area.right && x < shot.Width(); ++x) pixels.push_back(shot.At(x, y));
    s.screenChanged = !lastArea_.empty() && pixels != lastArea_;
    lastArea_ = std::move(pixels);
    return s;
}

SoakVerdict JudgeSoak(const std::string& mode, const std::vector<SoakSample>& samples, const SoakLimits& limits) {
    SoakVerdict v;
    auto line = [&](const std::string& text) { v.report += text + "\n"; };
    auto fail = [&](const std::string& why) {
        v.passed = false;
        line("  FAIL: " + why);
    };
    if (samples.size() < 3) {
        fail(Format("only %zu samples", samples.size()));
        return v;
    }
    // The first sample once start-up is over: images built, surface made, queues warm.
    size_t base = 0;
    while (base + 1 < samples.size() && samples[base].seconds < limits.warmUpSeconds) ++base;
    const SoakSample& first = samples.front();
    const SoakSample& start = samples[base];
    const SoakSample& end = samples.back();

    // Wine leaves PrivateUsage at 0 and fills PagefileUsage (its resident anonymous
    // memory plus swap); Windows reports one commit figure in both.
    const bool privateAnswered =
        std::any_of(samples.begin(), samples.end(), [](const SoakSample& s) { return s.privateUsage; });
    const bool handlesAnswered =
        std::any_of(samples.begin(), samples.end(), [](const SoakSample& s) { return s.handles; });
    const bool gdiAnswered = std::any_of(samples.begin(), samples.end(), [](const SoakSample& s) { return s.gdiObjects; });
    const bool userAnswered =
        std::any_of(samples.begin(), samples.end(), [](const SoakSample& s) { return s.userObjects; });

    struct Quantity {
        const char* name;
        std::function<uint64_t(const SoakSample&)> get;
        uint64_t growth;
        bool bytes;
        bool judged;
        std::string note;
    };
    const std::vector<Quantity> quantities = {
        {privateAnswered ? "private bytes" : "pagefile use",
         [privateAnswered](const SoakSample& s) { return privateAnswered ? s.privateUsage : s.pagefileUsage; },
         limits.privateGrowth, true, true,
         privateAnswered ? "" : "(PrivateUsage gave 0: PagefileUsage stands for private bytes)"},
        {"working set", [](const SoakSample& s) { return s.workingSet; }, limits.workingSetGrowth, true, true, ""},
        {"GDI objects", [](const SoakSample& s) { return uint64_t{s.gdiObjects}; }, limits.objectGrowth, false,
         gdiAnswered,
         gdiAnswered ? "" : Format("GetGuiResources gave 0 (error %u): not provided here", first.gdiError)},
        {"USER objects", [](const SoakSample& s) { return uint64_t{s.userObjects}; }, limits.objectGrowth, false,
         userAnswered,
         userAnswered ? "" : Format("GetGuiResources gave 0 (error %u): not provided here", first.userError)},
        {"windows", [](const SoakSample& s) { return uint64_t{s.windows}; }, limits.objectGrowth, false, true, ""},
        {"handles", [](const SoakSample& s) { return uint64_t{s.handles}; }, limits.handleGrowth, false,
         handlesAnswered, "GetProcessHandleCount gave 0: not provided here"},
    };

    line(Format("%s: %zu samples over %.0f s; baseline at %.0f s (after start-up)", mode.c_str(), samples.size(),
                end.seconds, start.seconds));
    line(Format("  %-14s %14s %14s %14s %14s %14s  %s", "quantity", "first", "baseline", "end", "max after base",
                "limit", "verdict"));
    for (const auto& q : quantities) {
        uint64_t peak = 0;
        double peakAt = 0;
        for (size_t i = base; i < samples.size(); ++i)
            if (q.get(samples[i]) >= peak) {
                peak = q.get(samples[i]);
                peakAt = samples[i].seconds;
            }
        const uint64_t limit = q.get(start) + q.growth;
        auto show = [&](uint64_t value) { return q.bytes ? Mib(value) : Format("%llu", (unsigned long long)value); };
        std::string verdict = !q.judged ? "not judged: " + q.note : peak <= limit ? "ok" : "GROWS";
        if (q.judged && !q.note.empty()) verdict += " " + q.note;
        line(Format("  %-14s %14s %14s %14s %14s %14s  %s", q.name, show(q.get(first)).c_str(),
                    show(q.get(start)).c_str(), show(q.get(end)).c_str(), show(peak).c_str(), show(limit).c_str(),
                    verdict.c_str()));
        if (q.judged && peak > limit)
            fail(Format("%s rose from %s at %.0f s to %s at %.0f s (limit %s)", q.name, show(q.get(start)).c_str(),
                        start.seconds, show(peak).c_str(), peakAt, show(limit).c_str()));
    }

    size_t unanswered = 0;
    for (const auto& s : samples) unanswered += !s.answered;
    if (unanswered) fail(Format("the saver left %zu of %zu WM_NULL messages unanswered", unanswered, samples.size()));

    double lastChange = start.seconds;
    double longestQuiet = 0;
    size_t changes = 0;
    for (size_t i = base + 1; i < samples.size(); ++i) {
        if (!samples[i].screenChanged) continue;
        ++changes;
        longestQuiet = std::max(longestQuiet, samples[i].seconds - lastChange);
        lastChange = samples[i].seconds;
    }
    longestQuiet = std::max(longestQuiet, end.seconds - lastChange);
    line(Format("  picture changed between %zu of %zu sample pairs after the baseline", changes,
                samples.size() - base - 1));
    if (longestQuiet > limits.quietLimitSeconds)
        fail(Format("the picture stood still for %.0f s", longestQuiet));
    return v;
}

bool WriteSoakCsv(const std::wstring& path, const std::vector<SoakSample>& samples) {
    FILE* file = _wfopen(path.c_str(), L"w");
    if (!file) return false;
    std::fprintf(file,
                 "seconds,private_usage,pagefile_usage,working_set,peak_working_set,gdi_objects,user_objects,gdi_error,user_error,"
                 "windows,handles,answered,screen_changed\n");
    for (const auto& s : samples)
        std::fprintf(file, "%.1f,%llu,%llu,%llu,%llu,%u,%u,%u,%u,%u,%u,%d,%d\n", s.seconds,
                     static_cast<unsigned long long>(s.privateUsage), static_cast<unsigned long long>(s.pagefileUsage), static_cast<unsigned long long>(s.workingSet),
                     static_cast<unsigned long long>(s.peakWorkingSet), s.gdiObjects, s.userObjects, s.gdiError,
                     s.userError, s.windows, s.handles, s.answered ? 1 : 0, s.screenChanged ? 1 : 0);
    return std::fclose(file) == 0;
}

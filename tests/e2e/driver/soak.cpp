// The soak: after start-up nothing may grow, the saver keeps answering and its picture changing.
#include "dialog.h"

#include <psapi.h>

namespace {
// Growth over the 10 s baseline: the preview stays within 0.2 MiB; a leaked rebuild (180 KiB) fails in a minute.
const char* const kNames[] = {"private bytes", "working set", "GDI objects", "USER objects", "windows", "handles"};
const unsigned long long kGrowth[] = {2u << 20, 4u << 20, 0, 0, 0, 0};
void Soak(Saver& saver, HWND window, const RECT& area, const std::function<void(int)>& change) {
    const HANDLE process = saver.Handle();
    std::vector<std::array<unsigned long long, 6>> samples;  // from 10 s on
    std::vector<uint32_t> last; std::string failures;
    ULONGLONG lastChange = 0, quiet = 0;
    const char* minutes = std::getenv("TINDLBRG_SOAK_MINUTES");
    const ULONGLONG end = static_cast<ULONGLONG>((minutes ? std::atof(minutes) : 1) * 60);
    for (ULONGLONG second = 0, start = GetTickCount64(); second <= end; ++second) {
        const ULONGLONG due = start + second * 1000;
        PollUntil([&] { return !saver.Running(); }, static_cast<DWORD>(due - std::min(due, GetTickCount64())));
        Expect(saver.Running(), Format("the saver ended with status %lu during the soak", saver.ExitCode()));
        if (change && second > 0) change(static_cast<int>(second - 1));
        if (second % 3) continue;
        auto pixels = Capture().Area(area);
        if (pixels != last) quiet = std::max(quiet, second - lastChange), lastChange = second;
        last = std::move(pixels);
        if (second < 10) continue;
        PROCESS_MEMORY_COUNTERS_EX memory = {}; memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        DWORD handles = 0; GetProcessHandleCount(process, &handles); DWORD_PTR result = 0;
        unsigned long long windows = 0;
        for (HWND top : WindowsOf(saver.Pid(), false)) windows += 1 + ChildrenOf(top, saver.Pid()).size();
        for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr));) {  // Wine's message-only ones
            DWORD owner = 0; GetWindowThreadProcessId(w, &owner); windows += owner == saver.Pid();
        }
        // Wine leaves PrivateUsage at 0 and fills PagefileUsage; Windows gives one commit figure in both.
        samples.push_back({memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage, memory.WorkingSetSize,
                           GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS), windows,
                           handles});
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDeadlineMs, &result))
            failures += Format("; no answer at %llu s", second);
    }
    Expect(samples.size() >= 2, Format("only %zu samples", samples.size()));
    std::printf("%zu samples from 10 s to %llu s\n", samples.size(), end);
    for (int q = 0; q < 6; ++q) {
        unsigned long long peak = 0;
        for (const auto& sample : samples) peak = std::max(peak, sample[q]);
        const unsigned long long limit = samples[0][q] + kGrowth[q];
        std::printf("  %-14s baseline %12llu end %12llu peak %12llu limit %12llu  %s\n", kNames[q], samples[0][q],
                    samples.back()[q], peak, limit, !peak ? "not provided here" : peak <= limit ? "ok" : "GROWS");
        if (peak > limit) failures += Format("; %s rose to %llu (limit %llu)", kNames[q], peak, limit);
    }
    if (std::max(quiet, end - lastChange) > 60) failures += "; the picture stood still for over a minute";
    Expect(failures.empty(), "the process grew or stalled: " + failures.substr(std::min<size_t>(2, failures.size())));
}

}  // namespace

E2E_CASE(soak, full_screen) {
    Saver saver({L"/s"}); const HWND window = saver.FullScreen(); Soak(saver, window, kScreen, nullptr);
    PostKey(window, WM_KEYDOWN, VK_SPACE); saver.ExpectEnds(0, "a key press at the end of the soak");
}

// A change a second through the controls, speeds both ways, each slot off and on, so the preview keeps drawing.
E2E_CASE(soak, dialog) {
    Dialog d({L"/c"});
    Soak(d.saver(), d.Handle(), ClientOnScreen(d.Preview()), [&d](int k) {
        const int cycle = k / 10;
        switch (k % 10) {
            case 0: return d.Track(id::kWidth, 5 + (k * 7) % 46);
            case 1: return d.Track(id::kPhong, k % 21);
            case 2: return d.Track(id::kMirror, (k * 13) % 101);
            case 3: return d.Click(id::kResetColours);
            case 4: return d.Click(id::kTorus);
            case 5: return d.Track(id::kHeight, 5 + (k * 11) % 46);
            case 6: return d.Click(id::kSphere);
            case 7: return d.Click(id::Switch(cycle / 2 % 7));
            case 8: return d.Track(id::kAmbient, (k * 17) % 101);
        }
        d.Click(cycle % 2 ? id::kRoundMinus : id::kRoundPlus);
        d.Click(cycle % 2 ? id::kRadialPlus : id::kRadialMinus);
    });
    Expect(d.Checked(id::kTorus) != d.Checked(id::kSphere), "the shape buttons show neither or both checked");
    d.Cancel(); ExpectUnchanged(Stored{}, "the dialog closed with Cancel");
}

#include "saver.h"

#include "check.h"
#include "input.h"
#include "poll.h"
#include "window_search.h"

namespace {

std::wstring& PathStorage() {
    static std::wstring path;
    return path;
}

std::string WhatIsShowing(DWORD pid) {
    std::string text;
    for (HWND hwnd : TopLevelWindowsOf(pid)) text += "; " + DescribeForMessage(Describe(hwnd));
    return text.empty() ? "no visible window" : text.substr(2);
}

}  // namespace

void SetSaverPath(const std::wstring& path) { PathStorage() = path; }
const std::wstring& SaverPath() { return PathStorage(); }

std::unique_ptr<SaverProcess> StartSaver(const std::vector<std::wstring>& args) {
    return std::make_unique<SaverProcess>(SaverPath(), args);
}

HWND WaitForSaverWindow(SaverProcess& saver) {
    HWND found = nullptr;
    PollUntil([&] {
        const auto windows = TopLevelWindowsOf(saver.Pid());
        if (!windows.empty()) found = windows.front();
        return found != nullptr || !saver.Running();
    });
    if (!found) {
        if (!saver.Running())
            Fail(Format("the saver ended with status %lu without showing a window", saver.ExitCode()));
        Fail(Format("no window of the saver appeared within %lu s", kDeadlineMs / 1000));
    }
    return found;
}

HWND WaitForFullScreenWindow(SaverProcess& saver) {
    HWND window = WaitForSaverWindow(saver);
    const SIZE screen = ScreenSize();
    // The window may still be settling into place: wait for the final geometry.
    WindowInfo info;
    const bool settled = PollUntil([&] {
        info = Describe(window);
        return (info.rect.left == 0 && info.rect.top == 0 && info.rect.right == screen.cx &&
                info.rect.bottom == screen.cy) ||
               !IsWindow(window) || !saver.Running();
    });
    if (!saver.Running())
        Fail(Format("the saver ended (status %lu) right after showing its window", saver.ExitCode()));
    Expect(IsWindow(window), "the saver's window went away right after it appeared");
    Expect(settled, Format("the window does not cover the %ldx%ld screen: %s", screen.cx, screen.cy,
                           DescribeForMessage(info).c_str()));
    const auto shown = TopLevelWindowsOf(saver.Pid());
    Expect(shown.size() <= 1, "full screen shows more than one window: " + WhatIsShowing(saver.Pid()));
    if (shown.empty()) {
        if (!saver.Running())
            Fail(Format("the saver ended (status %lu) right after showing its window", saver.ExitCode()));
        Fail("the saver's window was hidden again right after it appeared");
    }
    Expect((info.style & WS_POPUP) != 0 && (info.style & (WS_CAPTION | WS_THICKFRAME)) == 0,
           "the full-screen window is not a plain pop-up: " + DescribeForMessage(info));
    Expect((info.exStyle & WS_EX_TOPMOST) != 0, "the full-screen window is not topmost: " + DescribeForMessage(info));
    return window;
}

void ExpectEndsWithStatus(SaverProcess& saver, DWORD status, const std::string& after) {
    if (!saver.WaitExit(kDeadlineMs))
        Fail(Format("the saver was still running %lu s after %s (%s)", kDeadlineMs / 1000, after.c_str(),
                    WhatIsShowing(saver.Pid()).c_str()));
    Expect(saver.ExitCode() == status,
           Format("after %s the saver ended with status %lu, expected %lu", after.c_str(), saver.ExitCode(), status));
}

void ExpectEndsWithoutWindow(const std::vector<std::wstring>& args, DWORD status) {
    auto saver = StartSaver(args);
    std::string seen;
    // Look for windows as often as possible for as long as it runs: one that flashes up
    // and goes again is still a window the user saw.
    const bool ended = PollUntil(
        [&] {
            if (seen.empty()) {
                const auto windows = TopLevelWindowsOf(saver->Pid());
                if (!windows.empty()) seen = DescribeForMessage(Describe(windows.front()));
            }
            return !saver->Running();
        },
        kDeadlineMs, 1);
    Expect(ended, Format("with %s the saver was still running after %lu s (%s)", DescribeArgs(args).c_str(),
                         kDeadlineMs / 1000, WhatIsShowing(saver->Pid()).c_str()));
    Expect(seen.empty(), Format("with %s the saver showed a %s", DescribeArgs(args).c_str(), seen.c_str()));
    Expect(saver->ExitCode() == status, Format("with %s the saver ended with status %lu, expected %lu",
                                               DescribeArgs(args).c_str(), saver->ExitCode(), status));
}

void WaitForDrawing(SaverProcess& saver) {
    size_t lit = 0;
    const bool drawn = PollUntil(
        [&] {
            lit = Screenshot::Capture().LitPixels();
            return lit > 0 || !saver.Running();
        },
        kDeadlineMs, 20);
    Expect(saver.Running(), Format("the saver ended (status %lu) before drawing anything", saver.ExitCode()));
    Expect(drawn, Format("nothing was drawn within %lu s", kDeadlineMs / 1000));
}

void ExpectKeepsRunning(SaverProcess& saver, HWND window, const std::string& after) {
    Screenshot last = Screenshot::Capture();
    for (int change = 0; change < 3; ++change) {
        const bool changed = PollUntil(
            [&] {
                if (!saver.Running()) return true;
                Screenshot now = Screenshot::Capture();
                if (now.SameAs(last)) return false;
                last = std::move(now);
                return true;
            },
            kDeadlineMs, 20);
        if (!saver.Running())
            Fail(Format("the saver ended (status %lu) after %s", saver.ExitCode(), after.c_str()));
        Expect(changed, Format("the animation stood still for %lu s after %s", kDeadlineMs / 1000, after.c_str()));
    }
    Expect(IsWindow(window) && IsWindowVisible(window), "the saver's window went away after " + after);
}

void ExpectStillPicture(SaverProcess& saver, const ExpectedStamp& stamp, const std::string& what) {
    std::string difference;
    const bool matched = PollUntil(
        [&] {
            difference = CompareWithScreen(stamp, Screenshot::Capture());
            return difference.empty() || !saver.Running();
        },
        kDeadlineMs, 20);
    Expect(saver.Running(), Format("the saver ended (status %lu) while drawing %s", saver.ExitCode(), what.c_str()));
    Expect(matched, Format("the screen never showed exactly %s at (%d,%d), side %d: %s", what.c_str(), stamp.x,
                           stamp.y, stamp.side, difference.c_str()));
}

void ExpectFullScreenShows(const ShapeLook& look, const std::string& what) {
    auto saver = StartSaver({L"/s"});
    HWND window = WaitForFullScreenWindow(*saver);
    const SIZE screen = ScreenSize();
    ExpectStillPicture(*saver, ExpectedStillStamp(look, screen.cx, screen.cy), what);
    PostKeyDown(window, VK_SPACE);
    ExpectEndsWithStatus(*saver, 0, "a key press");
}

HWND WaitForPreviewChild(SaverProcess& saver, HWND host) {
    HWND child = nullptr;
    PollUntil([&] {
        for (HWND hwnd : ChildWindowsOf(host, saver.Pid()))
            if (IsWindowVisible(hwnd)) child = hwnd;
        return child != nullptr || !saver.Running();
    });
    Expect(saver.Running(), Format("the preview ended with status %lu before making its window", saver.ExitCode()));
    Expect(child != nullptr,
           Format("no visible preview window appeared in the host within %lu s", kDeadlineMs / 1000));
    return child;
}

std::wstring HandleText(HWND hwnd) { return std::to_wstring(reinterpret_cast<uintptr_t>(hwnd)); }

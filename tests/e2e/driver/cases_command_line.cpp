// Which command lines start which mode, and how each ends.
#include "cases.h"
#include "check.h"
#include "input.h"
#include "poll.h"
#include "preset_store.h"
#include "registry.h"
#include "saver.h"
#include "window_search.h"

namespace {

void ExpectFullScreen(const std::vector<std::wstring>& args) {
    auto saver = StartSaver(args);
    HWND window = WaitForFullScreenWindow(*saver);
    PostKeyDown(window, 'Q');
    ExpectEndsWithStatus(*saver, 0, "a key press in the full screen started with " + DescribeArgs(args));
}

// Until the configuration dialog exists this mode shows nothing and ends; with the
// dialog it shows a dialog box, which Cancel closes. Neither way is anything written.
void ExpectConfiguration(const std::vector<std::wstring>& args) {
    auto saver = StartSaver(args);
    HWND window = nullptr;
    const bool settled = PollUntil([&] {
        const auto windows = TopLevelWindowsOf(saver->Pid());
        if (!windows.empty()) window = windows.front();
        return window != nullptr || !saver->Running();
    });
    Expect(settled, Format("with %s the saver neither showed a window nor ended within %lu s",
                           DescribeArgs(args).c_str(), kDeadlineMs / 1000));
    if (window) {
        const WindowInfo info = Describe(window);
        Expect(info.className == L"#32770",
               "configuration mode shows something that is not a dialog box: " + DescribeForMessage(info));
        Expect((info.exStyle & WS_EX_TOPMOST) == 0, "the configuration dialog is topmost: " + DescribeForMessage(info));
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        Expect(saver->WaitExit(kDeadlineMs),
               Format("the configuration dialog (%s) did not end on Cancel", DescribeArgs(args).c_str()));
    } else {
        Expect(saver->ExitCode() == 0, Format("configuration mode with %s ended with status %lu, expected 0",
                                              DescribeArgs(args).c_str(), saver->ExitCode()));
    }
    const std::string written = DiffSnapshots({}, SnapshotSaverValues());
    Expect(written.empty(), "configuration mode without OK wrote to the registry: " + written);
    Expect(!ReadFileBytes(WindowsStorePath()) && !ReadFileBytes(UserStorePath()),
           "configuration mode without OK wrote a preset store");
}

}  // namespace

E2E_CASE(command_line, slash_s_runs_full_screen) { ExpectFullScreen({L"/s"}); }
E2E_CASE(command_line, dash_upper_s_runs_full_screen) { ExpectFullScreen({L"-S"}); }
E2E_CASE(command_line, bare_s_runs_full_screen) { ExpectFullScreen({L"s"}); }

E2E_CASE(command_line, slash_c_configures) { ExpectConfiguration({L"/c"}); }
E2E_CASE(command_line, bare_c_configures) { ExpectConfiguration({L"c"}); }
E2E_CASE(command_line, c_with_handle_configures) { ExpectConfiguration({L"/c:1234"}); }
E2E_CASE(command_line, no_argument_configures) { ExpectConfiguration({}); }

E2E_CASE(command_line, s_with_suffix_is_rejected) { ExpectEndsWithoutWindow({L"/s:1"}, 1); }
E2E_CASE(command_line, two_slashes_are_rejected) { ExpectEndsWithoutWindow({L"//s"}, 1); }
E2E_CASE(command_line, upper_c_is_rejected) { ExpectEndsWithoutWindow({L"/C:1234"}, 1); }
E2E_CASE(command_line, unknown_letter_is_rejected) { ExpectEndsWithoutWindow({L"x"}, 1); }
E2E_CASE(command_line, empty_argument_is_rejected) { ExpectEndsWithoutWindow({L""}, 1); }

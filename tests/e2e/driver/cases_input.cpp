// The full-screen saver ends at the first sign of the user, and only then.
#include "cases.h"
#include "check.h"
#include "host_window.h"
#include "input.h"
#include "poll.h"
#include "saver.h"

namespace {

// The saver running full screen with its animation under way.
struct Running {
    std::unique_ptr<SaverProcess> saver;
    HWND window = nullptr;
};

Running StartAnimated() {
    Running run;
    run.saver = StartSaver({L"/s"});
    run.window = WaitForFullScreenWindow(*run.saver);
    WaitForDrawing(*run.saver);
    return run;
}

void ExpectButtonEnds(UINT message, const char* what) {
    Running run = StartAnimated();
    PostButtonDown(run.window, message, kPointerHome);
    ExpectEndsWithStatus(*run.saver, 0, what);
}

void ExpectIgnoredThenKeyEnds(Running& run, const std::string& what) {
    ExpectKeepsRunning(*run.saver, run.window, what);
    PostKeyDown(run.window, 'Z');
    ExpectEndsWithStatus(*run.saver, 0, "a key press after " + what);
}

}  // namespace

E2E_CASE(input, letter_key_ends) {
    Running run = StartAnimated();
    PostKeyDown(run.window, 'A');
    ExpectEndsWithStatus(*run.saver, 0, "the key A");
}

E2E_CASE(input, alt_key_ends) {
    Running run = StartAnimated();
    PostSysKeyDown(run.window, VK_MENU);
    ExpectEndsWithStatus(*run.saver, 0, "the Alt key");
}

E2E_CASE(input, typed_key_ends) {
    Running run = StartAnimated();
    SendKeyPress('K');
    ExpectEndsWithStatus(*run.saver, 0, "typing K on the keyboard");
}

E2E_CASE(input, left_button_ends) { ExpectButtonEnds(WM_LBUTTONDOWN, "the left mouse button"); }
E2E_CASE(input, middle_button_ends) { ExpectButtonEnds(WM_MBUTTONDOWN, "the middle mouse button"); }
E2E_CASE(input, right_button_ends) { ExpectButtonEnds(WM_RBUTTONDOWN, "the right mouse button"); }

E2E_CASE(input, clicked_button_ends) {
    Running run = StartAnimated();
    SendButtonClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ExpectEndsWithStatus(*run.saver, 0, "a click of the mouse");
}

// The first reported pointer position is where the pointer rests; reports of that same
// position change nothing, one pixel away ends the saver.
E2E_CASE(input, first_mouse_move_does_not_end) {
    Running run = StartAnimated();
    PostMouseMove(run.window, kPointerHome);
    ExpectKeepsRunning(*run.saver, run.window, "a mouse move to where the pointer rests");
    PostMouseMove(run.window, kPointerHome);
    ExpectKeepsRunning(*run.saver, run.window, "a second mouse move to the same place");
    PostMouseMove(run.window, POINT{kPointerHome.x + 1, kPointerHome.y});
    ExpectEndsWithStatus(*run.saver, 0, "a mouse move one pixel away");
}

E2E_CASE(input, moving_the_pointer_ends) {
    Running run = StartAnimated();
    Expect(PointerPosition().x == kPointerHome.x && PointerPosition().y == kPointerHome.y,
           "the pointer is not where the case put it");
    ExpectKeepsRunning(*run.saver, run.window, "starting with the pointer at rest");
    MovePointerTo(POINT{kPointerHome.x + 40, kPointerHome.y + 30});
    ExpectEndsWithStatus(*run.saver, 0, "moving the pointer");
}

E2E_CASE(input, key_release_and_wheel_are_ignored) {
    Running run = StartAnimated();
    PostKeyUp(run.window, 'A');
    PostWheel(run.window, kPointerHome, -WHEEL_DELTA);
    ExpectIgnoredThenKeyEnds(run, "a key release and a wheel turn");
}

E2E_CASE(input, deactivation_ends) {
    Running run = StartAnimated();
    PostMessageW(run.window, WM_ACTIVATE, WA_INACTIVE, 0);
    ExpectEndsWithStatus(*run.saver, 0, "WM_ACTIVATE (inactive)");
}

E2E_CASE(input, application_deactivation_ends) {
    Running run = StartAnimated();
    PostMessageW(run.window, WM_ACTIVATEAPP, FALSE, 0);
    ExpectEndsWithStatus(*run.saver, 0, "WM_ACTIVATEAPP (deactivated)");
}

E2E_CASE(input, activating_another_window_ends) {
    Running run = StartAnimated();
    HostWindow other(200, 100);
    SetForegroundWindow(other.Handle());
    ExpectEndsWithStatus(*run.saver, 0, "activating another program's window");
}

E2E_CASE(input, screen_saver_command_is_ignored) {
    Running run = StartAnimated();
    PostMessageW(run.window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    ExpectIgnoredThenKeyEnds(run, "WM_SYSCOMMAND SC_SCREENSAVE");
}

E2E_CASE(input, close_command_is_ignored) {
    Running run = StartAnimated();
    PostMessageW(run.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectIgnoredThenKeyEnds(run, "WM_SYSCOMMAND SC_CLOSE");
}

E2E_CASE(input, close_request_ends) {
    Running run = StartAnimated();
    PostMessageW(run.window, WM_CLOSE, 0, 0);
    ExpectEndsWithStatus(*run.saver, 0, "WM_CLOSE from another program");
}

// Shell and input-method code start threads of their own in the saver's process; the
// end must not wait for them. A thread of ours that never ends stands in for them.
E2E_CASE(input, key_ends_with_another_thread_alive) {
    Running run = StartAnimated();
    const auto sleep = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "Sleep")));
    const HANDLE thread = CreateRemoteThread(run.saver->Handle(), nullptr, 0, sleep,
                                             reinterpret_cast<void*>(static_cast<UINT_PTR>(INFINITE)), 0, nullptr);
    Expect(thread != nullptr, Format("cannot start a thread in the saver (error %lu)", GetLastError()));
    if (thread) CloseHandle(thread);
    PostKeyDown(run.window, 'A');
    ExpectEndsWithStatus(*run.saver, 0, "the key A with a second thread sleeping");
}

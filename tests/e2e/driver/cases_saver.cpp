// The saver outside its dialog: command lines, exact pictures, input that ends it or not, the panel's preview.
#include <cmath>

#include "dialog.h"

namespace {

// ---- command lines: the mode each starts, how it ends, and that nothing is written
enum class Mode { FullScreen, Configures, Preview, Rejected };
struct CommandRow {
    const char* name;
    std::vector<std::wstring> args;  // for Preview the letter; "gone": a destroyed window's handle
    Mode mode;
    HostEnd end = kHostStays;  // the panel may destroy its window even while the preview's is being made
};
void RunCommandLine(const CommandRow& row) {
    // Settings, a store and a per-user store, all back-dated; none stored for Rejected: reading must make no key.
    if (row.mode != Mode::Rejected) WriteProfile(P({{"randomly", "1"}, {"switches", "3"}, {"cbStep", "0.500000"}}));
    Record preset = Named("kept as it is"); preset.cbStep = 0.3f, preset.csStep = 0.02f;
    WriteFileBytes(WindowsStore(), Store({Encode(preset)}), true);
    WriteFileBytes(UserStore(), Store({Encode(preset), Encode(preset)}), true);
    const Stored before = ReadStored();
    std::vector<std::wstring> args = row.args; const HWND gone = MakeHost();
    if (args.size() == 2 && args[1] == L"gone") args[1] = HandleText(gone);
    DestroyWindow(gone);
    if (row.mode == Mode::Rejected) {
        // It ends by itself with status 1, never showing a window, not even for a moment.
        Saver saver(args); std::string seen;
        PollUntil([&] {
            const auto windows = WindowsOf(saver.Pid());
            if (seen.empty() && !windows.empty()) seen = Describe(windows[0]);
            return !saver.Running();
        }, kDeadlineMs, 1);
        Expect(seen.empty(), "with " + saver.Args() + " the saver showed a " + seen);
        saver.ExpectEnds(1, "starting");
    } else if (row.mode == Mode::Configures) {
        // Centred on the screen without an owner, with its caption, alone.
        Dialog dialog(args); const RECT r = RectOf(dialog.Handle());
        const LONG width = r.right - r.left, height = r.bottom - r.top;
        const std::wstring caption = L"Shaded shapes, never cleared - Tindelborg Screen Saver 2.0 - Ring edition";
        Expect(TitleOf(dialog.Handle()) == caption, "the dialog's caption is \"" + Narrow(TitleOf(dialog.Handle())) + "\"");
        Expect(r.left == (1024 - width) / 2 && r.top == (768 - height) / 2,
               Format("the %ldx%ld dialog lies at (%ld,%ld), not centred", width, height, r.left, r.top));
        Expect(dialog.Windows().size() == 1, "the saver shows more than its dialog: " + dialog.saver().Showing());
        dialog.Cancel();
    } else if (row.mode == Mode::FullScreen) {
        Saver saver(args); const HWND window = saver.FullScreen(); ExpectChanging(saver, kScreen, "the animation");
        PostKey(window, WM_KEYDOWN, 'Q'); saver.ExpectEnds(0, "a key press");
    } else {
        const HWND host = MakeHost(row.end); Saver saver({args[0], HandleText(host)});
        if (row.end == kHostStays) {
            saver.WaitFor("a visible preview in the host", [&]() -> HWND {
                const HWND child = FindWindowExW(host, nullptr, nullptr, nullptr);
                return IsWindowVisible(child) ? child : nullptr;
            });
            DestroyWindow(host);
        }
        saver.ExpectEnds(0, "the host window was destroyed");
    }
    ExpectUnchanged(before, "the saver started with " + Narrow(args.empty() ? L"no argument" : args[0]));
}
const CommandRow kCommandLines[] = {
    {"slash_s_runs_full_screen", {L"/s"}, Mode::FullScreen},
    {"no_argument_configures", {}, Mode::Configures},
    {"unknown_letter_is_rejected", {L"x"}, Mode::Rejected},
    {"preview_ends_with_its_host", {L"/p"}, Mode::Preview},
    {"preview_ends_with_its_host_gone_on_the_child_s_creation", {L"/p"}, Mode::Preview, kHostGoesOnChild},
    {"preview_ends_with_its_host_closed_after_the_child_s_creation", {L"/p"}, Mode::Preview, kHostClosesAfterChild},
    {"preview_without_a_handle_is_rejected", {L"/p"}, Mode::Rejected},
    {"preview_of_handle_zero_is_rejected", {L"/p", L"0"}, Mode::Rejected},
    {"preview_of_a_gone_window_is_rejected", {L"/p", L"gone"}, Mode::Rejected},
};
const bool kCommandLinesAdded = AddRows("command_line", kCommandLines, RunCommandLine);

// ---- one slot, speeds 0: every shape on one spot, 416 pixels right of the centre; sizes scale by 1.6
struct PictureRow {
    const char* name; Profile profile;
    Bytes windowsStore, userStore;  // none when empty
    ShapeImageParams look; POINT corner;
};
Profile Still(Changes changes) { return With(P({{"cbStep", "0"}, {"csStep", "0"}, {"switches", "1"}}), changes); }
Record Green() {
    Record r = Named("green torus"); r.shape = 2, r.size1 = 18, r.size2 = 28;
    r.rgb[0][0] = r.rgb[0][2] = 0x28, r.rgb[0][1] = 0xDC; return r;
}
void RunPicture(const PictureRow& row) {
    WriteProfile(row.profile);
    if (!row.windowsStore.empty()) WriteFileBytes(WindowsStore(), row.windowsStore);
    if (!row.userStore.empty()) WriteFileBytes(UserStore(), row.userStore);
    const Stored before = ReadStored();  // nothing is written back, absurd values or not
    Saver saver({L"/s"}); const HWND window = saver.FullScreen();
    const Screenshot shot = PollScreen(saver, "exactly the still picture", [&](const Screenshot& s) {
        return ImageDiff(s, kScreen, row.look, row.corner);
    });
    for (int again = 0; again < 12; ++again, Pause(150)) {  // the same across many frame bursts
        Send(window, WM_NULL);
        const std::string wrong = ImageDiff(Capture(), kScreen, row.look, row.corner);
        Expect(wrong.empty(), "the still picture went wrong: " + wrong);
    }
    // Red 178, green and blue 3 at the centre of the built-in sphere, worked out by hand.
    Expect(row.look.colour != 0x0000FF || shot.At(928, 384) == 0xB20303,
           Format("the sphere's centre pixel is %06x, not b20303", shot.At(928, 384)));
    PostKey(window, WM_KEYDOWN, VK_SPACE); saver.ExpectEnds(0, "a key press");
    ExpectUnchanged(before, row.name);
}
const PictureRow kPictures[] = {
    {"draws_exact_shape_image_on_black", Still({}), {}, {}, Look(1, 1, -1, 0x0000FF, 0.34f, 0.995f, 4, 0, 48, 46),
     {879, 335}},
    // A random start picks from the per-user store when there is one.
    {"user_copy_of_store_takes_precedence", Still({{"randomly", "1"}}), Store({Encode(Named("red"))}),
     Store({Encode(Green())}), Look(1, 1, -1, 0x28DC28, 0.34f, 0.995f, 4, 2, 44, 28), {883, 339}},
    // Absurd stored values (the core's handling of each is unit-tested) draw nothing at all.
    {"absurd_values_draw_nothing",
     P({{"angleX", "nan"}, {"angleY", "inf"}, {"angleZ", "-inf"}, {"cbStep", "nan"}, {"csStep", "-inf"},
        {"ambient", "-inf"}, {"mirror", "1e30"}, {"shape", "2147483647"}, {"size1", "-2000000000"},
        {"size2", "2000000000"}, {"phong", "2000000000"}, {"switches", "0xFFFFFFFF"}, {"color0", "0xFF123456"}}),
     {}, {}, kNothing, {}},
    {"non_finite_speeds_draw_nothing", P({{"cbStep", "nan"}, {"csStep", "inf"}}), {}, {}, kNothing, {}},  // no position
};
const bool kPicturesAdded = AddRows("full_screen", kPictures, RunPicture);

// Built-in settings heap shapes into a ring, the middle and corners black.
E2E_CASE(full_screen, default_animation_stays_inside_ring) {
    Saver saver({L"/s"}); const HWND window = saver.FullScreen();
    // Images of side 99 (half 49) around path points 96 to 416 pixels from (512, 384), rounded by up to 1.5 a side.
    const double inner = 96 - 49 - 2.5, outer = 416 + 49 + 2.5;
    const Screenshot shot = PollScreen(saver, "a ring of 50000 pixels", [](const Screenshot& s) {
        const size_t lit = s.pixels.size() - std::count(s.pixels.begin(), s.pixels.end(), 0u);
        return lit > 50000 ? std::string() : Format("%zu pixels lit", lit);
    }, 50);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const double r = std::hypot(x - 512.0, y - 384.0);
            Expect(!shot.At(x, y) || (r >= inner && r <= outer),
                   Format("pixel (%d,%d) = %06x lies %.1f px from the centre, outside the ring", x, y, shot.At(x, y), r));
        }
    PostKey(window, WM_KEYDOWN, 'A'); saver.ExpectEnds(0, "a key press");
}

// ---- input: the full-screen saver ends at the first sign of the user, and only then
void ExpectKeepsRunning(Saver& saver, HWND window, const std::string& after) {
    ExpectChanging(saver, kScreen, "the animation after " + after);
    Expect(IsWindow(window) && IsWindowVisible(window), "the saver's window went away after " + after);
}
struct InputRow {
    const char* name; void (*act)(Saver& saver, HWND window);
    bool ends;  // else the animation goes on, and then a key ends it
};
const InputRow kInputs[] = {
    {"alt_key_ends", [](Saver&, HWND w) { PostKey(w, WM_SYSKEYDOWN, VK_MENU); }, true},
    {"left_button_ends", [](Saver&, HWND w) { Post(w, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 100)); }, true},
    {"middle_button_ends", [](Saver&, HWND w) { Post(w, WM_MBUTTONDOWN, MK_MBUTTON, At(100, 100)); }, true},
    {"right_button_ends", [](Saver&, HWND w) { Post(w, WM_RBUTTONDOWN, MK_RBUTTON, At(100, 100)); }, true},
    // Reports of the position where the pointer rests change nothing; a pixel away ends it.
    {"first_mouse_move_does_not_end", [](Saver& s, HWND w) {
         for (int i = 0; i < 2; ++i) {
             Post(w, WM_MOUSEMOVE, 0, At(100, 100));
             ExpectKeepsRunning(s, w, "a mouse move to where the pointer rests");
         }
         Post(w, WM_MOUSEMOVE, 0, At(101, 100));
     }, true},
    {"moving_the_pointer_ends", [](Saver& s, HWND w) {
         ExpectKeepsRunning(s, w, "starting with the pointer at rest"); MovePointer({140, 130});
     }, true},
    {"key_release_and_wheel_are_ignored", [](Saver&, HWND w) {
         PostKey(w, WM_KEYUP, 'A');
         Post(w, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), At(100, 100));
     }, false},
    {"deactivation_ends", [](Saver&, HWND w) { Post(w, WM_ACTIVATE, WA_INACTIVE); }, true},
    {"application_deactivation_ends", [](Saver&, HWND w) { Post(w, WM_ACTIVATEAPP, FALSE); }, true},
    {"screen_saver_and_close_commands_are_ignored", [](Saver&, HWND w) {
         Post(w, WM_SYSCOMMAND, SC_SCREENSAVE);
         Post(w, WM_SYSCOMMAND, SC_CLOSE);
     }, false},
    {"close_request_ends", [](Saver&, HWND w) { Post(w, WM_CLOSE); }, true},
    // A letter key ends it, not waiting for threads of shell or input-method code (one that never ends here).
    {"key_ends_with_another_thread_alive", [](Saver& s, HWND w) {
         const auto sleep = reinterpret_cast<LPTHREAD_START_ROUTINE>(
             reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "Sleep")));
         const HANDLE thread =
             CreateRemoteThread(s.Handle(), nullptr, 0, sleep, reinterpret_cast<void*>(UINT_PTR{INFINITE}), 0, nullptr);
         Expect(thread != nullptr, Format("cannot start a thread in the saver (error %lu)", GetLastError()));
         CloseHandle(thread); PostKey(w, WM_KEYDOWN, 'A');
     }, true},
};
void RunInput(const InputRow& row) {
    Saver saver({L"/s"}); const HWND window = saver.FullScreen(); ExpectChanging(saver, kScreen, "the animation");
    row.act(saver, window);
    if (!row.ends) { ExpectKeepsRunning(saver, window, row.name); PostKey(window, WM_KEYDOWN, 'Z'); }
    saver.ExpectEnds(0, row.name);
}
const bool kInputsAdded = AddRows("input", kInputs, RunInput);

}  // namespace

// The saver outside its dialog: command lines, the full-screen window and its exact
// pictures, input that ends it or not, the display-panel preview, absurd stored values,
// and that none of it writes the settings or the store.
#include <cmath>

#include "dialog.h"
#include "screen.h"

namespace {

// ---- command lines: which start which mode, how each ends, and that nothing is written

enum class Mode { FullScreen, Configures, Preview, Rejected };
struct CommandRow {
    const char* name;
    std::vector<std::wstring> args;  // for Preview the letter; "gone": a destroyed window's handle
    Mode mode;
    int prepared;  // 1: settings with the random option and a store; 2: a per-user store too
    int width, height;  // of the preview's host
};

void PrepareStored(int prepared) {
    if (!prepared) return;
    WriteProfile(P({{"randomly", "1"}, {"switches", "3"}, {"cbStep", "0.500000"}}));
    Record preset; preset.name = "kept as it is"; preset.cbStep = 0.3f; preset.csStep = 0.02f; preset.on[1] = 1;
    WriteFileBytes(WindowsStore(), Store({Encode(preset)})); Backdate(WindowsStore()); if (prepared < 2) return;
    preset.name = "the user's own"; WriteFileBytes(UserStore(), Store({Encode(preset), Encode(preset)}));
    Backdate(UserStore());
}

void WaitForDrawing(Saver& saver) {
    PollScreen(&saver, "anything drawn", [](const Screenshot& shot) {
        for (int y = 0; y < shot.Height(); y += 2)
            for (int x = 0; x < shot.Width(); x += 2)
                if (shot.At(x, y)) return std::string();
        return std::string("the screen is black");
    });
}

void ExpectConfigurationDialog(Dialog& dialog) {
    const RECT r = RectOf(dialog.Handle());
    const LONG style = StyleOf(dialog.Handle()), width = r.right - r.left, height = r.bottom - r.top;
    const std::wstring caption = L"Shaded shapes, never cleared - Tindelborg Screen Saver 2.0 - Ring edition";
    Expect(TitleOf(dialog.Handle()) == caption, "the dialog's caption is \"" + Narrow(TitleOf(dialog.Handle())) + "\"");
    Expect((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) &&
               !(StyleOf(dialog.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST),
           "the dialog needs a caption and a close box, no minimise or maximise box, and is not topmost: " +
               Describe(dialog.Handle()));
    // Without an owner it is centred on the screen, and Ok, the first tab stop, has the focus.
    Expect(r.left == (1024 - width) / 2 && r.top == (768 - height) / 2,
           Format("the %ldx%ld dialog lies at (%ld,%ld), not centred", width, height, r.left, r.top));
    GUITHREADINFO gui = {}; gui.cbSize = sizeof gui;
    Expect(PollUntil([&] {
               return GetGUIThreadInfo(GetWindowThreadProcessId(dialog.Handle(), nullptr), &gui) &&
                      gui.hwndFocus == dialog.Item(id::kOk);
           }),
           Format("the focus is on control %d, not on Ok", gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0));
    // It paints its own face: beside Ok the face colour shows.
    const RECT ok = RectOf(dialog.Item(id::kOk));
    const uint32_t face = GetSysColor(COLOR_BTNFACE), faceRgb = (face & 0xFF) << 16 | (face & 0xFF00) | (face >> 16 & 0xFF);
    PollScreen(&dialog.saver(), "the face colour beside Ok", [&](const Screenshot& shot) {
        const uint32_t p = shot.At(ok.right + 3, (ok.top + ok.bottom) / 2);
        return p == faceRgb ? std::string() : Format("%06x, not %06x", p, faceRgb);
    });
    Expect(dialog.Windows().size() == 1, "the saver shows more than its dialog: " + dialog.saver().Showing());
}

void RunCommandLine(const CommandRow& row) {
    std::vector<std::wstring> args = row.args;
    if (args.size() == 2 && args[1] == L"gone") {
        HostWindow host(100, 100); args[1] = HandleText(host.Handle());
    }
    if (row.mode == Mode::Rejected) return ExpectEndsWithoutWindow(args, 1);
    PrepareStored(row.prepared);
    const Stored before = ReadStored();
    if (row.mode == Mode::Configures) {
        Dialog dialog(args); ExpectConfigurationDialog(dialog); dialog.Cancel();
    } else if (row.mode == Mode::FullScreen) {
        Saver saver(args); const HWND window = saver.FullScreen(); WaitForDrawing(saver);
        PostKey(window, WM_KEYDOWN, 'Q'); saver.ExpectEnds(0, "a key press");
    } else {
        HostWindow host(row.width, row.height); Saver saver({args[0], HandleText(host.Handle())});
        const HWND child = WaitForPreviewChild(saver, host.Handle()); RECT client = {}, hostClient = {};
        GetClientRect(child, &client); GetClientRect(host.Handle(), &hostClient); POINT origin = {0, 0};
        MapWindowPoints(child, host.Handle(), &origin, 1);
        Expect((StyleOf(child) & WS_CHILD) && GetParent(child) == host.Handle() &&
                   ChildrenOf(host.Handle(), saver.Pid()).size() == 1 && WindowsOf(saver.Pid()).empty(),
               "the preview is not one visible child of the host and nothing else: " + Describe(child));
        Expect(origin.x == 0 && origin.y == 0 && EqualRect(&client, &hostClient),
               Format("the preview is %ldx%ld at (%ld,%ld) in a %ldx%ld host", client.right, client.bottom, origin.x,
                      origin.y, hostClient.right, hostClient.bottom)); host.Destroy();
        saver.ExpectEnds(0, "the host window was destroyed");
    }
    ExpectUnchanged(before, "the saver started with " + Narrow(args.empty() ? L"no argument" : args[0]));
}

const CommandRow kCommandLines[] = {
    {"slash_s_runs_full_screen", {L"/s"}, Mode::FullScreen, 0, 0, 0},
    {"dash_upper_s_runs_full_screen", {L"-S"}, Mode::FullScreen, 0, 0, 0},
    {"bare_s_runs_full_screen", {L"s"}, Mode::FullScreen, 0, 0, 0},
    {"no_argument_configures", {}, Mode::Configures, 0, 0, 0},
    {"slash_c_configures", {L"/c"}, Mode::Configures, 0, 0, 0},
    {"bare_c_configures", {L"c"}, Mode::Configures, 0, 0, 0},
    {"c_with_handle_configures", {L"/c:1234"}, Mode::Configures, 0, 0, 0},
    {"s_with_suffix_is_rejected", {L"/s:1"}, Mode::Rejected, 0, 0, 0},
    {"two_slashes_are_rejected", {L"//s"}, Mode::Rejected, 0, 0, 0},
    {"upper_c_is_rejected", {L"/C:1234"}, Mode::Rejected, 0, 0, 0},
    {"unknown_letter_is_rejected", {L"x"}, Mode::Rejected, 0, 0, 0},
    {"empty_argument_is_rejected", {L""}, Mode::Rejected, 0, 0, 0},
};
const CommandRow kPreviews[] = {
    {"child_fills_host_and_ends_with_it", {L"/p"}, Mode::Preview, 0, 320, 240},
    {"follows_host_size", {L"/p"}, Mode::Preview, 0, 152, 112},
    {"upper_case_letter_accepted", {L"-P"}, Mode::Preview, 0, 200, 150},
    {"missing_handle_is_rejected", {L"/p"}, Mode::Rejected, 0, 0, 0},
    {"zero_handle_is_rejected", {L"/p", L"0"}, Mode::Rejected, 0, 0, 0},
    {"text_handle_is_rejected", {L"/p", L"window"}, Mode::Rejected, 0, 0, 0},
    {"handle_of_gone_window_is_rejected", {L"/p", L"gone"}, Mode::Rejected, 0, 0, 0},
};
const CommandRow kNoWrites[] = {
    {"full_screen_writes_nothing", {L"/s"}, Mode::FullScreen, 1, 0, 0},
    {"full_screen_leaves_user_store_alone", {L"/s"}, Mode::FullScreen, 2, 0, 0},
    {"preview_writes_nothing", {L"/p"}, Mode::Preview, 2, 320, 240},
};
const bool kCommandLinesAdded = AddRows("command_line", kCommandLines, RunCommandLine) &&
                                AddRows("preview", kPreviews, RunCommandLine) &&
                                AddRows("no_writes", kNoWrites, RunCommandLine);

// ---- the still picture: one slot, both speeds 0, every shape on the same spot. On the
// 1024x768 screen sizes scale by 1.6 and the spot is 416 pixels right of the centre.

struct PictureRow {
    const char* name; Profile profile;
    Bytes windowsStore, userStore;  // none when empty
    ShapeImageParams look; POINT corner;
};

Profile Still(Changes changes) { return With(P({{"cbStep", "0"}, {"csStep", "0"}, {"switches", "1"}}), changes); }
const ShapeImageParams kRedSphere = Look(1, 1, -1, 0x0000FF, 0.34f, 0.995f, 4, 0, 48, 46);  // sizes 30, 29
const POINT kSide99 = {879, 335};

Record Blue() {
    Record r; r.name = "deep blue"; r.size1 = r.size2 = 22; r.phong = 6; r.ambient = 0.5f; r.angleX = 0.5f;
    r.colour[0] = 0xE63C14; return r;
}
Record Green() {
    Record r; r.name = "green torus"; r.shape = 2; r.size1 = 18; r.size2 = 28; r.colour[0] = 0x28DC28; return r;
}
Record BlueSlot2() {
    Record r = Blue(); r.on[0] = 0;
    r.on[2] = 4;  // any non-zero word is on
    r.colour[2] = 0x0078FA; return r;
}
Bytes Truncated() {
    Bytes bytes = Store({Encode(Green()), Encode(Blue())}, 5); bytes.resize(4 + kRecordSize + kRecordSize / 2);
    return bytes;
}
const Profile kRandom = Still({{"randomly", "1"}});
const ShapeImageParams kBlueLook = Look(0.5f, 1, -1, 0xE63C14, 0.5f, 0.995f, 6, 0, 35, 35);
const ShapeImageParams kGreenLook = Look(1, 1, -1, 0x28DC28, 0.34f, 0.995f, 4, 2, 44, 28);

void RunPicture(const PictureRow& row) {
    WriteProfile(row.profile); if (!row.windowsStore.empty()) WriteFileBytes(WindowsStore(), row.windowsStore);
    if (!row.userStore.empty()) WriteFileBytes(UserStore(), row.userStore);
    Saver saver({L"/s"});
    const HWND window = saver.FullScreen();
    const Screenshot shot = PollScreen(&saver, "exactly the still picture", [&](const Screenshot& s) {
        return ImageDiff(s, WholeScreen(), row.look, row.corner);
    });
    // Red 178, green and blue 3 at the centre of the built-in sphere, worked out by hand.
    Expect(row.look.colour != 0x0000FF || row.look.outerSize != 48 || shot.At(928, 384) == 0xB20303,
           Format("the sphere's centre pixel is %06x, not b20303", shot.At(928, 384)));
    PostKey(window, WM_KEYDOWN, VK_SPACE); saver.ExpectEnds(0, "a key press");
}

const PictureRow kStill[] = {{"draws_exact_shape_image_on_black", Still({}), {}, {}, kRedSphere, kSide99}};
const PictureRow kSettings[] = {
    {"colour_from_registry", Still({{"color0", Rgb(40, 120, 200)}}), {}, {},
     Look(1, 1, -1, 0xC87828, 0.34f, 0.995f, 4, 0, 48, 46), kSide99},
    {"torus_from_registry", Still({{"shape", "2"}, {"size2", "20"}, {"color0", Rgb(200, 180, 20)}}), {}, {},
     Look(1, 1, -1, 0x14B4C8, 0.34f, 0.995f, 4, 2, 48, 32), kSide99},
    {"light_and_shading_from_registry",
     Still({{"angleX", "-0.500000"}, {"angleY", "0.250000"}, {"angleZ", "-0.750000"}, {"ambient", "0.250000"},
            {"mirror", "0.500000"}, {"phong", "10"}, {"size1", "20"}, {"size2", "20"}, {"color0", Rgb(90, 90, 250)}}),
     {}, {}, Look(-0.5f, 0.25f, -0.75f, 0xFA5A5A, 0.25f, 0.5f, 10, 0, 32, 32), {895, 351}},
    {"only_switched_on_slot_is_drawn", Still({{"switches", "8"}, {"color3", Rgb(30, 200, 90)}}), {}, {},
     Look(1, 1, -1, 0x5AC81E, 0.34f, 0.995f, 4, 0, 48, 46), kSide99},
    {"colour_high_byte_ignored", Still({{"color0", "0x01B2B200"}}), {}, {},
     Look(1, 1, -1, 0xB2B200, 0.34f, 0.995f, 4, 0, 48, 46), kSide99},
    // A number followed by other characters counts as the number; no number at all leaves
    // the built-in value.
    {"float_texts_read_leniently", Still({{"size1", "24"}, {"size2", "24"}, {"angleX", "2.5xyz"}, {"ambient", "abc"}}),
     {}, {}, Look(2.5f, 1, -1, 0x0000FF, 0.34f, 0.995f, 4, 0, 38, 38), {889, 345}},
};
const PictureRow kPresets[] = {
    {"random_start_uses_the_only_preset", kRandom, Store({Encode(Blue())}), {}, kBlueLook, {892, 348}},
    {"user_copy_of_store_takes_precedence", kRandom, Store({Encode(Blue())}), Store({Encode(Green())}), kGreenLook,
     {883, 339}},
    {"option_off_keeps_registry_settings", Still({}), Store({Encode(Blue())}), {}, kRedSphere, kSide99},
    {"empty_store_keeps_registry_settings", kRandom, Store({}), {}, kRedSphere, kSide99},
    {"preset_switch_word_four_is_on", kRandom, Store({Encode(BlueSlot2())}), {},
     Look(0.5f, 1, -1, 0x0078FA, 0.5f, 0.995f, 6, 0, 35, 35), {892, 348}},
    {"truncated_store_uses_whole_records", kRandom, Truncated(), {}, kGreenLook, {883, 339}},
    {"negative_count_means_no_presets", kRandom, Store({Encode(Blue())}, -1), {}, kRedSphere, kSide99},
    {"short_store_file_means_no_presets", kRandom, Bytes{1, 0, 0}, {}, kRedSphere, kSide99},
};
const bool kPicturesAdded = AddRows("full_screen", kStill, RunPicture) && AddRows("settings", kSettings, RunPicture) &&
                            AddRows("presets", kPresets, RunPicture);

}  // namespace

// Left alone with its built-in settings, the saver heaps shapes of all seven colours into
// a ring; the hole in the middle and the corners stay black, and no pointer shows.
E2E_CASE(full_screen, default_animation_stays_inside_ring) {
    Saver saver({L"/s"}); const HWND window = saver.FullScreen();
    // Images of side 99 (half 49) around path points 96 to 416 pixels from the centre
    // (512, 384), each rounded by up to 1.5 pixels per axis.
    const double inner = 96 - 49 - 2.5, outer = 416 + 49 + 2.5;
    const Screenshot shot = PollScreen(&saver, "a ring of 50000 pixels in five hues", [](const Screenshot& s) {
        size_t lit = 0; bool hues[8] = {};
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const uint32_t p = s.At(x, y); lit += p != 0;
                hues[((p >> 16 & 255) > 100) | ((p >> 8 & 255) > 100) << 1 | ((p & 255) > 100) << 2] = true;
            }
        const int count = hues[1] + hues[2] + hues[3] + hues[4] + hues[5] + hues[6] + hues[7];
        return lit > 50000 && count >= 5 ? std::string() : Format("%zu pixels in %d hues", lit, count);
    }, 50);
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const double r = std::hypot(x - 512.0, y - 384.0);
            Expect(!shot.At(x, y) || (r >= inner && r <= outer),
                   Format("pixel (%d,%d) = %06x lies %.1f px from the centre, outside the ring", x, y, shot.At(x, y), r));
        }
    CURSORINFO cursor = {}; cursor.cbSize = sizeof cursor;
    Expect(PollUntil([&] { return GetCursorInfo(&cursor) && cursor.hCursor == nullptr; }),
           Format("over the saver the pointer shows cursor %p", static_cast<void*>(cursor.hCursor)));
    PostKey(window, WM_KEYDOWN, 'A'); saver.ExpectEnds(0, "a key press");
}

namespace {

// ---- input: the full-screen saver ends at the first sign of the user, and only then

// The animation goes on changing the screen (which needs every message posted before to
// have been handled), and the window stays.
void ExpectKeepsRunning(Saver& saver, HWND window, const std::string& after) {
    std::vector<uint32_t> last = Screenshot::Capture().Area(WholeScreen());
    for (int change = 0; change < 3; ++change)
        PollScreen(&saver, "the animation going on after " + after, [&](const Screenshot& shot) {
            auto now = shot.Area(WholeScreen()); if (now == last) return std::string("it stands still");
            last = std::move(now); return std::string();
        });
    Expect(IsWindow(window) && IsWindowVisible(window), "the saver's window went away after " + after);
}

struct InputRow {
    const char* name; void (*act)(Saver& saver, HWND window);
    bool ends;  // else the animation goes on, and then a key ends it
};

const InputRow kInputs[] = {
    {"letter_key_ends", [](Saver&, HWND w) { PostKey(w, WM_KEYDOWN, 'A'); }, true},
    {"alt_key_ends", [](Saver&, HWND w) { PostKey(w, WM_SYSKEYDOWN, VK_MENU); }, true},
    {"typed_key_ends", [](Saver&, HWND) { SendKeyPress('K'); }, true},
    {"left_button_ends", [](Saver&, HWND w) { Post(w, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 100)); }, true},
    {"middle_button_ends", [](Saver&, HWND w) { Post(w, WM_MBUTTONDOWN, MK_MBUTTON, At(100, 100)); }, true},
    {"right_button_ends", [](Saver&, HWND w) { Post(w, WM_RBUTTONDOWN, MK_RBUTTON, At(100, 100)); }, true},
    {"clicked_button_ends", [](Saver&, HWND) { SendClick(); }, true},
    // The first reported position is where the pointer rests; reports of that same
    // position change nothing, one pixel away ends the saver.
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
    {"activating_another_window_ends", [](Saver& s, HWND) {
         HostWindow other(200, 100); SetForegroundWindow(other.Handle());
         s.ExpectEnds(0, "activating another program's window");
     }, true},
    {"screen_saver_command_is_ignored", [](Saver&, HWND w) { Post(w, WM_SYSCOMMAND, SC_SCREENSAVE); }, false},
    {"close_command_is_ignored", [](Saver&, HWND w) { Post(w, WM_SYSCOMMAND, SC_CLOSE); }, false},
    {"close_request_ends", [](Saver&, HWND w) { Post(w, WM_CLOSE); }, true},
    // Shell and input-method code start threads of their own in the saver; the end must
    // not wait for them. A thread that never ends stands in for them.
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
    Saver saver({L"/s"}); const HWND window = saver.FullScreen(); WaitForDrawing(saver); row.act(saver, window);
    if (!row.ends) {
        ExpectKeepsRunning(saver, window, row.name); PostKey(window, WM_KEYDOWN, 'Z');
    }
    saver.ExpectEnds(0, row.name);
}
const bool kInputsAdded = AddRows("input", kInputs, RunInput);

// ---- absurd stored values in full screen and preview: the saver runs, draws what they
// allow (or nothing), ends with status 0 and writes nothing back

const Profile kEverything = Absurd(true, true);
// Records that draw (spread over the ring, slot 0 on) with one absurd thing each.
Bytes Drawable(void (*change)(Record&), uint32_t redWord = 255) {
    Record r; r.cbStep = 1.46f; r.csStep = 0.01f; change(r); Bytes bytes = Encode(r); PutWord(bytes, 128, redWord);
    return bytes;
}
const float kNaN = std::nanf(""), kInf = INFINITY;
const Bytes kLightless = Drawable([](Record& r) { r.angleX = kNaN, r.angleY = kInf, r.angleZ = -kInf, r.phong = 2000000000; });
const Bytes kOddSwitches = Drawable([](Record& r) {
    r.on[0] = -1, r.on[1] = 7, r.on[2] = 0x7FFFFFFF; r.colour[1] = 0x00FF00, r.colour[2] = 0xFF0000;
});
const Bytes kShapeBeyond = Drawable([](Record& r) {
    r.shape = 2147483647; for (auto& on : r.on) on = -1;
});
const Bytes kHugeSizes = Drawable([](Record& r) { r.size1 = 2000000000, r.size2 = -2000000000; });
const Bytes kZeroSizes = Drawable([](Record& r) { r.size1 = r.size2 = 0; });
const Bytes kNowhere = Drawable([](Record& r) { r.cbStep = kNaN, r.csStep = kInf; });
const Bytes kWideRed = Drawable([](Record&) {}, 0xFF123456u);  // packed, that is the colour 0xFF123456
const Bytes kExtremeShading = Drawable([](Record& r) { r.phong = -5, r.mirror = 1e30f, r.ambient = -kInf; });

struct AbsurdRow {
    const char* name; Profile profile;
    std::vector<Bytes> records;  // the store, with the random option on when any
    Rule rule; bool userStore = false, preview = false;
};

void RunAbsurd(const AbsurdRow& row) {
    WriteProfile(row.records.empty() || row.preview ? row.profile : With(row.profile, {{"randomly", "1"}}));
    const std::wstring path = row.userStore ? UserStore() : WindowsStore();
    if (!row.records.empty()) WriteFileBytes(path, Store(row.records));
    if (!row.records.empty()) Backdate(path);
    // Three starts for the pick among many presets: the clock picks three times.
    for (int start = 0; start < (row.rule == Rule::Answers ? 3 : 1); ++start) {
        const Stored before = ReadStored();
        if (row.preview) {
            // Wine does not show what another process draws into the host: this proves the
            // window, the drawing code's survival (each move draws two bursts) and the end.
            HostWindow host(320, 240); Saver saver({L"/p", HandleText(host.Handle())});
            const HWND child = WaitForPreviewChild(saver, host.Handle());
            for (int move = 0; move < 8; ++move) {
                saver.ExpectAnswers(child, Format("after %d moves over the preview", move));
                Post(child, WM_MOUSEMOVE, 0, At(10 + 20 * move, 10 + 15 * move));
            }
            saver.ExpectAnswers(child, "after the moves over the preview");
            Expect(IsWindowVisible(child) && GetParent(child) == host.Handle(), "the preview window went away");
            host.Destroy(); saver.ExpectEnds(0, "the host window was destroyed");
        } else {
            Saver saver({L"/s"}); const HWND window = saver.FullScreen();
            ExpectPicture(saver, window, WholeScreen(), row.rule, row.name); PostKey(window, WM_KEYDOWN, VK_SPACE);
            saver.ExpectEnds(0, "a key press");
        }
        ExpectUnchanged(before, row.name);
    }
}

const AbsurdRow kAbsurd[] = {
    {"full_screen_huge_sizes_draw_nothing", P({{"size1", "2000000000"}, {"size2", "-2000000000"}}), {}, Rule::Black},
    {"full_screen_huge_torus_sizes_draw_nothing",
     P({{"shape", "2"}, {"size1", "-2000000000"}, {"size2", "2000000000"}, {"bound", "0"}}), {}, Rule::Black},
    // Outer size 0: a 3x3 image whose centre is lit; 0/0 makes its shading not a number.
    {"full_screen_zero_sizes_draw_specks", P({{"size1", "0"}, {"size2", "0"}}), {}, Rule::DarkestGrey},
    {"full_screen_nan_speeds_draw_nothing", P({{"cbStep", "nan"}, {"csStep", "nan"}}), {}, Rule::Black},
    {"full_screen_infinite_speeds_draw_nothing", P({{"cbStep", "inf"}, {"csStep", "-inf"}}), {}, Rule::Black},
    {"full_screen_non_finite_light_draws_darkest_grey", P({{"angleX", "nan"}, {"angleY", "inf"}, {"angleZ", "-inf"}}),
     {}, Rule::DarkestGrey},
    {"full_screen_colour_high_bits_are_dropped", Absurd(false, true), {}, Rule::LowBytes},
    {"full_screen_shape_3_draws_nothing", P({{"shape", "3"}}), {}, Rule::Black},
    {"full_screen_shape_minus_1_draws_nothing", P({{"shape", "-1"}}), {}, Rule::Black},
    {"full_screen_shape_2147483647_draws_nothing", P({{"shape", "2147483647"}}), {}, Rule::Black},
    // An exponent near four thousand million: drawing at all shows it is not multiplied out.
    {"full_screen_huge_phong_power_draws", P({{"phong", "2000000000"}}), {}, Rule::Any},
    {"full_screen_negative_phong_and_huge_mirror_draw", P({{"phong", "-5"}, {"mirror", "1e30"}}), {}, Rule::Any},
    {"full_screen_infinite_ambient_draws_darkest_grey", P({{"ambient", "-inf"}, {"mirror", "-inf"}}), {},
     Rule::DarkestGrey},
    {"full_screen_huge_ambient_draws", P({{"ambient", "1e30"}}), {}, Rule::Any},
    {"full_screen_everything_at_once_draws_nothing", kEverything, {}, Rule::Black},
    {"random_preset_non_finite_light_draws_darkest_grey", P(), {kLightless}, Rule::DarkestGrey},
    {"random_preset_odd_switch_words_are_on", P(), {kOddSwitches}, Rule::ThreeHues},
    {"random_preset_unknown_shape_draws_nothing", P(), {kShapeBeyond}, Rule::Black},
    {"random_preset_huge_sizes_draw_nothing", P(), {kHugeSizes}, Rule::Black},
    {"random_preset_zero_sizes_draw_specks", P(), {kZeroSizes}, Rule::DarkestGrey, true},
    {"random_preset_non_finite_speeds_draw_nothing", P(), {kNowhere}, Rule::Black},
    {"random_preset_wide_colour_channels_keep_low_bytes", P(), {kWideRed}, Rule::LowBytes},
    {"random_preset_extreme_shading_draws_darkest_grey", P(), {kExtremeShading}, Rule::DarkestGrey},
    {"random_pick_among_absurd_presets", kEverything,
     {kLightless, kOddSwitches, kShapeBeyond, kHugeSizes, kZeroSizes, kNowhere, kWideRed, kExtremeShading}, Rule::Answers},
    {"preview_everything_at_once", kEverything, {kLightless, kShapeBeyond, kHugeSizes}, Rule::Answers, false, true},
    {"preview_drawable_absurd_values",
     With(Absurd(false, true), {{"angleX", "nan"}, {"angleY", "inf"}, {"angleZ", "-inf"}, {"size1", "0"}, {"size2", "0"}}),
     {kLightless, kShapeBeyond, kHugeSizes}, Rule::Answers, false, true},
    {"preview_huge_sizes_and_extreme_shading",
     P({{"size1", "2000000000"}, {"size2", "-2000000000"}, {"phong", "2000000000"}, {"mirror", "1e30"},
        {"ambient", "-inf"}, {"cbStep", "inf"}}),
     {kLightless, kShapeBeyond, kHugeSizes}, Rule::Answers, false, true},
    // Values that still draw, so the preview's bursts really stamp images.
    {"preview_shapes_that_draw", P({{"phong", "2000000000"}, {"mirror", "1e30"}, {"shape", "1"}}),
     {kLightless, kShapeBeyond, kHugeSizes}, Rule::Answers, false, true},
};
const bool kAbsurdAdded = AddRows("absurd", kAbsurd, RunAbsurd);

}  // namespace

// The panel may destroy its window at any moment, even while the preview's own window is
// still being created: the preview then ends with status 0 all the same.
E2E_CASE(preview, host_gone_during_the_child_creation) {
    for (auto end : {HostWindow::End::OnChildCreated, HostWindow::End::SoonAfterChildCreated}) {
        HostWindow host(160, 120, end); Saver saver({L"/p", HandleText(host.Handle())});
        saver.ExpectEnds(0, end == HostWindow::End::OnChildCreated ? "the host destroyed itself on the child's creation"
                                                                    : "the host closed itself after the child's creation");
    }
}

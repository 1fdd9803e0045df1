// Absurd stored values in full screen and in the display-panel preview: sizes of two
// thousand million, infinite and not-a-number speeds and light, colours and switch masks
// with every high bit set, shapes that do not exist. The saver runs, draws what such
// values allow (or nothing), ends on input with status 0 and writes nothing back.
#include <limits>
#include <string>

#include "absurd_values.h"
#include "cases.h"
#include "check.h"
#include "host_window.h"
#include "input.h"
#include "poll.h"
#include "preset_store.h"
#include "registry.h"
#include "saver.h"
#include "screen.h"
#include "window_search.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// What the screen must show.
struct Picture {
    bool drawn;                      // false: it stays black
    bool (*allowed)(uint32_t pixel);  // when drawn: every lit pixel passes
    const char* rule;
};

// Every channel that goes not-a-number or beyond the integers ends up at 1.
bool DarkestGrey(uint32_t pixel) { return pixel == 0x010101; }

// Red 0x56, green 0x34, blue 0x12 (the low bytes of 0xFF123456) keep their order through
// any shading: diffuse light scales them alike, the highlight adds the same to each.
bool OrderedLikeLowBytes(uint32_t pixel) {
    const uint32_t r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return r >= g && g >= b;
}

const Picture kBlack{false, nullptr, ""};
const Picture kAnyShapes{true, AnyPixel, "any colour"};
const Picture kDarkestGrey{true, DarkestGrey, "every pixel 010101"};
const Picture kLowBytesOrder{true, OrderedLikeLowBytes, "red >= green >= blue, as in 0x123456"};

void ExpectPicture(SaverProcess& saver, HWND window, const ScreenArea& area, const Picture& picture,
                   const std::string& what) {
    if (picture.drawn)
        ExpectDrawsIn(saver, window, area, picture.allowed, picture.rule);
    else
        ExpectStaysBlack(saver, window, area, what);
}

// Full screen with what is stored now: shows, answers, draws (or not), ends on a key
// with status 0, and leaves the registry and both store files as they were.
void RunFullScreen(const Picture& picture, const std::string& what) {
    const StoredState before = ReadStoredState();
    {
        auto saver = StartSaver({L"/s"});
        HWND window = WaitForFullScreenWindow(*saver);
        ExpectResponds(*saver, window, "after showing its window");
        ExpectPicture(*saver, window, WholeScreen(), picture, what);
        ExpectResponds(*saver, window, "after drawing");
        PostKeyDown(window, VK_SPACE);
        ExpectEndsWithStatus(*saver, 0, "a key press with " + what);
    }
    ExpectStoredStateUnchanged(before, "full screen with " + what);
}

void FullScreenWith(const RawProfile& profile, const Picture& picture, const std::string& what) {
    WriteRawProfile(profile);
    RunFullScreen(picture, what);
}

// ---- profiles ----

RawProfile HugeSizes() {
    RawProfile p;
    p.size1 = Word(2000000000);
    p.size2 = Word(-2000000000);
    return p;
}

RawProfile HugeTorusSizes() {
    RawProfile p;
    p.shape = 2;
    p.size1 = Word(-2000000000);
    p.size2 = Word(2000000000);
    p.bound = 0;
    return p;
}

RawProfile ZeroSizes() {
    RawProfile p;
    p.size1 = 0;
    p.size2 = 0;
    return p;
}

RawProfile NonFiniteLight() {
    RawProfile p;
    p.angleX = "nan";
    p.angleY = "inf";
    p.angleZ = "-inf";
    return p;
}

RawProfile HighBits() {
    RawProfile p;
    for (auto& c : p.color) c = 0xFF123456u;
    p.switches = 0xFFFFFFFFu;
    return p;
}

// ---- preset records ----

PresetRecord Drawable(const char* name) {
    PresetRecord r;
    r.name = name;
    r.cbStep = 1.46f;  // spread the shapes over the ring
    r.csStep = 0.01f;
    for (auto& s : r.switches) s = 0;
    r.switches[0] = 1;
    return r;
}

std::vector<uint8_t> NonFiniteLightPreset() {
    PresetRecord r = Drawable("light from nowhere");
    r.angleX = kNaN;
    r.angleY = kInf;
    r.angleZ = -kInf;
    r.phong = 2000000000;
    return EncodeRecord(r);
}

// Slots 0, 1 and 2 pure red, green and blue, switched on by the words -1, 7 and
// 0x7FFFFFFF; the rest off.
std::vector<uint8_t> OddSwitchWordsPreset() {
    PresetRecord r = Drawable("odd switch words");
    r.switches[0] = -1;
    r.switches[1] = 7;
    r.switches[2] = 0x7FFFFFFF;
    r.color[0] = Rgb(255, 0, 0);
    r.color[1] = Rgb(0, 255, 0);
    r.color[2] = Rgb(0, 0, 255);
    return EncodeRecord(r);
}

std::vector<uint8_t> ShapeBeyondPreset() {
    PresetRecord r = Drawable("no such shape");
    r.shape = 2147483647;
    for (auto& s : r.switches) s = -1;
    return EncodeRecord(r);
}

std::vector<uint8_t> HugeSizesPreset() {
    PresetRecord r = Drawable("too big to draw");
    r.size1 = 2000000000;
    r.size2 = -2000000000;
    return EncodeRecord(r);
}

std::vector<uint8_t> ZeroSizesPreset() {
    PresetRecord r = Drawable("specks");
    r.size1 = 0;
    r.size2 = 0;
    return EncodeRecord(r);
}

std::vector<uint8_t> NonFiniteSpeedsPreset() {
    PresetRecord r = Drawable("nowhere to go");
    r.cbStep = kNaN;
    r.csStep = kInf;
    return EncodeRecord(r);
}

// Red's word 0xFF123456 and green and blue 0: packed, that is the colour 0xFF123456.
std::vector<uint8_t> WideChannelsPreset() {
    std::vector<uint8_t> record = EncodeRecord(Drawable("wide channels"));
    PutRecordChannels(record, 0, 0xFF123456u, 0, 0);
    return record;
}

std::vector<uint8_t> ExtremeShadingPreset() {
    PresetRecord r = Drawable("blinding and black");
    r.phong = -5;
    r.mirror = 1e30f;
    r.ambient = -kInf;
    return EncodeRecord(r);
}

// Full screen with the random option on and `records` in the store; the registry's
// own settings draw plainly, so a picture that is black or darkest grey is the preset's.
void RandomPresetShows(const std::vector<std::vector<uint8_t>>& records, const Picture& picture,
                       const std::string& what, bool userStore = false) {
    RawProfile profile;
    profile.randomly = 1;
    WriteRawProfile(profile);
    const std::wstring path = userStore ? UserStorePath() : WindowsStorePath();
    WriteFileBytes(path, StoreOfRecords(records));
    BackdateFile(path);
    RunFullScreen(picture, what);
}

}  // namespace

// ---- full screen, settings from the registry ----

E2E_CASE(absurd, full_screen_huge_sizes_draw_nothing) {
    FullScreenWith(HugeSizes(), kBlack, "sizes 2000000000 and -2000000000");
}

E2E_CASE(absurd, full_screen_huge_torus_sizes_draw_nothing) {
    FullScreenWith(HugeTorusSizes(), kBlack, "a torus of sizes -2000000000 and 2000000000");
}

E2E_CASE(absurd, full_screen_zero_sizes_draw_specks) {
    // Outer size 0: a 3x3 image whose centre is lit; 0/0 makes its shading not a number.
    FullScreenWith(ZeroSizes(), kDarkestGrey, "sizes 0 and 0");
}

E2E_CASE(absurd, full_screen_nan_speeds_draw_nothing) {
    RawProfile p;
    p.cbStep = "nan";
    p.csStep = "nan";
    FullScreenWith(p, kBlack, "speeds nan");
}

E2E_CASE(absurd, full_screen_infinite_speeds_draw_nothing) {
    RawProfile p;
    p.cbStep = "inf";
    p.csStep = "-inf";
    FullScreenWith(p, kBlack, "speeds inf and -inf");
}

E2E_CASE(absurd, full_screen_non_finite_light_draws_darkest_grey) {
    FullScreenWith(NonFiniteLight(), kDarkestGrey, "light (nan, inf, -inf)");
}

E2E_CASE(absurd, full_screen_colour_high_bits_are_dropped) {
    FullScreenWith(HighBits(), kLowBytesOrder, "colours 0xFF123456 and switch mask 0xFFFFFFFF");
}

E2E_CASE(absurd, full_screen_unknown_shapes_draw_nothing) {
    for (int32_t shape : {3, -1, 2147483647}) {
        RawProfile p;
        p.shape = Word(shape);
        FullScreenWith(p, kBlack, Format("shape %d", shape));
    }
}

E2E_CASE(absurd, full_screen_huge_phong_power_draws) {
    // The highlight's exponent would be near four thousand million: drawing at all
    // within the deadline shows it is not multiplied out.
    RawProfile p;
    p.phong = Word(2000000000);
    FullScreenWith(p, kAnyShapes, "Phong power 2000000000");
}

E2E_CASE(absurd, full_screen_negative_phong_and_huge_mirror_draw) {
    RawProfile p;
    p.phong = Word(-5);
    p.mirror = "1e30";
    FullScreenWith(p, kAnyShapes, "Phong power -5 and mirror 1e30");
}

E2E_CASE(absurd, full_screen_infinite_ambient_draws_darkest_grey) {
    RawProfile p;
    p.ambient = "-inf";
    p.mirror = "-inf";
    FullScreenWith(p, kDarkestGrey, "ambient and mirror -inf");
}

E2E_CASE(absurd, full_screen_huge_ambient_draws) {
    RawProfile p;
    p.ambient = "1e30";
    FullScreenWith(p, kAnyShapes, "ambient 1e30");
}

E2E_CASE(absurd, full_screen_everything_at_once_draws_nothing) {
    FullScreenWith(EverythingAbsurd(), kBlack, "every value absurd");
}

// ---- full screen, a random preset from the store ----

E2E_CASE(absurd, random_preset_non_finite_light_draws_darkest_grey) {
    RandomPresetShows({NonFiniteLightPreset()}, kDarkestGrey, "a preset of light (nan, inf, -inf)");
}

E2E_CASE(absurd, random_preset_odd_switch_words_are_on) {
    RawProfile profile;
    profile.randomly = 1;
    WriteRawProfile(profile);
    WriteFileBytes(WindowsStorePath(), StoreOfRecords({OddSwitchWordsPreset()}));
    BackdateFile(WindowsStorePath());
    const StoredState before = ReadStoredState();
    {
        auto saver = StartSaver({L"/s"});
        HWND window = WaitForFullScreenWindow(*saver);
        // Pure red, green and blue shapes: each slot's pixels have its own channel on top
        // and the other two equal (diffuse light leaves them at the highlight's level).
        bool seen[3] = {};
        PollUntil(
            [&] {
                const Screenshot shot = Screenshot::Capture();
                for (int y = 0; y < shot.Height(); y += 2)
                    for (int x = 0; x < shot.Width(); x += 2) {
                        const uint32_t p = shot.At(x, y);
                        const uint32_t r = p >> 16 & 255, g = p >> 8 & 255, b = p & 255;
                        if (r > g && g == b) seen[0] = true;
                        if (g > r && r == b) seen[1] = true;
                        if (b > r && r == g) seen[2] = true;
                    }
                return (seen[0] && seen[1] && seen[2]) || !saver->Running();
            },
            kDeadlineMs, 50);
        Expect(saver->Running(), Format("the saver ended (status %lu) while drawing", saver->ExitCode()));
        Expect(seen[0] && seen[1] && seen[2],
               Format("switch words -1, 7 and 0x7FFFFFFF did not all draw: red %s, green %s, blue %s",
                      seen[0] ? "seen" : "missing", seen[1] ? "seen" : "missing", seen[2] ? "seen" : "missing"));
        ExpectResponds(*saver, window, "after drawing");
        PostKeyDown(window, VK_SPACE);
        ExpectEndsWithStatus(*saver, 0, "a key press");
    }
    ExpectStoredStateUnchanged(before, "full screen with odd switch words");
}

E2E_CASE(absurd, random_preset_unknown_shape_draws_nothing) {
    RandomPresetShows({ShapeBeyondPreset()}, kBlack, "a preset of shape 2147483647");
}

E2E_CASE(absurd, random_preset_huge_sizes_draw_nothing) {
    RandomPresetShows({HugeSizesPreset()}, kBlack, "a preset of sizes 2000000000 and -2000000000");
}

E2E_CASE(absurd, random_preset_zero_sizes_draw_specks) {
    RandomPresetShows({ZeroSizesPreset()}, kDarkestGrey, "a preset of sizes 0 and 0 in the per-user store", true);
}

E2E_CASE(absurd, random_preset_non_finite_speeds_draw_nothing) {
    RandomPresetShows({NonFiniteSpeedsPreset()}, kBlack, "a preset of speeds nan and inf");
}

E2E_CASE(absurd, random_preset_wide_colour_channels_keep_low_bytes) {
    RandomPresetShows({WideChannelsPreset()}, kLowBytesOrder, "a preset whose red word is 0xFF123456");
}

E2E_CASE(absurd, random_preset_extreme_shading_draws_darkest_grey) {
    RandomPresetShows({ExtremeShadingPreset()}, kDarkestGrey, "a preset of Phong -5, mirror 1e30, ambient -inf");
}

E2E_CASE(absurd, random_pick_among_absurd_presets) {
    // Whichever the clock picks: the saver runs and ends cleanly. Three starts, three picks.
    const std::vector<std::vector<uint8_t>> records = {
        NonFiniteLightPreset(),  OddSwitchWordsPreset(), ShapeBeyondPreset(),    HugeSizesPreset(),
        ZeroSizesPreset(),       NonFiniteSpeedsPreset(), WideChannelsPreset(), ExtremeShadingPreset()};
    for (int start = 0; start < 3; ++start) {
        RawProfile profile = EverythingAbsurd();
        profile.randomly = 1;
        WriteRawProfile(profile);
        WriteFileBytes(WindowsStorePath(), StoreOfRecords(records));
        BackdateFile(WindowsStorePath());
        const StoredState before = ReadStoredState();
        {
            auto saver = StartSaver({L"/s"});
            HWND window = WaitForFullScreenWindow(*saver);
            for (int i = 0; i < 5; ++i) {
                ExpectResponds(*saver, window, "while running a random absurd preset");
                PollUntil([] { return false; }, 100);
            }
            PostKeyDown(window, VK_SPACE);
            ExpectEndsWithStatus(*saver, 0, "a key press");
        }
        ExpectStoredStateUnchanged(before, "full screen with a random absurd preset");
    }
}

// ---- the display-panel preview ----
// Wine does not show what another process draws into the host, so these prove the
// window, the drawing code's survival (each move over the preview draws two bursts),
// the end with the host, and that nothing is written.

namespace {

void PreviewWith(const RawProfile& profile, const std::string& what) {
    WriteRawProfile(profile);
    const std::vector<std::vector<uint8_t>> records = {NonFiniteLightPreset(), ShapeBeyondPreset(),
                                                       HugeSizesPreset()};
    WriteFileBytes(WindowsStorePath(), StoreOfRecords(records));
    BackdateFile(WindowsStorePath());
    const StoredState before = ReadStoredState();
    {
        HostWindow host(320, 240);
        auto saver = StartSaver({L"/p", HandleText(host.Handle())});
        HWND child = WaitForPreviewChild(*saver, host.Handle());
        ExpectResponds(*saver, child, "after making its preview window with " + what);
        for (int move = 0; move < 8; ++move) {
            PostMouseMove(child, POINT{10 + 20 * move, 10 + 15 * move});
            ExpectResponds(*saver, child, Format("after mouse move %d over the preview with %s", move + 1,
                                                 what.c_str()));
        }
        Expect(IsWindowVisible(child) && GetParent(child) == host.Handle(),
               "the preview window went away with " + what);
        host.Destroy();
        ExpectEndsWithStatus(*saver, 0, "the host window was destroyed");
    }
    ExpectStoredStateUnchanged(before, "the preview with " + what);
}

}  // namespace

E2E_CASE(absurd, preview_everything_at_once) { PreviewWith(EverythingAbsurd(), "every value absurd"); }

E2E_CASE(absurd, preview_drawable_absurd_values) {
    RawProfile p = NonFiniteLight();
    p.size1 = 0;
    p.size2 = 0;
    p.switches = 0xFFFFFFFFu;
    for (auto& c : p.color) c = 0xFF123456u;
    PreviewWith(p, "light (nan, inf, -inf), sizes 0, colours 0xFF123456");
}

E2E_CASE(absurd, preview_huge_sizes_and_extreme_shading) {
    RawProfile p = HugeSizes();
    p.phong = Word(2000000000);
    p.mirror = "1e30";
    p.ambient = "-inf";
    p.cbStep = "inf";
    PreviewWith(p, "sizes 2000000000 and -2000000000, Phong 2000000000, mirror 1e30, ambient -inf");
}

E2E_CASE(absurd, preview_shapes_that_draw) {
    // Values that still draw, so the preview's bursts really stamp images.
    RawProfile p;
    p.phong = Word(2000000000);
    p.mirror = "1e30";
    p.shape = 1;
    PreviewWith(p, "a cone with Phong 2000000000 and mirror 1e30");
}

// What the full-screen saver looks like: its window, and the pixels it draws.
#include <cmath>

#include "cases.h"
#include "check.h"
#include "input.h"
#include "poll.h"
#include "profile.h"
#include "saver.h"
#include "window_search.h"

E2E_CASE(full_screen, window_covers_screen_on_top_untitled) {
    auto saver = StartSaver({L"/s"});
    HWND window = WaitForFullScreenWindow(*saver);
    const WindowInfo info = Describe(window);
    Expect(info.title.empty(), "the full-screen window has a title: " + DescribeForMessage(info));
    const SIZE screen = ScreenSize();
    Expect(info.client.right == screen.cx && info.client.bottom == screen.cy,
           Format("the client area is %ldx%ld, not the screen's %ldx%ld", info.client.right, info.client.bottom,
                  screen.cx, screen.cy));
    PostKeyDown(window, 'A');
    ExpectEndsWithStatus(*saver, 0, "a key press");
}

E2E_CASE(full_screen, draws_exact_shape_image_on_black) {
    const Profile profile = StillProfile();
    WriteProfile(profile);
    ExpectFullScreenShows(LookOf(profile, 0), "the red sphere of slot 0");
}

// Left alone with its built-in settings, the saver heaps shapes of all seven colours
// into a ring around the centre; the hole in the middle and the corners stay black.
E2E_CASE(full_screen, default_animation_stays_inside_ring) {
    auto saver = StartSaver({L"/s"});
    HWND window = WaitForFullScreenWindow(*saver);
    const SIZE screen = ScreenSize();
    const double scale = ScaleFor(screen.cx);
    const int half = static_cast<int>(30 * scale) + 1;  // half the side of a default image
    const double cx = (screen.cx & ~1) / 2.0;
    const double cy = (screen.cy & ~1) / 2.0;
    // A shape pixel lies at most `half` pixels from its path point, and the path point
    // is rounded to whole pixels by adding one half and truncating toward zero, which
    // moves it by up to 1.5 pixels on each axis.
    const double inner = 60 * scale - half - 2.5;
    const double outer = 260 * scale + half + 2.5;

    Screenshot shot = Screenshot::Capture();
    size_t colours = 0;
    // Wait for a well-filled ring in several colours.
    const bool filled = PollUntil(
        [&] {
            shot = Screenshot::Capture();
            uint32_t seen[8] = {};
            colours = 0;
            for (int y = 0; y < shot.Height() && colours < 8; y += 3)
                for (int x = 0; x < shot.Width() && colours < 8; x += 3) {
                    const uint32_t p = shot.At(x, y);
                    if (p == 0) continue;
                    // Count dominant hues, not shades: the channel order of the brightest.
                    const uint32_t hue = ((p >> 16 & 255) > 100) | ((p >> 8 & 255) > 100) << 1 | ((p & 255) > 100) << 2;
                    if (hue == 0) continue;
                    bool known = false;
                    for (size_t i = 0; i < colours; ++i) known |= seen[i] == hue;
                    if (!known) seen[colours++] = hue;
                }
            return (shot.LitPixels() > 50000 && colours >= 5) || !saver->Running();
        },
        kDeadlineMs, 50);
    Expect(saver->Running(), Format("the saver ended (status %lu) while drawing", saver->ExitCode()));
    Expect(filled, Format("after %lu s only %zu pixels in %zu colours were drawn", kDeadlineMs / 1000,
                          shot.LitPixels(), colours));

    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) {
            if (shot.At(x, y) == 0) continue;
            const double r = std::hypot(x - cx, y - cy);
            Expect(r >= inner && r <= outer,
                   Format("pixel (%d,%d) = %06x lies %.1f px from the centre, outside the ring %.1f..%.1f", x, y,
                          shot.At(x, y), r, inner, outer));
        }
    }
    PostKeyDown(window, 'A');
    ExpectEndsWithStatus(*saver, 0, "a key press");
}

// Over the saver the system shows no pointer at all (another program's window shows its
// arrow or I-beam here).
E2E_CASE(full_screen, pointer_is_hidden) {
    auto saver = StartSaver({L"/s"});
    HWND window = WaitForFullScreenWindow(*saver);
    WaitForDrawing(*saver);
    CURSORINFO info = {};
    const bool hidden = PollUntil([&] {
        info.cbSize = sizeof info;
        return GetCursorInfo(&info) && info.hCursor == nullptr;
    });
    Expect(hidden, Format("over the saver the pointer shows cursor %p", static_cast<void*>(info.hCursor)));
    PostKeyDown(window, 'A');
    ExpectEndsWithStatus(*saver, 0, "a key press");
}

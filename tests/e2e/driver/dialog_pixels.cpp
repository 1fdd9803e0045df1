#include "dialog_pixels.h"

#include <algorithm>
#include <climits>

#include "check.h"
#include "dialog_driver.h"
#include "poll.h"
#include "render/button_image_creator.h"
#include "screen.h"

namespace {

// How long a still picture must stay unchanged; running, the preview changes every few
// milliseconds.
constexpr ULONGLONG kStillMs = 700;

RECT ClientOnScreen(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

std::vector<uint32_t> Grab(const Screenshot& shot, const RECT& screenRect) {
    std::vector<uint32_t> pixels;
    for (LONG y = screenRect.top; y < screenRect.bottom; ++y)
        for (LONG x = screenRect.left; x < screenRect.right; ++x)
            pixels.push_back(x >= 0 && y >= 0 && x < shot.Width() && y < shot.Height() ? shot.At(x, y) : 0);
    return pixels;
}

RECT Offset(RECT r, LONG dx, LONG dy) {
    OffsetRect(&r, dx, dy);
    return r;
}

}  // namespace

RECT VisiblePreviewPart(HWND preview, HWND cover) {
    const RECT whole = ClientOnScreen(preview);
    RECT part = whole;
    RECT covered;
    RECT coverRect = {};
    if (cover) GetWindowRect(cover, &coverRect);
    if (cover && IntersectRect(&covered, &whole, &coverRect)) {
        const RECT strips[4] = {
            {whole.left, whole.top, covered.left, whole.bottom},
            {covered.right, whole.top, whole.right, whole.bottom},
            {whole.left, whole.top, whole.right, covered.top},
            {whole.left, covered.bottom, whole.right, whole.bottom},
        };
        auto area = [](const RECT& r) {
            return r.right > r.left && r.bottom > r.top ? (r.right - r.left) * (r.bottom - r.top) : 0;
        };
        part = *std::max_element(strips, strips + 4, [&](const RECT& a, const RECT& b) { return area(a) < area(b); });
        Expect(part.right - part.left >= 40 && part.bottom - part.top >= 40,
               Format("a window covers nearly all of the preview: preview (%ld,%ld)-(%ld,%ld), window (%ld,%ld)-(%ld,%ld)",
                      whole.left, whole.top, whole.right, whole.bottom, coverRect.left, coverRect.top,
                      coverRect.right, coverRect.bottom));
    }
    return Offset(part, -whole.left, -whole.top);
}

std::vector<uint32_t> PreviewPixels(HWND preview, const RECT& part) {
    const RECT whole = ClientOnScreen(preview);
    return Grab(Screenshot::Capture(), Offset(part, whole.left, whole.top));
}

void ExpectPreviewRuns(ConfigDialog& dialog, const RECT& part, const std::string& when) {
    std::vector<uint32_t> last = PreviewPixels(dialog.Preview(), part);
    for (int change = 0; change < 3; ++change) {
        const bool changed = PollUntil(
            [&] {
                auto now = PreviewPixels(dialog.Preview(), part);
                if (now == last) return false;
                last = std::move(now);
                return true;
            },
            kDeadlineMs, 10);
        Expect(dialog.Saver().Running(), Format("the saver ended (status %lu) %s", dialog.Saver().ExitCode(), when.c_str()));
        Expect(changed, Format("the preview stood still for %lu s %s", kDeadlineMs / 1000, when.c_str()));
    }
}

std::vector<uint32_t> ExpectPreviewStill(ConfigDialog& dialog, const RECT& part, const std::string& when) {
    // Shapes stamped just before the pause, and parts just uncovered, may still be on
    // their way to the screen: wait for three looks in a row at the same picture.
    std::vector<uint32_t> still = PreviewPixels(dialog.Preview(), part);
    int same = 0;
    const bool settled = PollUntil(
        [&] {
            auto now = PreviewPixels(dialog.Preview(), part);
            if (now == still) return ++same == 2;
            same = 0;
            still = std::move(now);
            return false;
        },
        kDeadlineMs, 100);
    Expect(settled, Format("the preview never stood still %s: it changed every 100 ms for %lu s", when.c_str(),
                           kDeadlineMs / 1000));
    const ULONGLONG end = GetTickCount64() + kStillMs;
    while (GetTickCount64() < end) {
        PumpMessages();
        const auto now = PreviewPixels(dialog.Preview(), part);
        if (now != still) {
            // Where it changed tells drawing (spots along the ring) from a late repaint.
            const LONG width = part.right - part.left;
            RECT changed = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
            size_t count = 0;
            for (size_t i = 0; i < now.size(); ++i) {
                if (now[i] == still[i]) continue;
                ++count;
                const LONG x = part.left + static_cast<LONG>(i % width), y = part.top + static_cast<LONG>(i / width);
                changed = {std::min(changed.left, x), std::min(changed.top, y), std::max(changed.right, x + 1),
                           std::max(changed.bottom, y + 1)};
            }
            Fail(Format("the preview went on drawing %s: %zu pixels changed within (%ld,%ld)-(%ld,%ld) of the part "
                        "(%ld,%ld)-(%ld,%ld) watched",
                        when.c_str(), count, changed.left, changed.top, changed.right, changed.bottom, part.left,
                        part.top, part.right, part.bottom));
        }
        Sleep(10);
    }
    return still;
}

std::vector<uint32_t> ExpectedLightPicture(int width, int height, float x, float y, float z) {
    const int radius = std::min(width, height) / 2 - 3;
    ShapeImageParams params = {};
    params.lightX = x;
    params.lightY = y;
    params.lightZ = z;
    params.colour = 0x00FF0000;  // blue, packed red + 256 green + 65536 blue
    params.highlightColour = 0x00FFFFFF;
    params.ambient = 0.4f;
    params.mirror = 0.995f;
    params.lightIntensity = 0.6f;
    params.phongPower = 4;
    params.outerSize = radius;
    params.shape = 0;
    params.innerSize = radius;
    ButtonImageCreator creator(params);
    const auto& image = creator.GetImage().descriptor;

    std::vector<uint32_t> picture(static_cast<size_t>(width) * height, 0);
    // The same offset on both axes, taken from the width.
    const int c = (width - image.width) / 2;
    for (int row = 0; row < image.height; ++row) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.pixels + row * image.stride);
        for (int col = 0; col < image.width; ++col) {
            const int px = c + col, py = c + row;
            if (line[col] == 0 || px < 0 || py < 0 || px >= width || py >= height) continue;
            picture[static_cast<size_t>(py) * width + px] = line[col];
        }
    }
    return picture;
}

std::vector<uint32_t> LightPicture(ConfigDialog& dialog) {
    return Grab(Screenshot::Capture(), ClientOnScreen(dialog.Item(dlg::kLightAngle)));
}

void ExpectLightPicture(ConfigDialog& dialog, float x, float y, float z, const std::string& what) {
    RECT client;
    GetClientRect(dialog.Item(dlg::kLightAngle), &client);
    const auto want = ExpectedLightPicture(client.right, client.bottom, x, y, z);
    std::vector<uint32_t> got;
    const bool matched = PollUntil(
        [&] {
            got = LightPicture(dialog);
            return got == want;
        },
        kDeadlineMs, 20);
    if (matched) return;
    size_t wrong = 0;
    std::string first;
    for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
        if (got[i] == want[i]) continue;
        if (++wrong <= 3)
            first += Format(" (%ld,%ld) is %06x, expected %06x;", static_cast<long>(i % client.right),
                            static_cast<long>(i / client.right), got[i], want[i]);
    }
    Fail(Format("the light angle editor (%ldx%ld) does not show %s (light %g, %g, %g): %zu pixels differ:%s",
                client.right, client.bottom, what.c_str(), x, y, z, wrong, first.c_str()));
}

#include <cstring>

#include "driver.h"
#include "render/button_image_creator.h"

Screenshot Screenshot::Capture() {
    Screenshot shot; shot.width_ = GetSystemMetrics(SM_CXSCREEN); shot.height_ = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, shot.width_, -shot.height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr); HDC memory = CreateCompatibleDC(screen); void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    const bool copied = section && BitBlt(memory, 0, 0, shot.width_, shot.height_, screen, 0, 0, SRCCOPY); GdiFlush();
    if (copied) {
        shot.pixels_.resize(static_cast<size_t>(shot.width_) * shot.height_);
        std::memcpy(shot.pixels_.data(), bits, shot.pixels_.size() * 4);
        for (auto& p : shot.pixels_) p &= 0x00FFFFFFu;  // the top byte of a DIB pixel is not defined
    }
    SelectObject(memory, old); if (section) DeleteObject(section); DeleteDC(memory); ReleaseDC(nullptr, screen);
    Expect(copied, Format("cannot read the screen (error %lu)", GetLastError())); return shot;
}

std::vector<uint32_t> Screenshot::Area(const RECT& r) const {
    std::vector<uint32_t> pixels;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x) pixels.push_back(At(x, y));
    return pixels;
}

bool Screenshot::SaveBmp(const std::wstring& path) const {
    const DWORD row = (static_cast<DWORD>(width_) * 3 + 3) & ~3u;
    BITMAPINFOHEADER header = {sizeof header, width_, -height_, 1, 24, BI_RGB, row * height_, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof header};
    file.bfSize = file.bfOffBits + header.biSizeImage; std::vector<uint8_t> data(header.biSizeImage, 0);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            for (int c = 0; c < 3; ++c) data[y * row + x * 3 + c] = static_cast<uint8_t>(At(x, y) >> (8 * c));
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(handle, &file, sizeof file, &written, nullptr) &&
                    WriteFile(handle, &header, sizeof header, &written, nullptr) &&
                    WriteFile(handle, data.data(), header.biSizeImage, &written, nullptr); CloseHandle(handle);
    return ok;
}

RECT WholeScreen() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

RECT ClientOnScreen(HWND window) {
    RECT client = {}; GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2); return client;
}

Screenshot PollScreen(Saver* saver, const std::string& what, const std::function<std::string(const Screenshot&)>& wrong,
                      DWORD intervalMs) {
    Screenshot shot; std::string report = "no look yet";
    PollUntil(
        [&] {
            shot = Screenshot::Capture(); report = wrong(shot); return report.empty() || (saver && !saver->Running());
        },
        kDeadlineMs, intervalMs);
    Expect(!saver || saver->Running(), Format("the saver ended (status %lu) while %s", saver ? saver->ExitCode() : 0,
                                              what.c_str()));
    Expect(report.empty(), "for " + std::to_string(kDeadlineMs / 1000) + " s never " + what + ": " + report);
    return shot;
}

ShapeImageParams Look(float lightX, float lightY, float lightZ, uint32_t packedColour, float ambient, float mirror,
                      int32_t phong, int32_t shape, int32_t outerSize, int32_t innerSize) {
    return ShapeImageParams{lightX, lightY,    lightZ, packedColour, 0x00FFFFFF, ambient, mirror,
                            0.6f,   phong,     outerSize, shape,     innerSize,  0,       0};
}

std::string ImageDiff(const Screenshot& shot, const RECT& area, const ShapeImageParams& look, POINT corner) {
    ButtonImageCreator creator(look); const auto& image = creator.GetImage().descriptor; size_t wrong = 0;
    std::string first;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            const LONG col = x - corner.x, row = y - corner.y;
            const bool inside = col >= 0 && row >= 0 && col < image.width && row < image.height;
            const uint32_t want = inside ? reinterpret_cast<const uint32_t*>(image.pixels + row * image.stride)[col] : 0;
            if (shot.At(x, y) == want) continue;
            if (++wrong <= 3) first += Format(" (%ld,%ld) is %06x, expected %06x;", x, y, shot.At(x, y), want);
        }
    return wrong ? Format("%zu pixels differ from the %dx%d image at (%ld,%ld):", wrong, image.width, image.height,
                          corner.x, corner.y) + first
                 : "";
}

void ExpectChanging(Saver& saver, const RECT& area, const std::string& what) {
    std::vector<uint32_t> last = Screenshot::Capture().Area(area);
    for (int change = 0; change < 3; ++change)
        PollScreen(&saver, "a change of " + what, [&](const Screenshot& shot) {
            auto now = shot.Area(area);
            if (now == last) return std::string("it stands still");
            last = std::move(now);
            return std::string();
        }, 10);
}

void ExpectPicture(Saver& saver, HWND window, const RECT& area, Rule rule, const std::string& what) {
    auto report = [&](const Screenshot& shot) {
        size_t lit = 0, bad = 0;
        std::string first;
        for (LONG y = area.top; y < area.bottom; ++y)
            for (LONG x = area.left; x < area.right; ++x) {
                const uint32_t p = shot.At(x, y);
                if (p == 0) continue;
                if (!lit++ && rule == Rule::Black) first = Format(", the first %06x at (%ld,%ld)", p, x, y);
                if (p != 0x010101 && !bad++) first = Format(", the first breaking the rule %06x at (%ld,%ld)", p, x, y);
            }
        if (rule == Rule::Black) return lit ? Format("%zu pixels lit%s", lit, first.c_str()) : std::string();
        return !lit || bad ? Format("%zu of %zu lit pixels break the rule%s", bad, lit, first.c_str()) : std::string();
    };
    saver.ExpectAnswers(window, "with " + what);
    if (rule == Rule::Answers) {
        for (int i = 0; i < 5; ++i, Pause(100)) saver.ExpectAnswers(window, "with " + what);
        return;
    }
    PollScreen(&saver, "the picture of " + what + " as it should be", report);
    // No wait can prove that nothing will ever appear or break the rule: these looks span
    // many frame bursts, each after the saver has answered a message.
    for (int look = 0; look < (rule == Rule::Black ? 12 : 1); ++look) {
        saver.ExpectAnswers(window, "while drawing " + what);
        if (rule == Rule::Black) Pause(150);
        const std::string wrong = report(Screenshot::Capture());
        Expect(wrong.empty(), "the picture of " + what + " went wrong: " + wrong);
    }
}

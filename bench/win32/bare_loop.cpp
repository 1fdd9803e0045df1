#include "bench/win32/bare_loop.h"

#include "bench/win32/slicer.h"

namespace {

constexpr int kShapesPerBurst = 1302;  // the saver's burst with all seven slots on
constexpr uint32_t kGrey = 0x00404040;

int64_t Ticks() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

BITMAPINFOHEADER Header32(int32_t width, int32_t height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // positive: bottom-up rows; negative: top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

}  // namespace

BareLoop::BareLoop(int32_t width, int32_t height, Slicer& slicer)
    : slicer_(slicer), work_(width, height), width_(width), height_(height) {
    const size_t side = static_cast<size_t>(work_.ImageSide());
    rectPixels_.assign(side * side, kGrey);
    wholePixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kGrey);
}

// Only the measured time of timed slices counts.
bool BareLoop::Timing() const { return timed_ && slicer_.Measuring(); }

// Runs `call` and, while timing, adds its duration to `phase`.
template <typename Call>
auto BareLoop::Timed(Phase phase, Call call) {
    if (!Timing()) return call();
    const int64_t t0 = Ticks();
    auto r = call();
    phaseTicks_[phase] += Ticks() - t0;
    return r;
}

int BareLoop::BlitFromBlock(HDC dc, const RECT& rect, const void* block) {
    const BITMAPINFOHEADER header = Header32(width_, -height_);
    // The source origin counts from the bitmap's lower-left corner even when its rows are
    // stored top-down: the rectangle's top row is found height - bottom rows up.
    return SetDIBitsToDevice(dc, rect.left, rect.top, static_cast<DWORD>(rect.right - rect.left),
                             static_cast<DWORD>(rect.bottom - rect.top), rect.left, height_ - rect.bottom, 0,
                             static_cast<UINT>(height_), block, reinterpret_cast<const BITMAPINFO*>(&header),
                             DIB_RGB_COLORS);
}

void BareLoop::Paint(HWND hwnd) {
    const bool timing = Timing();
    const int64_t t0 = timing ? Ticks() : 0;
    RECT update{};
    Timed(kGetUpdateRect, [&] { return GetUpdateRect(hwnd, &update, FALSE); });
    PAINTSTRUCT ps;
    Timed(kBeginPaint, [&] { return BeginPaint(hwnd, &ps); });
    const HDC dc = Timed(kGetDC, [&] { return GetDC(hwnd); });
    if (source_ == BareSource::kCopy) {
        // As the saver's paint: copy first, then hand the copy over.
        const RECT r = work_.CopyRows(update);
        if (r.right > r.left && r.bottom > r.top) {
            const BITMAPINFOHEADER header = Header32(r.right - r.left, r.bottom - r.top);
            Timed(kSetDIBits, [&] {
                return SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(r.right - r.left),
                                         static_cast<DWORD>(r.bottom - r.top), 0, 0, 0,
                                         static_cast<UINT>(r.bottom - r.top), work_.Rows().data(),
                                         reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
            });
        }
    } else if (update.right > update.left && update.bottom > update.top) {
        const size_t needed = static_cast<size_t>(update.right - update.left) * (update.bottom - update.top);
        if (source_ == BareSource::kDirect) {
            Timed(kSetDIBits, [&] { return BlitFromBlock(dc, update, work_.Surface().pixels); });
        } else if (needed > rectPixels_.size()) {
            // A paint bigger than one image (the window's first): from a screen-sized block.
            Timed(kSetDIBits, [&] { return BlitFromBlock(dc, update, wholePixels_.data()); });
        } else {
            const BITMAPINFOHEADER header = Header32(update.right - update.left, update.bottom - update.top);
            Timed(kSetDIBits, [&] {
                return SetDIBitsToDevice(dc, update.left, update.top, static_cast<DWORD>(update.right - update.left),
                                         static_cast<DWORD>(update.bottom - update.top), 0, 0, 0,
                                         static_cast<UINT>(update.bottom - update.top), rectPixels_.data(),
                                         reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
            });
        }
    }
    Timed(kReleaseDC, [&] { return ReleaseDC(hwnd, dc); });
    Timed(kEndPaint, [&] { return EndPaint(hwnd, &ps); });
    if (timing) paintTicks_ += Ticks() - t0;
}

void BareLoop::Burst(HWND hwnd, BareSource source, bool timed) {
    if (busy_) return;  // re-entered from a message dispatched by the running burst
    busy_ = true;
    source_ = source;
    timed_ = timed;
    const bool stamp = source == BareSource::kCopy || source == BareSource::kDirect;
    for (int i = 0; i < kShapesPerBurst && !slicer_.SwitchPending(); ++i) {
        MSG msg;
        const BOOL got = Timed(kPeek, [&] { return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); });
        if (got) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            const bool timing = Timing();
            const int64_t t0 = timing ? Ticks() : 0;
            const int64_t paintBefore = paintTicks_;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (timing) phaseTicks_[kDispatch] += Ticks() - t0 - (paintTicks_ - paintBefore);
        }
        if (slicer_.SwitchPending()) break;
        const RECT r = work_.Next(stamp);
        Timed(kInvalidate, [&] { return InvalidateRect(hwnd, &r, FALSE); });
        ++shapes_;
    }
    busy_ = false;
}

BareBreakdown BareLoop::Breakdown(double seconds, uint64_t shapes) const {
    BareBreakdown b;
    if (shapes == 0) return b;
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    const double perShape = 1e6 / static_cast<double>(f.QuadPart) / static_cast<double>(shapes);
    double* out[kPhases] = {&b.peek,  &b.dispatch,  &b.invalidate, &b.getUpdateRect, &b.beginPaint,
                            &b.getDC, &b.setDIBits, &b.releaseDC,  &b.endPaint};
    for (int i = 0; i < kPhases; ++i) *out[i] = static_cast<double>(phaseTicks_[i]) * perShape;
    b.total = seconds * 1e6 / static_cast<double>(shapes);
    return b;
}

bool BareLoop::CheckDirectBlit(HWND hwnd) {
    // A rectangle wholly on screen, so that every pixel can be compared.
    RECT r{};
    for (int i = 0; i < 1000; ++i) {
        r = work_.StampNext();
        if (r.left >= 0 && r.top >= 0 && r.right <= width_ && r.bottom <= height_) break;
    }
    if (r.left < 0 || r.top < 0 || r.right > width_ || r.bottom > height_) return false;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const HDC dc = GetDC(hwnd);
    BlitFromBlock(dc, r, work_.Surface().pixels);
    BITMAPINFOHEADER header = Header32(w, -h);
    void* bits = nullptr;
    const HBITMAP dib =
        CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, dib);
    const bool read = dib != nullptr && BitBlt(memory, 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
    GdiFlush();
    bool same = read;
    const Graphics& surface = work_.Surface();
    for (int y = 0; same && y < h; ++y) {
        const auto* want = reinterpret_cast<const uint32_t*>(surface.pixels) +
                           static_cast<size_t>(r.top + y) * static_cast<size_t>(surface.width) + r.left;
        const auto* got = static_cast<const uint32_t*>(bits) + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int x = 0; x < w; ++x) {
            if ((want[x] & 0x00FFFFFF) != (got[x] & 0x00FFFFFF)) {
                same = false;
                break;
            }
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    if (dib != nullptr) DeleteObject(dib);
    ReleaseDC(hwnd, dc);
    return same;
}

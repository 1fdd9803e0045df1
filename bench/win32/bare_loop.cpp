// The platform's part of each shape and nothing else, in the saver's burst pattern: a
// 1 ms timer, about 1300 shapes per tick, one pending message before each.
#include <windows.h>

#include <vector>

#include "app/image_sizes.h"
#include "app/motion.h"
#include "app/settings.h"
#include "bench/win32/loops.h"
#include "render/button_image_creator.h"

namespace {

const char kBareClass[] = "ScreenBenchBareWnd";
constexpr UINT_PTR kFrameTimer = 1;
constexpr int kShapesPerBurst = 1302;  // the saver's burst with all seven slots on

enum Phase { kPeek, kDispatch, kInvalidate, kGetUpdateRect, kBeginPaint, kGetDC, kSetDIBits, kReleaseDC, kEndPaint,
             kPhases };

struct BareState {
    Meter* meter = nullptr;
    MotionPath path;
    int32_t side = 0;
    float cbStep = 0;
    float csStep = 0;
    uint64_t shapes = 0;
    bool busy = false;
    std::vector<uint32_t> pixels;  // bottom-up rows, prepared once
    bool wholeSource = false;      // blit from a screen-sized top-down block instead
    int32_t width = 0;
    int32_t height = 0;
    bool timed = false;
    int64_t phaseTicks[kPhases] = {};
    int64_t paintTicks = 0;  // whole paint handlers, to take them out of the dispatch time
};

BareState* state = nullptr;

int64_t Ticks() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// Only the measured time counts towards the breakdown, not the first whole-screen paint.
bool Timing() { return state->timed && state->meter->Started() && !state->meter->Done(); }

// Runs `call` and, in the timed run, adds its duration to `phase`.
template <typename Call>
auto Timed(Phase phase, Call call) {
    if (!Timing()) return call();
    const int64_t t0 = Ticks();
    auto r = call();
    state->phaseTicks[phase] += Ticks() - t0;
    return r;
}

void Paint(HWND hwnd) {
    BareState& s = *state;
    const bool timing = Timing();
    const int64_t t0 = timing ? Ticks() : 0;
    RECT update{};
    Timed(kGetUpdateRect, [&] { return GetUpdateRect(hwnd, &update, FALSE); });
    PAINTSTRUCT ps;
    Timed(kBeginPaint, [&] { return BeginPaint(hwnd, &ps); });
    const HDC dc = Timed(kGetDC, [&] { return GetDC(hwnd); });
    const int w = update.right - update.left;
    const int h = update.bottom - update.top;
    if (w > 0 && h > 0) {
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        if (s.wholeSource) {
            // The surface itself as a top-down bitmap, the rectangle chosen by the source
            // origin: what painting without the bottom-up copy would hand over.
            header.biWidth = s.width;
            header.biHeight = -s.height;
            Timed(kSetDIBits, [&] {
                return SetDIBitsToDevice(dc, update.left, update.top, static_cast<DWORD>(w), static_cast<DWORD>(h),
                                         update.left, update.top, 0, static_cast<UINT>(s.height), s.pixels.data(),
                                         reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
            });
        } else {
            const size_t needed = static_cast<size_t>(w) * static_cast<size_t>(h);
            if (s.pixels.size() < needed) s.pixels.resize(needed, 0x00404040);
            header.biWidth = w;
            header.biHeight = h;  // bottom-up, as the saver hands its rows over
            Timed(kSetDIBits, [&] {
                return SetDIBitsToDevice(dc, update.left, update.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0,
                                         0, 0, static_cast<UINT>(h), s.pixels.data(),
                                         reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
            });
        }
    }
    Timed(kReleaseDC, [&] { return ReleaseDC(hwnd, dc); });
    Timed(kEndPaint, [&] { return EndPaint(hwnd, &ps); });
    if (timing) s.paintTicks += Ticks() - t0;
    s.meter->AfterPaint(s.shapes, hwnd);
}

void Burst(HWND hwnd) {
    BareState& s = *state;
    if (s.busy || s.meter->Done()) return;
    s.busy = true;
    for (int i = 0; i < kShapesPerBurst && !s.meter->Done(); ++i) {
        MSG msg;
        const BOOL got = Timed(kPeek, [&] { return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); });
        if (got) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            const bool timing = Timing();
            const int64_t t0 = timing ? Ticks() : 0;
            const int64_t paintBefore = s.paintTicks;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (timing) s.phaseTicks[kDispatch] += Ticks() - t0 - (s.paintTicks - paintBefore);
        }
        if (s.meter->Done()) break;
        const StampPosition p = s.path.NextPosition(s.side, s.cbStep, s.csStep);
        const RECT r{p.x, p.y, p.x + s.side, p.y + s.side};
        Timed(kInvalidate, [&] { return InvalidateRect(hwnd, &r, FALSE); });
        ++s.shapes;
    }
    s.busy = false;
}

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: SetTimer(hwnd, kFrameTimer, 1, nullptr); return 0;
        case WM_TIMER:
            if (wParam == kFrameTimer) Burst(hwnd);
            return 0;
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_DESTROY: KillTimer(hwnd, kFrameTimer); return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int32_t DefaultImageSide(int32_t width) {
    SaverSettings s;
    RunState r;
    SetDefaults(s, r);
    MotionPath path;
    path.RecomputeGeometry(width, 2);
    const ImageSizes sizes = ComputeImageSizes(s.shape, s.size1, s.size2, path.scale);
    return static_cast<int32_t>(ShapeImageSide(sizes.outerSize));
}

RunResult RunBare(int32_t width, int32_t height, double warmup, double seconds, BareSource source,
                  BareBreakdown* breakdown) {
    RunResult result;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (!GetClassInfoA(instance, kBareClass, &existing)) {
        // As the saver's class: whole redraw on resize, no background brush.
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &BareProc;
        wc.hInstance = instance;
        wc.lpszClassName = kBareClass;
        RegisterClassA(&wc);
    }

    Meter meter(warmup, seconds);
    BareState s;
    s.meter = &meter;
    SaverSettings defaults;
    RunState run;
    SetDefaults(defaults, run);
    s.cbStep = defaults.cbStep;
    s.csStep = defaults.csStep;
    s.side = DefaultImageSide(width);
    s.timed = breakdown != nullptr;
    s.wholeSource = source == BareSource::kWholeSurface;
    s.width = width;
    s.height = height;
    if (s.wholeSource) s.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0x00404040);
    state = &s;

    meter.Begin();
    const HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, kBareClass, "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                      nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        state = nullptr;
        result.error = "CreateWindowEx failed";
        return result;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    s.path.RecomputeGeometry(client.right, client.bottom);

    MSG msg;
    while (!meter.Done() && !meter.Overdue()) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(hwnd);
    state = nullptr;

    if (!meter.Done()) {
        result.error = "no paint finished the run in time";
        return result;
    }
    result.ok = true;
    result.seconds = meter.Seconds();
    result.cpuSeconds = meter.CpuSeconds();
    result.shapes = meter.end.shapes - meter.start.shapes;
    result.paints = meter.end.paints - meter.start.paints;
    result.blits = meter.end.blits.calls - meter.start.blits.calls;
    result.pixels = meter.end.blits.pixels - meter.start.blits.pixels;
    result.maxBlitWidth = meter.end.blits.maxWidth;
    result.keptUp = meter.KeptUp();
    result.imageSide = s.side;
    if (breakdown != nullptr) {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        const double perShape = 1e6 / static_cast<double>(f.QuadPart) / static_cast<double>(result.shapes);
        double* out[kPhases] = {&breakdown->peek,   &breakdown->dispatch,  &breakdown->invalidate,
                                &breakdown->getUpdateRect, &breakdown->beginPaint, &breakdown->getDC,
                                &breakdown->setDIBits, &breakdown->releaseDC, &breakdown->endPaint};
        for (int i = 0; i < kPhases; ++i) *out[i] = static_cast<double>(s.phaseTicks[i]) * perShape;
        breakdown->total = result.seconds * 1e6 / static_cast<double>(result.shapes);
    }
    return result;
}

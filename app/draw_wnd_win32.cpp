#include "app/draw_wnd_win32.h"

#include <windowsx.h>

#include <new>

#include "app/image_sizes.h"
#include "presets/apply_preset.h"
#include "presets/preset_store.h"
#include "render/button_image_creator.h"
#include "render/graphics.h"
#include "render/paint_win32.h"
#include "resources/resource_ids.h"

namespace {
const char kDrawWndClass[] = "TindelborgDrawWnd";
constexpr UINT_PTR kFrameTimer = 1;
constexpr int32_t kShapesPerBurst = 1300;
constexpr DWORD kMovePauseMs = 150;
}  // namespace

CDrawWnd::CDrawWnd(int32_t deleteSelf) : deleteSelf_(deleteSelf) {}

CDrawWnd::~CDrawWnd() {
    for (ButtonImageCreator*& image : images_) {
        delete image;
        image = nullptr;
    }
    theRunState.stopDrawing = 1;
    delete surface_;
}

bool CDrawWnd::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, void*, void*) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterClassOnce(kDrawWndClass, CS_HREDRAW | CS_VREDRAW, LoadCursorA(instance, MAKEINTRESOURCEA(IDC_INVISIBLE)));
    return CreateEx(exStyle, kDrawWndClass, "", style, rect, parent, 0);
}

bool CDrawWnd::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_TIMER: OnTimer(wParam); return true;
        case WM_PAINT: OnPaint(); return true;
        case WM_SIZE: OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return true;
        case WM_CREATE: result = OnCreate(lParam); return true;
        case WM_DESTROY: OnDestroy(); return true;
        case WM_CLOSE: OnClose(); return true;
        case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return true;
    }
    return false;
}

LRESULT CDrawWnd::OnCreate(LPARAM lParam) {
    if (DefaultHandling(WM_CREATE, 0, lParam) == -1) return -1;
    if (theRunState.previewMode != 1) SetTimer(Handle(), kFrameTimer, 1, nullptr);
    return 0;
}

void CDrawWnd::OnSize(int cx, int cy) {
    width_ = cx & ~1;
    height_ = cy & ~1;
    DefaultHandling(WM_SIZE, 0, MAKELPARAM(cx, cy));
    path_.RecomputeGeometry(width_, height_);
    RebuildImages();
    if (theRunState.firstSizeDone == 0) {
        theRunState.firstSizeDone = 1;
        PickRandomPreset(thePresetStore, timeGetTime(), theSettings, theRunState);
        surface_ = createSurface(width_, height_, 32, nullptr);
    }
    if (theRunState.previewMode == 1) OnTimer(kFrameTimer);
}

void CDrawWnd::RebuildImages() {
    const SaverSettings& s = theSettings;
    for (ButtonImageCreator*& image : images_) {
        delete image;
        image = nullptr;
    }
    const ImageSizes sizes = ComputeImageSizes(s.shape, s.size1, s.size2, path_.scale);
    if (sizes.drawable) {
        ShapeImageParams params{s.angleX, s.angleY, s.angleZ, 0, 0x00FFFFFF, s.ambient, s.mirror, 0.6f,
                                s.phong, sizes.outerSize, s.shape, sizes.innerSize, 0, 0};
        const int32_t side = static_cast<int32_t>(ShapeImageSide(sizes.outerSize));
        try {
            // The seven images differ only in colour: shade once, colour seven times.
            ShapeShading shading;
            ComputeShading(params, side, side, shading);
            for (int i = 0; i < kShapeSlots; ++i) {
                params.colour = PackColor(s.color[i]);
                images_[i] = new ButtonImageCreator(params, shading);
            }
        } catch (const std::bad_alloc&) {
            // Out of memory: the slots without an image draw nothing.
        }
    }
    theRunState.rebuildImages = 0;
}

void CDrawWnd::StampSlot(int slot, HWND hwnd) {
    const ButtonImageCreator* creator = images_[slot];
    const int32_t imageWidth = creator != nullptr ? creator->GetImage().descriptor.width : 1;
    const StampPosition p = path_.NextPosition(imageWidth, theSettings.cbStep, theSettings.csStep);
    if (creator == nullptr || imageWidth < 1 || !p.valid) return;
    drawImage(*surface_, creator->GetImage().descriptor, p.x, p.y, 255);
    const RECT r{p.x, p.y, p.x + imageWidth, p.y + imageWidth};
    InvalidateRect(hwnd, &r, FALSE);
    ++drawnShapes_;
}

void CDrawWnd::OnTimer(UINT_PTR id) {
    if (surface_ == nullptr) return;
    RunState& run = theRunState;
    if (run.stopDrawing == 1) {
        if (run.resumePending == 0) return;
        if (!(timeGetTime() > run.moveTime + kMovePauseMs)) return;
        run.stopDrawing = 0;
        run.resumePending = 0;
    }
    if (busy_ == 1) return;  // re-entered from a message dispatched by the running burst
    busy_ = 1;
    if (id != kFrameTimer) {
        DefaultHandling(WM_TIMER, id, 0);
        busy_ = 0;
        return;
    }
    const HWND hwnd = Handle();
    int32_t drawn = 0;
    for (;;) {
        int32_t pass = 0;
        if (run.rebuildImages == 1) RebuildImages();
        for (int slot = 0; slot < kShapeSlots; ++slot) {
            if (theSettings.switches[slot] == 0) continue;
            if (run.stopDrawing == 1) {
                busy_ = 0;
                return;
            }
            // Keep the program responsive: one pending message before every shape.
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Not ours to swallow: hand it back to the loop that owns it.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    busy_ = 0;
                    return;
                }
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            ++pass;
            if (!IsWindow(hwnd)) return;  // closed meanwhile: the object may be gone
            if (run.stopDrawing == 1) {
                busy_ = 0;
                return;
            }
            StampSlot(slot, hwnd);
            ++drawn;
        }
        if (pass == 0 || drawn >= kShapesPerBurst) break;
    }
    busy_ = 0;
}

void CDrawWnd::OnPaint() {
    RECT update{};
    GetUpdateRect(Handle(), &update, FALSE);
    PAINTSTRUCT ps;
    BeginPaint(Handle(), &ps);
    if (surface_ != nullptr) paintToWindow(*surface_, Handle(), update, &paintRows_);
    EndPaint(Handle(), &ps);
}

void CDrawWnd::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (theRunState.previewMode == 1) {
        OnTimer(kFrameTimer);
        OnTimer(kFrameTimer);
    }
    DefaultHandling(WM_MOUSEMOVE, wParam, lParam);
}

void CDrawWnd::OnDestroy() {
    theRunState.stopDrawing = 1;
    if (theRunState.previewMode != 1) KillTimer(Handle(), kFrameTimer);
    DefaultHandling(WM_DESTROY, 0, 0);
}

void CDrawWnd::OnClose() {
    DefaultHandling(WM_CLOSE, 0, 0);  // destroys the window
    // The program ends here, from wherever the close request was dispatched: the message
    // loop or a running burst, which must never resume.
    ExitThread(0);
}

void CDrawWnd::OnFinalMessage() {
    theRunState.stopDrawing = 1;
    if (deleteSelf_ == 1) delete this;
}

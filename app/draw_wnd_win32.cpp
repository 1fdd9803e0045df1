#include "app/draw_wnd_win32.h"

#include <windowsx.h>

#include <cstring>
#include <new>

#include "app/shape_images.h"
#include "presets/apply_preset.h"
#include "presets/preset_store.h"
#include "render/graphics.h"
#include "render/paint_win32.h"
#include "resources/resource_ids.h"

namespace {
const char kDrawWndClass[] = "TindelborgDrawWnd";
constexpr UINT_PTR kFrameTimer = 1;
}  // namespace

// What a burst asks of the window. It lives on the stack of the handler that runs the
// burst, not in the window object, so that the existence check still works once a
// dispatched message has destroyed the window and deleted the object.
class CDrawWnd::BurstHost final : public FrameHost {
public:
    explicit BurstHost(CDrawWnd& window) : window_(window), hwnd_(window.Handle()) {}

    // The dialog of this thread that `window` lies in, if any.
    static HWND OwnDialogOf(HWND window) {
        const HWND root = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
        if (root == nullptr || GetWindowThreadProcessId(root, nullptr) != GetCurrentThreadId()) return nullptr;
        char name[8] = {};
        GetClassNameA(root, name, sizeof name);
        return std::strcmp(name, "#32770") == 0 ? root : nullptr;
    }

    Dispatch DispatchOneMessage() override {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return Dispatch::None;
        if (msg.message == WM_QUIT) {
            // Not ours to swallow: hand it back to the loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return Dispatch::Quit;
        }
        // The burst takes the messages of the whole thread, the configuration dialog's
        // keys too: they go through the dialog's own key handling, or Tab, Enter,
        // Escape and the mnemonics would do nothing while the preview draws.
        const HWND dialog = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST ? OwnDialogOf(msg.hwnd) : nullptr;
        if (dialog != nullptr && IsDialogMessageA(dialog, &msg)) return Dispatch::Dispatched;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return Dispatch::Dispatched;
    }
    bool WindowStillExists() override { return IsWindow(hwnd_) != FALSE; }
    void StampSlot(int slot) override { window_.StampSlot(slot, hwnd_); }
    void RebuildImages() override { window_.RebuildImages(); }

private:
    CDrawWnd& window_;
    const HWND hwnd_;
};

CDrawWnd::CDrawWnd(int32_t deleteSelf) : deleteSelf_(deleteSelf) {}

CDrawWnd::~CDrawWnd() {
    DeleteShapeImages(images_);
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

void CDrawWnd::RebuildImages() { RebuildShapeImages(theSettings, path_.scale, images_, theRunState); }

void CDrawWnd::StampSlot(int slot, HWND hwnd) {
    const ButtonImageCreator* creator = images_[slot];
    const int32_t imageWidth = creator != nullptr ? creator->GetImage().descriptor.width : 1;
    const StampPosition p = path_.NextPosition(imageWidth, theSettings.cbStep, theSettings.csStep);
    if (creator == nullptr || imageWidth < 1 || !p.valid) return;
    ++drawnShapes_;
    // Wholly off the surface: nothing is stamped, so there is nothing to show either.
    if (int64_t{p.x} + imageWidth <= 0 || int64_t{p.y} + imageWidth <= 0 || p.x >= surface_->width ||
        p.y >= surface_->height)
        return;
    drawImage(*surface_, creator->GetImage().descriptor, p.x, p.y, 255, &creator->GetImage().runs);
    const RECT r{p.x, p.y, p.x + imageWidth, p.y + imageWidth};
    InvalidateRect(hwnd, &r, FALSE);
}

bool CDrawWnd::OnTimer(UINT_PTR id) {
    if (surface_ == nullptr) return true;
    if (id != kFrameTimer) {
        // Not a frame tick: the same pause and re-entry checks, then the default handling.
        if (FrameLoop::MayDraw(theRunState, timeGetTime()) && !loop_.Running()) DefaultHandling(WM_TIMER, id, 0);
        return true;
    }
    return RunBursts(1);
}

bool CDrawWnd::RunBursts(int count) {
    if (surface_ == nullptr) return true;
    BurstHost host(*this);
    return loop_.RunBursts(count, host, theSettings, theRunState,
                           [] { return static_cast<uint32_t>(timeGetTime()); });
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
    // The panel may destroy the preview while one of its bursts runs.
    if (theRunState.previewMode == 1 && !RunBursts(2)) return;
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
    // loop or a running burst, which must never resume. The whole process, not just this
    // thread: the system and the loader run threads of their own in it.
    ExitProcess(0);
}

void CDrawWnd::OnFinalMessage() {
    theRunState.stopDrawing = 1;
    if (deleteSelf_ == 1) delete this;
}

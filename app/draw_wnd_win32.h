// The window in which the animation is seen: the display panel's preview, the dialog's
// live preview and the base of the full-screen window. Its timer runs frame bursts that
// stamp the seven shape images along the path onto a never-cleared surface.
#pragma once

#include <cstdint>
#include <vector>

#include "app/frame_loop.h"
#include "app/motion.h"
#include "app/shape_images.h"
#include "app/settings.h"
#include "framework/window.h"

class Graphics;

class CDrawWnd : public fw::Window {
public:
    explicit CDrawWnd(int32_t deleteSelf);
    ~CDrawWnd() override;

    // The two trailing arguments are accepted for the callers' sake and not used.
    virtual bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, void* unused1 = nullptr,
                        void* unused2 = nullptr);

    // Recreates the seven images from the live settings and clears `rebuildImages`.
    void RebuildImages();

    // Shapes stamped since the window was created (for tests and benchmarks).
    uint64_t DrawnShapes() const { return drawnShapes_; }

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFinalMessage() override;

    // The frame burst; also run directly by the preview's size and mouse handlers. False
    // when a message it dispatched destroyed the window: the object may be gone, the
    // caller must return without touching it.
    bool OnTimer(UINT_PTR id);
    void OnPaint();
    void OnSize(int cx, int cy);
    LRESULT OnCreate(LPARAM lParam);
    void OnDestroy();
    void OnClose();
    void OnMouseMove(WPARAM wParam, LPARAM lParam);

private:
    // Stamps the slot's image at the next path position; the image may be missing
    // (absurd sizes, memory exhausted), then the path still advances.
    void StampSlot(int slot, HWND hwnd);
    // `count` frame bursts; false as for OnTimer.
    bool RunBursts(int count);
    class BurstHost;

    Graphics* surface_ = nullptr;
    ShapeImages images_ = {};
    int32_t width_ = 0;
    int32_t height_ = 0;
    MotionPath path_;
    FrameLoop loop_;
    int32_t deleteSelf_;
    uint64_t drawnShapes_ = 0;
    std::vector<uint32_t> paintRows_;  // reused by every paint
};

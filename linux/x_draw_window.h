// The animation in an X window: the counterpart of the Windows animation window. It
// owns the surface and the seven shape images, runs the portable frame bursts, and
// between bursts shows what they stamped and handles the X events.
#pragma once

// The frame loop comes before the X headers, whose macro None would rename
// FrameHost::Dispatch::None; the macro is dropped after them (0 stands for it here).
#include "app/frame_loop.h"
#include "app/motion.h"
#include "app/shape_images.h"
#include "app/settings.h"
#include "render/dib_rows.h"

#include <X11/Xlib.h>

#include <csignal>
#include <cstdint>
#include <string>

#include "linux/x_frame_image.h"
#undef None


// Set by the signal handler (SIGTERM, SIGINT, SIGHUP): the saver ends at its next check.
extern volatile std::sig_atomic_t theTerminateRequest;

class XDrawWindow final : public FrameHost {
public:
    // `own`: a window of this program, which ends on a key, a click or its close button;
    // otherwise a window lent by xscreensaver or the root, only watched for size changes.
    XDrawWindow(Display* display, Window window, bool own, bool useShm);
    ~XDrawWindow();
    XDrawWindow(const XDrawWindow&) = delete;
    XDrawWindow& operator=(const XDrawWindow&) = delete;

    // Reads the window's size and visual and makes the first size notification's work;
    // false with a reason when the window cannot be drawn into.
    bool Start(std::string& error);
    // Bursts until a quit request, a signal or the window's end; false with a reason when
    // the picture could not follow the window.
    bool Run(std::string& error);
    // One burst and the showing of what it drew; false once the saver is to end.
    bool Step();

    uint64_t DrawnShapes() const { return drawnShapes_; }
    bool UsesShm() const { return frame_.UsesShm(); }

    // The events the saver needs of its window; an own window is made with them, so that
    // none of its first events is lost.
    static long EventMask(bool own);

    Dispatch DispatchOneMessage() override;
    bool WindowStillExists() override { return !gone_; }
    void StampSlot(int slot) override;
    void RebuildImages() override;

private:
    void OnSize(int cx, int cy);
    void HandleEvent(const XEvent& e);
    void Damage(const PixelRect& r);
    // Puts the damaged area and waits for the server to have read it.
    void Show();
    void CheckErrors();
    bool Visible() const { return mapped_ && !obscured_; }

    // Time one burst may take before it ends after its pass, as xscreensaver hacks draw.
    static constexpr uint32_t kBurstBudgetMs = 30;

    Display* display_;
    Window window_;
    bool own_;
    bool useShm_;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    GC gc_ = nullptr;
    Atom wmProtocols_ = 0;
    Atom deleteWindow_ = 0;
    XFrameImage frame_;
    ShapeImages images_ = {};
    int32_t width_ = 0;
    int32_t height_ = 0;
    MotionPath path_;
    FrameLoop loop_;
    PixelRect damage_{0, 0, 0, 0};
    bool quit_ = false;
    bool gone_ = false;
    bool mapped_ = true;
    bool obscured_ = false;
    uint32_t burstStart_ = 0;
    bool passDone_ = false;     // the last stamp was the last switched-on slot's
    bool budgetSpent_ = false;  // this burst's stop is the budget's
    std::string error_;
    uint64_t drawnShapes_ = 0;
};

// The clock of the move pause and the random preset pick: milliseconds, wrapping.
uint32_t MonotonicMs();

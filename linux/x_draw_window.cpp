#include "linux/x_draw_window.h"

#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <new>

#include "app/shape_images.h"
#include "linux/x_error_trap.h"
#include "presets/apply_preset.h"
#include "presets/preset_store.h"

volatile std::sig_atomic_t theTerminateRequest = 0;

uint32_t MonotonicMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

XDrawWindow::XDrawWindow(Display* display, Window window, bool own, bool useShm)
    : display_(display), window_(window), own_(own), useShm_(useShm) {}

XDrawWindow::~XDrawWindow() {
    DeleteShapeImages(images_);
    theRunState.stopDrawing = 1;
    if (gc_ != nullptr) XFreeGC(display_, gc_);
}

bool XDrawWindow::Start(std::string& error) {
    SyncAndTakeXErrors(display_);
    // Watched before its size is read: a resize in between would be lost.
    XSelectInput(display_, window_, EventMask(own_));
    XWindowAttributes a{};
    const Status got = XGetWindowAttributes(display_, window_, &a);
    if (SyncAndTakeXErrors(display_).count != 0 || got == 0) {
        error = "there is no window " + std::to_string(window_) + " on the display";
        return false;
    }
    if (a.c_class == InputOnly) {
        error = "window " + std::to_string(window_) + " is input-only and cannot be drawn into";
        return false;
    }
    // Colour-mapped visuals would need a colour map of their own: the picture would be black.
    if (a.visual->c_class != TrueColor) {
        const char* kinds[] = {"StaticGray", "GrayScale", "StaticColor", "PseudoColor", "TrueColor", "DirectColor"};
        const int kind = a.visual->c_class;
        error = "the window's visual is " + std::to_string(a.depth) + "-bit " + (kind >= 0 && kind < 6 ? kinds[kind] : "?") +
                "; only TrueColor visuals are drawn";
        return false;
    }
    visual_ = a.visual;
    depth_ = a.depth;
    mapped_ = a.map_state != IsUnmapped;
    wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    if (SyncAndTakeXErrors(display_).count != 0) {
        error = "window " + std::to_string(window_) + " cannot be drawn into";
        return false;
    }
    OnSize(a.width, a.height);
    if (frame_.Surface() == nullptr) {
        error = error_.empty() ? "no picture could be made for the window" : error_;
        return false;
    }
    return true;
}

// As the Windows window's size notification: geometry and images follow the window.
// The surface follows it too (a window lent at 1x1 and grown would otherwise stay
// blank), keeping the picture drawn so far where it still fits, as on Windows.
void XDrawWindow::OnSize(int cx, int cy) {
    width_ = cx & ~1;
    height_ = cy & ~1;
    path_.RecomputeGeometry(width_, height_);
    RebuildImages();
    if (theRunState.firstSizeDone == 0) {
        theRunState.firstSizeDone = 1;
        PickRandomPreset(thePresetStore, MonotonicMs(), theSettings, theRunState);
        frame_.Create(display_, visual_, depth_, width_, height_, useShm_, error_);
        return;
    }
    const Graphics* surface = frame_.Surface();
    if (surface != nullptr && surface->width == std::max(width_, 1) && surface->height == std::max(height_, 1)) return;
    if (!frame_.Resize(width_, height_, error_)) return;
    damage_ = PixelRect{0, 0, width_, height_};
}

void XDrawWindow::RebuildImages() { RebuildShapeImages(theSettings, path_.scale, images_, theRunState); }

void XDrawWindow::StampSlot(int slot) {
    passDone_ = true;  // unless a later slot is on
    for (int later = slot + 1; later < kShapeSlots; ++later) passDone_ = passDone_ && theSettings.switches[later] == 0;
    const ButtonImageCreator* creator = images_[slot];
    const int32_t imageWidth = creator != nullptr ? creator->GetImage().descriptor.width : 1;
    const StampPosition p = path_.NextPosition(imageWidth, theSettings.cbStep, theSettings.csStep);
    Graphics* surface = frame_.Surface();
    if (creator == nullptr || imageWidth < 1 || !p.valid || surface == nullptr) return;
    drawImage(*surface, creator->GetImage().descriptor, p.x, p.y, 255, &creator->GetImage().runs);
    // Positions far off the surface would overflow the damage box: clip first.
    Damage(PixelRect{std::max(p.x, 0), std::max(p.y, 0), std::min(p.x, surface->width - imageWidth) + imageWidth,
                     std::min(p.y, surface->height - imageWidth) + imageWidth});
    ++drawnShapes_;
}

void XDrawWindow::Damage(const PixelRect& r) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (damage_.left >= damage_.right) {
        damage_ = r;
        return;
    }
    // One box per burst: the shapes of a burst spread around the ring, so the box costs
    // one put where single rectangles would cost 1300.
    damage_ = PixelRect{std::min(damage_.left, r.left), std::min(damage_.top, r.top),
                        std::max(damage_.right, r.right), std::max(damage_.bottom, r.bottom)};
}

long XDrawWindow::EventMask(bool own) {
    const long watched = ExposureMask | StructureNotifyMask | VisibilityChangeMask;
    return own ? watched | KeyPressMask | ButtonPressMask : watched;
}

FrameHost::Dispatch XDrawWindow::DispatchOneMessage() {
    if (theTerminateRequest != 0 || quit_) return Dispatch::Quit;
    // A long burst ends after a whole pass (the slots keep their order), so that what it
    // drew is shown and the events are read: a stop the next Step lifts.
    if (passDone_ && MonotonicMs() - burstStart_ > kBurstBudgetMs) {
        theRunState.stopDrawing = 1;
        budgetSpent_ = true;
    }
    if (XPending(display_) == 0) return Dispatch::None;
    XEvent e;
    XNextEvent(display_, &e);
    HandleEvent(e);
    return quit_ ? Dispatch::Quit : Dispatch::Dispatched;
}

void XDrawWindow::HandleEvent(const XEvent& e) {
    switch (e.type) {
        case Expose:
            Damage(PixelRect{e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height});
            break;
        case ConfigureNotify:
            if (e.xconfigure.window == window_ && ((e.xconfigure.width & ~1) != width_ || (e.xconfigure.height & ~1) != height_))
                OnSize(e.xconfigure.width, e.xconfigure.height);
            break;
        // Nothing is drawn while it cannot be seen: that is most of a saver's time under
        // a locked screen's dialog or in a minimised settings window.
        case MapNotify: mapped_ = mapped_ || e.xmap.window == window_; break;
        case UnmapNotify: mapped_ = mapped_ && e.xunmap.window != window_; break;
        case VisibilityNotify:
            if (e.xvisibility.window == window_) obscured_ = e.xvisibility.state == VisibilityFullyObscured;
            break;
        case DestroyNotify:
            if (e.xdestroywindow.window == window_) gone_ = true;
            break;
        case KeyPress:
        case ButtonPress: quit_ = own_; break;
        case ClientMessage:
            if (own_ && e.xclient.message_type == wmProtocols_ && static_cast<Atom>(e.xclient.data.l[0]) == deleteWindow_)
                quit_ = true;
            break;
    }
}

void XDrawWindow::CheckErrors() {
    const XErrorRecord errors = SyncAndTakeXErrors(display_);
    // Whatever failed, the usual cause is the window gone (the preview closed).
    if (errors.count != 0 && (errors.code == BadWindow || errors.code == BadDrawable || errors.resource == window_))
        gone_ = true;
}

void XDrawWindow::Show() {
    // Nothing drawn, nothing to wait for: a vanished window also shows as DestroyNotify.
    if (damage_.left >= damage_.right || gone_) return;
    frame_.Put(window_, gc_, damage_);
    damage_ = PixelRect{0, 0, 0, 0};
    CheckErrors();  // also makes sure the server has read the shared pixels
}

bool XDrawWindow::Step() {
    if (frame_.Surface() == nullptr) return false;  // a resize found no memory: error_ says so
    if (Visible()) {
        burstStart_ = MonotonicMs();
        passDone_ = false;
        const BurstEnd end = loop_.Run(*this, theSettings, theRunState, burstStart_);
        if (budgetSpent_) theRunState.stopDrawing = 0;
        budgetSpent_ = false;
        if (end == BurstEnd::Quit || end == BurstEnd::WindowGone) return false;
    }
    // Events a burst without switched-on slots never looked at.
    while (!quit_ && !gone_ && XPending(display_) != 0) {
        XEvent e;
        XNextEvent(display_, &e);
        HandleEvent(e);
    }
    Show();
    return !quit_ && !gone_ && theTerminateRequest == 0;
}

bool XDrawWindow::Run(std::string& error) {
    while (Step()) {
        // The 1 ms timer of the Windows window: wait that long for an event, then go on.
        // Unseen, only events matter: wait for one (a signal is seen within 100 ms).
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        if (XPending(display_) == 0) poll(&fd, 1, Visible() ? 1 : 100);
    }
    error = error_;
    return frame_.Surface() != nullptr;
}

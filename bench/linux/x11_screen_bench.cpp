// Shapes per second of the Linux program's window on an X display (run it on a
// 1920x1080 Xvfb: bench/linux/run-x11-bench.sh), against a bare loop that only puts
// image-sized rectangles at the same path positions with the same X calls (an event
// check per shape, XShmPutImage, a sync and the 1 ms wait per 1300 shapes). Rounds of
// both alternate; the ratio printed is the median of neighbouring rounds.
#include "linux/x_draw_window.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/image_sizes.h"
#include "linux/x_error_trap.h"
#include "render/button_image_creator.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kRoundSeconds = 2.0;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void WaitLikeTheProgram(Display* d) {
    pollfd fd{ConnectionNumber(d), POLLIN, 0};
    if (XPending(d) == 0) poll(&fd, 1, 1);
}

double SaverRound(XDrawWindow& saver, Display* d) {
    const uint64_t before = saver.DrawnShapes();
    const Clock::time_point start = Clock::now();
    while (Seconds(start) < kRoundSeconds) {
        saver.Step();
        WaitLikeTheProgram(d);
    }
    return static_cast<double>(saver.DrawnShapes() - before) / Seconds(start);
}

double BareRound(Display* d, Window w, GC gc, XFrameImage& frame, int width, int height) {
    MotionPath path;
    path.RecomputeGeometry(width, height);
    const int side = static_cast<int>(ShapeImageSide(ComputeImageSizes(0, 30, 29, path.scale).outerSize));
    uint64_t shapes = 0;
    const Clock::time_point start = Clock::now();
    while (Seconds(start) < kRoundSeconds) {
        for (int i = 0; i < kShapesPerBurst; ++i, ++shapes) {
            XPending(d);
            const StampPosition p = path.NextPosition(side, 1.46f, 0.01f);
            frame.Put(w, gc, PixelRect{p.x, p.y, p.x + side, p.y + side});
        }
        SyncAndTakeXErrors(d);
        WaitLikeTheProgram(d);
    }
    return static_cast<double>(shapes) / Seconds(start);
}

int Measure(Display* d, Window w, int width, int height, int rounds) {
    XDrawWindow saver(d, w, false, true);
    std::string error;
    if (!saver.Start(error)) {
        std::fprintf(stderr, "x11_screen_bench: %s\n", error.c_str());
        return 1;
    }
    XFrameImage bare;
    bare.Create(d, DefaultVisual(d, DefaultScreen(d)), DefaultDepth(d, DefaultScreen(d)), width, height, true, error);
    const GC gc = XCreateGC(d, w, 0, nullptr);
    for (int i = 0; i < 5; ++i) saver.Step();  // warm up: images built, ring started

    std::vector<double> ratios;
    std::printf("window %dx%d, MIT-SHM %s/%s\nround  saver shapes/s  bare shapes/s  ratio\n", width, height,
                saver.UsesShm() ? "yes" : "no", bare.UsesShm() ? "yes" : "no");
    for (int r = 0; r < rounds; ++r) {
        const double s = SaverRound(saver, d);
        const double b = BareRound(d, w, gc, bare, width, height);
        ratios.push_back(s / b);
        std::printf("%5d  %14.0f  %13.0f  %5.3f\n", r + 1, s, b, s / b);
        std::fflush(stdout);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio saver / bare: %.3f\n", ratios[ratios.size() / 2]);
    XFreeGC(d, gc);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "x11_screen_bench: no X display\n");
        return 1;
    }
    InstallXErrorTrap();
    const int width = DisplayWidth(d, DefaultScreen(d)), height = DisplayHeight(d, DefaultScreen(d));
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, width, height, 0, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    const int status = Measure(d, w, width, height, rounds);  // its windows and images go first
    XCloseDisplay(d);
    return status;
}


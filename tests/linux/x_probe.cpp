// The end-to-end tests' hands on the X display. WINDOW: an id, or "own" for the saver's own.
//   x_probe ping | window W H (prints the id, keeps it until killed) | map WINDOW 0|1
//   x_probe still WINDOW (waits 10 s at most for the still picture of slot 2)
//   x_probe send WINDOW key|click|close|other (other: a client message not WM_PROTOCOLS)
//   x_probe resize WINDOW W H (once another client watches the window's size)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render/button_image_creator.h"

namespace {

// The saver's own window: a child of the root, as no window manager runs.
Window Own(Display* d) {
    Window root, up, *children = nullptr, found = 0;
    unsigned n = 0;
    XQueryTree(d, DefaultRootWindow(d), &root, &up, &children, &n);
    for (unsigned i = 0; i < n && found == 0; ++i) {
        char* title = nullptr;
        if (XFetchName(d, children[i], &title) && std::strcmp(title, "Tindelborg Screen Saver") == 0) found = children[i];
        XFree(title);
    }
    XFree(children);
    return found;
}

Window Target(Display* d, const char* text) {
    for (int tries = 0; tries < 100; ++tries) {
        const Window w = std::strcmp(text, "own") == 0 ? Own(d) : std::strtoul(text, nullptr, 0);
        if (w != 0) return w;
        usleep(100000);
    }
    std::fprintf(stderr, "x_probe: no window %s\n", text);
    std::exit(2);
}

// The expected picture: black, and at the path's start (both speeds 0, radius 260 x
// scale straight to the right of the centre) the default sphere in slot 2's blue.
std::string Compare(XImage* shot, int w, int h) {
    const double scale = (w & ~1) / 640.0;
    ShapeImageParams p{1.0f, 1.0f, -1.0f, 0xFF0000, 0xFFFFFF, 0.34f, 0.995f, 0.6f, 4,
                       static_cast<int32_t>(30.0f * scale), 0, static_cast<int32_t>(29.0f * scale), 0, 0};
    ButtonImageCreator creator(p);
    const DC_DESCRIPTOR& image = creator.GetImage().descriptor;
    const int side = image.width, half = side / 2;
    const int x0 = static_cast<int>(260.0 * scale + 0.5) + (w & ~1) / 2 - half, y0 = (h & ~1) / 2 - half;
    int wrong = 0;
    char first[200] = "";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= x0 && y >= y0 && x < x0 + side && y < y0 + side;
            const uint32_t want =
                inside ? reinterpret_cast<const uint32_t*>(image.pixels + (y - y0) * image.stride)[x - x0] : 0;
            const uint32_t got = XGetPixel(shot, x, y) & 0xFFFFFF;
            if (got != want && wrong++ == 0)
                std::snprintf(first, sizeof first, "(%d,%d) is %06x, expected %06x", x, y, got, want);
        }
    const uint32_t centre = XGetPixel(shot, x0 + half, y0 + half) & 0xFFFFFF;
    if (wrong == 0 && centre != 0x0303B2) std::snprintf(first, sizeof first, "centre %06x, not 3/3/178", centre);
    return wrong == 0 && first[0] == 0 ? std::string() : std::to_string(wrong) + " pixels differ, first " + first;
}

}  // namespace

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr || argc < 2) return 2;
    // A window not yet mapped cannot be read (BadMatch): read again rather than end.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const std::string command = argv[1];
    if (command == "ping" || argc < 3) return command == "ping" ? 0 : 2;  // the display closes as the process ends
    if (command == "window" && argc == 4) {
        const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, std::atoi(argv[2]), std::atoi(argv[3]), 0,
                                             0, 0);
        XMapWindow(d, w);
        XSync(d, False);
        std::printf("%lu\n", w);
        std::fflush(stdout);
        for (;;) pause();
    }
    const Window w = Target(d, argv[2]);
    if (command == "resize" && argc == 5) {
        // Once the saver watches the window: a resize before would only be a larger start.
        XWindowAttributes a{};
        for (int i = 0; i < 100 && XGetWindowAttributes(d, w, &a) && !(a.all_event_masks & StructureNotifyMask); ++i)
            usleep(50000);
        XResizeWindow(d, w, std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (command == "map" && argc == 4) {
        if (std::atoi(argv[3]) != 0) XMapWindow(d, w); else XUnmapWindow(d, w);
    }
    if (command == "still") {
        std::string diff = "never read";
        for (int tries = 0; tries < 100 && !diff.empty(); ++tries, usleep(100000)) {
            XWindowAttributes a{};
            if (!XGetWindowAttributes(d, w, &a)) continue;
            XImage* shot = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
            if (shot == nullptr) continue;
            diff = Compare(shot, a.width, a.height);
            XDestroyImage(shot);
        }
        if (!diff.empty()) std::fprintf(stderr, "x_probe: %s\n", diff.c_str());
        return diff.empty() ? 0 : 1;
    }
    if (command == "send" && argc == 4) {
        const std::string what = argv[3];
        const bool message = what == "close" || what == "other";
        XEvent e{};
        e.xany.window = w;
        e.type = message ? ClientMessage : what == "key" ? KeyPress : ButtonPress;
        if (message) {
            e.xclient.message_type = XInternAtom(d, what == "close" ? "WM_PROTOCOLS" : "X_PROBE_OTHER", False);
            e.xclient.format = 32;
            e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        } else {
            e.xkey.keycode = 38;
            e.xkey.root = DefaultRootWindow(d);
        }
        XSendEvent(d, w, False, message ? 0 : what == "key" ? KeyPressMask : ButtonPressMask, &e);
    }
    XCloseDisplay(d);
    return 0;
}

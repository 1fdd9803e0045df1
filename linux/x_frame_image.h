// The drawing surface as the X server sees it: in a MIT-SHM segment when the server
// offers shared memory (no copy through the socket), else in ordinary memory sent with
// XPutImage. A visual that is not 32-bit 0x00RRGGBB gets its pixels converted per put.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/dib_rows.h"
#include "render/graphics.h"

class XFrameImage {
public:
    XFrameImage() = default;
    ~XFrameImage();
    XFrameImage(const XFrameImage&) = delete;
    XFrameImage& operator=(const XFrameImage&) = delete;

    // A black surface of the given size for drawables of this visual and depth; false
    // with a reason when neither shared nor ordinary memory gives one.
    bool Create(Display* display, Visual* visual, int depth, int width, int height, bool tryShm,
                std::string& error);

    // A new size for the surface; the picture drawn so far stays where it still fits.
    // False with a reason when no surface of that size can be made (there is none then).
    bool Resize(int width, int height, std::string& error);

    Graphics* Surface() const { return surface_; }
    bool UsesShm() const { return shm_; }

    // Shows the rectangle of the surface (clipped to it) at the same place in `drawable`.
    // With shared memory the server reads the pixels later: sync before stamping again.
    void Put(Drawable drawable, GC gc, const PixelRect& rect);

private:
    bool CreateShared(int width, int height);
    void Release();

    Display* display_ = nullptr;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    bool tryShm_ = false;
    bool shm_ = false;
    bool direct_ = false;  // the visual's pixels are the surface's: no conversion
    XShmSegmentInfo segment_{};
    XImage* image_ = nullptr;  // over the surface's pixels when direct
    Graphics* surface_ = nullptr;
    std::vector<char> converted_;
};

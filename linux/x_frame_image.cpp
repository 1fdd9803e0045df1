#include "linux/x_frame_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>

#include "linux/x_error_trap.h"

namespace {

bool IsSurfaceLayout(Display* display, Visual* visual, int depth) {
    if (depth != 24 && depth != 32) return false;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    if (formats != nullptr) XFree(formats);
    const uint16_t probe = 1;
    const bool hostLsb = *reinterpret_cast<const uint8_t*>(&probe) == 1;
    return bits == 32 && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
           visual->blue_mask == 0xFF && (ImageByteOrder(display) == LSBFirst) == hostLsb;
}

// An 8-bit channel placed into the bits of a visual's mask.
unsigned long IntoMask(uint32_t channel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0, bits = 0;
    while (!(mask >> shift & 1)) ++shift;
    while (mask >> (shift + bits) & 1) ++bits;
    const unsigned long v = bits >= 8 ? channel << (bits - 8) : channel >> (8 - bits);
    return v << shift & mask;
}

}  // namespace

XFrameImage::~XFrameImage() { Release(); }

void XFrameImage::Release() {
    if (image_ != nullptr) {
        if (shm_) XShmDetach(display_, &segment_);
        image_->data = nullptr;  // the pixels belong to the surface or the segment
        XDestroyImage(image_);
        image_ = nullptr;
    }
    if (shm_) {
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        shm_ = false;
    }
    delete surface_;
    surface_ = nullptr;
}

bool XFrameImage::CreateShared(int width, int height) {
    image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                             static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image_ == nullptr) return false;
    if (image_->bytes_per_line != width * 4) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    const size_t bytes = static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(height);
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* address = segment_.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(segment_.shmid, nullptr, 0);
    bool attached = false;
    if (address != reinterpret_cast<void*>(-1)) {
        segment_.shmaddr = image_->data = static_cast<char*>(address);
        segment_.readOnly = False;
        SyncAndTakeXErrors(display_);
        attached = XShmAttach(display_, &segment_) && SyncAndTakeXErrors(display_).count == 0;
    }
    // Marked for removal at once: a killed process leaves no segment behind.
    if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (attached) surface_ = createSurface(width, height, 32, reinterpret_cast<uint8_t*>(address));
    if (surface_ != nullptr) return shm_ = true;
    if (attached) XShmDetach(display_, &segment_);
    if (address != reinterpret_cast<void*>(-1)) shmdt(address);
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
}

bool XFrameImage::Create(Display* display, Visual* visual, int depth, int width, int height, bool tryShm,
                         std::string& error) {
    Release();
    display_ = display;
    visual_ = visual;
    depth_ = depth;
    tryShm_ = tryShm;
    width = std::max(width, 1);
    height = std::max(height, 1);
    direct_ = IsSurfaceLayout(display, visual, depth);
    if (direct_ && tryShm && XShmQueryExtension(display) && CreateShared(width, height)) return true;
    surface_ = createSurface(width, height, 32, nullptr);
    if (surface_ == nullptr) {
        error = "no memory for a " + std::to_string(width) + "x" + std::to_string(height) + " picture";
        return false;
    }
    if (!direct_) return true;  // converted into a scratch image per put
    image_ = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                          reinterpret_cast<char*>(surface_->pixels), static_cast<unsigned>(width),
                          static_cast<unsigned>(height), 32, width * 4);
    if (image_ == nullptr) error = "the X library cannot describe the picture";
    return image_ != nullptr;
}

bool XFrameImage::Resize(int width, int height, std::string& error) {
    std::vector<uint8_t> kept;
    int keptWidth = 0, keptHeight = 0;
    if (surface_ != nullptr) {
        keptWidth = std::min(std::max(width, 1), surface_->width);
        keptHeight = std::min(std::max(height, 1), surface_->height);
        kept.resize(static_cast<size_t>(keptWidth) * static_cast<size_t>(keptHeight) * 4);
        blitRows(kept.data(), keptWidth * 4, surface_->pixels, surface_->stride, keptWidth, keptHeight);
    }
    if (!Create(display_, visual_, depth_, width, height, tryShm_, error)) return false;
    if (keptWidth > 0) blitRows(surface_->pixels, surface_->stride, kept.data(), keptWidth * 4, keptWidth, keptHeight);
    return true;
}

void XFrameImage::Put(Drawable drawable, GC gc, const PixelRect& rect) {
    if (surface_ == nullptr) return;
    const int left = std::max(rect.left, 0), top = std::max(rect.top, 0);
    const int right = std::min(rect.right, surface_->width), bottom = std::min(rect.bottom, surface_->height);
    if (left >= right || top >= bottom) return;
    const unsigned w = static_cast<unsigned>(right - left), h = static_cast<unsigned>(bottom - top);
    if (shm_) {
        XShmPutImage(display_, drawable, gc, image_, left, top, left, top, w, h, False);
    } else if (direct_) {
        XPutImage(display_, drawable, gc, image_, left, top, left, top, w, h);
    } else {
        XImage* scratch = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr, w, h,
                                       32, 0);
        if (scratch == nullptr) return;
        converted_.assign(static_cast<size_t>(scratch->bytes_per_line) * h, 0);
        scratch->data = converted_.data();
        for (int y = top; y < bottom; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(surface_->pixels + static_cast<size_t>(y) * surface_->stride);
            for (int x = left; x < right; ++x) {
                const uint32_t p = row[x];
                XPutPixel(scratch, x - left, y - top,
                          IntoMask(p >> 16 & 255, visual_->red_mask) | IntoMask(p >> 8 & 255, visual_->green_mask) |
                              IntoMask(p & 255, visual_->blue_mask));
            }
        }
        XPutImage(display_, drawable, gc, scratch, 0, 0, left, top, w, h);
        scratch->data = nullptr;
        XDestroyImage(scratch);
    }
}

#include "render/graphics.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "render/opaque_runs.h"

struct Graphics::SavedState {
    int32_t clipX, clipY, clipWidth, clipHeight;
    uint32_t colour;
    int32_t colourKey;
    int32_t originX, originY;
    int32_t marker;  // always 256
    SavedState* next;
    int32_t stateWord;
};

namespace {

struct Rect64 {
    int64_t x, y, w, h;
};

// True when the rectangle overlaps the block's clipping rectangle. 64-bit, so that
// positions near the ends of the int range cannot overflow.
bool OverlapsClip(const DC_DESCRIPTOR& d, const Rect64& r) {
    return int64_t{d.clipX} + d.clipWidth > r.x && int64_t{d.clipY} + d.clipHeight > r.y &&
           d.clipX < r.x + r.w && d.clipY < r.y + r.h;
}

Rect64 ClipTo(const DC_DESCRIPTOR& d, const Rect64& r) {
    const int64_t left = std::max<int64_t>(r.x, d.clipX);
    const int64_t top = std::max<int64_t>(r.y, d.clipY);
    const int64_t right = std::min<int64_t>(r.x + r.w, int64_t{d.clipX} + d.clipWidth);
    const int64_t bottom = std::min<int64_t>(r.y + r.h, int64_t{d.clipY} + d.clipHeight);
    return Rect64{left, top, std::max<int64_t>(0, right - left), std::max<int64_t>(0, bottom - top)};
}

bool IsPlain32(const DC_DESCRIPTOR& d) {
    return d.bitsPerPixel == 32 && d.pixels != nullptr && (d.flags & kDescRowTable) == 0;
}

}  // namespace

Graphics::Graphics(const DC_DESCRIPTOR& block) : DC_DESCRIPTOR(block) {
    clipX = 0;
    clipY = 0;
    clipWidth = width;
    clipHeight = height;
    colour = 0x00FFFFFF;
    deviceFlag = flags & kDescStrideRounded;
}

Graphics::~Graphics() {
    while (stateStack_ != nullptr) {
        SavedState* next = stateStack_->next;
        delete stateStack_;
        stateStack_ = next;
    }
    if (ownsPixels) delete[] reinterpret_cast<uint32_t*>(pixels);
}

void Graphics::PushState() {
    stateStack_ = new SavedState{clipX, clipY, clipWidth, clipHeight, colour, colourKey,
                                 originX, originY, 256, stateStack_, stateWord};
}

void Graphics::PopState() {
    SavedState* top = stateStack_;
    if (top == nullptr) return;
    clipX = top->clipX;
    clipY = top->clipY;
    clipWidth = top->clipWidth;
    clipHeight = top->clipHeight;
    colour = top->colour;
    colourKey = top->colourKey;
    originX = top->originX;
    originY = top->originY;
    stateWord = top->stateWord;
    stateStack_ = top->next;
    delete top;
    wholeClip = clipX == 0 && clipY == 0 && clipWidth == width && clipHeight == height;
}

void Graphics::ResetState() {
    clipX = 0;
    clipY = 0;
    clipWidth = width;
    clipHeight = height;
    wholeClip = 1;
    colour = 0x00FFFFFF;
    colourKey = -1;
    originX = 0;
    originY = 0;
    alpha = 255;
}

Graphics* createSurface(int32_t width, int32_t height, int32_t bitsPerPixel, uint8_t* pixels) {
    if (bitsPerPixel == 0) bitsPerPixel = 32;
    if (bitsPerPixel != 32) return nullptr;
    width = std::max(width, 0);
    height = std::max(height, 0);
    Graphics* g = new (std::nothrow) Graphics();
    if (g == nullptr) return nullptr;
    g->width = width;
    g->height = height;
    g->bitsPerPixel = 32;
    g->bytesPerPixel = 4;
    g->bytesPerRow = width * 4;
    g->stride = g->bytesPerRow;
    g->clipWidth = width;
    g->clipHeight = height;
    if (pixels == nullptr) {
        // Allocated as 32-bit words, zero (black).
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        g->pixels = reinterpret_cast<uint8_t*>(new (std::nothrow) uint32_t[count == 0 ? 1 : count]());
        if (g->pixels == nullptr) {
            delete g;
            return nullptr;
        }
        g->ownsPixels = 1;
    } else {
        g->pixels = pixels;
    }
    return g;
}

void blitRows(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width, int32_t height) {
    if (width < 1) return;
    const size_t bytes = size_t{4} * static_cast<size_t>(width);
    // Row addresses are computed afresh, never stepped past the last row.
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(dst + ptrdiff_t{row} * dstStride, src + ptrdiff_t{row} * srcStride, bytes);
}

void blitKeyed(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
               uint32_t key) {
    key &= 0x00FFFFFFu;
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* d = dst + ptrdiff_t{row} * dstStride;
        const uint8_t* s = src + ptrdiff_t{row} * srcStride;
        for (int32_t col = 0; col < width; ++col) {
            uint32_t p;
            std::memcpy(&p, s + 4 * ptrdiff_t{col}, 4);
            if ((p & 0x00FFFFFFu) != key) std::memcpy(d + 4 * ptrdiff_t{col}, &p, 4);
        }
    }
}

void drawImage(Graphics& surface, const DC_DESCRIPTOR& image, int32_t x, int32_t y, int32_t opacity,
               const OpaqueRuns* runs) {
    const Rect64 target{int64_t{x} + surface.originX, int64_t{y} + surface.originY, image.width, image.height};
    if (!OverlapsClip(surface, target)) return;
    if (surface.clipWidth == 0 && surface.clipHeight == 0) return;
    if (image.width < 1 || image.height < 1) return;
    if (!IsPlain32(surface) || !IsPlain32(image)) return;
    // Only opaque copies are supported: blending is never asked for by the saver.
    if (int64_t{image.alpha} * opacity / 255 != 255) return;

    const Rect64 visible = ClipTo(surface, target);
    if (visible.w <= 0 || visible.h <= 0) return;
    const int64_t srcLeft = visible.x - target.x;
    const int64_t srcTop = visible.y - target.y;
    uint8_t* dst = surface.pixels + visible.y * surface.stride + visible.x * 4;
    const uint8_t* src = image.pixels + srcTop * image.stride + srcLeft * 4;
    const int32_t w = static_cast<int32_t>(visible.w);
    const int32_t h = static_cast<int32_t>(visible.h);
    if (image.colourKey != -1 && runs != nullptr && runs->Fits(image))
        runs->Copy(dst, surface.stride, image, static_cast<int32_t>(srcLeft), static_cast<int32_t>(srcTop), w, h);
    else if (image.colourKey != -1)
        blitKeyed(dst, surface.stride, src, image.stride, w, h, static_cast<uint32_t>(image.colourKey));
    else
        blitRows(dst, surface.stride, src, image.stride, w, h);
}

void fillRect(Graphics& surface, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (surface.clipWidth == 0 && surface.clipHeight == 0) return;
    if (!IsPlain32(surface)) return;
    const Rect64 area = ClipTo(surface, Rect64{int64_t{x} + surface.originX, int64_t{y} + surface.originY,
                                               std::max(w, 0), std::max(h, 0)});
    const bool wholePixels = surface.alpha != -1;
    for (int64_t row = 0; row < area.h; ++row) {
        uint8_t* line = surface.pixels + (area.y + row) * surface.stride + area.x * 4;
        if (wholePixels && surface.colour == 0) {
            // Every new shape image is filled with its key, 0: a plain clear.
            std::memset(line, 0, static_cast<size_t>(area.w) * 4);
            continue;
        }
        for (int64_t col = 0; col < area.w; ++col) {
            uint32_t p = surface.colour;
            if (!wholePixels) {
                uint32_t old;
                std::memcpy(&old, line + 4 * col, 4);
                p = (old & 0xFF000000u) | (surface.colour & 0x00FFFFFFu);
            }
            std::memcpy(line + 4 * col, &p, 4);
        }
    }
}

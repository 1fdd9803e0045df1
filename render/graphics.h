// A 32-bit drawing surface in ordinary memory, the colour-keyed stamp of images onto it,
// and rectangle fills. Painting onto a window lives with the platform code.
#pragma once

#include <cstdint>

#include "render/dc_descriptor.h"

class Graphics : public DC_DESCRIPTOR {
public:
    // A view over an existing block (an image): copies its description, takes the whole
    // block as clip, does not own the pixels.
    explicit Graphics(const DC_DESCRIPTOR& block);
    virtual ~Graphics();

    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    virtual void PushState();
    virtual void PopState();
    virtual void ResetState();

    int32_t deviceFlag = 0;
    int32_t reserved = 0;
    int32_t ownsPixels = 0;
    int32_t wholeClip = 1;
    int32_t stateWord = 0;
    int32_t originX = 0;
    int32_t originY = 0;

private:
    friend Graphics* createSurface(int32_t, int32_t, int32_t, uint8_t*);
    Graphics() = default;

    struct SavedState;
    SavedState* stateStack_ = nullptr;
};

// A black surface of the given size, owning its pixels when `pixels` is null; null when
// it cannot be allocated. bitsPerPixel 0 means the default depth, 32; other depths are
// not supported and give null.
Graphics* createSurface(int32_t width, int32_t height, int32_t bitsPerPixel, uint8_t* pixels);

class OpaqueRuns;

// Stamps a whole image with its top-left corner at (x, y), clipped to the surface; with
// a colour key set, source pixels whose low 24 bits equal the key are skipped. `runs`,
// built from this very image (which must not have changed since), turns the test per
// pixel into one copy per run; without them the pixels are tested one by one.
void drawImage(Graphics& surface, const DC_DESCRIPTOR& image, int32_t x, int32_t y, int32_t opacity,
               const OpaqueRuns* runs = nullptr);

// Fills a rectangle with the surface's current colour, clipped.
void fillRect(Graphics& surface, int32_t x, int32_t y, int32_t w, int32_t h);

// The row routines behind drawImage, exposed for tests and benchmarks. Widths are in
// pixels, strides in bytes; source and destination must not overlap. blitKeyed is the
// keyed rule pixel by pixel: the copy of images that come without runs.
void blitRows(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width, int32_t height);
void blitKeyed(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
               uint32_t key);

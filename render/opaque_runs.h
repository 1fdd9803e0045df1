// The pixels a colour-keyed copy of an image writes, found once: for each row, the runs
// of pixels whose low 24 bits differ from the key. A shape image never changes after it
// is built, so stamping it becomes one plain copy per run instead of a test per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/dc_descriptor.h"

class OpaqueRuns {
public:
    // Finds the runs of a plain 32-bit image (stride of its own, no row table) with its
    // colour key set; anything else gets no runs, and Fits() answers false.
    void Build(const DC_DESCRIPTOR& image);

    // The runs of `other`, for `image`: an image of the same size, stride and key whose
    // pixels are key exactly where those of the image `other` was built from are (as the
    // seven colourings of one shading are), so that its runs need not be looked for.
    void BuildLike(const OpaqueRuns& other, const DC_DESCRIPTOR& image);

    // True when the runs were built from this image: the same pixels, size and key.
    bool Fits(const DC_DESCRIPTOR& image) const;

    // Copies the runs that fall inside the visible rectangle of the image, which starts at
    // (left, top) and is w x h pixels, to dst, the surface pixel under (left, top).
    void Copy(uint8_t* dst, int32_t dstStride, const DC_DESCRIPTOR& image, int32_t left, int32_t top, int32_t w,
              int32_t h) const;

    int32_t RunCount() const { return static_cast<int32_t>(runs_.size()); }

private:
    struct Run {
        int32_t row;
        int32_t begin, end;  // columns, end exclusive
        ptrdiff_t source;    // byte offset of the run's first pixel in the image
    };
    int32_t width_ = 0;
    int32_t height_ = -1;
    int32_t key_ = -1;
    const uint8_t* pixels_ = nullptr;
    int32_t stride_ = 0;
    std::vector<uint32_t> rowFirst_;  // index of each row's first run; one more entry at the end
    std::vector<Run> runs_;
    // The same runs, one word each, for copies that reach the image's last row and are not
    // clipped across: first column in bits 0-11, length in 12-23, rows advanced since the
    // previous run in 24-31, up to 254; then two words of step 255 that end them, so that words can be read in
    // pairs. Empty when a run does not fit.
    std::vector<uint32_t> packed_;
};

#include "render/opaque_runs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>


namespace {

constexpr uint32_t kLow24 = 0x00FFFFFFu;

uint32_t PixelAt(const uint8_t* row, int32_t col) {
    uint32_t p;
    std::memcpy(&p, row + 4 * ptrdiff_t{col}, 4);
    return p;
}

}  // namespace

void OpaqueRuns::Build(const DC_DESCRIPTOR& image) {
    width_ = 0;
    height_ = -1;
    key_ = -1;
    rowFirst_.clear();
    runs_.clear();
    if (image.colourKey == -1 || image.bitsPerPixel != 32 || image.pixels == nullptr ||
        (image.flags & kDescRowTable) != 0 || image.width < 0 || image.height < 0)
        return;
    const uint32_t key = static_cast<uint32_t>(image.colourKey) & kLow24;
    rowFirst_.reserve(static_cast<size_t>(image.height) + 1);
    for (int32_t row = 0; row < image.height; ++row) {
        rowFirst_.push_back(static_cast<uint32_t>(runs_.size()));
        const uint8_t* line = image.pixels + ptrdiff_t{row} * image.stride;
        int32_t col = 0;
        while (col < image.width) {
            while (col < image.width && (PixelAt(line, col) & kLow24) == key) ++col;
            if (col == image.width) break;
            const int32_t begin = col;
            while (col < image.width && (PixelAt(line, col) & kLow24) != key) ++col;
            runs_.push_back(Run{begin, col});
        }
    }
    rowFirst_.push_back(static_cast<uint32_t>(runs_.size()));
    width_ = image.width;
    height_ = image.height;
    key_ = image.colourKey;
}

bool OpaqueRuns::Fits(const DC_DESCRIPTOR& image) const {
    return image.width == width_ && image.height == height_ && image.colourKey == key_;
}

void OpaqueRuns::Copy(uint8_t* dst, int32_t dstStride, const DC_DESCRIPTOR& image, int32_t left, int32_t top,
                      int32_t w, int32_t h) const {
    // Locals: the byte stores below may alias anything, members would be reloaded per run.
    // Row addresses are computed afresh, never stepped past the last row.
    const Run* const runs = runs_.data();
    const uint32_t* const first = rowFirst_.data() + top;
    const uint8_t* const pixels = image.pixels + ptrdiff_t{top} * image.stride;
    const ptrdiff_t srcStride = image.stride;
    if (left == 0 && w == width_) {
        // Wholly inside the surface across: every run as it is.
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* const src = pixels + y * srcStride;
            uint8_t* const out = dst + ptrdiff_t{y} * dstStride;
            for (const Run *run = runs + first[y], *last = runs + first[y + 1]; run != last; ++run)
                std::memcpy(out + 4 * ptrdiff_t{run->begin}, src + 4 * ptrdiff_t{run->begin},
                            4 * static_cast<size_t>(run->end - run->begin));
        }
        return;
    }
    const int32_t right = left + w;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* const src = pixels + y * srcStride;
        uint8_t* const out = dst + ptrdiff_t{y} * dstStride;
        for (const Run *run = runs + first[y], *last = runs + first[y + 1]; run != last; ++run) {
            const int32_t begin = std::max(run->begin, left);
            const int32_t end = std::min(run->end, right);
            if (begin < end)
                std::memcpy(out + 4 * ptrdiff_t{begin - left}, src + 4 * ptrdiff_t{begin},
                            4 * static_cast<size_t>(end - begin));
        }
    }
}

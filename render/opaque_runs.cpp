#include "render/opaque_runs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t kLow24 = 0x00FFFFFFu;
constexpr ptrdiff_t kAhead = 6;  // runs

uint32_t PixelAt(const uint8_t* row, int32_t col) {
    uint32_t p;
    std::memcpy(&p, row + 4 * ptrdiff_t{col}, 4);
    return p;
}

ptrdiff_t SourceOffset(const DC_DESCRIPTOR& image, int32_t row, int32_t col) {
    return ptrdiff_t{row} * image.stride + 4 * ptrdiff_t{col};
}

}  // namespace

void OpaqueRuns::Build(const DC_DESCRIPTOR& image) {
    width_ = 0;
    height_ = -1;
    key_ = -1;
    pixels_ = nullptr;
    stride_ = 0;
    rowFirst_.clear();
    runs_.clear();
    if (image.colourKey == -1 || image.bitsPerPixel != 32 || image.pixels == nullptr ||
        (image.flags & kDescRowTable) != 0 || image.width < 0 || image.height < 0)
        return;
    const uint32_t key = static_cast<uint32_t>(image.colourKey) & kLow24;
    rowFirst_.reserve(static_cast<size_t>(image.height) + 1);
#if defined(__SSE2__)
    const __m128i low24 = _mm_set1_epi32(static_cast<int>(kLow24));
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
#endif
    for (int32_t row = 0; row < image.height; ++row) {
        rowFirst_.push_back(static_cast<uint32_t>(runs_.size()));
        const uint8_t* line = image.pixels + ptrdiff_t{row} * image.stride;
        bool inRun = false;
        int32_t begin = 0;
        // Pixels [col, col + count) with bit k of `isKey` set where pixel col + k is key.
        auto take = [&](int32_t col, int32_t count, uint32_t isKey) {
            for (int32_t k = 0; k < count; ++k) {
                const bool keyPixel = ((isKey >> k) & 1u) != 0;
                if (inRun && keyPixel) runs_.push_back(Run{row, begin, col + k, SourceOffset(image, row, begin)});
                if (!inRun && !keyPixel) begin = col + k;
                inRun = !keyPixel;
            }
        };
        int32_t col = 0;
#if defined(__SSE2__)
        // Four pixels at a time; only groups where a run starts or ends are looked into.
        for (; col + 4 <= image.width; col += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 4 * ptrdiff_t{col}));
            const uint32_t isKey = static_cast<uint32_t>(
                _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(p, low24), keys))));
            if (isKey != (inRun ? 0u : 15u)) take(col, 4, isKey);
        }
#endif
        for (; col < image.width; ++col) take(col, 1, (PixelAt(line, col) & kLow24) == key ? 1u : 0u);
        if (inRun) runs_.push_back(Run{row, begin, image.width, SourceOffset(image, row, begin)});
    }
    rowFirst_.push_back(static_cast<uint32_t>(runs_.size()));
    width_ = image.width;
    height_ = image.height;
    key_ = image.colourKey;
    pixels_ = image.pixels;
    stride_ = image.stride;
}

bool OpaqueRuns::Fits(const DC_DESCRIPTOR& image) const {
    return image.pixels == pixels_ && image.stride == stride_ && image.width == width_ && image.height == height_ &&
           image.colourKey == key_;
}

void OpaqueRuns::Copy(uint8_t* dst, int32_t dstStride, const DC_DESCRIPTOR& image, int32_t left, int32_t top,
                      int32_t w, int32_t h) const {
    // One flat loop over the runs of the visible rows: a branch per run, not per row.
    // Locals, since the byte stores below may alias anything. Addresses are computed
    // afresh for each run, never stepped past the last row.
    const Run* run = runs_.data() + rowFirst_[static_cast<size_t>(top)];
    const Run* const last = runs_.data() + rowFirst_[static_cast<size_t>(top) + static_cast<size_t>(h)];
    const uint8_t* const pixels = image.pixels;
    const ptrdiff_t srcStride = image.stride;
    if (left == 0 && w == width_) {
        // Wholly inside the surface across: every run as it is.
        for (; run != last; ++run) {
#if defined(__SSE2__)
            // Rows of the surface lie far apart: fetch a later run's first and last line
            // early, the processor does not follow strides that long on its own.
            if (last - run > kAhead) {
                const Run& later = run[kAhead];
                const uint8_t* p = dst + ptrdiff_t{later.row - top} * dstStride + 4 * ptrdiff_t{later.begin};
                _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(p + 4 * ptrdiff_t{later.end - later.begin} - 4), _MM_HINT_T0);
            }
#endif
            std::memcpy(dst + ptrdiff_t{run->row - top} * dstStride + 4 * ptrdiff_t{run->begin}, pixels + run->source,
                        4 * static_cast<size_t>(run->end - run->begin));
        }
        return;
    }
    const int32_t right = left + w;
    for (; run != last; ++run) {
        const int32_t begin = std::max(run->begin, left);
        const int32_t end = std::min(run->end, right);
        if (begin < end)
            std::memcpy(dst + ptrdiff_t{run->row - top} * dstStride + 4 * ptrdiff_t{begin - left},
                        pixels + ptrdiff_t{run->row} * srcStride + 4 * ptrdiff_t{begin},
                        4 * static_cast<size_t>(end - begin));
    }
}

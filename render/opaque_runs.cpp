#include "render/opaque_runs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t kLow24 = 0x00FFFFFFu;
constexpr int32_t kPackedColumns = 1 << 12;
constexpr int32_t kPackedRowStep = 255;  // a step of 255 marks the end
constexpr uint32_t kPackedEnd = 0xFF000000u;
// Rows of the surface lie far apart, further than the processor follows on its own: a
// long run fetches the lines of the row this far below early. Short runs gain nothing
// by it that would pay for the instructions.
constexpr ptrdiff_t kAheadRows = 6;
constexpr size_t kPrefetchBytes = 1024;

uint32_t Pack(int32_t begin, int32_t length, int32_t rowStep) {
    return static_cast<uint32_t>(begin) | static_cast<uint32_t>(length) << 12 | static_cast<uint32_t>(rowStep) << 24;
}

// The packed runs from `word` on, up to the end mark, `dstRow` and `srcRow` the rows of
// the first one. Kept apart, so that everything the loop needs stays in registers.
[[gnu::noinline]] void CopyPackedRuns(const uint32_t* word, uint8_t* dstRow, ptrdiff_t dstStride,
                                      const uint8_t* srcRow, ptrdiff_t srcStride);

// Copies one packed run, stepping the row pointers first.
inline void CopyPacked(uint32_t word, uint8_t*& dstRow, ptrdiff_t dstStride, const uint8_t*& srcRow,
                       ptrdiff_t srcStride) {
    const ptrdiff_t step = word >> 24;
    dstRow += step * dstStride;
    srcRow += step * srcStride;
    const ptrdiff_t begin = 4 * static_cast<ptrdiff_t>(word & 0xFFFu);
    const size_t bytes = 4 * size_t{(word >> 12) & 0xFFFu};
#if defined(__SSE2__)
    if (bytes >= kPrefetchBytes) {
        // As a number: the row below may lie past the surface, and a prefetch never faults.
        const uintptr_t below = reinterpret_cast<uintptr_t>(dstRow) + static_cast<uintptr_t>(kAheadRows * dstStride + begin);
        _mm_prefetch(reinterpret_cast<const char*>(below), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(below + bytes - 4), _MM_HINT_T0);
    }
#endif
    std::memcpy(dstRow + begin, srcRow + begin, bytes);
}

uint32_t PixelAt(const uint8_t* row, int32_t col) {
    uint32_t p;
    std::memcpy(&p, row + 4 * ptrdiff_t{col}, 4);
    return p;
}

ptrdiff_t SourceOffset(const DC_DESCRIPTOR& image, int32_t row, int32_t col) {
    return ptrdiff_t{row} * image.stride + 4 * ptrdiff_t{col};
}

[[gnu::noinline]] void CopyPackedRuns(const uint32_t* word, uint8_t* dstRow, ptrdiff_t dstStride,
                                      const uint8_t* srcRow, ptrdiff_t srcStride) {
    uint64_t pair;
    std::memcpy(&pair, word, 8);
    pair &= ~uint64_t{0xFF000000u};  // the rows are already where the first run starts
    for (;;) {
        if ((pair >> 24 & 0xFFu) == 0xFFu) return;
        CopyPacked(static_cast<uint32_t>(pair), dstRow, dstStride, srcRow, srcStride);
        if (pair >> 56 == 0xFFu) return;
        CopyPacked(static_cast<uint32_t>(pair >> 32), dstRow, dstStride, srcRow, srcStride);
        word += 2;
        std::memcpy(&pair, word, 8);
    }
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
    packed_.clear();
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
    if (image.width < kPackedColumns) {
        packed_.reserve(runs_.size() + 2);
        int32_t previous = runs_.empty() ? 0 : runs_.front().row;
        for (const Run& run : runs_) {
            if (run.row - previous >= kPackedRowStep) {
                packed_.clear();
                break;
            }
            packed_.push_back(Pack(run.begin, run.end - run.begin, run.row - previous));
            previous = run.row;
        }
        if (packed_.size() == runs_.size()) packed_.insert(packed_.end(), 2, kPackedEnd);
    }
    width_ = image.width;
    height_ = image.height;
    key_ = image.colourKey;
    pixels_ = image.pixels;
    stride_ = image.stride;
}

void OpaqueRuns::BuildLike(const OpaqueRuns& other, const DC_DESCRIPTOR& image) {
    *this = other;
    pixels_ = image.pixels;  // source offsets are relative to the image's pixels
}

bool OpaqueRuns::Fits(const DC_DESCRIPTOR& image) const {
    return image.pixels == pixels_ && image.stride == stride_ && image.width == width_ && image.height == height_ &&
           image.colourKey == key_;
}

void OpaqueRuns::Copy(uint8_t* dst, int32_t dstStride, const DC_DESCRIPTOR& image, int32_t left, int32_t top,
                      int32_t w, int32_t h) const {
    // One flat loop over the runs of the visible rows: a branch per run, not per row.
    // Locals, since the byte stores below may alias anything. Row pointers only ever
    // point at rows that have a run.
    const size_t first = rowFirst_[static_cast<size_t>(top)];
    const size_t last = rowFirst_[static_cast<size_t>(top) + static_cast<size_t>(h)];
    if (first == last) return;
    const uint8_t* const pixels = image.pixels;
    const ptrdiff_t srcStride = image.stride;
    const Run& start = runs_[first];
    if (left == 0 && w == width_ && top + h == height_ && !packed_.empty()) {
        // Not clipped across nor at the bottom. Every load between the stores of the runs
        // costs: it may wait behind a store to an address 4 KB apart that waits for its
        // line. So the runs are read as packed words, two at a load, and the end is a word
        // of its own: no bound to keep, and all that the loop needs stays in registers.
        uint8_t* dstRow = dst + ptrdiff_t{start.row - top} * dstStride;
        const uint8_t* srcRow = pixels + ptrdiff_t{start.row} * srcStride;
        CopyPackedRuns(packed_.data() + first, dstRow, dstStride, srcRow, srcStride);
        return;
    }
    const int32_t right = left + w;
    for (const Run* run = &start; run != runs_.data() + last; ++run) {
        const int32_t begin = std::max(run->begin, left);
        const int32_t end = std::min(run->end, right);
        if (begin < end)
            std::memcpy(dst + ptrdiff_t{run->row - top} * dstStride + 4 * ptrdiff_t{begin - left},
                        pixels + ptrdiff_t{run->row} * srcStride + 4 * ptrdiff_t{begin},
                        4 * static_cast<size_t>(end - begin));
    }
}

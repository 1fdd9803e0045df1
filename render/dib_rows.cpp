#include "render/dib_rows.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace {
constexpr size_t kAheadRows = 4;
}  // namespace

PixelRect CopyRowsBottomUp(const Graphics& surface, const PixelRect& rect, std::vector<uint32_t>& rows) {
    const PixelRect r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, surface.width),
                      std::min(rect.bottom, surface.height)};
    if (r.left >= r.right || r.top >= r.bottom || surface.pixels == nullptr) return PixelRect{0, 0, 0, 0};
    const size_t w = static_cast<size_t>(r.right - r.left);
    const size_t h = static_cast<size_t>(r.bottom - r.top);
    // Painting runs inside a window procedure: a buffer that cannot be had skips this
    // paint rather than ending the program.
    if (h > std::numeric_limits<size_t>::max() / 4 / w) return PixelRect{0, 0, 0, 0};
    try {
        rows.resize(w * h);
    } catch (const std::bad_alloc&) {
        return PixelRect{0, 0, 0, 0};
    } catch (const std::length_error&) {
        return PixelRect{0, 0, 0, 0};
    }
    // Rows of the surface lie width * 4 bytes apart: a plain 32-bit surface.
    const size_t surfaceRow = static_cast<size_t>(surface.width) * 4;
    for (size_t i = 0; i < h; ++i) {
        const uint8_t* src = surface.pixels + (static_cast<size_t>(r.bottom) - 1 - i) * surfaceRow +
                             static_cast<size_t>(r.left) * 4;
        // Each row is a new stream for the processor, a surface row above the last: by the
        // time it is reached its lines are on their way.
        if (i + kAheadRows < h) {
            const uint8_t* ahead = src - kAheadRows * surfaceRow;
            for (size_t b = 0; b < w * 4; b += 64) __builtin_prefetch(reinterpret_cast<const char*>(ahead + b), 0, 3);
            __builtin_prefetch(reinterpret_cast<const char*>(ahead + w * 4 - 1), 0, 3);
        }
        std::memcpy(&rows[i * w], src, w * 4);
    }
    return r;
}

// The bottom-up row copy that painting needs: the surface is stored top row first, the
// device-independent-bitmap call is given rows bottom-up.
#pragma once

#include <cstdint>
#include <vector>

#include "render/graphics.h"

struct PixelRect {
    int32_t left, top, right, bottom;  // right and bottom exclusive
};

// Intersects `rect` with the surface; when the intersection is not empty, fills `rows`
// with its pixels, last row first, and returns it. Returns an empty rectangle (and
// leaves `rows` alone) otherwise, and also when no buffer of that size can be had.
PixelRect CopyRowsBottomUp(const Graphics& surface, const PixelRect& rect, std::vector<uint32_t>& rows);

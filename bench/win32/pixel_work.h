// The saver's pixel work for one shape, built from the same library code as its window:
// the seven default shape images for a screen width, a screen-sized surface, the keyed
// stamp and the bottom-up row copy that its paint makes. Lets the benchmark measure that
// work apart, and emulate the window's loop with and without the row copy.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/motion.h"
#include "render/button_image_creator.h"
#include "render/graphics.h"

class PixelWork {
public:
    PixelWork(int32_t width, int32_t height);

    int32_t ImageSide() const { return side_; }
    // Advances the path one step and returns the next image rectangle; with `stamp`, the
    // next slot's image is stamped there.
    RECT Next(bool stamp);
    RECT StampNext() { return Next(true); }
    // The bottom-up copy of `rect` (clipped to the surface), as the saver's paint makes it;
    // returns the clipped rectangle, empty when nothing is left.
    RECT CopyRows(const RECT& rect);
    const std::vector<uint32_t>& Rows() const { return rows_; }
    const Graphics& Surface() const { return *surface_; }

private:
    MotionPath path_;
    float cbStep_;
    float csStep_;
    int32_t side_ = 0;
    int slot_ = 0;
    std::vector<std::unique_ptr<ButtonImageCreator>> images_;
    std::unique_ptr<Graphics> surface_;
    std::vector<uint32_t> rows_;
};

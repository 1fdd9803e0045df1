// Exact read-back of what the screen shows: the whole screen copied into a 32-bit
// top-down DIB section, one 0x00RRGGBB value per pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Screenshot {
public:
    static Screenshot Capture();

    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    bool SameAs(const Screenshot& other) const { return pixels_ == other.pixels_; }
    // Writes the picture as a 24-bit BMP file; false when that fails.
    bool SaveBmp(const std::wstring& path) const;
    // Count of pixels that are not black.
    size_t LitPixels() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// Exact read-back of the screen (GetDC + BitBlt into a 32-bit top-down DIB section, one
// 0x00RRGGBB value per pixel), the one poll of the screen, and the pictures the
// project's own shape image code makes for given parameters.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "render/shape_shading.h"

class Saver;

class Screenshot {
public:
    static Screenshot Capture();
    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ ? pixels_[static_cast<size_t>(y) * width_ + x] : 0;
    }
    std::vector<uint32_t> Area(const RECT& screen) const; bool SaveBmp(const std::wstring& path) const;

private:
    int width_ = 0, height_ = 0; std::vector<uint32_t> pixels_;
};
RECT WholeScreen(); RECT ClientOnScreen(HWND window);

// Captures the screen until `wrong` has nothing to report (it returns "" when the screen
// is as wanted), failing with its last report at the deadline or when `saver` ends.
Screenshot PollScreen(Saver* saver, const std::string& what, const std::function<std::string(const Screenshot&)>& wrong,
                      DWORD intervalMs = 20);

// Shape parameters with the fixed highlight (white) and light intensity (0.6).
ShapeImageParams Look(float lightX, float lightY, float lightZ, uint32_t packedColour, float ambient, float mirror,
                      int32_t phong, int32_t shape, int32_t outerSize, int32_t innerSize);
// "" when `area` of the screen shows exactly the image of `look` with its top-left
// corner at `corner` on black; else the count and the first differing pixels.
std::string ImageDiff(const Screenshot& shot, const RECT& area, const ShapeImageParams& look, POINT corner);

// What a picture drawn from absurd values must look like in `area`.
enum class Rule {
    Black,        // nothing appears, looked at across many frame bursts
    Any,          // something is drawn
    DarkestGrey,  // every channel not a number or beyond the integers: every lit pixel 010101
    LowBytes,     // colour 0xFF123456: red >= green >= blue through any shading
    ThreeHues,    // pure red, green and blue shapes all appear
    Answers,      // the saver only has to keep answering
};
void ExpectPicture(Saver& saver, HWND window, const RECT& area, Rule rule, const std::string& what);

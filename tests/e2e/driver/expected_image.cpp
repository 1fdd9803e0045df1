#include "expected_image.h"

#include <algorithm>
#include <cmath>

#include "check.h"
#include "render/button_image_creator.h"
#include "screen.h"

double ScaleFor(int screenWidth) { return (screenWidth & ~1) / 640.0; }

ShapeLook LookOf(const Profile& p, int slot) {
    return ShapeLook{ThroughText(p.angleX), ThroughText(p.angleY), ThroughText(p.angleZ), ThroughText(p.ambient),
                     ThroughText(p.mirror), p.shape, p.size1, p.size2, p.phong, p.color[slot] & 0x00FFFFFFu};
}

ShapeLook LookOf(const PresetRecord& r, int slot) {
    return ShapeLook{r.angleX, r.angleY, r.angleZ, r.ambient, r.mirror, r.shape,
                     r.size1,  r.size2,  r.phong,  r.color[slot] & 0x00FFFFFFu};
}

ExpectedStamp ExpectedStillStamp(const ShapeLook& look, int screenWidth, int screenHeight) {
    const int width = screenWidth & ~1;
    const int height = screenHeight & ~1;
    const double scale = ScaleFor(screenWidth);

    // Sizes scale with the screen width; a torus orders its two sizes and keeps its tube
    // at least two pixels wide, a sphere uses them as given.
    const bool sphere = look.shape == 0;
    const int32_t outerValue = sphere ? look.size1 : std::max(look.size1, look.size2);
    const int32_t innerValue = sphere ? look.size2 : std::min(look.size1, look.size2);
    int32_t outerSize = static_cast<int32_t>(static_cast<float>(outerValue) * scale);
    const int32_t innerSize = static_cast<int32_t>(static_cast<float>(innerValue) * scale);
    if (!sphere && outerSize < innerSize + 2) outerSize = innerSize + 2;

    ShapeImageParams params = {};
    params.lightX = look.angleX;
    params.lightY = look.angleY;
    params.lightZ = look.angleZ;
    params.colour = look.colour;
    params.highlightColour = 0x00FFFFFF;
    params.ambient = look.ambient;
    params.mirror = look.mirror;
    params.lightIntensity = 0.6f;
    params.phongPower = look.phong;
    params.outerSize = outerSize;
    params.shape = look.shape;
    params.innerSize = innerSize;
    ButtonImageCreator creator(params);
    const Image& image = creator.GetImage();

    ExpectedStamp stamp;
    stamp.side = image.descriptor.width;
    Expect(stamp.side == 2 * outerSize + 3 && image.descriptor.height == stamp.side,
           "the image code made an image of an unexpected size");
    stamp.pixels.resize(static_cast<size_t>(stamp.side) * stamp.side);
    for (int row = 0; row < stamp.side; ++row) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.descriptor.pixels + row * image.descriptor.stride);
        for (int col = 0; col < stamp.side; ++col) stamp.pixels[static_cast<size_t>(row) * stamp.side + col] = line[col];
    }

    // Both angles stay 0: the radius is base + swing = 260 * scale, straight to the right.
    const double radius = scale * 160.0 + scale * 100.0 * std::cos(0.0);
    const int h = stamp.side / 2;
    stamp.x = static_cast<int>(radius * std::cos(0.0) + 0.5) + width / 2 - h;
    stamp.y = static_cast<int>(radius * std::sin(0.0) + 0.5) + height / 2 - h;
    return stamp;
}

std::string CompareWithScreen(const ExpectedStamp& stamp, const Screenshot& shot) {
    size_t wrong = 0;
    std::string first;
    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) {
            const int col = x - stamp.x;
            const int row = y - stamp.y;
            const bool inside = col >= 0 && row >= 0 && col < stamp.side && row < stamp.side;
            // Transparent image pixels leave the black background.
            const uint32_t want = inside ? stamp.At(col, row) : 0;
            const uint32_t got = shot.At(x, y);
            if (got == want) continue;
            if (++wrong <= 3)
                first += Format(" (%d,%d) is %06x, expected %06x%s;", x, y, got, want, inside ? "" : " (outside the image)");
        }
    }
    if (wrong == 0) return {};
    return Format("%zu pixels differ:", wrong) + first;
}

// Shading of one sphere, cone or torus lit by one directional light: a diffuse term, an
// ambient term and a Phong highlight. The shading depends on everything but the colour,
// so it is computed once and coloured as often as needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class ShapeKind : int32_t { Sphere = 0, Cone = 1, Torus = 2 };

// The fourteen-word parameter block a shape image is rendered from.
struct ShapeImageParams {
    float lightX;
    float lightY;
    float lightZ;
    uint32_t colour;           // 0x00BBGGRR
    uint32_t highlightColour;  // 0x00BBGGRR
    float ambient;
    float mirror;
    float lightIntensity;
    int32_t phongPower;  // the exponent used is 2P - 1
    int32_t outerSize;   // radius R; the image side is 2R + 3
    int32_t shape;       // ShapeKind; other values render nothing
    int32_t innerSize;   // sphere and cone: depth ratio numerator; torus: inner radius
    int32_t offsetX;
    int32_t offsetY;
};
static_assert(sizeof(ShapeImageParams) == 56, "fourteen 32-bit words");

// Largest radius an image is made for: side 2051, 16 MiB of pixels. Every slider value
// fits up to 8K screens; larger stored sizes are absurd and get no image.
constexpr int32_t kMaxOuterSize = 1024;

// Radii from -1 (a 1 x 1 image) to kMaxOuterSize give an image.
inline bool ShapeImageSizeSupported(int64_t outerSize) { return outerSize >= -1 && outerSize <= kMaxOuterSize; }

// Per pixel of a width x height image: whether the shape covers it, and its highlight
// and diffuse factors.
struct ShapeShading {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> covered;
    std::vector<float> specular;
    std::vector<float> diffuse;
};

// Computes the shading of the shape described by `p` (its colours are not used) for an
// image of the given size; the caller bounds the size.
void ComputeShading(const ShapeImageParams& p, int32_t width, int32_t height, ShapeShading& out);

// Colours `shading` in each of `count` colours in one pass: outputs[k] (top row first,
// `width` pixels a row) gets every pixel, the covered ones in colours[k] by the lighting
// rule (0x00RRGGBB), the others 0, the colour key of shape images.
void ColourShading(const ShapeShading& shading, const uint32_t* colours, size_t count, uint32_t highlightColour,
                   uint32_t* const* outputs);

// Both steps in one: the renderer for a single image; writes every pixel.
void renderShape(uint32_t* pixels, int32_t width, int32_t height, const ShapeImageParams& p);

#include "render/shape_shading.h"

#include <cmath>

#include "engine/numeric.h"

namespace {

constexpr float kTiny = 1e-30f;

// Square roots in double precision, stored back as floats.
float Sqrt(float v) { return static_cast<float>(std::sqrt(static_cast<double>(v))); }
float SqrtOrZero(float v) { return v > kTiny ? Sqrt(v) : 0.0f; }

struct Vec3 {
    float x, y, z;
};

float Length(const Vec3& v) { return SqrtOrZero(v.x * v.x + v.y * v.y + v.z * v.z); }

// Divides by the length; a zero length gives infinities and not-a-numbers, as IEEE says.
Vec3 Normalised(const Vec3& v) {
    const float inv = 1.0f / Length(v);
    return Vec3{v.x * inv, v.y * inv, v.z * inv};
}

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// rz raised to 2P - 1 by repeated multiplication, for every power the slider offers
// and some to spare. Larger stored powers switch to square-and-multiply, which reaches
// the same limits (0, 1 or overflow) in a few dozen steps: thousands of steps per pixel,
// most of them on subnormal values, froze the saver for minutes on a large image.
float PhongTerm(float rz, int32_t phongPower) {
    const int64_t exponent = 2 * int64_t{phongPower} - 1;
    if (exponent <= 1) return rz;
    constexpr int64_t kRepeatedLimit = 63;
    if (exponent <= kRepeatedLimit) {
        float p = rz;
        for (int64_t i = 1; i < exponent; ++i) p *= rz;
        return p;
    }
    float result = 1.0f;
    float base = rz;
    for (int64_t e = exponent; e != 0; e >>= 1) {
        if (e & 1) result *= base;
        base *= base;
    }
    return result;
}

struct Light {
    Vec3 dir;      // normalised
    float length;  // |dir| recomputed from the normalised vector
};

Light MakeLight(const ShapeImageParams& p) {
    const float len2 = p.lightZ * p.lightZ + p.lightY * p.lightY + p.lightX * p.lightX;
    const float len = len2 > kTiny ? Sqrt(len2) : 0.0f;
    const float inv = 1.0f / len;
    const Vec3 dir{p.lightX * inv, p.lightY * inv, p.lightZ * inv};
    return Light{dir, Length(dir)};
}

// The surface normal at (x, y) with r2 = x² + y² < 1, or false where the shape leaves the
// pixel transparent. `cosine` is -(N · L), divided by the lengths where the shape says so.
bool SurfacePoint(const ShapeImageParams& p, const Light& light, float x, float y, float r2, float s, Vec3& n,
                  float& cosine) {
    switch (static_cast<ShapeKind>(p.shape)) {
        case ShapeKind::Sphere: {
            const float k = static_cast<float>(p.innerSize) / static_cast<float>(p.outerSize);
            const float z0 = SqrtOrZero(1.0f - r2);
            n = Normalised(Vec3{x, y, z0 / (k * k)});
            cosine = -Dot(n, light.dir);
            return true;
        }
        case ShapeKind::Cone: {
            const float k = static_cast<float>(p.innerSize) / static_cast<float>(p.outerSize);
            n = Normalised(Vec3{x, y, SqrtOrZero(r2) / (k * k)});
            cosine = -Dot(n, light.dir) / (Length(n) * light.length);
            return true;
        }
        case ShapeKind::Torus: {
            const float a = static_cast<float>(int64_t{p.innerSize} + 1) / static_cast<float>(int64_t{p.outerSize} + 1);
            const float b = 1.0f - a;
            const float r = SqrtOrZero(r2);
            if (!(a - b + s < r)) return false;
            const float t = (r - a) / r;
            const float am = a - r;
            n = Normalised(Vec3{x * t, y * t, SqrtOrZero(b * b - am * am)});
            cosine = -Dot(n, light.dir) / (Length(n) * light.length);
            return true;
        }
    }
    return false;
}

// Channel value of the lighting rule: truncated toward zero, then clamped to 1..255.
uint32_t Channel(float specular, float highlight, float diffuse, float colour) {
    const int32_t q = TruncateToInt32(specular * highlight + diffuse * colour);
    return static_cast<uint32_t>(q < 1 ? 1 : (q > 255 ? 255 : q));
}

}  // namespace

void ComputeShading(const ShapeImageParams& p, int32_t width, int32_t height, ShapeShading& out) {
    out.width = width;
    out.height = height;
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    out.covered.assign(n, 0);
    out.specular.assign(n, 0.0f);
    out.diffuse.assign(n, 0.0f);
    if (p.shape < 0 || p.shape > 2) return;  // unknown shapes stay fully transparent

    const Light light = MakeLight(p);
    const float s = 1.0f / static_cast<float>(int64_t{p.outerSize} + 1);
    for (int32_t row = 0; row < height; ++row) {
        const float y = static_cast<float>(int64_t{row} - height / 2 - p.offsetY) * s;
        for (int32_t col = 0; col < width; ++col) {
            const float x = static_cast<float>(int64_t{col} - width / 2 - p.offsetX) * s;
            const float r2 = x * x + y * y;
            if (!(r2 < 1.0f)) continue;
            Vec3 normal;
            float d;
            if (!SurfacePoint(p, light, x, y, r2, s, normal, d)) continue;
            float specular = 0.0f;
            if (d > 0.0f) {
                const float rz = 2.0f * d * normal.z + light.dir.z;
                if (rz > 0.0f) specular = p.mirror * PhongTerm(rz, p.phongPower) * p.lightIntensity;
            }
            const size_t i = static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col);
            out.covered[i] = 1;
            out.specular[i] = specular;
            out.diffuse[i] = d * p.lightIntensity + p.ambient;
        }
    }
}

void ColourShading(const ShapeShading& shading, uint32_t colour, uint32_t highlightColour, uint32_t* pixels) {
    const float c[3] = {static_cast<float>(colour & 255u), static_cast<float>((colour >> 8) & 255u),
                        static_cast<float>((colour >> 16) & 255u)};
    const float h[3] = {static_cast<float>(highlightColour & 255u), static_cast<float>((highlightColour >> 8) & 255u),
                        static_cast<float>((highlightColour >> 16) & 255u)};
    const size_t n = shading.covered.size();
    for (size_t i = 0; i < n; ++i) {
        if (!shading.covered[i]) continue;
        const float specular = shading.specular[i];
        const float diffuse = shading.diffuse[i];
        // The colour's red lands in bits 16-23: the pixel is 0x00RRGGBB.
        pixels[i] = Channel(specular, h[0], diffuse, c[0]) << 16 | Channel(specular, h[1], diffuse, c[1]) << 8 |
                    Channel(specular, h[2], diffuse, c[2]);
    }
}

void renderShape(uint32_t* pixels, int32_t width, int32_t height, const ShapeImageParams& p) {
    ShapeShading shading;
    ComputeShading(p, width, height, shading);
    ColourShading(shading, p.colour, p.highlightColour, pixels);
}

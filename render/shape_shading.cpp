#include "render/shape_shading.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The channel factors of one output colour, with the highlight's.
struct OutputColour {
    float c[3];
    float h[3];
};

OutputColour MakeOutputColour(uint32_t colour, uint32_t highlightColour) {
    return OutputColour{{static_cast<float>(colour & 255u), static_cast<float>((colour >> 8) & 255u),
                         static_cast<float>((colour >> 16) & 255u)},
                        {static_cast<float>(highlightColour & 255u), static_cast<float>((highlightColour >> 8) & 255u),
                         static_cast<float>((highlightColour >> 16) & 255u)}};
}

// The lighting rule of one pixel; the colour's red lands in bits 16-23: 0x00RRGGBB.
uint32_t ColourPixel(float specular, float diffuse, const OutputColour& o) {
    return Channel(specular, o.h[0], diffuse, o.c[0]) << 16 | Channel(specular, o.h[1], diffuse, o.c[1]) << 8 |
           Channel(specular, o.h[2], diffuse, o.c[2]);
}

#if defined(__SSE2__)
constexpr size_t kColourBatch = 7;

// Pixels [0, n - n % 8) of ColourShading for at most kColourBatch outputs; returns how
// many it did. Eight pixels at a time are read from the shading once and written to
// every output. The outputs share the highlight and often channel values (0, 255, ...):
// each distinct highlight product and each distinct pair of highlight and colour channel
// is computed once, as bytes, and interleaved into the pixels of every output using it.
size_t ColourShadingSse2(const ShapeShading& shading, const std::vector<OutputColour>& colours,
                         uint32_t* const* outputs) {
    const size_t n = shading.covered.size() & ~size_t{7};
    const size_t count = colours.size();
    std::vector<float> highlights;                     // the distinct highlight channels
    std::vector<size_t> pairHighlight;                 // pair j: its highlight
    std::vector<float> channel;                        // pair j: its colour channel
    std::vector<size_t> use(3 * count);                // output k, channel i: its pair
    for (size_t k = 0; k < count; ++k)
        for (int i = 0; i < 3; ++i) {
            const float h = colours[k].h[i], c = colours[k].c[i];
            size_t hi = 0;
            while (hi < highlights.size() && highlights[hi] != h) ++hi;
            if (hi == highlights.size()) highlights.push_back(h);
            size_t j = 0;
            while (j < channel.size() && !(pairHighlight[j] == hi && channel[j] == c)) ++j;
            if (j == channel.size()) {
                pairHighlight.push_back(hi);
                channel.push_back(c);
            }
            use[3 * k + static_cast<size_t>(i)] = j;
        }
    const size_t pairs = channel.size();
    // At most three highlight channels and 3 * kColourBatch pairs.
    __m128 products[2 * 3];
    __m128i bytes[3 * kColourBatch];     // eight channel bytes in the low half, the key where uncovered
    __m128i widened[3 * kColourBatch];   // the same as 16-bit values, for the red byte and the zero above it
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi8(1);
    for (size_t i = 0; i < n; i += 8) {
        uint64_t covered8;
        std::memcpy(&covered8, &shading.covered[i], 8);
        if (covered8 == 0) {
            for (size_t k = 0; k < count; ++k) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outputs[k] + i), zero);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outputs[k] + i + 4), zero);
            }
            continue;
        }
        const __m128 s0 = _mm_loadu_ps(&shading.specular[i]);
        const __m128 s1 = _mm_loadu_ps(&shading.specular[i + 4]);
        const __m128 d0 = _mm_loadu_ps(&shading.diffuse[i]);
        const __m128 d1 = _mm_loadu_ps(&shading.diffuse[i + 4]);
        for (size_t h = 0; h < highlights.size(); ++h) {
            products[2 * h] = _mm_mul_ps(s0, _mm_set1_ps(highlights[h]));
            products[2 * h + 1] = _mm_mul_ps(s1, _mm_set1_ps(highlights[h]));
        }
        // Uncovered pixels get the key, 0, in every channel.
        const __m128i uncovered =
            _mm_cmpeq_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&shading.covered[i])), zero);
        for (size_t j = 0; j < pairs; ++j) {
            // The same float operations in the same order as Channel; cvttps2dq gives the
            // most negative int for not-a-number and out-of-range values, as
            // TruncateToInt32 does. Saturating packs clamp to 0..255, the byte maximum
            // lifts 0 to 1.
            const __m128 c = _mm_set1_ps(channel[j]);
            const size_t h = pairHighlight[j];
            const __m128i q0 = _mm_cvttps_epi32(_mm_add_ps(products[2 * h], _mm_mul_ps(d0, c)));
            const __m128i q1 = _mm_cvttps_epi32(_mm_add_ps(products[2 * h + 1], _mm_mul_ps(d1, c)));
            bytes[j] = _mm_andnot_si128(uncovered, _mm_max_epu8(_mm_packus_epi16(_mm_packs_epi32(q0, q1), zero), one));
            widened[j] = _mm_unpacklo_epi8(bytes[j], zero);
        }
        for (size_t k = 0; k < count; ++k) {
            // Blue, green, red, zero from the low address up: 0x00RRGGBB.
            const __m128i blueGreen = _mm_unpacklo_epi8(bytes[use[3 * k + 2]], bytes[use[3 * k + 1]]);
            const __m128i red = widened[use[3 * k]];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(outputs[k] + i), _mm_unpacklo_epi16(blueGreen, red));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(outputs[k] + i + 4), _mm_unpackhi_epi16(blueGreen, red));
        }
    }
    return n;
}
#endif

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

void ColourShading(const ShapeShading& shading, const uint32_t* colours, size_t count, uint32_t highlightColour,
                   uint32_t* const* outputs) {
    std::vector<OutputColour> factors;
    factors.reserve(count);
    for (size_t k = 0; k < count; ++k) factors.push_back(MakeOutputColour(colours[k], highlightColour));
    const size_t n = shading.covered.size();
    size_t i = 0;
#if defined(__SSE2__)
    for (size_t k = 0; k < count; k += kColourBatch) {
        const size_t batch = std::min(kColourBatch, count - k);
        i = ColourShadingSse2(shading, std::vector<OutputColour>(factors.begin() + k, factors.begin() + k + batch),
                              outputs + k);
    }
#endif
    for (; i < n; ++i)
        for (size_t k = 0; k < count; ++k)
            outputs[k][i] = shading.covered[i] ? ColourPixel(shading.specular[i], shading.diffuse[i], factors[k]) : 0;
}

void renderShape(uint32_t* pixels, int32_t width, int32_t height, const ShapeImageParams& p) {
    ShapeShading shading;
    ComputeShading(p, width, height, shading);
    ColourShading(shading, &p.colour, 1, p.highlightColour, &pixels);
}

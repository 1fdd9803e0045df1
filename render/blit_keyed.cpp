#include "render/blit_keyed.h"

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define TINDLBRG_HAVE_SSE2 1
#endif

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__)) && \
    defined(TINDLBRG_HAVE_SSE2)
#include <immintrin.h>
#define TINDLBRG_HAVE_AVX2 1
#endif

namespace {

constexpr uint32_t kLow24 = 0x00FFFFFFu;

void KeyedRowPortable(uint8_t* dst, const uint8_t* src, int32_t width, uint32_t key) {
    for (int32_t col = 0; col < width; ++col) {
        uint32_t p;
        std::memcpy(&p, src + 4 * col, 4);
        if ((p & kLow24) != key) std::memcpy(dst + 4 * col, &p, 4);
    }
}

void BlitKeyedPortable(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width,
                       int32_t height, uint32_t key) {
    key &= kLow24;
    for (int32_t row = 0; row < height; ++row)
        KeyedRowPortable(dst + ptrdiff_t{row} * dstStride, src + ptrdiff_t{row} * srcStride, width, key);
}

// The vector rows below work on whole vectors of pixels. Where a vector mixes key and
// other pixels they read the destination, keep it under the key pixels, take the source
// elsewhere and store the whole vector: rewriting a kept pixel with its own value leaves it
// as it was, so every pixel ends up as the portable loop leaves it. Shape images have long
// runs of one kind, so they test a group of vectors at once: all key (outside the shape)
// means nothing to write, no key (inside) means a plain store without reading the surface.
//
// A row that is not a whole number of vectors ends with one more vector flush with the
// row's end, overlapping the last full one. It is computed before the row's stores, from
// the untouched destination, so both stores agree on the shared pixels and no load waits
// for a store that it partly overlaps.

#ifdef TINDLBRG_HAVE_SSE2

// The surface is large and mostly out of the inner caches, and rows of a small image are
// too short for the processor's own prefetcher to follow from one row to the next: ask for
// the start of the next row early. Along a long row the hardware takes over.
inline void PrefetchRowStart(const uint8_t* row, int32_t width) {
    const ptrdiff_t bytes = 4 * ptrdiff_t{width} < 256 ? 4 * ptrdiff_t{width} : 256;
    for (ptrdiff_t i = 0; i < bytes; i += 64) _mm_prefetch(reinterpret_cast<const char*>(row + i), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(row + bytes - 1), _MM_HINT_T0);
}

inline __m128i Load4(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store4(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

inline __m128i IsKey4(__m128i s, __m128i low24, __m128i key) { return _mm_cmpeq_epi32(_mm_and_si128(s, low24), key); }

inline __m128i Select4(const uint8_t* src, const uint8_t* dst, __m128i low24, __m128i key) {
    const __m128i s = Load4(src);
    const __m128i isKey = IsKey4(s, low24, key);
    return _mm_or_si128(_mm_and_si128(isKey, Load4(dst)), _mm_andnot_si128(isKey, s));
}

// Rows of at least 4 pixels; 8 pixels a step.
inline void KeyedRowSse2(uint8_t* dst, const uint8_t* src, int32_t width, __m128i low24, __m128i key) {
    const ptrdiff_t last = 4 * (ptrdiff_t{width} - 4);
    const __m128i tail = Select4(src + last, dst + last, low24, key);
    ptrdiff_t i = 0;
    for (; i + 16 < last; i += 32) {
        __m128i s0 = Load4(src + i);
        __m128i s1 = Load4(src + i + 16);
        const __m128i k0 = IsKey4(s0, low24, key);
        const __m128i k1 = IsKey4(s1, low24, key);
        const int keyBytes = _mm_movemask_epi8(_mm_packs_epi32(k0, k1));
        if (keyBytes == 0xFFFF) continue;
        if (keyBytes != 0) {
            s0 = _mm_or_si128(_mm_and_si128(k0, Load4(dst + i)), _mm_andnot_si128(k0, s0));
            s1 = _mm_or_si128(_mm_and_si128(k1, Load4(dst + i + 16)), _mm_andnot_si128(k1, s1));
        }
        Store4(dst + i, s0);
        Store4(dst + i + 16, s1);
    }
    for (; i < last; i += 16) Store4(dst + i, Select4(src + i, dst + i, low24, key));
    Store4(dst + last, tail);
}

void BlitKeyedSse2(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width,
                   int32_t height, uint32_t key) {
    if (width < 1) return;
    key &= kLow24;
    const __m128i low24 = _mm_set1_epi32(static_cast<int>(kLow24));
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
    // Row addresses are computed afresh, never stepped past the last row.
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* d = dst + ptrdiff_t{row} * dstStride;
        const uint8_t* s = src + ptrdiff_t{row} * srcStride;
        if (row + 1 < height) PrefetchRowStart(d + dstStride, width);
        if (width >= 4)
            KeyedRowSse2(d, s, width, low24, keys);
        else
            KeyedRowPortable(d, s, width, key);
    }
}

#endif  // TINDLBRG_HAVE_SSE2

#ifdef TINDLBRG_HAVE_AVX2

#define TINDLBRG_AVX2 __attribute__((target("avx2")))

TINDLBRG_AVX2 inline __m256i Load8(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
TINDLBRG_AVX2 inline void Store8(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

TINDLBRG_AVX2 inline __m256i IsKey8(__m256i s, __m256i low24, __m256i key) {
    return _mm256_cmpeq_epi32(_mm256_and_si256(s, low24), key);
}

TINDLBRG_AVX2 inline __m256i Select8(const uint8_t* src, const uint8_t* dst, __m256i low24, __m256i key) {
    const __m256i s = Load8(src);
    return _mm256_blendv_epi8(s, Load8(dst), IsKey8(s, low24, key));
}

// Rows of at least 8 pixels; 16 pixels a step.
TINDLBRG_AVX2 inline void KeyedRowAvx2(uint8_t* dst, const uint8_t* src, int32_t width, __m256i low24, __m256i key) {
    const ptrdiff_t last = 4 * (ptrdiff_t{width} - 8);
    const __m256i tail = Select8(src + last, dst + last, low24, key);
    ptrdiff_t i = 0;
    for (; i + 32 < last; i += 64) {
        __m256i s0 = Load8(src + i);
        __m256i s1 = Load8(src + i + 32);
        const __m256i k0 = IsKey8(s0, low24, key);
        const __m256i k1 = IsKey8(s1, low24, key);
        // The pack interleaves the two vectors' lanes; only all or none matters here.
        const int keyBytes = _mm256_movemask_epi8(_mm256_packs_epi32(k0, k1));
        if (keyBytes == -1) continue;
        if (keyBytes != 0) {
            s0 = _mm256_blendv_epi8(s0, Load8(dst + i), k0);
            s1 = _mm256_blendv_epi8(s1, Load8(dst + i + 32), k1);
        }
        Store8(dst + i, s0);
        Store8(dst + i + 32, s1);
    }
    for (; i < last; i += 32) Store8(dst + i, Select8(src + i, dst + i, low24, key));
    Store8(dst + last, tail);
}

TINDLBRG_AVX2 void BlitKeyedAvx2(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width,
                                 int32_t height, uint32_t key) {
    if (width < 1) return;
    key &= kLow24;
    const __m256i low24 = _mm256_set1_epi32(static_cast<int>(kLow24));
    const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* d = dst + ptrdiff_t{row} * dstStride;
        const uint8_t* s = src + ptrdiff_t{row} * srcStride;
        if (row + 1 < height) PrefetchRowStart(d + dstStride, width);
        if (width >= 8)
            KeyedRowAvx2(d, s, width, low24, keys);
        else if (width >= 4)
            KeyedRowSse2(d, s, width, _mm256_castsi256_si128(low24), _mm256_castsi256_si128(keys));
        else
            KeyedRowPortable(d, s, width, key);
    }
}

#undef TINDLBRG_AVX2

#endif  // TINDLBRG_HAVE_AVX2

}  // namespace

bool cpuHasAvx2() {
#ifdef TINDLBRG_HAVE_AVX2
    // Also checks that the operating system saves the wide registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

std::vector<KeyedBlitVariant> keyedBlitVariants() {
    std::vector<KeyedBlitVariant> out{{"portable", BlitKeyedPortable}};
#ifdef TINDLBRG_HAVE_SSE2
    out.push_back({"sse2", BlitKeyedSse2});
#endif
#ifdef TINDLBRG_HAVE_AVX2
    if (cpuHasAvx2()) out.push_back({"avx2", BlitKeyedAvx2});
#endif
    return out;
}

KeyedBlitFn selectedKeyedBlit() {
    static const KeyedBlitFn chosen = keyedBlitVariants().back().fn;
    return chosen;
}

// The colour-keyed row copy that stamps shape images, in several builds of one routine:
// a portable loop, SSE2 (the x86 baseline) and AVX2 (taken at run time where the
// processor has it). All of them write exactly the same pixels.
//
// For 32-bit pixels: a source pixel whose low 24 bits equal the key's low 24 bits is
// skipped; every other pixel is written whole, top byte included. Source and destination
// each advance by their own stride (bytes) from row to row; they must not overlap.
#pragma once

#include <cstdint>
#include <vector>

using KeyedBlitFn = void (*)(uint8_t* dst, int32_t dstStride, const uint8_t* src, int32_t srcStride, int32_t width,
                             int32_t height, uint32_t key);

struct KeyedBlitVariant {
    const char* name;  // "portable", "sse2", "avx2"
    KeyedBlitFn fn;
};

// The variants this build contains and this processor can run, the portable loop first
// and the one blitKeyed uses last.
std::vector<KeyedBlitVariant> keyedBlitVariants();

// The variant blitKeyed uses, chosen once on first use.
KeyedBlitFn selectedKeyedBlit();

// Whether the processor (and the operating system) can run AVX2 code.
bool cpuHasAvx2();

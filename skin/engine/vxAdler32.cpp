#include "skin/engine/vxAdler32.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr uint32_t kBase = 65521;
// The most bytes after which s2 still fits 32 bits before it is reduced.
constexpr size_t kMaxRun = 5552;

void AddBytes(uint32_t& s1, uint32_t& s2, const uint8_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        s1 += p[i];
        s2 += s1;
    }
}

#if defined(__SSE2__)
uint32_t SumLanes(__m128i v)
{
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(v));
}

// blocks x 16 bytes (at most kMaxRun / 16 blocks) into the sums, not yet reduced. For N bytes:
// s1 += sum d_i, s2 += N x s1 + sum (N - i) d_i, where the weights are taken as 16 x (blocks
// after the byte's block) + (16 - position in the block).
void AddBlocks(uint32_t& s1, uint32_t& s2, const uint8_t* p, size_t blocks)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    __m128i sum = zero, sumBefore = zero, weighted = zero;
    for (size_t k = 0; k < blocks; ++k, p += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        sumBefore = _mm_add_epi32(sumBefore, sum);
        sum = _mm_add_epi32(sum, _mm_sad_epu8(v, zero));
        weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weightsLow));
        weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weightsHigh));
    }
    uint64_t n = blocks * 16;
    uint64_t a = s1, b = s2;
    b += n * a + 16 * static_cast<uint64_t>(SumLanes(sumBefore)) + SumLanes(weighted);
    a += SumLanes(sum);
    s1 = static_cast<uint32_t>(a % kBase);
    s2 = static_cast<uint32_t>(b % kBase);
}
#endif
} // namespace

uint32_t UpdateAdler32(uint32_t adler, const void* data, size_t size)
{
    uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        size_t n = size < kMaxRun ? size : kMaxRun;
#if defined(__SSE2__)
        size_t blocks = n / 16;
        AddBlocks(s1, s2, p, blocks);
        AddBytes(s1, s2, p + blocks * 16, n - blocks * 16);
#else
        AddBytes(s1, s2, p, n);
#endif
        s1 %= kBase;
        s2 %= kBase;
        p += n;
        size -= n;
    }
    return s2 << 16 | s1;
}

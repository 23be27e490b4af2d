#include "skin/engine/vxPNGFilters.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
template <int Bpp> void UnfilterSub(uint8_t* row, size_t size)
{
    for (size_t i = Bpp; i < size; ++i)
        row[i] = static_cast<uint8_t>(row[i] + row[i - Bpp]);
}

void UnfilterUp(uint8_t* row, const uint8_t* prior, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        row[i] = static_cast<uint8_t>(row[i] + prior[i]);
}

template <int Bpp> void UnfilterAverage(uint8_t* row, const uint8_t* prior, size_t size)
{
    size_t first = size < Bpp ? size : Bpp;
    for (size_t i = 0; i < first; ++i)
        row[i] = static_cast<uint8_t>(row[i] + (prior[i] >> 1));
    for (size_t i = Bpp; i < size; ++i)
        row[i] = static_cast<uint8_t>(row[i] + ((row[i - Bpp] + prior[i]) >> 1));
}

// Branch-free form of PaethPredict for the scalar loops.
inline uint8_t Paeth(int a, int b, int c)
{
    int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    int bc = pb <= pc ? b : c;
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : bc);
}

template <int Bpp> void UnfilterPaethScalar(uint8_t* row, const uint8_t* prior, size_t size)
{
    size_t first = size < Bpp ? size : Bpp;
    // Left and upper left are 0 for the first pixel: the prediction is the byte above.
    for (size_t i = 0; i < first; ++i)
        row[i] = static_cast<uint8_t>(row[i] + prior[i]);
    for (size_t i = Bpp; i < size; ++i)
        row[i] = static_cast<uint8_t>(row[i] + Paeth(row[i - Bpp], prior[i], prior[i - Bpp]));
}

#if defined(__SSE2__)
// One whole pixel per step, its Bpp bytes widened to 16-bit lanes. Loads and stores take exactly
// the pixel's bytes, through a scalar register (no round trip through memory).
template <int Bpp> __m128i LoadPixel(const uint8_t* p)
{
    __m128i v;
    if constexpr (Bpp == 4) {
        uint32_t x;
        std::memcpy(&x, p, 4);
        v = _mm_cvtsi32_si128(static_cast<int>(x));
    } else if constexpr (Bpp == 3) {
        uint16_t lo;
        std::memcpy(&lo, p, 2);
        v = _mm_cvtsi32_si128(static_cast<int>(lo | static_cast<uint32_t>(p[2]) << 16));
    } else if constexpr (Bpp == 8) {
        v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    } else { // 6
        uint32_t lo;
        uint16_t hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 2);
        v = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(lo)), _mm_cvtsi32_si128(hi));
    }
    return _mm_unpacklo_epi8(v, _mm_setzero_si128());
}

template <int Bpp> void StorePixel(uint8_t* p, __m128i pixel)
{
    __m128i packed = _mm_packus_epi16(pixel, pixel);
    if constexpr (Bpp == 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), packed);
    } else {
        uint32_t lo = static_cast<uint32_t>(_mm_cvtsi128_si32(packed));
        if constexpr (Bpp == 4) {
            std::memcpy(p, &lo, 4);
        } else if constexpr (Bpp == 3) {
            uint16_t first = static_cast<uint16_t>(lo);
            std::memcpy(p, &first, 2);
            p[2] = static_cast<uint8_t>(lo >> 16);
        } else { // 6
            std::memcpy(p, &lo, 4);
            uint16_t hi = static_cast<uint16_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 4)));
            std::memcpy(p + 4, &hi, 2);
        }
    }
}

template <int Bpp> __m128i LoadBytes(const uint8_t* p)
{
    return _mm_packus_epi16(LoadPixel<Bpp>(p), _mm_setzero_si128());
}

template <int Bpp> void StoreBytes(uint8_t* p, __m128i bytes)
{
    StorePixel<Bpp>(p, _mm_unpacklo_epi8(bytes, _mm_setzero_si128()));
}

template <int Bpp> void UnfilterSubSSE2(uint8_t* row, size_t size)
{
    __m128i a = _mm_setzero_si128();
    size_t i = 0;
    for (; i + Bpp <= size; i += Bpp) {
        a = _mm_add_epi8(LoadBytes<Bpp>(row + i), a);
        StoreBytes<Bpp>(row + i, a);
    }
    for (; i < size; ++i)
        row[i] = static_cast<uint8_t>(row[i] + (i >= Bpp ? row[i - Bpp] : 0));
}

template <int Bpp> void UnfilterAverageSSE2(uint8_t* row, const uint8_t* prior, size_t size)
{
    const __m128i one = _mm_set1_epi8(1);
    __m128i a = _mm_setzero_si128();
    size_t i = 0;
    for (; i + Bpp <= size; i += Bpp) {
        __m128i b = LoadBytes<Bpp>(prior + i);
        // floor((a + b) / 2): the rounded-up average less the lost low bit.
        __m128i average = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        a = _mm_add_epi8(LoadBytes<Bpp>(row + i), average);
        StoreBytes<Bpp>(row + i, a);
    }
    for (; i < size; ++i)
        row[i] = static_cast<uint8_t>(row[i] + (((i >= Bpp ? row[i - Bpp] : 0) + prior[i]) >> 1));
}

inline __m128i Abs16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

template <int Bpp> void UnfilterPaethSSE2(uint8_t* row, const uint8_t* prior, size_t size)
{
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    size_t i = 0;
    for (; i + Bpp <= size; i += Bpp) {
        __m128i b = LoadPixel<Bpp>(prior + i);
        __m128i x = LoadPixel<Bpp>(row + i);
        // pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|.
        __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
        // a where pa <= pb and pa <= pc, else b where pb <= pc, else c.
        __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
        __m128i useC = _mm_cmpgt_epi16(pb, pc);
        __m128i bOrC = _mm_or_si128(_mm_and_si128(useC, c), _mm_andnot_si128(useC, b));
        __m128i predicted = _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
        a = _mm_and_si128(_mm_add_epi16(x, predicted), _mm_set1_epi16(0xFF));
        StorePixel<Bpp>(row + i, a);
        c = b;
    }
    // A row whose length is not a multiple of Bpp (not a valid row, but decoded alike).
    for (; i < size; ++i)
        row[i] =
            static_cast<uint8_t>(row[i] + Paeth(i >= Bpp ? row[i - Bpp] : 0, prior[i], i >= Bpp ? prior[i - Bpp] : 0));
}
#endif

template <int Bpp> void UnfilterSubFast(uint8_t* row, size_t size)
{
#if defined(__SSE2__)
    if constexpr (Bpp >= 3) {
        UnfilterSubSSE2<Bpp>(row, size);
        return;
    }
#endif
    UnfilterSub<Bpp>(row, size);
}

template <int Bpp> void UnfilterAverageFast(uint8_t* row, const uint8_t* prior, size_t size)
{
#if defined(__SSE2__)
    if constexpr (Bpp >= 3) {
        UnfilterAverageSSE2<Bpp>(row, prior, size);
        return;
    }
#endif
    UnfilterAverage<Bpp>(row, prior, size);
}

template <int Bpp> void UnfilterPaeth(uint8_t* row, const uint8_t* prior, size_t size)
{
#if defined(__SSE2__)
    if constexpr (Bpp >= 3) {
        UnfilterPaethSSE2<Bpp>(row, prior, size);
        return;
    }
#endif
    UnfilterPaethScalar<Bpp>(row, prior, size);
}

template <int Bpp> void Unfilter(int filterType, uint8_t* row, const uint8_t* prior, size_t size)
{
    switch (filterType) {
    case 1:
        UnfilterSubFast<Bpp>(row, size);
        break;
    case 2:
        UnfilterUp(row, prior, size);
        break;
    case 3:
        UnfilterAverageFast<Bpp>(row, prior, size);
        break;
    case 4:
        UnfilterPaeth<Bpp>(row, prior, size);
        break;
    default:
        break;
    }
}
} // namespace

uint8_t PaethPredict(uint8_t a, uint8_t b, uint8_t c)
{
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    if (pb <= pc) return b;
    return c;
}

void UnfilterRow(int filterType, uint8_t* row, const uint8_t* prior, size_t size, int bpp)
{
    switch (bpp) {
    case 1:
        Unfilter<1>(filterType, row, prior, size);
        break;
    case 2:
        Unfilter<2>(filterType, row, prior, size);
        break;
    case 3:
        Unfilter<3>(filterType, row, prior, size);
        break;
    case 4:
        Unfilter<4>(filterType, row, prior, size);
        break;
    case 6:
        Unfilter<6>(filterType, row, prior, size);
        break;
    case 8:
        Unfilter<8>(filterType, row, prior, size);
        break;
    default:
        // Other distances do not occur in valid images; one byte is the safe reading.
        Unfilter<1>(filterType, row, prior, size);
        break;
    }
}

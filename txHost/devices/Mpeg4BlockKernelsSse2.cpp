// SSE2 forms of the intra block kernels. Every step is the same integer operation as in
// the scalar kernels (exact sums, the same rounding and shifts), so the results are equal.
#include "txHost/devices/Mpeg4BlockKernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tx::mpeg4
{

#if defined(__SSE2__)

namespace
{

inline __m128i SadRows(const uint8_t *a, const uint8_t *b)
{
    return _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a)),
                        _mm_loadu_si128(reinterpret_cast<const __m128i *>(b)));
}

inline int SumSad(__m128i sad)
{
    return _mm_cvtsi128_si32(sad) + _mm_cvtsi128_si32(_mm_srli_si128(sad, 8));
}

bool PreferFieldDctSse2(const uint8_t *src, ptrdiff_t stride)
{
    __m128i adjacent = _mm_setzero_si128();
    __m128i twoApart = _mm_setzero_si128();
    for (int y = 0; y < 14; ++y)
    {
        const uint8_t *line = src + y * stride;
        if (y != 7)
        {
            adjacent = _mm_add_epi64(adjacent, SadRows(line, line + stride));
        }
        twoApart = _mm_add_epi64(twoApart, SadRows(line, line + 2 * stride));
    }
    adjacent = _mm_add_epi64(adjacent, SadRows(src + 14 * stride, src + 15 * stride));
    return SumSad(adjacent) >= SumSad(twoApart);
}

inline void Transpose8x8(__m128i r[8])
{
    const __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]);
    const __m128i a1 = _mm_unpackhi_epi16(r[0], r[1]);
    const __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]);
    const __m128i a3 = _mm_unpackhi_epi16(r[2], r[3]);
    const __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]);
    const __m128i a5 = _mm_unpackhi_epi16(r[4], r[5]);
    const __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]);
    const __m128i a7 = _mm_unpackhi_epi16(r[6], r[7]);
    const __m128i b0 = _mm_unpacklo_epi32(a0, a2);
    const __m128i b1 = _mm_unpackhi_epi32(a0, a2);
    const __m128i b2 = _mm_unpacklo_epi32(a1, a3);
    const __m128i b3 = _mm_unpackhi_epi32(a1, a3);
    const __m128i b4 = _mm_unpacklo_epi32(a4, a6);
    const __m128i b5 = _mm_unpackhi_epi32(a4, a6);
    const __m128i b6 = _mm_unpacklo_epi32(a5, a7);
    const __m128i b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}

// Basis pairs (C[k][n], C[k][n + 1]) repeated in every 32-bit lane, for pmaddwd.
struct BasisPairs
{
    __m128i pair[8][2]; // [k][0]: n = 0, 1; [k][1]: n = 2, 3
};

BasisPairs MakeBasisPairs()
{
    BasisPairs pairs;
    for (int k = 0; k < 8; ++k)
    {
        for (int h = 0; h < 2; ++h)
        {
            const uint32_t low = static_cast<uint16_t>(kDctBasis.v[k][2 * h]);
            const uint32_t high = static_cast<uint16_t>(kDctBasis.v[k][2 * h + 1]);
            pairs.pair[k][h] = _mm_set1_epi32(static_cast<int>((high << 16) | low));
        }
    }
    return pairs;
}

// One 1-D pass down the columns of r (8 lanes at once): out[k] = (sum_n C[k][n] r[n] +
// round) >> shift. The symmetric halves of the basis are folded first (r[n] +- r[7 - n]).
template <int Shift> inline void VerticalPass(const BasisPairs &basis, const __m128i r[8], __m128i out[8])
{
    const __m128i s0 = _mm_add_epi16(r[0], r[7]);
    const __m128i s1 = _mm_add_epi16(r[1], r[6]);
    const __m128i s2 = _mm_add_epi16(r[2], r[5]);
    const __m128i s3 = _mm_add_epi16(r[3], r[4]);
    const __m128i d0 = _mm_sub_epi16(r[0], r[7]);
    const __m128i d1 = _mm_sub_epi16(r[1], r[6]);
    const __m128i d2 = _mm_sub_epi16(r[2], r[5]);
    const __m128i d3 = _mm_sub_epi16(r[3], r[4]);
    const __m128i even01[2] = {_mm_unpacklo_epi16(s0, s1), _mm_unpackhi_epi16(s0, s1)};
    const __m128i even23[2] = {_mm_unpacklo_epi16(s2, s3), _mm_unpackhi_epi16(s2, s3)};
    const __m128i odd01[2] = {_mm_unpacklo_epi16(d0, d1), _mm_unpackhi_epi16(d0, d1)};
    const __m128i odd23[2] = {_mm_unpacklo_epi16(d2, d3), _mm_unpackhi_epi16(d2, d3)};
    const __m128i rounding = _mm_set1_epi32(1 << (Shift - 1));
    for (int k = 0; k < 8; ++k)
    {
        const __m128i *p01 = (k & 1) != 0 ? odd01 : even01;
        const __m128i *p23 = (k & 1) != 0 ? odd23 : even23;
        __m128i lo = _mm_add_epi32(_mm_madd_epi16(p01[0], basis.pair[k][0]), _mm_madd_epi16(p23[0], basis.pair[k][1]));
        __m128i hi = _mm_add_epi32(_mm_madd_epi16(p01[1], basis.pair[k][0]), _mm_madd_epi16(p23[1], basis.pair[k][1]));
        lo = _mm_srai_epi32(_mm_add_epi32(lo, rounding), Shift);
        hi = _mm_srai_epi32(_mm_add_epi32(hi, rounding), Shift);
        out[k] = _mm_packs_epi32(lo, hi);
    }
}

void ForwardDctSse2(const uint8_t *src, ptrdiff_t stride, int16_t *coefficients)
{
    static const BasisPairs basis = MakeBasisPairs();
    const __m128i zero = _mm_setzero_si128();
    __m128i rows[8];
    for (int n = 0; n < 8; ++n)
    {
        const __m128i pixels = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(src + n * stride));
        rows[n] = _mm_slli_epi16(_mm_unpacklo_epi8(pixels, zero), 3);
    }
    __m128i vertical[8];
    VerticalPass<kDctVerticalShift>(basis, rows, vertical);
    Transpose8x8(vertical);
    __m128i horizontal[8];
    VerticalPass<kDctHorizontalShift>(basis, vertical, horizontal);
    Transpose8x8(horizontal);
    for (int k = 0; k < 8; ++k)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(coefficients + 8 * k), horizontal[k]);
    }
}

int QuantiseIntraSse2(int16_t *coefficients)
{
    const __m128i bias = _mm_set1_epi16(kQuantBias);
    const __m128i divisor = _mm_set1_epi16(kQuantDivisor);
    const __m128i limit = _mm_set1_epi16(kQuantMaxMagnitude);
    const __m128i zero = _mm_setzero_si128();
    __m128i any = zero;
    for (int i = 0; i < 64; i += 8)
    {
        __m128i *p = reinterpret_cast<__m128i *>(coefficients + i);
        const __m128i value = _mm_loadu_si128(p);
        const __m128i sign = _mm_srai_epi16(value, 15);
        __m128i magnitude = _mm_max_epi16(value, _mm_sub_epi16(zero, value));
        magnitude = _mm_min_epi16(magnitude, limit);
        const __m128i half = _mm_loadu_si128(reinterpret_cast<const __m128i *>(kQuantHalfWeight + i));
        const __m128i reciprocal = _mm_loadu_si128(reinterpret_cast<const __m128i *>(kQuantReciprocal + i));
        const __m128i t = _mm_mulhi_epi16(_mm_add_epi16(_mm_slli_epi16(magnitude, 4), half), reciprocal);
        const __m128i level = _mm_mulhi_epi16(_mm_add_epi16(t, bias), divisor);
        _mm_storeu_si128(p, _mm_sub_epi16(_mm_xor_si128(level, sign), sign));
        any = _mm_or_si128(any, i == 0 ? _mm_srli_si128(level, 2) : level);
    }
    return _mm_movemask_epi8(_mm_cmpeq_epi16(any, zero)) != 0xFFFF ? 1 : 0;
}

constexpr IntraBlockKernels kSse2Kernels = {"sse2", PreferFieldDctSse2, ForwardDctSse2, QuantiseIntraSse2};

} // namespace

const IntraBlockKernels *Sse2IntraKernels()
{
    return &kSse2Kernels;
}

#else

const IntraBlockKernels *Sse2IntraKernels()
{
    return nullptr;
}

#endif

} // namespace tx::mpeg4

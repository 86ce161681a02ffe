#pragma once
// Pixel-block kernels of the intra encoder: the frame/field DCT decision, the fixed-point
// forward DCT and the quantiser. The scalar kernels are the reference; the SSE2 kernels
// compute the same integers and so give identical bytes.
#include <cstddef>
#include <cstdint>

namespace tx::mpeg4
{

// The quantiser of every VOP. The tables and the DC scaler of 8 depend on it.
inline constexpr int kQuantiser = 2;

struct IntraBlockKernels
{
    const char *name;
    // True when the 16x16 luma area at src codes better as fields: the sum of absolute
    // differences of neighbouring lines (inside each 8-line half) is at least the sum over
    // lines two apart.
    bool (*preferFieldDct)(const uint8_t *src, ptrdiff_t stride);
    // Forward 8x8 DCT of the pixels at src (no level shift) into raster-order coefficients
    // with the MPEG scale: a flat block of value v gives the DC coefficient 8v.
    void (*forwardDct)(const uint8_t *src, ptrdiff_t stride, int16_t *coefficients);
    // Quantises all 64 positions in place with the default intra matrix and kQuantiser
    // (position 0 is replaced by the caller's DC rule). Returns non-zero when an AC level
    // is non-zero.
    int (*quantiseIntra)(int16_t *coefficients);
};

const IntraBlockKernels &ScalarIntraKernels();
// Null when this build has no SSE2.
const IntraBlockKernels *Sse2IntraKernels();
// The fastest set available.
const IntraBlockKernels &DefaultIntraKernels();

// The DCT's 8x8 basis (row k = frequency, column n = sample) as 2^14 * c(k)/2 * cos((2n+1)k pi/16),
// c(0) = 1/sqrt(2): the constants both kernel sets use.
struct DctBasisTable
{
    int16_t v[8][8];
};
constexpr DctBasisTable MakeDctBasis()
{
    // 8192 cos(m pi / 16), rounded, for m = 0..8; the DC row uses 8192 / sqrt(2).
    constexpr int cosine[9] = {8192, 8035, 7568, 6811, 5793, 4551, 3135, 1598, 0};
    DctBasisTable table{};
    for (int k = 0; k < 8; ++k)
    {
        for (int n = 0; n < 8; ++n)
        {
            int m = ((2 * n + 1) * k) % 32;
            int sign = 1;
            if (m > 16)
            {
                m = 32 - m;
            }
            if (m > 8)
            {
                m = 16 - m;
                sign = -1;
            }
            table.v[k][n] = static_cast<int16_t>(k == 0 ? 5793 : sign * cosine[m]);
        }
    }
    return table;
}
inline constexpr DctBasisTable kDctBasis = MakeDctBasis();
inline constexpr int kDctVerticalShift = 14;   // removes the basis scale
inline constexpr int kDctHorizontalShift = 17; // removes the basis scale and the 3 guard bits

// Quantiser tables by raster position: half the default intra weight, and the reciprocal
// 65536 / weight + 1 that replaces the division.
inline constexpr int16_t kQuantHalfWeight[64] = {4,  8,  9,  9,  10, 11, 12, 13, 8,  9,  9,  10, 11, 12, 13, 14,
                                                 10, 10, 11, 11, 12, 13, 14, 15, 10, 11, 11, 12, 13, 14, 15, 16,
                                                 11, 11, 12, 13, 14, 15, 16, 17, 11, 12, 13, 14, 15, 16, 17, 19,
                                                 12, 13, 14, 15, 16, 17, 19, 20, 13, 14, 15, 16, 17, 19, 20, 22};
inline constexpr int16_t kQuantReciprocal[64] = {
    8193, 3856, 3641, 3450, 3121, 2850, 2622, 2428, 3856, 3641, 3450, 3121, 2850, 2622, 2428, 2341,
    3277, 3121, 2979, 2850, 2731, 2521, 2341, 2185, 3121, 2979, 2850, 2731, 2521, 2341, 2185, 2049,
    2979, 2850, 2731, 2521, 2341, 2185, 2049, 1873, 2850, 2731, 2521, 2341, 2185, 2049, 1873, 1725,
    2622, 2521, 2341, 2185, 2049, 1873, 1725, 1599, 2428, 2341, 2185, 2049, 1873, 1725, 1599, 1457};
inline constexpr int kQuantBias = (3 * kQuantiser + 2) / 4;
inline constexpr int kQuantDivisor = 65536 / (2 * kQuantiser) + 1;
// Magnitude bound that keeps 16 * a + H inside 16 bits (the DCT of 8-bit pixels stays below).
inline constexpr int kQuantMaxMagnitude = 2045;

} // namespace tx::mpeg4

#include "txHost/devices/Mpeg4BlockKernels.h"

#include <cstdlib>

namespace tx::mpeg4
{

namespace
{

bool PreferFieldDctScalar(const uint8_t *src, ptrdiff_t stride)
{
    int adjacent = 0;
    int twoApart = 0;
    for (int y = 0; y < 14; ++y)
    {
        const uint8_t *line = src + y * stride;
        for (int x = 0; x < 16; ++x)
        {
            if (y != 7)
            {
                adjacent += std::abs(line[x] - line[x + stride]);
            }
            twoApart += std::abs(line[x] - line[x + 2 * stride]);
        }
    }
    // Line 14 against 15 belongs to the lower half.
    const uint8_t *line = src + 14 * stride;
    for (int x = 0; x < 16; ++x)
    {
        adjacent += std::abs(line[x] - line[x + stride]);
    }
    return adjacent >= twoApart;
}

void ForwardDctScalar(const uint8_t *src, ptrdiff_t stride, int16_t *coefficients)
{
    // Vertical pass on the pixels scaled by 8 (three guard bits), then the horizontal
    // pass, which removes the scale again.
    int16_t vertical[64];
    for (int column = 0; column < 8; ++column)
    {
        for (int k = 0; k < 8; ++k)
        {
            int sum = 0;
            for (int n = 0; n < 8; ++n)
            {
                sum += kDctBasis.v[k][n] * (src[n * stride + column] << 3);
            }
            vertical[k * 8 + column] =
                static_cast<int16_t>((sum + (1 << (kDctVerticalShift - 1))) >> kDctVerticalShift);
        }
    }
    for (int row = 0; row < 8; ++row)
    {
        for (int k = 0; k < 8; ++k)
        {
            int sum = 0;
            for (int n = 0; n < 8; ++n)
            {
                sum += kDctBasis.v[k][n] * vertical[row * 8 + n];
            }
            coefficients[row * 8 + k] =
                static_cast<int16_t>((sum + (1 << (kDctHorizontalShift - 1))) >> kDctHorizontalShift);
        }
    }
}

int QuantiseIntraScalar(int16_t *coefficients)
{
    int nonZeroAc = 0;
    for (int i = 0; i < 64; ++i)
    {
        const int value = coefficients[i];
        int magnitude = value < 0 ? -value : value;
        if (magnitude > kQuantMaxMagnitude)
        {
            magnitude = kQuantMaxMagnitude;
        }
        const int t = ((16 * magnitude + kQuantHalfWeight[i]) * kQuantReciprocal[i]) >> 16;
        const int level = ((t + kQuantBias) * kQuantDivisor) >> 16;
        coefficients[i] = static_cast<int16_t>(value < 0 ? -level : level);
        if (i != 0)
        {
            nonZeroAc |= level;
        }
    }
    return nonZeroAc != 0 ? 1 : 0;
}

constexpr IntraBlockKernels kScalarKernels = {"scalar", PreferFieldDctScalar, ForwardDctScalar, QuantiseIntraScalar};

} // namespace

const IntraBlockKernels &ScalarIntraKernels()
{
    return kScalarKernels;
}

const IntraBlockKernels &DefaultIntraKernels()
{
    const IntraBlockKernels *fast = Sse2IntraKernels();
    return fast != nullptr ? *fast : kScalarKernels;
}

} // namespace tx::mpeg4

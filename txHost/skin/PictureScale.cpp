#include "txHost/skin/PictureScale.h"

#include <algorithm>

namespace tx::skin
{

bool ClipRectangle(int32_t &x, int32_t &y, int32_t &width, int32_t &height, uint32_t areaWidth,
                   uint32_t areaHeight) noexcept
{
    if (x < 0)
    {
        width += x;
        x = 0;
    }
    if (y < 0)
    {
        height += y;
        y = 0;
    }
    if (width < 1 || height < 1 || static_cast<uint32_t>(x) >= areaWidth || static_cast<uint32_t>(y) >= areaHeight)
        return false;
    width = static_cast<int32_t>(std::min<int64_t>(width, static_cast<int64_t>(areaWidth) - x));
    height = static_cast<int32_t>(std::min<int64_t>(height, static_cast<int64_t>(areaHeight) - y));
    return width >= 1 && height >= 1;
}

namespace
{

// Source coordinate of a destination index in 16.16 fixed point, pixel centres aligned.
inline int64_t CentreMapped(int64_t index, int64_t sourceSize, int64_t destinationSize) noexcept
{
    return ((2 * index + 1) * sourceSize * 65536) / (2 * destinationSize) - 32768;
}

inline uint32_t Lerp4(uint32_t a, uint32_t b, uint32_t weight) noexcept // weight 0..256
{
    // Two lanes at a time: red/blue and alpha/green.
    const uint32_t inverse = 256 - weight;
    const uint32_t rb = (((a & 0x00FF00FFu) * inverse + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
    const uint32_t ag = ((((a >> 8) & 0x00FF00FFu) * inverse + ((b >> 8) & 0x00FF00FFu) * weight)) & 0xFF00FF00u;
    return rb | ag;
}

} // namespace

bool ScalePicture(const PictureView &source, const PictureTarget &target, int32_t x, int32_t y, int32_t width,
                  int32_t height, ScaleMode mode) noexcept
{
    if (!source.pixels || source.width == 0 || source.height == 0 || !target.pixels || width < 1 || height < 1)
        return false;
    int32_t cx = x, cy = y, cw = width, ch = height;
    if (!ClipRectangle(cx, cy, cw, ch, target.width, target.height))
        return false;

    const int64_t sw = source.width, sh = source.height;
    for (int32_t row = cy; row < cy + ch; ++row)
    {
        uint32_t *out = target.pixels + static_cast<ptrdiff_t>(row) * target.stride;
        const int64_t dy = row - y;
        if (mode == ScaleMode::Nearest)
        {
            const int64_t syIndex = std::min<int64_t>((dy * sh) / height, sh - 1);
            const uint32_t *in = source.pixels + static_cast<ptrdiff_t>(syIndex) * source.stride;
            for (int32_t column = cx; column < cx + cw; ++column)
            {
                const int64_t sx = std::min<int64_t>(((column - x) * sw) / width, sw - 1);
                out[column] = in[sx];
            }
            continue;
        }
        int64_t fy = std::clamp<int64_t>(CentreMapped(dy, sh, height), 0, (sh - 1) * 65536);
        const int64_t y0 = fy >> 16;
        const int64_t y1 = std::min<int64_t>(y0 + 1, sh - 1);
        const uint32_t wy = static_cast<uint32_t>((fy & 0xFFFF) >> 8);
        const uint32_t *in0 = source.pixels + static_cast<ptrdiff_t>(y0) * source.stride;
        const uint32_t *in1 = source.pixels + static_cast<ptrdiff_t>(y1) * source.stride;
        for (int32_t column = cx; column < cx + cw; ++column)
        {
            const int64_t fx = std::clamp<int64_t>(CentreMapped(column - x, sw, width), 0, (sw - 1) * 65536);
            const int64_t x0 = fx >> 16;
            const int64_t x1 = std::min<int64_t>(x0 + 1, sw - 1);
            const uint32_t wx = static_cast<uint32_t>((fx & 0xFFFF) >> 8);
            const uint32_t top = Lerp4(in0[x0], in0[x1], wx);
            const uint32_t bottom = Lerp4(in1[x0], in1[x1], wx);
            out[column] = Lerp4(top, bottom, wy);
        }
    }
    return true;
}

} // namespace tx::skin

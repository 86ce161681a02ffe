#include "txHost/devices/PictureConversion.h"

#include <algorithm>
#include <cstring>

namespace tx::mpeg4
{

namespace
{

int ChromaWidth(int width)
{
    return (width + 1) / 2;
}

int ChromaHeight(int height)
{
    return (height + 1) / 2;
}

void CopyPlane(const uint8_t *src, size_t srcStride, uint8_t *dst, ptrdiff_t dstStride, int width, int rows)
{
    for (int row = 0; row < rows; ++row)
    {
        std::memcpy(dst + row * dstStride, src + row * srcStride, static_cast<size_t>(width));
    }
}

void ConvertPlanar(int layout, const uint8_t *input, const PlanarPicture &p)
{
    const int cw = ChromaWidth(p.width);
    const int ch = ChromaHeight(p.height);
    CopyPlane(input, static_cast<size_t>(p.width), p.y, p.lumaStride, p.width, p.height);
    const uint8_t *first = input + static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
    const uint8_t *second = first + static_cast<size_t>(cw) * static_cast<size_t>(ch);
    uint8_t *firstTarget = layout == kInputYv12 ? p.v : p.u;
    uint8_t *secondTarget = layout == kInputYv12 ? p.u : p.v;
    CopyPlane(first, static_cast<size_t>(cw), firstTarget, p.chromaStride, cw, ch);
    CopyPlane(second, static_cast<size_t>(cw), secondTarget, p.chromaStride, cw, ch);
}

void ConvertPacked422(int layout, const uint8_t *input, const PlanarPicture &p)
{
    const size_t rowBytes = InputRowBytes(layout, p.width);
    const int lumaOffset = layout == kInputUyvy ? 1 : 0;
    const int chromaOffset = layout == kInputUyvy ? 0 : 1;
    uint8_t *firstChroma = layout == kInputYvyu ? p.v : p.u;
    uint8_t *secondChroma = layout == kInputYvyu ? p.u : p.v;
    const int cw = ChromaWidth(p.width);
    for (int k = 0; k < ChromaHeight(p.height); ++k)
    {
        const int row0 = 2 * k;
        const int row1 = std::min(row0 + 1, p.height - 1);
        const uint8_t *in0 = input + static_cast<size_t>(row0) * rowBytes;
        const uint8_t *in1 = input + static_cast<size_t>(row1) * rowBytes;
        uint8_t *y0 = p.y + row0 * p.lumaStride;
        uint8_t *y1 = p.y + row1 * p.lumaStride;
        for (int x = 0; x < p.width; ++x)
        {
            y0[x] = in0[2 * x + lumaOffset];
            y1[x] = in1[2 * x + lumaOffset];
        }
        uint8_t *c0 = firstChroma + k * p.chromaStride;
        uint8_t *c1 = secondChroma + k * p.chromaStride;
        for (int pair = 0; pair < cw; ++pair)
        {
            const int at = 4 * pair + chromaOffset;
            c0[pair] = static_cast<uint8_t>((in0[at] + in1[at]) >> 1);
            c1[pair] = static_cast<uint8_t>((in0[at + 2] + in1[at + 2]) >> 1);
        }
    }
}

inline uint8_t RgbLuma(const uint8_t *bgr)
{
    return static_cast<uint8_t>(((25 * bgr[0] + 129 * bgr[1] + 66 * bgr[2]) >> 8) + 16);
}

void ConvertRgb(int layout, const uint8_t *input, const PlanarPicture &p)
{
    const size_t rowBytes = InputRowBytes(layout, p.width);
    const int pixelBytes = layout == kInputRgb32 ? 4 : 3;
    const int cw = ChromaWidth(p.width);
    for (int k = 0; k < ChromaHeight(p.height); ++k)
    {
        const int row0 = 2 * k;
        const int row1 = std::min(row0 + 1, p.height - 1);
        // Bottom-up input: the last row in memory is the top of the picture.
        const uint8_t *in0 = input + static_cast<size_t>(p.height - 1 - row0) * rowBytes;
        const uint8_t *in1 = input + static_cast<size_t>(p.height - 1 - row1) * rowBytes;
        uint8_t *y0 = p.y + row0 * p.lumaStride;
        uint8_t *y1 = p.y + row1 * p.lumaStride;
        uint8_t *u = p.u + k * p.chromaStride;
        uint8_t *v = p.v + k * p.chromaStride;
        for (int pair = 0; pair < cw; ++pair)
        {
            const int x0 = 2 * pair;
            const int x1 = std::min(x0 + 1, p.width - 1);
            const uint8_t *a = in0 + x0 * pixelBytes;
            const uint8_t *b = in0 + x1 * pixelBytes;
            const uint8_t *c = in1 + x0 * pixelBytes;
            const uint8_t *d = in1 + x1 * pixelBytes;
            y0[x0] = RgbLuma(a);
            y0[x1] = RgbLuma(b);
            y1[x0] = RgbLuma(c);
            y1[x1] = RgbLuma(d);
            const int sb = a[0] + b[0] + c[0] + d[0];
            const int sg = a[1] + b[1] + c[1] + d[1];
            const int sr = a[2] + b[2] + c[2] + d[2];
            // Arithmetic shifts: the rounding goes toward minus infinity.
            u[pair] = static_cast<uint8_t>(((112 * sb - 74 * sg - 38 * sr) >> 10) + 128);
            v[pair] = static_cast<uint8_t>(((-18 * sb - 94 * sg + 112 * sr) >> 10) + 128);
        }
    }
}

void ReplicatePlane(uint8_t *plane, ptrdiff_t stride, int width, int height, int paddedWidth, int paddedHeight)
{
    if (width < paddedWidth)
    {
        for (int row = 0; row < height; ++row)
        {
            uint8_t *line = plane + row * stride;
            std::memset(line + width, line[width - 1], static_cast<size_t>(paddedWidth - width));
        }
    }
    for (int row = height; row < paddedHeight; ++row)
    {
        std::memcpy(plane + row * stride, plane + (height - 1) * stride, static_cast<size_t>(paddedWidth));
    }
}

} // namespace

size_t InputRowBytes(int layout, int width)
{
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    switch (layout)
    {
    case kInputYv12:
    case kInputI420:
        return w;
    case kInputYuy2:
    case kInputUyvy:
    case kInputYvyu:
        return 4 * ((w + 1) / 2);
    case kInputRgb32:
        return 4 * w;
    case kInputRgb24:
        return (3 * w + 3) & ~static_cast<size_t>(3);
    default:
        return 0;
    }
}

size_t InputPictureBytes(int layout, int width, int height)
{
    const size_t rows = height > 0 ? static_cast<size_t>(height) : 0;
    const size_t rowBytes = InputRowBytes(layout, width);
    if (layout == kInputYv12 || layout == kInputI420)
    {
        const size_t chroma = static_cast<size_t>(ChromaWidth(width)) * static_cast<size_t>(ChromaHeight(height));
        return rowBytes * rows + 2 * chroma;
    }
    return rowBytes * rows;
}

void ConvertPicture(int layout, const uint8_t *input, const PlanarPicture &planes)
{
    switch (layout)
    {
    case kInputYv12:
    case kInputI420:
        ConvertPlanar(layout, input, planes);
        break;
    case kInputYuy2:
    case kInputUyvy:
    case kInputYvyu:
        ConvertPacked422(layout, input, planes);
        break;
    case kInputRgb32:
    case kInputRgb24:
        ConvertRgb(layout, input, planes);
        break;
    default:
        break;
    }
}

void FlipPlane(uint8_t *plane, ptrdiff_t stride, size_t rowBytes, int rows)
{
    for (int i = 0; i < rows / 2; ++i)
    {
        uint8_t *top = plane + i * stride;
        uint8_t *bottom = plane + (rows - 1 - i) * stride;
        std::swap_ranges(top, top + rowBytes, bottom);
    }
}

void ReplicateEdges(const PlanarPicture &p)
{
    ReplicatePlane(p.y, p.lumaStride, p.width, p.height, p.paddedWidth, p.paddedHeight);
    const int cw = ChromaWidth(p.width);
    const int ch = ChromaHeight(p.height);
    ReplicatePlane(p.u, p.chromaStride, cw, ch, p.paddedWidth / 2, p.paddedHeight / 2);
    ReplicatePlane(p.v, p.chromaStride, cw, ch, p.paddedWidth / 2, p.paddedHeight / 2);
}

} // namespace tx::mpeg4

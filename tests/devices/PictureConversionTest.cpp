// Input conversion: every layout against its formula, computed here pixel by pixel, on
// even and odd sizes; the flip; the edge fill. Inputs are exactly as large as the layout
// needs, so the native sanitizer build catches any read beyond them.
#include "txHost/devices/PictureConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "EncoderTestPictures.h"

using namespace tx::mpeg4;
using tx::test::TestRandom;

namespace
{

struct Planes
{
    int width;
    int height;
    int paddedWidth;
    int paddedHeight;
    std::vector<uint8_t> y;
    std::vector<uint8_t> u;
    std::vector<uint8_t> v;

    Planes(int w, int h)
        : width(w), height(h), paddedWidth((w + 15) / 16 * 16), paddedHeight((h + 15) / 16 * 16),
          y(static_cast<size_t>(paddedWidth) * paddedHeight, 0xEE), u(y.size() / 4, 0xEE), v(y.size() / 4, 0xEE)
    {
    }
    PlanarPicture Picture()
    {
        return PlanarPicture{y.data(), u.data(), v.data(),    paddedWidth, paddedWidth / 2,
                             width,    height,   paddedWidth, paddedHeight};
    }
    uint8_t Y(int x, int row) const
    {
        return y[static_cast<size_t>(row) * paddedWidth + x];
    }
    uint8_t U(int x, int row) const
    {
        return u[static_cast<size_t>(row) * (paddedWidth / 2) + x];
    }
    uint8_t V(int x, int row) const
    {
        return v[static_cast<size_t>(row) * (paddedWidth / 2) + x];
    }
};

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed)
{
    TestRandom random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t &b : bytes)
        b = static_cast<uint8_t>(random.Next() >> 24);
    return bytes;
}

const int kSizes[][2] = {{16, 16}, {32, 8}, {40, 6}, {17, 17}, {5, 3}, {1, 1}, {33, 2}};

} // namespace

TEST(PictureConversion, PlanarLayoutsCopyThePlanesInTheirOrder)
{
    for (int layout : {kInputYv12, kInputI420})
        for (const auto &size : kSizes)
        {
            const int w = size[0];
            const int h = size[1];
            const int cw = (w + 1) / 2;
            const int ch = (h + 1) / 2;
            const std::vector<uint8_t> input = RandomBytes(InputPictureBytes(layout, w, h), 3);
            ASSERT_EQ(input.size(), static_cast<size_t>(w * h + 2 * cw * ch));
            Planes out(w, h);
            ConvertPicture(layout, input.data(), out.Picture());
            const uint8_t *first = input.data() + w * h;
            const uint8_t *second = first + cw * ch;
            for (int row = 0; row < h; ++row)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(out.Y(x, row), input[row * w + x]);
            for (int row = 0; row < ch; ++row)
                for (int x = 0; x < cw; ++x)
                {
                    const uint8_t a = first[row * cw + x];
                    const uint8_t b = second[row * cw + x];
                    ASSERT_EQ(out.U(x, row), layout == kInputI420 ? a : b) << layout;
                    ASSERT_EQ(out.V(x, row), layout == kInputI420 ? b : a) << layout;
                }
        }
}

TEST(PictureConversion, Packed422LayoutsAverageChromaOverRowPairs)
{
    struct Layout
    {
        int layout;
        int lumaOffset;
        int uOffset;
        int vOffset;
    } layouts[] = {{kInputYuy2, 0, 1, 3}, {kInputUyvy, 1, 0, 2}, {kInputYvyu, 0, 3, 1}};
    for (const Layout &l : layouts)
        for (const auto &size : kSizes)
        {
            const int w = size[0];
            const int h = size[1];
            const size_t rowBytes = 4 * ((w + 1) / 2);
            const std::vector<uint8_t> input = RandomBytes(InputPictureBytes(l.layout, w, h), 5);
            ASSERT_EQ(input.size(), rowBytes * h);
            Planes out(w, h);
            ConvertPicture(l.layout, input.data(), out.Picture());
            auto at = [&](int row, size_t byte) { return input[row * rowBytes + byte]; };
            for (int row = 0; row < h; ++row)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(out.Y(x, row), at(row, 2 * x + l.lumaOffset)) << l.layout;
            for (int k = 0; k < (h + 1) / 2; ++k)
            {
                const int other = std::min(2 * k + 1, h - 1); // an odd last row pairs with itself
                for (int pair = 0; pair < (w + 1) / 2; ++pair)
                {
                    ASSERT_EQ(out.U(pair, k), (at(2 * k, 4 * pair + l.uOffset) + at(other, 4 * pair + l.uOffset)) / 2);
                    ASSERT_EQ(out.V(pair, k), (at(2 * k, 4 * pair + l.vOffset) + at(other, 4 * pair + l.vOffset)) / 2);
                }
            }
        }
}

TEST(PictureConversion, Packed422ChromaAverageTruncates)
{
    // Two YUY2 rows of one pixel pair: U 1 over 2, V 200 over 203.
    const uint8_t input[] = {10, 1, 11, 200, 12, 2, 13, 203};
    Planes out(2, 2);
    ConvertPicture(kInputYuy2, input, out.Picture());
    EXPECT_EQ(out.U(0, 0), 1);
    EXPECT_EQ(out.V(0, 0), 201);
    EXPECT_EQ(out.Y(1, 1), 13);
}

TEST(PictureConversion, RgbLayoutsFollowTheFormulasBottomUp)
{
    for (int layout : {kInputRgb32, kInputRgb24})
        for (const auto &size : kSizes)
        {
            const int w = size[0];
            const int h = size[1];
            const int bpp = layout == kInputRgb32 ? 4 : 3;
            const size_t stride = layout == kInputRgb32 ? 4 * w : (3 * w + 3) / 4 * 4; // DIB rows
            const std::vector<uint8_t> input = RandomBytes(InputPictureBytes(layout, w, h), 11);
            ASSERT_EQ(input.size(), stride * h);
            Planes out(w, h);
            ConvertPicture(layout, input.data(), out.Picture());
            // Pixel (x, row) of the upright picture; odd edges repeat the last pixel.
            auto pixel = [&](int x, int row) {
                x = std::min(x, w - 1);
                row = std::min(row, h - 1);
                return input.data() + (h - 1 - row) * stride + x * bpp;
            };
            for (int row = 0; row < h; ++row)
                for (int x = 0; x < w; ++x)
                {
                    const uint8_t *p = pixel(x, row);
                    ASSERT_EQ(out.Y(x, row), ((25 * p[0] + 129 * p[1] + 66 * p[2]) >> 8) + 16);
                }
            for (int k = 0; k < (h + 1) / 2; ++k)
                for (int pair = 0; pair < (w + 1) / 2; ++pair)
                {
                    int sb = 0, sg = 0, sr = 0;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx)
                        {
                            const uint8_t *p = pixel(2 * pair + dx, 2 * k + dy);
                            sb += p[0];
                            sg += p[1];
                            sr += p[2];
                        }
                    const int u = static_cast<int>(std::floor((112 * sb - 74 * sg - 38 * sr) / 1024.0)) + 128;
                    const int v = static_cast<int>(std::floor((-18 * sb - 94 * sg + 112 * sr) / 1024.0)) + 128;
                    ASSERT_EQ(out.U(pair, k), u) << layout;
                    ASSERT_EQ(out.V(pair, k), v) << layout;
                }
        }
}

TEST(PictureConversion, PureRedIsEightyOneNinetyTwoThirtyNine)
{
    // 32-bit RGB, 2 x 2: the first row in memory black, the last one red.
    const uint8_t input[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0};
    Planes out(2, 2);
    ConvertPicture(kInputRgb32, input, out.Picture());
    EXPECT_EQ(out.Y(0, 0), 81); // the last row in memory is the top of the picture
    EXPECT_EQ(out.Y(1, 0), 81);
    EXPECT_EQ(out.Y(0, 1), 16);

    std::vector<uint8_t> red(2 * 2 * 4);
    for (size_t i = 0; i < red.size(); i += 4)
        red[i + 2] = 255;
    ConvertPicture(kInputRgb32, red.data(), out.Picture());
    EXPECT_EQ(out.Y(1, 1), 81);
    EXPECT_EQ(out.U(0, 0), 90);
    EXPECT_EQ(out.V(0, 0), 239);
}

TEST(PictureConversion, Rgb24RowsUseTheirPaddedStride)
{
    // Width 5: rows of 15 pixel bytes padded to 16. The padding bytes hold 0xFF; the
    // picture is mid grey, so a skewed read would show up as a wrong value.
    const int w = 5;
    const int h = 2;
    std::vector<uint8_t> input(InputPictureBytes(kInputRgb24, w, h), 128);
    ASSERT_EQ(input.size(), 32u);
    input[15] = 0xFF;
    input[31] = 0xFF;
    Planes out(w, h);
    ConvertPicture(kInputRgb24, input.data(), out.Picture());
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(out.Y(x, row), ((25 + 129 + 66) * 128 >> 8) + 16) << x << "," << row;
}

TEST(PictureConversion, FlippingTwiceRestoresThePlane)
{
    for (int rows : {1, 2, 7, 16})
    {
        std::vector<uint8_t> plane = RandomBytes(static_cast<size_t>(24) * rows, 17);
        const std::vector<uint8_t> original = plane;
        FlipPlane(plane.data(), 24, 24, rows);
        for (int row = 0; row < rows; ++row)
            ASSERT_TRUE(std::equal(plane.begin() + row * 24, plane.begin() + row * 24 + 24,
                                   original.begin() + (rows - 1 - row) * 24));
        FlipPlane(plane.data(), 24, 24, rows);
        EXPECT_EQ(plane, original);
    }
}

TEST(PictureConversion, EdgesAreRepeatedToThePaddedSize)
{
    const std::vector<uint8_t> input = RandomBytes(InputPictureBytes(kInputI420, 17, 19), 23);
    Planes out(17, 19);
    ConvertPicture(kInputI420, input.data(), out.Picture());
    ReplicateEdges(out.Picture());
    for (int row = 0; row < out.paddedHeight; ++row)
        for (int x = 0; x < out.paddedWidth; ++x)
            ASSERT_EQ(out.Y(x, row), out.Y(std::min(x, 16), std::min(row, 18))) << x << "," << row;
    for (int row = 0; row < out.paddedHeight / 2; ++row)
        for (int x = 0; x < out.paddedWidth / 2; ++x)
        {
            ASSERT_EQ(out.U(x, row), out.U(std::min(x, 8), std::min(row, 9)));
            ASSERT_EQ(out.V(x, row), out.V(std::min(x, 8), std::min(row, 9)));
        }
}

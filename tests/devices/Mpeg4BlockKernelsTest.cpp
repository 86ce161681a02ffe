// Block kernels: the DCT against a double-precision DCT, the quantiser against its
// formula and plain rounding, the field/frame decision, and the SSE2 kernels against the
// scalar ones.
#include "txHost/devices/Mpeg4BlockKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "EncoderTestPictures.h"
#include "txHost/devices/Mpeg4Vlc.h"

using namespace tx::mpeg4;
using tx::test::TestRandom;

namespace
{

void ReferenceDct(const uint8_t *pixels, double out[64])
{
    const double pi = std::acos(-1.0);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u)
        {
            double sum = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    sum +=
                        pixels[y * 8 + x] * std::cos((2 * x + 1) * u * pi / 16) * std::cos((2 * y + 1) * v * pi / 16);
            const double cu = u == 0 ? std::sqrt(0.5) : 1.0;
            const double cv = v == 0 ? std::sqrt(0.5) : 1.0;
            out[v * 8 + u] = 0.25 * cu * cv * sum;
        }
}

enum class Pattern
{
    Noise,
    Smooth,
    Extremes,
};

void FillBlock(uint8_t *pixels, size_t count, Pattern pattern, TestRandom &random)
{
    const int a = random.Range(0, 255);
    const int gx = random.Range(-12, 12);
    const int gy = random.Range(-12, 12);
    for (size_t i = 0; i < count; ++i)
    {
        const int x = static_cast<int>(i % 16);
        const int y = static_cast<int>(i / 16);
        int value = 0;
        switch (pattern)
        {
        case Pattern::Noise:
            value = random.Range(0, 255);
            break;
        case Pattern::Smooth:
            value = a + gx * x + gy * y + random.Range(-3, 3);
            break;
        case Pattern::Extremes:
            value = (random.Next() & 1) != 0 ? 255 : 0;
            break;
        }
        pixels[i] = static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    }
}

} // namespace

TEST(Mpeg4BlockKernels, DctIsWithinOneOfTheExactTransform)
{
    for (const IntraBlockKernels *k : {&ScalarIntraKernels(), Sse2IntraKernels()})
    {
        if (k == nullptr)
            continue;
        TestRandom random(7);
        int total = 0;
        int withinOne = 0;
        double worst = 0;
        for (int n = 0; n < 3000; ++n)
        {
            uint8_t pixels[64];
            FillBlock(pixels, 64, static_cast<Pattern>(n % 3), random);
            int16_t coefficients[64];
            k->forwardDct(pixels, 8, coefficients);
            double exact[64];
            ReferenceDct(pixels, exact);
            for (int i = 0; i < 64; ++i)
            {
                const double error = std::fabs(coefficients[i] - exact[i]);
                worst = std::max(worst, error);
                withinOne += error <= 1.0 ? 1 : 0;
                ++total;
            }
        }
        EXPECT_GE(withinOne, total * 999 / 1000) << k->name;
        EXPECT_LT(worst, 2.0) << k->name;
    }
}

TEST(Mpeg4BlockKernels, FlatBlockGivesEightTimesItsValueAndNoAc)
{
    for (int value : {0, 1, 17, 128, 254, 255})
    {
        std::vector<uint8_t> pixels(64, static_cast<uint8_t>(value));
        int16_t coefficients[64];
        ScalarIntraKernels().forwardDct(pixels.data(), 8, coefficients);
        EXPECT_EQ(coefficients[0], 8 * value);
        for (int i = 1; i < 64; ++i)
            EXPECT_EQ(coefficients[i], 0) << value << " at " << i;
    }
}

TEST(Mpeg4BlockKernels, QuantiserRoundsToTheNearestLevel)
{
    // Intra reconstruction at quantiser 2 is level * W / 4: the chosen level is the nearest,
    // within the error of the reciprocals that replace the two divisions.
    for (int i = 0; i < 64; ++i)
    {
        for (int coefficient = -2040; coefficient <= 2040; coefficient += 7)
        {
            int16_t block[64] = {};
            block[i] = static_cast<int16_t>(coefficient);
            const int nonZero = ScalarIntraKernels().quantiseIntra(block);
            const int w = kDefaultIntraMatrix[i];
            const int a = std::abs(coefficient);
            const int t = (16 * a + w / 2) * (65536 / w + 1) / 65536;
            const int level = (t + 2) * 16385 / 65536;
            EXPECT_EQ(block[i], coefficient < 0 ? -level : level) << i << " " << coefficient;
            const double ideal = 4.0 * coefficient / w;
            EXPECT_LE(std::fabs(block[i] - ideal), 0.75) << i << " " << coefficient;
            EXPECT_EQ(nonZero != 0, i != 0 && block[i] != 0);
        }
    }
}

TEST(Mpeg4BlockKernels, FieldDctIsChosenWhenNeighbouringLinesDifferMore)
{
    struct Case
    {
        const char *name;
        int (*pixel)(int x, int y);
        bool field;
    } cases[] = {
        {"flat (a tie)", [](int, int) { return 90; }, true},
        {"alternating lines", [](int, int y) { return y % 2 != 0 ? 200 : 40; }, true},
        {"vertical gradient", [](int, int y) { return 10 + 12 * y; }, false},
        {"horizontal gradient", [](int x, int) { return 10 + 12 * x; }, true},
        {"two-line stripes", [](int, int y) { return (y / 2) % 2 != 0 ? 200 : 40; }, false},
    };
    for (const Case &c : cases)
    {
        uint8_t pixels[16 * 16];
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels[y * 16 + x] = static_cast<uint8_t>(c.pixel(x, y));
        for (const IntraBlockKernels *k : {&ScalarIntraKernels(), Sse2IntraKernels()})
        {
            if (k != nullptr)
            {
                EXPECT_EQ(k->preferFieldDct(pixels, 16), c.field) << c.name << " " << k->name;
            }
        }
    }
}

TEST(Mpeg4BlockKernels, Sse2KernelsEqualTheScalarOnesOnRandomBlocks)
{
    const IntraBlockKernels *fast = Sse2IntraKernels();
    if (fast == nullptr)
        GTEST_SKIP() << "no SSE2 in this build";
    const IntraBlockKernels &scalar = ScalarIntraKernels();
    TestRandom random(2024);
    uint8_t area[16 * 24];
    for (int n = 0; n < 100000; ++n)
    {
        FillBlock(area, sizeof(area), static_cast<Pattern>(n % 3), random);
        const ptrdiff_t stride = (n & 1) != 0 ? 16 : 32; // frame and field strides
        int16_t a[64];
        int16_t b[64];
        scalar.forwardDct(area + (n % 9), stride, a);
        fast->forwardDct(area + (n % 9), stride, b);
        ASSERT_EQ(std::memcmp(a, b, sizeof(a)), 0) << "DCT, block " << n;
        const int nzA = scalar.quantiseIntra(a);
        const int nzB = fast->quantiseIntra(b);
        ASSERT_EQ(std::memcmp(a, b, sizeof(a)), 0) << "quantiser, block " << n;
        ASSERT_EQ(nzA != 0, nzB != 0) << n;
        ASSERT_EQ(scalar.preferFieldDct(area, 16), fast->preferFieldDct(area, 16)) << n;
    }
}

// The OSD palette, the octree quantiser and the dithered conversion. The quantiser is
// compared bit for bit with the literal reference in OsdQuantiserReference.cpp on
// generated frames; the edge cases check the behaviour the reference shares.
#include "txHost/skin/OsdPalette.h"
#include "txHost/skin/OsdQuantiser.h"

#include "tests/skin/OsdQuantiserReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace tx::skin;

namespace
{
uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue)
{
    return (red << 16) | (green << 8) | blue;
}

OsdPalette FixedPalette()
{
    OsdPalette palette;
    palette.Reset();
    return palette;
}

struct Converted
{
    OsdPalette palette;
    uint32_t colourCount = 0;
    std::vector<uint8_t> frame;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> map;
};

Converted Convert(COsdQuantiser &quantiser, std::vector<uint32_t> pixels, uint32_t width, uint32_t height,
                  const OsdPalette &fixed)
{
    Converted out;
    out.palette = fixed;
    out.frame.assign(static_cast<size_t>(width) * height, 0xEE);
    quantiser.QuantiseFrame(pixels.data(), pixels.size(), out.palette);
    out.colourCount = quantiser.ColourCount();
    quantiser.ConvertFrame(pixels.data(), width, height, out.palette, out.frame.data());
    out.pixels = std::move(pixels);
    out.map.assign(quantiser.ColourMap(), quantiser.ColourMap() + COsdQuantiser::kCellCount);
    return out;
}

COsdQuantiser &SharedQuantiser()
{
    // One store for every frame, as in the OSD: each frame must start from a clean state.
    static COsdQuantiser quantiser;
    if (!quantiser.IsBuilt())
    {
        EXPECT_TRUE(quantiser.BuildQuantiserTables());
    }
    return quantiser;
}

// ---- Frame generators (pixels in bottom-up memory order) ----

using Generator = std::function<uint32_t(uint32_t x, uint32_t y, std::mt19937 &random)>;

std::vector<uint32_t> MakeFrame(uint32_t width, uint32_t height, uint32_t seed, const Generator &generator)
{
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = generator(x, y, random);
    return pixels;
}

uint32_t Noise(uint32_t, uint32_t, std::mt19937 &random)
{
    return random() & 0x00FFFFFFu;
}

// Smooth gradients with a little grain, like a scaled photograph.
uint32_t Photo(uint32_t x, uint32_t y, std::mt19937 &random)
{
    const int grain = static_cast<int>(random() % 9) - 4;
    const int red = std::clamp(static_cast<int>((x * 255) / 159) + grain, 0, 255);
    const int green = std::clamp(static_cast<int>((y * 255) / 119) - grain, 0, 255);
    const int blue = std::clamp(static_cast<int>(((x + y) * 97) % 256) + grain, 0, 255);
    return Rgb(red, green, blue);
}

// Transparent background, flat boxes and anti-aliased edges, some index pixels.
uint32_t Menu(uint32_t x, uint32_t y, std::mt19937 &random)
{
    if (y < 10 || y > 100)
        return 0xFF000000u;
    if (x < 20)
        return 0xFF000000u | (3 + (y % 4));
    if ((x / 16 + y / 12) % 3 == 0)
        return Rgb(0x20, 0x40, 0xA0);
    if ((x % 7) == 0)
    {
        const uint32_t level = random() % 256;
        return Rgb(level, level, (level * 3) / 4); // text edge blending into the box
    }
    return Rgb(0xF0, 0xF0, 0xE8);
}

// Every kind of pixel: colour, index, translucent and the unused low top bytes.
uint32_t Mixed(uint32_t, uint32_t, std::mt19937 &random)
{
    const uint32_t kind = random() % 10;
    const uint32_t colour = random() & 0x00FFFFFFu;
    if (kind < 6)
        return colour;
    if (kind < 8)
        return 0xFF000000u | (random() % 256);
    if (kind < 9)
        return (static_cast<uint32_t>(0x80 + random() % 0x7F) << 24) | colour;
    return (static_cast<uint32_t>(1 + random() % 0x7F) << 24) | colour;
}

Generator FewColours(uint32_t count)
{
    return [count](uint32_t x, uint32_t y, std::mt19937 &) {
        const uint32_t k = (x / 4 + 7 * (y / 3)) % count;
        return Rgb((k * 53) % 256, (k * 101) % 256, (k * 197) % 256);
    };
}

// Extreme colours next to each other: the diffused error clamps all the time.
uint32_t Stripes(uint32_t x, uint32_t y, std::mt19937 &random)
{
    static const uint32_t colours[] = {Rgb(255, 255, 255), Rgb(0, 0, 0), Rgb(250, 5, 130), Rgb(7, 250, 3),
                                       Rgb(128, 128, 128)};
    return colours[(x + y + random() % 2) % 5];
}

// ---- Palettes: the fixed part the elements leave ----

OsdPalette WithElementColours(uint32_t extra, uint32_t seed)
{
    OsdPalette palette = FixedPalette();
    std::mt19937 random(seed);
    uint8_t index = 0;
    while (palette.count < OsdPalette::kFixedCount + extra)
    {
        const uint32_t alpha = (random() % 4 == 0) ? 0x80u : 0xFFu; // some translucent fills
        EXPECT_TRUE(palette.FindOrAdd((alpha << 24) | (random() & 0x00FFFFFFu), index));
    }
    return palette;
}

struct PaletteCase
{
    const char *name;
    OsdPalette palette;
};

std::vector<PaletteCase> PaletteCases()
{
    return {
        {"fixed22", FixedPalette()},
        {"elements+12", WithElementColours(12, 5)},
        {"elements+228", WithElementColours(228, 6)}, // 250 fixed: reductions fall below the fixed count
        {"elements+234", WithElementColours(234, 7)}, // every entry fixed
    };
}

void ExpectSame(const Converted &actual, const reference::Result &expected, const std::string &what)
{
    ASSERT_FALSE(expected.ranPastRoot) << what;
    EXPECT_EQ(actual.colourCount, expected.colourCount) << what;
    EXPECT_LE(actual.colourCount, 256u) << what;
    for (int i = 0; i < 256; ++i)
    {
        ASSERT_EQ(actual.palette.colours[i], expected.palette.colours[i]) << what << " entry " << i;
        ASSERT_TRUE(actual.palette.entries[i] == expected.palette.entries[i]) << what << " entry " << i;
    }
    ASSERT_EQ(actual.frame.size(), expected.frame.size());
    for (size_t i = 0; i < actual.frame.size(); ++i)
        ASSERT_EQ(actual.frame[i], expected.frame[i]) << what << " frame byte " << i;
    ASSERT_TRUE(actual.pixels == expected.pixels) << what << ": pixels after diffusion differ";
    ASSERT_TRUE(actual.map == expected.map) << what << ": colour maps differ";
}
} // namespace

TEST(OsdPalette, ToOsdPaletteEntryUsesStudioRangeWithFlooringShifts)
{
    struct Case
    {
        uint32_t colour;
        OsdPaletteEntry entry;
    } cases[] = {
        {0x00000000, {0, 16, 128, 128}},   {0xFF000000, {255, 16, 128, 128}}, {0xFFFFFFFF, {255, 235, 128, 128}},
        {0xFFFF0000, {255, 81, 90, 239}},  {0xFF00FF00, {255, 144, 54, 34}},  {0xFF0000FF, {255, 40, 239, 110}},
        {0x80FF0000, {0x80, 81, 90, 239}}, {0x00808080, {0, 126, 128, 128}},
    };
    for (const Case &c : cases)
    {
        const OsdPaletteEntry e = ToOsdPaletteEntry(c.colour);
        EXPECT_TRUE(e == c.entry) << std::hex << c.colour << ": " << std::dec << int(e.alpha) << "," << int(e.y) << ","
                                  << int(e.cb) << "," << int(e.cr);
    }
}

TEST(OsdPalette, ResetPutsBackTheFixedEntriesAndLeavesTheRest)
{
    OsdPalette palette;
    palette.colours[30] = 0xFF123456;
    palette.count = 200;
    palette.Reset();
    EXPECT_EQ(palette.count, 22u);
    const uint32_t expected[22] = {0x00000000, 0xFF000000, 0xFF202020, 0xFF404040, 0xFF606060, 0xFFA0A0A0,
                                   0xFFE0E0E0, 0xFFFFFFFF, 0xFF808080, 0xFFC0C0C0, 0xFF000080, 0xFF0000FF,
                                   0xFF008080, 0xFF00FFFF, 0xFF008000, 0xFF00FF00, 0xFF808000, 0xFFFFFF00,
                                   0xFF800000, 0xFFFF0000, 0xFF800080, 0xFFFF00FF};
    for (int i = 0; i < 22; ++i)
    {
        EXPECT_EQ(palette.colours[i], expected[i]) << i;
        EXPECT_TRUE(palette.entries[i] == ToOsdPaletteEntry(expected[i])) << i;
    }
    EXPECT_TRUE(palette.entries[0] == kOsdTransparentEntry);
    EXPECT_EQ(palette.colours[30], 0xFF123456u);

    uint8_t bytes[1024];
    palette.CopyEntriesTo(bytes);
    EXPECT_EQ(bytes[4 * 7 + 0], 255);
    EXPECT_EQ(bytes[4 * 7 + 1], 235);
    EXPECT_EQ(bytes[4 * 7 + 2], 128);
    EXPECT_EQ(bytes[4 * 7 + 3], 128);
}

TEST(OsdPalette, FindOrAddComparesAllBitsAndRefusesWhenFull)
{
    OsdPalette palette = FixedPalette();
    uint8_t index = 0;
    ASSERT_TRUE(palette.FindOrAdd(0xFFFFFFFF, index));
    EXPECT_EQ(index, 7);
    ASSERT_TRUE(palette.FindOrAdd(0x80FFFFFF, index)); // same RGB, other alpha: a new entry
    EXPECT_EQ(index, 22);
    EXPECT_TRUE(palette.entries[22] == ToOsdPaletteEntry(0x80FFFFFF));
    while (palette.count < 256)
        ASSERT_TRUE(palette.FindOrAdd(0xFF123400u | palette.count, index));
    EXPECT_EQ(index, 255);
    ASSERT_TRUE(palette.FindOrAdd(0x80FFFFFF, index));
    EXPECT_EQ(index, 22);
    EXPECT_FALSE(palette.FindOrAdd(0xFF654321, index));
    EXPECT_EQ(palette.count, 256u);
}

TEST(OsdQuantiser, ColourBallAndInterleavedOrder)
{
    const auto ball = OsdColourBall();
    ASSERT_EQ(ball.size(), 257u);
    std::set<std::tuple<int, int, int>> seen;
    for (size_t i = 0; i < ball.size(); ++i)
    {
        const OsdBallOffset &o = ball[i];
        EXPECT_LE(o.blue * o.blue + o.green * o.green + o.red * o.red, 16);
        EXPECT_EQ(o.unused, 0);
        seen.insert({o.blue, o.green, o.red});
        if (i > 0)
        {
            const OsdBallOffset &p = ball[i - 1];
            EXPECT_LT(std::tie(p.blue, p.green, p.red), std::tie(o.blue, o.green, o.red)) << i;
        }
    }
    EXPECT_EQ(seen.size(), 257u);
    EXPECT_EQ(ball.front().blue, -4);
    EXPECT_EQ(ball.back().blue, 4);

    EXPECT_EQ(InterleaveCubeIndex(1, 0, 0), 4u);
    EXPECT_EQ(InterleaveCubeIndex(0, 1, 0), 2u);
    EXPECT_EQ(InterleaveCubeIndex(0, 0, 1), 1u);
    EXPECT_EQ(InterleaveCubeIndex(16, 0, 0), 1u << 14);
    EXPECT_EQ(InterleaveCubeIndex(31, 31, 31), 32767u);
    EXPECT_EQ(OsdCubeCell(0x00FF0000), 31u * 1024);
    EXPECT_EQ(OsdCubeCell(0x0000FF08), 31u * 32 + 1);
}

TEST(OsdQuantiser, MatchesReferenceOnGeneratedFrames)
{
    struct FrameCase
    {
        const char *name;
        uint32_t width, height;
        Generator generator;
    };
    const FrameCase frames[] = {
        {"noise", 160, 120, Noise},   {"photo", 160, 120, Photo},      {"menu", 160, 120, Menu},
        {"mixed", 97, 61, Mixed},     {"few", 64, 48, FewColours(40)}, {"300", 80, 60, FewColours(300)},
        {"stripes", 33, 17, Stripes}, {"line", 50, 1, Noise},          {"two lines", 1, 2, Noise},
        {"column", 1, 40, Photo},
    };
    COsdQuantiser &quantiser = SharedQuantiser();
    for (const PaletteCase &palette : PaletteCases())
        for (const FrameCase &frame : frames)
            for (uint32_t seed = 1; seed <= 2; ++seed)
            {
                const std::string what = std::string(palette.name) + "/" + frame.name + "/" + std::to_string(seed);
                const std::vector<uint32_t> pixels = MakeFrame(frame.width, frame.height, seed, frame.generator);
                const Converted actual = Convert(quantiser, pixels, frame.width, frame.height, palette.palette);
                const reference::Result expected =
                    reference::QuantiseAndConvert(pixels, frame.width, frame.height, palette.palette);
                ExpectSame(actual, expected, what);
                if (HasFatalFailure())
                    return;
            }
}

TEST(OsdQuantiser, MatchesReferenceOnFullSizeFrames)
{
    COsdQuantiser &quantiser = SharedQuantiser();
    for (const Generator &generator : {Generator(Noise), Generator(Photo)})
    {
        const std::vector<uint32_t> pixels = MakeFrame(720, 480, 11, generator);
        const Converted actual = Convert(quantiser, pixels, 720, 480, FixedPalette());
        ExpectSame(actual, reference::QuantiseAndConvert(pixels, 720, 480, FixedPalette()), "720x480");
    }
}

TEST(OsdQuantiser, IndexOnlyFrameKeepsTheFixedPaletteAndItsIndices)
{
    const uint32_t width = 8, height = 4;
    std::vector<uint32_t> pixels(width * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | static_cast<uint32_t>(i % 23);
    OsdPalette fixed = WithElementColours(1, 3); // one element colour: index 22
    const Converted out = Convert(SharedQuantiser(), pixels, width, height, fixed);
    EXPECT_EQ(out.colourCount, 23u);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(out.palette.colours[i], fixed.colours[i]) << i;
    for (int i = 23; i < 256; ++i)
    {
        EXPECT_EQ(out.palette.colours[i], 0u) << i;
        EXPECT_TRUE(out.palette.entries[i] == kOsdTransparentEntry) << i;
    }
    for (uint32_t y = 1; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            EXPECT_EQ(out.frame[y * width + x], pixels[(height - 1 - y) * width + x] & 0xFF) << x << "," << y;
}

TEST(OsdQuantiser, FewColoursGetOneEntryEachWithTheirAverage)
{
    // Three cells, each drawn with shades that share the cell; far from the fixed colours.
    const uint32_t shades[3][2] = {{Rgb(0x31, 0x99, 0x52), Rgb(0x36, 0x9E, 0x55)},
                                   {Rgb(0xD1, 0x52, 0x2A), Rgb(0xD4, 0x50, 0x28)},
                                   {Rgb(0x5A, 0x2B, 0xC9), Rgb(0x5A, 0x2B, 0xC9)}};
    std::vector<uint32_t> pixels;
    for (int repeat = 0; repeat < 3; ++repeat)
        for (const auto &cell : shades)
            pixels.insert(pixels.end(), {cell[0], cell[1], cell[1]});
    OsdPalette palette = FixedPalette();
    COsdQuantiser &quantiser = SharedQuantiser();
    quantiser.QuantiseFrame(pixels.data(), pixels.size(), palette);
    ASSERT_EQ(quantiser.ColourCount(), 25u);
    for (int k = 0; k < 3; ++k)
    {
        const uint32_t a = shades[k][0], b = shades[k][1];
        const uint32_t expected =
            0xFF000000u | Rgb((((a >> 16) & 0xFF) + 2 * ((b >> 16) & 0xFF)) / 3,
                              (((a >> 8) & 0xFF) + 2 * ((b >> 8) & 0xFF)) / 3, ((a & 0xFF) + 2 * (b & 0xFF)) / 3);
        EXPECT_EQ(palette.colours[22 + k], expected) << k;
        EXPECT_TRUE(palette.entries[22 + k] == ToOsdPaletteEntry(expected)) << k;
    }
    EXPECT_EQ(palette.colours[25], 0u);
}

TEST(OsdQuantiser, ColourOnAFixedLeafGetsNoEntry)
{
    // Same 15-bit cells as fixed red (0xFF0000) and grey 0x808080.
    std::vector<uint32_t> pixels = {Rgb(250, 3, 6), Rgb(0x84, 0x83, 0x86), Rgb(250, 3, 6)};
    OsdPalette palette = FixedPalette();
    COsdQuantiser &quantiser = SharedQuantiser();
    quantiser.QuantiseFrame(pixels.data(), pixels.size(), palette);
    EXPECT_EQ(quantiser.ColourCount(), 22u);
    EXPECT_EQ(palette.colours[22], 0u);
}

TEST(OsdQuantiser, WhiteMapsToTheFixedWhiteWithoutErrorAndTheTopLineIsTransparent)
{
    const uint32_t width = 6, height = 3;
    std::vector<uint32_t> pixels(width * height, Rgb(255, 255, 255));
    pixels[0] = Rgb(0x10, 0x70, 0x20); // bottom-left: a far colour of its own
    const Converted out = Convert(SharedQuantiser(), pixels, width, height, FixedPalette());
    for (uint32_t x = 0; x < width; ++x)
        EXPECT_EQ(out.frame[x], 0) << "top line, column " << x;
    for (uint32_t y = 1; y < height; ++y)
    {
        for (uint32_t x = 0; x < width; ++x)
        {
            if (!(y == height - 1 && x == 0))
            {
                EXPECT_EQ(out.frame[y * width + x], 7) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(out.frame[(height - 1) * width], 22); // its own exact entry: no error to spread either
    for (size_t i = 1; i < pixels.size(); ++i)
        EXPECT_EQ(out.pixels[i], Rgb(255, 255, 255)) << i;
}

TEST(OsdQuantiser, ErrorDiffusionClampsSkipsIndexPixelsAndKeepsTopBytes)
{
    // Only black (1) and white (2) are opaque; every entry is fixed, so nothing is added.
    OsdPalette palette;
    palette.colours[1] = 0xFF000000;
    palette.colours[2] = 0xFFFFFFFF;
    palette.count = 256;
    const uint32_t width = 5, height = 2; // only the bottom line is converted
    std::vector<uint32_t> pixels = {Rgb(0x80, 0x80, 0x80), 0xFF000003, Rgb(0x10, 0x10, 0x10), Rgb(0x70, 0x70, 0x70),
                                    0x05F0F0F0,
                                    // top line: never converted, never receives error
                                    Rgb(0x80, 0x80, 0x80), Rgb(0x80, 0x80, 0x80), Rgb(0x80, 0x80, 0x80),
                                    Rgb(0x80, 0x80, 0x80), Rgb(0x80, 0x80, 0x80)};
    const std::vector<uint32_t> original = pixels;
    const Converted out = Convert(SharedQuantiser(), pixels, width, height, palette);
    EXPECT_EQ(out.colourCount, 256u);
    // grey -> white (error -127, 7/16 -> -56) lands on an index pixel: unchanged.
    // 0x10 -> black, +16 x 7/16 = +7 on 0x70; 0x77 -> black, +119 x 7/16 = +52: 0xF0 + 52 clamps to 0xFF.
    const uint8_t expectedLine[] = {2, 3, 1, 1, 2};
    for (uint32_t x = 0; x < width; ++x)
        EXPECT_EQ(out.frame[width + x], expectedLine[x]) << x;
    EXPECT_EQ(out.pixels[1], 0xFF000003u);
    EXPECT_EQ(out.pixels[3], Rgb(0x77, 0x77, 0x77));
    EXPECT_EQ(out.pixels[4], 0x05FFFFFFu);
    for (uint32_t x = 0; x < width; ++x)
        EXPECT_EQ(out.pixels[width + x], original[width + x]);

    // Clamping at 0: grey -> white, -56 on 0x10, 0x20 and 0x30.
    std::vector<uint32_t> low = {Rgb(0x80, 0x80, 0x80), Rgb(0x10, 0x20, 0x30), 0, 0};
    const Converted lowOut = Convert(SharedQuantiser(), low, 2, 2, palette);
    EXPECT_EQ(lowOut.pixels[1], 0u);
    EXPECT_EQ(lowOut.frame[2], 2);
    EXPECT_EQ(lowOut.frame[3], 1);
}

TEST(OsdQuantiser, ReductionMergesGroupsOfEightFromTheFirstLeaves)
{
    // Colour of the cell whose leaf sits at an interleaved position.
    auto colourOfLeaf = [](uint32_t position) {
        uint32_t red = 0, green = 0, blue = 0;
        for (uint32_t bit = 0; bit < 5; ++bit)
        {
            red |= ((position >> (3 * bit + 2)) & 1u) << bit;
            green |= ((position >> (3 * bit + 1)) & 1u) << bit;
            blue |= ((position >> (3 * bit)) & 1u) << bit;
        }
        return Rgb(red * 8 + 3, green * 8 + 3, blue * 8 + 3);
    };
    std::set<uint32_t> fixedLeaves;
    for (uint32_t c : kOsdFixedColours)
        fixedLeaves.insert(InterleaveCubeIndex((c >> 19) & 31, (c >> 11) & 31, (c >> 3) & 31));

    // The 8 leaves of the second group (the first holds fixed black), then one colour
    // in each of many later groups until 256 entries are in use, then 65 more.
    std::vector<uint32_t> pixels;
    for (uint32_t position = 8; position < 16; ++position)
        pixels.push_back(colourOfLeaf(position));
    for (uint32_t group = 2000; pixels.size() < 300; ++group)
        if (!fixedLeaves.count(8 * group))
            pixels.push_back(colourOfLeaf(8 * group));

    OsdPalette palette = FixedPalette();
    COsdQuantiser &quantiser = SharedQuantiser();
    std::vector<uint32_t> first(pixels.begin(), pixels.begin() + 235); // 22 fixed + 234 = 256, then one more
    quantiser.QuantiseFrame(first.data(), first.size(), palette);
    // The 235th colour merged the 8 leaves of the second group into one entry: 256 - 8 + 1 + 1.
    EXPECT_EQ(quantiser.ColourCount(), 250u);
    // The freed indices come back first: the group's average takes the first of them
    // (22), the new colour the next (23); entries from the count up are transparent.
    uint32_t sums[3] = {};
    for (size_t i = 0; i < 8; ++i)
        for (int c = 0; c < 3; ++c)
            sums[c] += (pixels[i] >> (8 * c)) & 0xFF;
    EXPECT_EQ(palette.colours[22], 0xFF000000u | Rgb(sums[2] / 8, sums[1] / 8, sums[0] / 8));
    EXPECT_EQ(palette.colours[23], 0xFF000000u | first.back());
    for (size_t i = 8; i + 22 < 250; ++i)
        EXPECT_EQ(palette.colours[i + 22], 0xFF000000u | pixels[i]) << i;
    for (int i = 250; i < 256; ++i)
        EXPECT_EQ(palette.colours[i], 0u) << i;

    // All 300: the count never passes 256.
    palette = FixedPalette();
    quantiser.QuantiseFrame(pixels.data(), pixels.size(), palette);
    EXPECT_LE(quantiser.ColourCount(), 256u);
    const reference::Result expected = reference::QuantiseAndConvert(pixels, 300, 1, FixedPalette());
    EXPECT_EQ(quantiser.ColourCount(), expected.colourCount);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(palette.colours[i], expected.palette.colours[i]) << i;
}

TEST(OsdQuantiser, WithoutTablesNothingIsTouched)
{
    COsdQuantiser quantiser;
    OsdPalette palette = FixedPalette();
    palette.colours[40] = 0xFF010203;
    uint32_t pixel = Rgb(1, 2, 3);
    uint8_t frame[1] = {0xEE};
    quantiser.QuantiseFrame(&pixel, 1, palette);
    quantiser.ConvertFrame(&pixel, 1, 1, palette, frame);
    EXPECT_EQ(palette.colours[40], 0xFF010203u);
    EXPECT_EQ(frame[0], 0xEE);
    EXPECT_EQ(quantiser.ColourMap(), nullptr);
}

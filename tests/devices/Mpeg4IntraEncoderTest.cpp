// The encoder object: argument checks, geometry, interlace rule, time stamps, the VO/VOL
// and VOP headers bit for bit, macroblock coding of known pictures, the output bound,
// and byte identity of the SSE2 and scalar kernels.
#include "txHost/devices/Mpeg4IntraEncoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "EncoderTestPictures.h"
#include "txHost/devices/Mpeg4IntraMacroblock.h"
#include "txHost/devices/Mpeg4Vlc.h"

using namespace tx::mpeg4;
using namespace tx::test;

namespace
{

// One sample as the owners write it: optional stream headers, one VOP, stuffing.
std::vector<uint8_t> EncodeSample(CMpeg4IntraEncoder &encoder, const uint8_t *input, bool withHeaders,
                                  bool flip = false)
{
    std::vector<uint8_t> buffer(encoder.GetMaxOutputBytes());
    encoder.SetOutputBuffer(buffer.data(), buffer.size());
    if (withHeaders)
        encoder.WriteStreamHeader();
    EXPECT_EQ(encoder.EncodeFrame(input, flip), S_OK);
    encoder.AlignToByte();
    buffer.resize(encoder.GetByteCount());
    return buffer;
}

std::string AllBits(const std::vector<uint8_t> &bytes)
{
    return BitString(bytes.data(), bytes.size() * 8);
}

uint32_t Field(const std::string &bits, size_t at, size_t count)
{
    return static_cast<uint32_t>(std::stoul(bits.substr(at, count), nullptr, 2));
}

const std::string kVopStart = Bits("00000000 00000000 00000001 10110110");

} // namespace

TEST(Mpeg4IntraEncoder, InitRefusesBadArguments)
{
    struct Case
    {
        int layout;
        int width;
        int height;
        uint32_t resolution;
        uint32_t ticks;
        HRESULT expected;
    } cases[] = {
        {kInputI420, 720, 480, 30, 1, S_OK},
        {kInputRgb24, 8191, 16, 25, 1, S_OK},
        {kInputI420, 1, 1, 1, 1, S_OK}, // exactly one second per frame
        {-1, 720, 480, 30, 1, E_INVALIDARG},
        {7, 720, 480, 30, 1, E_INVALIDARG},
        {kInputI420, 0, 480, 30, 1, E_INVALIDARG},
        {kInputI420, -16, 480, 30, 1, E_INVALIDARG},
        {kInputI420, 8192, 480, 30, 1, E_INVALIDARG},
        {kInputI420, 720, 0, 30, 1, E_INVALIDARG},
        {kInputI420, 720, 8192, 30, 1, E_INVALIDARG},
        {kInputI420, 720, 480, 0, 1, E_INVALIDARG}, // zero rate
        {kInputI420, 720, 480, 30, 0, E_INVALIDARG},
        {kInputI420, 720, 480, 30, 31, E_INVALIDARG}, // frame period above one second
        {kInputI420, 720, 480, 1, 2, E_INVALIDARG},
    };
    for (const Case &c : cases)
    {
        CMpeg4IntraEncoder encoder;
        EXPECT_EQ(encoder.Init(c.layout, c.width, c.height, c.resolution, c.ticks, false), c.expected)
            << c.layout << " " << c.width << "x" << c.height << " " << c.ticks << "/" << c.resolution;
    }
    CMpeg4IntraEncoder uninitialised;
    const uint8_t pixel = 0;
    EXPECT_EQ(uninitialised.EncodeFrame(&pixel, false), E_UNEXPECTED);
}

TEST(Mpeg4IntraEncoder, GeometryInterlaceAndTimeFields)
{
    struct Case
    {
        int width;
        int height;
        bool interlace;
        uint32_t resolution;
        uint32_t ticks;
        int mbPerRow;
        int mbRows;
        bool interlaced;
        uint32_t reducedResolution;
        uint32_t reducedTicks;
        unsigned incrementBits;
    } cases[] = {
        {720, 480, true, 30, 1, 45, 30, true, 30, 1, 5},
        {720, 576, true, 25, 1, 45, 36, true, 25, 1, 5},
        {700, 470, false, 30000, 1001, 44, 30, false, 30000, 1001, 15},
        {352, 352, true, 60, 2, 22, 22, false, 30, 1, 5}, // 352 lines: always progressive
        {352, 337, true, 2, 1, 22, 22, false, 2, 1, 1},   // pads to 352: progressive
        {352, 353, true, 2, 1, 22, 23, true, 2, 1, 1},    // pads to 368: interlaced
        {16, 16, false, 1, 1, 1, 1, false, 1, 1, 1},
        {17, 1, false, 32, 1, 2, 1, false, 32, 1, 5},
        {17, 1, false, 33, 1, 2, 1, false, 33, 1, 6},
        {64, 64, false, 90000, 3003, 4, 4, false, 30000, 1001, 15},
    };
    for (const Case &c : cases)
    {
        CMpeg4IntraEncoder encoder;
        ASSERT_EQ(encoder.Init(kInputI420, c.width, c.height, c.resolution, c.ticks, c.interlace), S_OK);
        EXPECT_EQ(encoder.MacroblocksPerRow(), c.mbPerRow) << c.width;
        EXPECT_EQ(encoder.MacroblockRows(), c.mbRows) << c.height;
        EXPECT_EQ(encoder.PaddedWidth(), 16 * c.mbPerRow);
        EXPECT_EQ(encoder.PaddedHeight(), 16 * c.mbRows);
        EXPECT_EQ(encoder.IsInterlaced(), c.interlaced) << c.height;
        EXPECT_EQ(encoder.IsTopFieldFirst(), c.interlaced);
        EXPECT_EQ(encoder.TimeResolution(), c.reducedResolution);
        EXPECT_EQ(encoder.TicksPerFrame(), c.reducedTicks);
        EXPECT_EQ(encoder.TimeIncrementBits(), c.incrementBits);
    }
}

TEST(Mpeg4IntraEncoder, LargeResolutionsAreScaledToSixteenBits)
{
    uint32_t ticks = 1000;
    uint32_t resolution = 120001; // prime to 1000
    ReduceFraction(ticks, resolution);
    EXPECT_LE(resolution, 65535u);
    EXPECT_GE(resolution, 65530u);
    EXPECT_NEAR(static_cast<double>(ticks) / resolution, 1000.0 / 120001.0, 1e-4);
}

TEST(Mpeg4IntraEncoder, StreamHeaderOf720x480MatchesTheGoldenBytes)
{
    CMpeg4IntraEncoder encoder;
    ASSERT_EQ(encoder.Init(kInputI420, 720, 480, 30, 1, false), S_OK);
    std::vector<uint8_t> buffer(64, 0);
    encoder.SetOutputBuffer(buffer.data(), buffer.size());
    encoder.WriteStreamHeader();
    const size_t bytes = encoder.GetByteCount();
    EXPECT_EQ(bytes, 18u);
    const uint8_t golden[] = {0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x20,
                              0x00, 0x04, 0x40, 0x07, 0xA8, 0xB4, 0x21, 0xE0};
    EXPECT_EQ(std::memcmp(buffer.data(), golden, sizeof(golden)), 0);
    EXPECT_EQ(BitString(buffer.data() + 16, 12), Bits("1010 0100 1100"));

    // The interlaced header differs in the interlaced bit only (bit 65 of the VOL fields).
    CMpeg4IntraEncoder interlaced;
    ASSERT_EQ(interlaced.Init(kInputI420, 720, 480, 30, 1, true), S_OK);
    std::vector<uint8_t> other(64, 0);
    interlaced.SetOutputBuffer(other.data(), other.size());
    interlaced.WriteStreamHeader();
    interlaced.GetByteCount();
    std::string a = BitString(buffer.data(), 140);
    std::string b = BitString(other.data(), 140);
    EXPECT_EQ(a[64 + 65], '0');
    EXPECT_EQ(b[64 + 65], '1');
    a[64 + 65] = '1';
    EXPECT_EQ(a, b);
}

TEST(Mpeg4IntraEncoder, VolCarriesTheTrueSizeOfOddPictures)
{
    CMpeg4IntraEncoder encoder;
    ASSERT_EQ(encoder.Init(kInputI420, 700, 470, 30, 1, false), S_OK);
    EXPECT_EQ(encoder.MacroblocksPerRow(), 44);
    EXPECT_EQ(encoder.MacroblockRows(), 30);
    std::vector<uint8_t> buffer(64, 0);
    encoder.SetOutputBuffer(buffer.data(), buffer.size());
    encoder.WriteStreamHeader();
    encoder.GetByteCount();
    const std::string bits = BitString(buffer.data(), 140);
    EXPECT_EQ(Field(bits, 64 + 37, 13), 700u);
    EXPECT_EQ(Field(bits, 64 + 51, 13), 470u);
}

TEST(Mpeg4IntraEncoder, VopTimeStampsCountSecondsAndTicks)
{
    struct Case
    {
        uint32_t resolution;
        uint32_t ticks;
        bool interlace;
        int frame;
        const char *fields; // after the start code, up to vop_quant included
    } cases[] = {
        {30, 1, false, 0, "00 0 1 00000 1 1 000 00010"},
        {30, 1, false, 29, "00 0 1 11101 1 1 000 00010"},
        {30, 1, false, 30, "00 10 1 00000 1 1 000 00010"},
        {30, 1, false, 45, "00 0 1 01111 1 1 000 00010"},
        {30000, 1001, false, 1, "00 0 1 000001111101001 1 1 000 00010"},
        {1, 1, false, 2, "00 10 1 0 1 1 000 00010"},
        {25, 1, true, 0, "00 0 1 00000 1 1 000 1 0 00010"}, // interlaced: top_field_first 1, alternate scan 0
    };
    for (const Case &c : cases)
    {
        const int height = c.interlace ? 368 : 16;
        CMpeg4IntraEncoder encoder;
        ASSERT_EQ(encoder.Init(kInputI420, 16, height, c.resolution, c.ticks, c.interlace), S_OK);
        const I420Picture flat = MakeFlatI420(16, height, 128, 128, 128);
        std::vector<uint8_t> sample;
        for (int frame = 0; frame <= c.frame; ++frame)
            sample = EncodeSample(encoder, flat.data.data(), false);
        const std::string bits = AllBits(sample);
        const std::string expected = Bits(c.fields);
        ASSERT_EQ(bits.substr(0, 32), kVopStart);
        EXPECT_EQ(bits.substr(32, expected.size()), expected) << c.resolution << " frame " << c.frame;
    }
}

TEST(Mpeg4IntraEncoder, FlatPicturesCodeEveryMacroblockAsTheDcOnlyPattern)
{
    // 48 x 32 mid grey: six macroblocks, each mcbpc 1, ac_pred 0, cbpy 0011, and DC
    // differentials 0 (011 for luma, 11 for chroma); then the stuffing.
    const std::string macroblock = Bits("1 0 0011 011 011 011 011 11 11");
    CMpeg4IntraEncoder encoder;
    ASSERT_EQ(encoder.Init(kInputI420, 48, 32, 30, 1, false), S_OK);
    const I420Picture flat = MakeFlatI420(48, 32, 128, 128, 128);
    const std::string bits = AllBits(EncodeSample(encoder, flat.data.data(), false));
    const size_t header = 32 + Bits("00 0 1 00000 1 1 000 00010").size();
    std::string expected;
    for (int i = 0; i < 6; ++i)
        expected += macroblock;
    EXPECT_EQ(bits.substr(header, expected.size()), expected);
    const std::string stuffing = bits.substr(header + expected.size());
    EXPECT_EQ(stuffing, Bits("01111111").substr(0, stuffing.size()));
    EXPECT_EQ(bits.size() % 8, 0u);

    // Interlaced: the same plus dct_type 1 (a flat macroblock ties, which chooses fields).
    CMpeg4IntraEncoder interlaced;
    ASSERT_EQ(interlaced.Init(kInputI420, 16, 368, 30, 1, true), S_OK);
    const I420Picture tall = MakeFlatI420(16, 368, 128, 128, 128);
    const std::string tallBits = AllBits(EncodeSample(interlaced, tall.data.data(), false));
    const size_t tallHeader = 32 + Bits("00 0 1 00000 1 1 000 1 0 00010").size();
    EXPECT_EQ(tallBits.substr(tallHeader, 23), Bits("1 0 0011 1 011 011 011 011 11 11"));
}

TEST(Mpeg4IntraEncoder, AlternatingLinesCodeAsFlatFields)
{
    // Even lines 40, odd lines 200: as fields each block is flat, so cbp is 0, dct_type 1,
    // and the lower blocks (odd lines) differ from the upper ones by (200 - 40).
    I420Picture picture = MakeFlatI420(16, 368, 0, 128, 128);
    for (int y = 0; y < 368; ++y)
        std::memset(picture.Y() + y * 16, y % 2 != 0 ? 200 : 40, 16);
    CMpeg4IntraEncoder encoder;
    ASSERT_EQ(encoder.Init(kInputI420, 16, 368, 30, 1, true), S_OK);
    const std::string bits = AllBits(EncodeSample(encoder, picture.data.data(), false));
    const size_t header = 32 + Bits("00 0 1 00000 1 1 000 1 0 00010").size();
    // Block 0: 40 - 128 = -88 (size 7: 000001, bits 0100111); block 1: 0 (011);
    // block 2: predicted from block 0 above it: 160 (size 8: 0000001, 10100000); block 3:
    // predicted from block 2 on its left: 0.
    EXPECT_EQ(bits.substr(header, 7 + 6 + 7 + 3 + 7 + 8 + 3),
              Bits("1 0 0011 1 000001 0100111 011 0000001 10100000 011"));
}

TEST(Mpeg4IntraEncoder, DcPredictionFollowsTheNeighbourTable)
{
    struct Case
    {
        int a;
        int b;
        int c;
        int predictor;
    } cases[] = {
        {1024, 1024, 1024, 128}, // picture corner: all missing
        {800, 1000, 1000, 100},  // |A - B| >= |B - C|: from the left
        {1000, 1000, 800, 100},  // |A - B| < |B - C|: from above
        {900, 1000, 1100, 113},  // a tie chooses the left
        {0, 0, 0, 0},
        {4, 0, 0, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PredictDcLevel(c.a, c.b, c.c), c.predictor) << c.a << "," << c.b << "," << c.c;

    // Two macroblocks side by side in the first row, with injected DC levels.
    int16_t levels[6][64] = {};
    const int16_t first[6] = {10, 20, 30, 40, 50, 60};
    for (int b = 0; b < 6; ++b)
        levels[b][0] = first[b];
    int16_t records[16] = {};
    std::vector<uint8_t> buffer(256);
    BitWriter writer;
    writer.Reset(buffer.data(), buffer.size());
    CodeIntraMacroblock(writer, levels, 0, records, DcNeighbours{nullptr, nullptr, nullptr}, false, false);
    const int expectedFirst[6] = {10 - 128, 20 - 10, 30 - 10, 40 - 30, 50 - 128, 60 - 128};
    for (int b = 0; b < 6; ++b)
    {
        EXPECT_EQ(levels[b][0], expectedFirst[b]) << b;
        EXPECT_EQ(records[b], 8 * first[b]) << b;
    }
    const int16_t second[6] = {25, 5, 35, 45, 70, 40};
    for (int b = 0; b < 6; ++b)
        levels[b][0] = second[b];
    CodeIntraMacroblock(writer, levels, 0, records + 8, DcNeighbours{records, nullptr, nullptr}, false, false);
    // Block 0: A = left block 1 (160), B = C = 1024 -> A; block 1: A = block 0 (200),
    // B = C = 1024 -> A; block 2: A = left block 3 (320), B = left block 1 (160), C =
    // block 0 (200): 160 >= 40 -> A; block 3: A = 280, B = 200, C = 40: 80 < 160 -> C.
    const int expectedSecond[6] = {25 - 20, 5 - 25, 35 - 40, 45 - 5, 70 - 50, 40 - 60};
    for (int b = 0; b < 6; ++b)
        EXPECT_EQ(levels[b][0], expectedSecond[b]) << b;
}

TEST(Mpeg4IntraEncoder, DcDifferentialsUseTheSizeCodes)
{
    struct Case
    {
        int differential;
        bool chroma;
        const char *bits;
    } cases[] = {
        {0, false, "011"},
        {0, true, "11"},
        {1, false, "11 1"},
        {-1, false, "11 0"},
        {-1, true, "10 0"},
        {3, true, "01 11"},
        {-3, true, "01 00"},
        {-88, false, "000001 0100111"},
        {255, false, "0000001 11111111"},
        {-255, true, "00000001 00000000"},
        {300, false, "00000001 100101100 1"}, // size 9 takes a marker bit
    };
    for (const Case &c : cases)
    {
        std::vector<uint8_t> buffer(8, 0);
        BitWriter writer;
        writer.Reset(buffer.data(), buffer.size());
        WriteDcDifferential(writer, c.differential, c.chroma);
        const size_t count = static_cast<size_t>(writer.GetBitCount());
        writer.GetByteCount();
        EXPECT_EQ(BitString(buffer.data(), count), Bits(c.bits)) << c.differential;
    }
}

TEST(Mpeg4IntraEncoder, InjectedBlockUsesAllThreeEscapes)
{
    int16_t block[64] = {};
    block[kZigzagScan[1]] = 28;    // run 0: mode 1
    block[kZigzagScan[17]] = 1;    // run 15: mode 2
    block[kZigzagScan[63]] = -300; // run 45, last: mode 3
    std::vector<uint8_t> buffer(32, 0);
    BitWriter writer;
    writer.Reset(buffer.data(), buffer.size());
    WriteAcLevels(writer, block);
    const size_t count = static_cast<size_t>(writer.GetBitCount());
    writer.GetByteCount();
    EXPECT_EQ(BitString(buffer.data(), count),
              Bits("0000011 0 10 0  0000011 10 10 0  0000011 11 1 101101 1 111011010100 1"));

    int16_t empty[64] = {};
    empty[0] = 99; // the DC is not an AC event
    BitWriter none;
    none.Reset(buffer.data(), buffer.size());
    WriteAcLevels(none, empty);
    EXPECT_EQ(none.GetBitCount(), 0u);
}

TEST(Mpeg4IntraEncoder, OutputStaysInsideTheBufferBound)
{
    struct Case
    {
        int width;
        int height;
    } cases[] = {{17, 1}, {1, 1}, {64, 64}, {33, 47}};
    for (const Case &c : cases)
    {
        CMpeg4IntraEncoder encoder;
        ASSERT_EQ(encoder.Init(kInputI420, c.width, c.height, 25, 1, false), S_OK);
        const I420Picture noise = MakeNoiseI420(c.width, c.height, 99);
        std::vector<uint8_t> buffer(encoder.GetMaxOutputBytes());
        encoder.SetOutputBuffer(buffer.data(), buffer.size());
        encoder.WriteStreamHeader();
        EXPECT_EQ(encoder.EncodeFrame(noise.data.data(), false), S_OK);
        encoder.AlignToByte();
        EXPECT_FALSE(encoder.HasOutputOverflowed());
        EXPECT_LE(encoder.GetByteCount(), buffer.size());
    }

    // A buffer that is too small: the failure is reported and nothing beyond it is touched.
    CMpeg4IntraEncoder encoder;
    ASSERT_EQ(encoder.Init(kInputI420, 64, 64, 25, 1, false), S_OK);
    const I420Picture noise = MakeNoiseI420(64, 64, 5);
    std::vector<uint8_t> memory(1000, 0x5A);
    encoder.SetOutputBuffer(memory.data() + 100, 800);
    EXPECT_EQ(encoder.EncodeFrame(noise.data.data(), false), E_NOT_SUFFICIENT_BUFFER);
    EXPECT_LE(encoder.GetByteCount(), 800u);
    for (size_t i : {0, 50, 99, 900, 950, 999})
        EXPECT_EQ(memory[i], 0x5A) << i;
}

TEST(Mpeg4IntraEncoder, Sse2AndScalarKernelsGiveIdenticalStreams)
{
    if (Sse2IntraKernels() == nullptr)
        GTEST_SKIP() << "no SSE2 in this build";
    TestRandom random(31);
    for (int n = 0; n < 60; ++n)
    {
        const int width = random.Range(1, 96);
        const int height = n % 4 == 0 ? random.Range(353, 400) : random.Range(1, 80);
        const bool interlace = n % 4 == 0;
        const I420Picture picture =
            n % 3 == 0 ? MakeNoiseI420(width, height, static_cast<uint32_t>(n)) : MakeNaturalI420(width, height, n);
        CMpeg4IntraEncoder scalar;
        CMpeg4IntraEncoder fast;
        ASSERT_EQ(scalar.Init(kInputI420, width, height, 25, 1, interlace), S_OK);
        ASSERT_EQ(fast.Init(kInputI420, width, height, 25, 1, interlace), S_OK);
        scalar.SetKernels(ScalarIntraKernels());
        fast.SetKernels(*Sse2IntraKernels());
        ASSERT_EQ(EncodeSample(scalar, picture.data.data(), true), EncodeSample(fast, picture.data.data(), true))
            << width << "x" << height;
    }
}

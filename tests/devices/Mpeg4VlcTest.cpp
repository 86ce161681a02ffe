// The code tables: a decodable (prefix-free) set, the LMAX/RMAX limits, and the three
// escapes.
#include "txHost/devices/Mpeg4Vlc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "EncoderTestPictures.h"
#include "txHost/devices/Mpeg4BlockKernels.h"

using namespace tx::mpeg4;
using tx::test::Bits;
using tx::test::BitString;

namespace
{

std::string CodeText(const VlcCode &code)
{
    std::string text;
    for (unsigned i = code.length; i > 0; --i)
    {
        text.push_back(((code.bits >> (i - 1)) & 1) != 0 ? '1' : '0');
    }
    return text;
}

// True when no code is a prefix of another; sums 2^-length into kraft.
bool PrefixFree(const std::vector<std::string> &codes, double *kraft)
{
    *kraft = 0;
    for (size_t i = 0; i < codes.size(); ++i)
    {
        *kraft += std::ldexp(1.0, -static_cast<int>(codes[i].size()));
        for (size_t j = 0; j < codes.size(); ++j)
        {
            if (i != j && codes[j].compare(0, codes[i].size(), codes[i]) == 0)
            {
                return false;
            }
        }
    }
    return true;
}

std::string EventBits(unsigned last, unsigned run, int level, bool fast)
{
    std::vector<uint8_t> buffer(16, 0);
    BitWriter writer;
    writer.Reset(buffer.data(), buffer.size());
    if (fast)
    {
        IntraAcCoder::Instance().Write(writer, last, run, level);
    }
    else
    {
        WriteIntraAcEvent(writer, last, run, level);
    }
    const uint64_t bits = writer.GetBitCount();
    writer.GetByteCount();
    return BitString(buffer.data(), static_cast<size_t>(bits));
}

} // namespace

TEST(Mpeg4Vlc, EveryCodeTableIsPrefixFree)
{
    unsigned count = 0;
    const TcoefTableEntry *table = IntraTcoefTable(&count);
    EXPECT_EQ(count, 102u);
    std::vector<std::string> tcoef{CodeText(kTcoefEscape)};
    for (unsigned i = 0; i < count; ++i)
    {
        tcoef.push_back(CodeText(table[i].code));
    }
    double kraft = 0;
    EXPECT_TRUE(PrefixFree(tcoef, &kraft));
    EXPECT_LE(kraft, 1.0);
    EXPECT_GT(kraft, 0.99); // only a few codes of the table are left unused

    std::vector<std::string> cbpy, luma, chroma, mcbpc;
    for (const VlcCode &c : kCbpy)
        cbpy.push_back(CodeText(c));
    for (const VlcCode &c : kLumaDcSize)
        luma.push_back(CodeText(c));
    for (const VlcCode &c : kChromaDcSize)
        chroma.push_back(CodeText(c));
    for (const VlcCode &c : kIntraMcbpc)
        mcbpc.push_back(CodeText(c));
    for (const auto *set : {&cbpy, &luma, &chroma, &mcbpc})
    {
        EXPECT_TRUE(PrefixFree(*set, &kraft));
    }
}

TEST(Mpeg4Vlc, LevelAndRunLimitsFollowTheIntraTable)
{
    // LMAX by run, for last 0 and last 1; RMAX by level.
    const unsigned lmax0[] = {27, 10, 5, 4, 3, 3, 3, 3, 2, 2, 1, 1, 1, 1, 1, 0};
    const unsigned lmax1[] = {8, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0};
    for (unsigned run = 0; run < std::size(lmax0); ++run)
        EXPECT_EQ(IntraLmax(0, run), lmax0[run]) << run;
    for (unsigned run = 0; run < std::size(lmax1); ++run)
        EXPECT_EQ(IntraLmax(1, run), lmax1[run]) << run;
    const int rmax0[] = {-1, 14, 9, 7, 3, 2, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1};
    const int rmax1[] = {-1, 20, 6, 1, 0, 0, 0, 0, 0, -1};
    for (unsigned level = 0; level < std::size(rmax0); ++level)
        EXPECT_EQ(IntraRmax(0, level), rmax0[level]) << level;
    for (unsigned level = 0; level < std::size(rmax1); ++level)
        EXPECT_EQ(IntraRmax(1, level), rmax1[level]) << level;
}

TEST(Mpeg4Vlc, EventsUseThePlainCodeOrTheFirstEscapeThatFits)
{
    struct Case
    {
        unsigned last;
        unsigned run;
        int level;
        const char *bits;
    } cases[] = {
        {0, 0, 1, "10 0"},
        {0, 0, -1, "10 1"},
        {0, 0, 27, "0000 0101 0010 0"},
        {1, 20, -1, "0000 0101 1111 1"},
        {0, 0, 28, "0000011 0 10 0"},                        // mode 1: 28 - LMAX 27
        {0, 1, -11, "0000011 0 1110 1"},                     // mode 1: 11 - 10 on run 1
        {1, 0, 9, "0000011 0 0111 0"},                       // mode 1, last
        {0, 15, 1, "0000011 10 10 0"},                       // mode 2: run 15 - (RMAX 14 + 1)
        {1, 21, -1, "0000011 10 0111 1"},                    // mode 2, last
        {0, 0, 55, "0000011 11 0 000000 1 000000110111 1"},  // beyond both: mode 3
        {0, 40, -3, "0000011 11 0 101000 1 111111111101 1"}, // the reduced run has no code
        {1, 45, -300, "0000011 11 1 101101 1 111011010100 1"},
        {0, 63, 2047, "0000011 11 0 111111 1 011111111111 1"},
    };
    for (const Case &c : cases)
    {
        EXPECT_EQ(EventBits(c.last, c.run, c.level, false), Bits(c.bits)) << c.last << "," << c.run << "," << c.level;
    }
}

TEST(Mpeg4Vlc, FastCoderMatchesTheEscapeRulesForEveryEvent)
{
    for (unsigned last = 0; last < 2; ++last)
    {
        for (unsigned run = 0; run < 64; ++run)
        {
            for (int level = -70; level <= 70; ++level)
            {
                if (level != 0)
                {
                    ASSERT_EQ(EventBits(last, run, level, true), EventBits(last, run, level, false))
                        << last << "," << run << "," << level;
                }
            }
        }
    }
}

TEST(Mpeg4Vlc, ScanAndQuantiserTablesAreConsistent)
{
    // The zigzag visits anti-diagonals alternately upwards and downwards.
    std::vector<int> expected;
    for (int d = 0; d < 15; ++d)
    {
        std::vector<int> diagonal;
        for (int row = 0; row < 8; ++row)
        {
            const int column = d - row;
            if (column >= 0 && column < 8)
                diagonal.push_back(row * 8 + column);
        }
        if (d % 2 == 0)
            std::reverse(diagonal.begin(), diagonal.end());
        expected.insert(expected.end(), diagonal.begin(), diagonal.end());
    }
    for (int s = 0; s < 64; ++s)
    {
        EXPECT_EQ(kZigzagScan[s], expected[s]) << s;
        EXPECT_EQ(kQuantHalfWeight[s], kDefaultIntraMatrix[s] / 2) << s;
        EXPECT_EQ(kQuantReciprocal[s], 65536 / kDefaultIntraMatrix[s] + 1) << s;
    }
    EXPECT_EQ(kQuantBias, 2);
    EXPECT_EQ(kQuantDivisor, 16385);
}

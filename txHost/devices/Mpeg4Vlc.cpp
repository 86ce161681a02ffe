#include "txHost/devices/Mpeg4Vlc.h"

#include <cstdlib>

namespace tx::mpeg4
{

namespace
{

// Codes are written as the standard prints them, a string of 0 and 1.
constexpr VlcCode Code(const char *text)
{
    VlcCode code{0, 0};
    for (const char *p = text; *p != '\0'; ++p)
    {
        code.bits = (code.bits << 1) | (*p == '1' ? 1u : 0u);
        ++code.length;
    }
    return code;
}

struct TextEntry
{
    uint8_t last;
    uint8_t run;
    uint8_t level;
    const char *code;
};

// Intra transform-coefficient codes (last, run, level), sign bit excluded.
constexpr TextEntry kIntraTcoefText[] = {
    {0, 0, 1, "10"},
    {0, 0, 2, "110"},
    {0, 0, 3, "1111"},
    {0, 0, 4, "01101"},
    {0, 0, 5, "01100"},
    {0, 0, 6, "010101"},
    {0, 0, 7, "010011"},
    {0, 0, 8, "010010"},
    {0, 0, 9, "0010111"},
    {0, 0, 10, "00011111"},
    {0, 0, 11, "00011110"},
    {0, 0, 12, "00011101"},
    {0, 0, 13, "000100101"},
    {0, 0, 14, "000100100"},
    {0, 0, 15, "000100011"},
    {0, 0, 16, "000100001"},
    {0, 0, 17, "0000100001"},
    {0, 0, 18, "0000100000"},
    {0, 0, 19, "0000001111"},
    {0, 0, 20, "0000001110"},
    {0, 0, 21, "00000000111"},
    {0, 0, 22, "00000000110"},
    {0, 0, 23, "00000100000"},
    {0, 0, 24, "00000100001"},
    {0, 0, 25, "000001010000"},
    {0, 0, 26, "000001010001"},
    {0, 0, 27, "000001010010"},
    {0, 1, 1, "1110"},
    {0, 1, 2, "010100"},
    {0, 1, 3, "0010110"},
    {0, 1, 4, "00011100"},
    {0, 1, 5, "000100000"},
    {0, 1, 6, "000011111"},
    {0, 1, 7, "0000001101"},
    {0, 1, 8, "00000100010"},
    {0, 1, 9, "000001010011"},
    {0, 1, 10, "000001010101"},
    {0, 2, 1, "01011"},
    {0, 2, 2, "0010101"},
    {0, 2, 3, "000011110"},
    {0, 2, 4, "0000001100"},
    {0, 2, 5, "000001010110"},
    {0, 3, 1, "010001"},
    {0, 3, 2, "00011011"},
    {0, 3, 3, "000011101"},
    {0, 3, 4, "0000001011"},
    {0, 4, 1, "010000"},
    {0, 4, 2, "000100010"},
    {0, 4, 3, "0000001010"},
    {0, 5, 1, "001101"},
    {0, 5, 2, "000011100"},
    {0, 5, 3, "0000001000"},
    {0, 6, 1, "0010010"},
    {0, 6, 2, "000011011"},
    {0, 6, 3, "000001010100"},
    {0, 7, 1, "0010100"},
    {0, 7, 2, "000011010"},
    {0, 7, 3, "000001010111"},
    {0, 8, 1, "00011001"},
    {0, 8, 2, "0000001001"},
    {0, 9, 1, "00011000"},
    {0, 9, 2, "00000100011"},
    {0, 10, 1, "00010111"},
    {0, 11, 1, "000011001"},
    {0, 12, 1, "000011000"},
    {0, 13, 1, "0000000111"},
    {0, 14, 1, "000001011000"},
    {1, 0, 1, "0111"},
    {1, 0, 2, "001100"},
    {1, 0, 3, "00010110"},
    {1, 0, 4, "000010111"},
    {1, 0, 5, "0000000110"},
    {1, 0, 6, "00000000101"},
    {1, 0, 7, "00000000100"},
    {1, 0, 8, "000001011001"},
    {1, 1, 1, "001111"},
    {1, 1, 2, "000010110"},
    {1, 1, 3, "0000000101"},
    {1, 2, 1, "001110"},
    {1, 2, 2, "0000000100"},
    {1, 3, 1, "0010001"},
    {1, 3, 2, "00000100100"},
    {1, 4, 1, "0010000"},
    {1, 4, 2, "00000100101"},
    {1, 5, 1, "0010011"},
    {1, 5, 2, "000001011010"},
    {1, 6, 1, "00010101"},
    {1, 6, 2, "000001011011"},
    {1, 7, 1, "00010100"},
    {1, 8, 1, "00010011"},
    {1, 9, 1, "00011010"},
    {1, 10, 1, "000010101"},
    {1, 11, 1, "000010100"},
    {1, 12, 1, "000010011"},
    {1, 13, 1, "000010010"},
    {1, 14, 1, "000010001"},
    {1, 15, 1, "00000100110"},
    {1, 16, 1, "00000100111"},
    {1, 17, 1, "000001011100"},
    {1, 18, 1, "000001011101"},
    {1, 19, 1, "000001011110"},
    {1, 20, 1, "000001011111"},
};

constexpr unsigned kTableSize = sizeof(kIntraTcoefText) / sizeof(kIntraTcoefText[0]);

struct IntraTables
{
    TcoefTableEntry entries[kTableSize];
    // Code by (last, run, level) for the levels that have one; runs 0..63, levels 1..27.
    VlcCode byEvent[2][64][28];
    uint8_t lmax[2][64];
    int8_t rmax[2][28];

    IntraTables()
    {
        for (unsigned last = 0; last < 2; ++last)
        {
            for (unsigned run = 0; run < 64; ++run)
            {
                lmax[last][run] = 0;
                for (unsigned level = 0; level < 28; ++level)
                {
                    byEvent[last][run][level] = VlcCode{0, 0};
                }
            }
            for (unsigned level = 0; level < 28; ++level)
            {
                rmax[last][level] = -1;
            }
        }
        for (unsigned i = 0; i < kTableSize; ++i)
        {
            const TextEntry &t = kIntraTcoefText[i];
            const VlcCode code = Code(t.code);
            entries[i] = TcoefTableEntry{t.last, t.run, t.level, code};
            byEvent[t.last][t.run][t.level] = code;
            if (t.level > lmax[t.last][t.run])
            {
                lmax[t.last][t.run] = t.level;
            }
            if (static_cast<int>(t.run) > rmax[t.last][t.level])
            {
                rmax[t.last][t.level] = static_cast<int8_t>(t.run);
            }
        }
    }
};

const IntraTables &Tables()
{
    static const IntraTables tables;
    return tables;
}

// The code of an event, sign bit included as the last bit (0 for a positive level), or
// length 0 when only the fixed-length escape can carry it.
VlcCode VariableLengthEventCode(unsigned last, unsigned run, unsigned magnitude)
{
    VlcCode code = IntraTcoefCode(last, run, magnitude);
    if (code.length != 0)
    {
        return VlcCode{code.bits << 1, code.length + 1};
    }
    // First escape: the level reduced by the largest level of the run.
    const unsigned lmax = IntraLmax(last, run);
    if (lmax != 0 && magnitude > lmax)
    {
        code = IntraTcoefCode(last, run, magnitude - lmax);
        if (code.length != 0)
        {
            return VlcCode{(((kTcoefEscape.bits << 1) << code.length) | code.bits) << 1,
                           kTcoefEscape.length + 1 + code.length + 1};
        }
    }
    // Second escape: the run reduced by the longest run of the level, plus one.
    const int rmax = IntraRmax(last, magnitude);
    if (rmax >= 0 && static_cast<int>(run) > rmax)
    {
        code = IntraTcoefCode(last, run - static_cast<unsigned>(rmax) - 1, magnitude);
        if (code.length != 0)
        {
            return VlcCode{(((((kTcoefEscape.bits << 2) | 2u)) << code.length) | code.bits) << 1,
                           kTcoefEscape.length + 2 + code.length + 1};
        }
    }
    return VlcCode{0, 0};
}

} // namespace

const uint8_t kZigzagScan[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                                 41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                                 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

const uint8_t kDefaultIntraMatrix[64] = {8,  17, 18, 19, 21, 23, 25, 27, 17, 18, 19, 21, 23, 25, 27, 28,
                                         20, 21, 22, 23, 24, 26, 28, 30, 21, 22, 23, 24, 26, 28, 30, 32,
                                         22, 23, 24, 26, 28, 30, 32, 35, 23, 24, 26, 28, 30, 32, 35, 38,
                                         25, 26, 28, 30, 32, 35, 38, 41, 27, 28, 30, 32, 35, 38, 41, 45};

const VlcCode kIntraMcbpc[4] = {Code("1"), Code("001"), Code("010"), Code("011")};

const VlcCode kCbpy[16] = {Code("0011"),   Code("00101"), Code("00100"), Code("1001"),   Code("00011"), Code("0111"),
                           Code("000010"), Code("1011"),  Code("00010"), Code("000011"), Code("0101"),  Code("1010"),
                           Code("0100"),   Code("1000"),  Code("0110"),  Code("11")};

const VlcCode kLumaDcSize[13] = {Code("011"),        Code("11"),       Code("10"),        Code("010"),
                                 Code("001"),        Code("0001"),     Code("00001"),     Code("000001"),
                                 Code("0000001"),    Code("00000001"), Code("000000001"), Code("0000000001"),
                                 Code("00000000001")};

const VlcCode kChromaDcSize[13] = {Code("11"),          Code("10"),        Code("01"),         Code("001"),
                                   Code("0001"),        Code("00001"),     Code("000001"),     Code("0000001"),
                                   Code("00000001"),    Code("000000001"), Code("0000000001"), Code("00000000001"),
                                   Code("000000000001")};

VlcCode IntraTcoefCode(unsigned last, unsigned run, unsigned level)
{
    if (last > 1 || run > 63 || level == 0 || level > 27)
    {
        return VlcCode{0, 0};
    }
    return Tables().byEvent[last][run][level];
}

unsigned IntraLmax(unsigned last, unsigned run)
{
    return last <= 1 && run <= 63 ? Tables().lmax[last][run] : 0;
}

int IntraRmax(unsigned last, unsigned level)
{
    return last <= 1 && level >= 1 && level <= 27 ? Tables().rmax[last][level] : -1;
}

const TcoefTableEntry *IntraTcoefTable(unsigned *count)
{
    *count = kTableSize;
    return Tables().entries;
}

void WriteIntraAcEvent(BitWriter &writer, unsigned last, unsigned run, int level)
{
    const unsigned magnitude = static_cast<unsigned>(std::abs(level));
    const VlcCode code = VariableLengthEventCode(last, run, magnitude);
    if (code.length != 0)
    {
        writer.PutBits(code.length, code.bits | (level < 0 ? 1u : 0u));
        return;
    }
    // Third escape: 0000011 11, last, run (6), marker, level (12, two's complement), marker.
    writer.PutBits(kTcoefEscape.length + 2, (kTcoefEscape.bits << 2) | 3u);
    writer.PutBits(1 + 6 + 1, (last << 7) | (run << 1) | 1u);
    writer.PutBits(12 + 1, ((static_cast<uint32_t>(level) & 0xFFFu) << 1) | 1u);
}

const IntraAcCoder &IntraAcCoder::Instance()
{
    static const IntraAcCoder coder;
    return coder;
}

IntraAcCoder::IntraAcCoder()
{
    for (unsigned last = 0; last < 2; ++last)
    {
        for (unsigned run = 0; run < 64; ++run)
        {
            for (unsigned level = 0; level < kFastLevels; ++level)
            {
                Entry &e = m_entries[(last * 64 + run) * kFastLevels + level];
                const VlcCode code = level != 0 ? VariableLengthEventCode(last, run, level) : VlcCode{0, 0};
                e.bits = code.bits;
                e.length = code.length;
            }
        }
    }
}

} // namespace tx::mpeg4

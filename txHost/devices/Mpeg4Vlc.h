#pragma once
// Fixed tables of MPEG-4 Part 2 intra coding: zigzag scan, default intra matrix, the
// macroblock header codes, DC size codes and the intra transform-coefficient codes with
// their escapes.
#include <cstdint>

#include "txHost/devices/BitWriter.h"

namespace tx::mpeg4
{

struct VlcCode
{
    uint32_t bits;
    uint32_t length; // 0: no code
};

// Raster position of each scan position.
extern const uint8_t kZigzagScan[64];
// Default intra quantisation matrix, raster order.
extern const uint8_t kDefaultIntraMatrix[64];

// mcbpc of an I-VOP intra macroblock without quantiser change, by cbpc (0..3).
extern const VlcCode kIntraMcbpc[4];
// cbpy by the luma pattern (block 0 in bit 3), as coded for intra macroblocks.
extern const VlcCode kCbpy[16];
// dct_dc_size codes by size (0..12).
extern const VlcCode kLumaDcSize[13];
extern const VlcCode kChromaDcSize[13];

// The escape prefix of the transform-coefficient table.
inline constexpr VlcCode kTcoefEscape = {0x03, 7};

// Code of (last, run, level) in the intra coefficient table, without its sign bit;
// length 0 when the event has none. level > 0.
VlcCode IntraTcoefCode(unsigned last, unsigned run, unsigned level);
// Largest level with a code for (last, run), 0 when there is none.
unsigned IntraLmax(unsigned last, unsigned run);
// Largest run with a code for (last, level), -1 when there is none.
int IntraRmax(unsigned last, unsigned level);

// Every entry of the intra table, for checks of the table itself.
struct TcoefTableEntry
{
    uint8_t last;
    uint8_t run;
    uint8_t level;
    VlcCode code;
};
const TcoefTableEntry *IntraTcoefTable(unsigned *count);

// Writes one AC event, sign included, with the plain code or the first escape that
// fits (level reduced by LMAX, run reduced by RMAX + 1, or the fixed-length form).
// level is signed and non-zero, |level| < 2048, run < 64.
void WriteIntraAcEvent(BitWriter &writer, unsigned last, unsigned run, int level);

// Fast form of the same: a precomputed code per (last, run, |level|) for small levels.
class IntraAcCoder
{
  public:
    static const IntraAcCoder &Instance();

    void Write(BitWriter &writer, unsigned last, unsigned run, int level) const
    {
        const unsigned magnitude = level < 0 ? static_cast<unsigned>(-level) : static_cast<unsigned>(level);
        if (magnitude < kFastLevels)
        {
            const Entry &e = m_entries[(last * 64 + run) * kFastLevels + magnitude];
            if (e.length != 0)
            {
                // The sign bit is the last bit of every code but the fixed-length escape.
                writer.PutBits(e.length, e.bits | (level < 0 ? 1u : 0u));
                return;
            }
        }
        WriteIntraAcEvent(writer, last, run, level);
    }

  private:
    IntraAcCoder();
    static constexpr unsigned kFastLevels = 32;
    struct Entry
    {
        uint32_t bits; // sign bit clear
        uint32_t length;
    };
    Entry m_entries[2 * 64 * kFastLevels];
};

} // namespace tx::mpeg4

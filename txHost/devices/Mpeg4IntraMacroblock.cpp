#include "txHost/devices/Mpeg4IntraMacroblock.h"

#include <bit>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "txHost/devices/Mpeg4Vlc.h"

namespace tx::mpeg4
{

namespace
{

unsigned SignificantBits(unsigned value)
{
    unsigned bits = 0;
    while (value != 0)
    {
        ++bits;
        value >>= 1;
    }
    return bits;
}

// Bit i set when levels[i] is not zero.
uint64_t NonZeroMask(const int16_t *levels)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    uint64_t mask = 0;
    for (int i = 0; i < 64; i += 16)
    {
        const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(levels + i)), zero);
        const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(levels + i + 8)), zero);
        const unsigned zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
        mask |= static_cast<uint64_t>(~zeros & 0xFFFFu) << i;
    }
    return mask;
#else
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
    {
        mask |= static_cast<uint64_t>(levels[i] != 0) << i;
    }
    return mask;
#endif
}

// Scan position of each raster position (the inverse of the zigzag scan).
struct ScanPositions
{
    uint8_t of[64];
    ScanPositions() : of()
    {
        for (int s = 0; s < 64; ++s)
        {
            of[kZigzagScan[s]] = static_cast<uint8_t>(s);
        }
    }
};
// kZigzagScan is constant-initialised, so it is ready before this table is built.
const ScanPositions kScanPositions;

int Neighbour(const int16_t *record, int block)
{
    return record != nullptr ? record[block] : kMissingDc;
}

} // namespace

int PredictDcLevel(int a, int b, int c)
{
    const int value = std::abs(a - b) < std::abs(b - c) ? c : a;
    return value > 0 ? (value + 4) / 8 : (value - 4) / 8;
}

void WriteDcDifferential(BitWriter &writer, int differential, bool chroma)
{
    const unsigned magnitude = static_cast<unsigned>(std::abs(differential));
    const unsigned size = SignificantBits(magnitude);
    const VlcCode &code = chroma ? kChromaDcSize[size] : kLumaDcSize[size];
    writer.PutBits(code.length, code.bits);
    if (size == 0)
    {
        return;
    }
    const unsigned bits = differential > 0 ? magnitude : magnitude ^ ((1u << size) - 1);
    writer.PutBits(size, bits);
    if (size > 8)
    {
        writer.PutBit(1);
    }
}

void WriteAcLevels(BitWriter &writer, const int16_t *levels)
{
    // Walk only the non-zero levels: a mask of them in raster order, turned into scan
    // order, then taken lowest bit first. Most levels of a block are zero.
    uint64_t scanMask = 0;
    for (uint64_t raster = NonZeroMask(levels) & ~1ull; raster != 0; raster &= raster - 1)
    {
        scanMask |= 1ull << kScanPositions.of[std::countr_zero(raster)];
    }
    const IntraAcCoder &coder = IntraAcCoder::Instance();
    int previous = 0;
    while (scanMask != 0)
    {
        const int s = std::countr_zero(scanMask);
        scanMask &= scanMask - 1;
        coder.Write(writer, scanMask == 0 ? 1u : 0u, static_cast<unsigned>(s - previous - 1), levels[kZigzagScan[s]]);
        previous = s;
    }
}

void WriteIntraMacroblockHeader(BitWriter &writer, unsigned cbp, bool interlaced, bool fieldDct)
{
    const VlcCode &mcbpc = kIntraMcbpc[cbp & 3];
    writer.PutBits(mcbpc.length, mcbpc.bits);
    writer.PutBit(0); // ac_pred_flag
    const VlcCode &cbpy = kCbpy[(cbp >> 2) & 15];
    writer.PutBits(cbpy.length, cbpy.bits);
    if (interlaced)
    {
        writer.PutBit(fieldDct ? 1 : 0);
    }
}

unsigned ComputeCbp(const int16_t (*levels)[64])
{
    unsigned cbp = 0;
    for (int b = 0; b < 6; ++b)
    {
        int any = 0;
        for (int i = 1; i < 64; ++i)
        {
            any |= levels[b][i];
        }
        if (any != 0)
        {
            cbp |= 1u << (5 - b);
        }
    }
    return cbp;
}

void CodeIntraMacroblock(BitWriter &writer, int16_t (*levels)[64], unsigned cbp, int16_t *dcRecord,
                         const DcNeighbours &n, bool interlaced, bool fieldDct)
{
    // Neighbours A (left), B (above left) and C (above) of each block: inside this
    // macroblock for the later luma blocks, else in the neighbouring macroblocks.
    for (int b = 0; b < 6; ++b)
    {
        int left;
        int aboveLeft;
        int above;
        switch (b)
        {
        case 0:
            left = Neighbour(n.left, 1);
            aboveLeft = Neighbour(n.aboveLeft, 3);
            above = Neighbour(n.above, 2);
            break;
        case 1:
            left = dcRecord[0];
            aboveLeft = Neighbour(n.above, 2);
            above = Neighbour(n.above, 3);
            break;
        case 2:
            left = Neighbour(n.left, 3);
            aboveLeft = Neighbour(n.left, 1);
            above = dcRecord[0];
            break;
        case 3:
            left = dcRecord[2];
            aboveLeft = dcRecord[0];
            above = dcRecord[1];
            break;
        default:
            left = Neighbour(n.left, b);
            aboveLeft = Neighbour(n.aboveLeft, b);
            above = Neighbour(n.above, b);
            break;
        }
        const int level = levels[b][0];
        dcRecord[b] = static_cast<int16_t>(level * 8);
        levels[b][0] = static_cast<int16_t>(level - PredictDcLevel(left, aboveLeft, above));
    }
    WriteIntraMacroblockHeader(writer, cbp, interlaced, fieldDct);
    for (int b = 0; b < 6; ++b)
    {
        WriteDcDifferential(writer, levels[b][0], b >= 4);
        if ((cbp & (1u << (5 - b))) != 0)
        {
            WriteAcLevels(writer, levels[b]);
        }
    }
}

} // namespace tx::mpeg4

#pragma once
// The macroblock layer of intra VOPs: DC prediction, the macroblock header and the
// variable-length coding of the six quantised blocks.
#include <cstdint>

#include "txHost/devices/BitWriter.h"

namespace tx::mpeg4
{

// Reconstructed DC value (DC level x 8) that a missing neighbour stands for.
inline constexpr int kMissingDc = 1024;

// DC level of a DC coefficient with the fixed DC scaler 8, rounded half away from zero.
inline int DcLevelFromCoefficient(int f0)
{
    return f0 > 0 ? (f0 + 4) / 8 : (f0 - 4) / 8;
}

// Predicted DC level from the reconstructed DC values of the left (a), above-left (b)
// and above (c) blocks: the above block when |a - b| < |b - c|, otherwise the left one.
int PredictDcLevel(int a, int b, int c);

// dct_dc_size and the differential bits of one block.
void WriteDcDifferential(BitWriter &writer, int differential, bool chroma);

// The AC levels (positions 1..63 of a raster-order block) as (last, run, level) events in
// zigzag order. Writes nothing when they are all zero.
void WriteAcLevels(BitWriter &writer, const int16_t *levels);

// mcbpc, ac_pred_flag 0, cbpy and, for interlaced pictures, dct_type.
void WriteIntraMacroblockHeader(BitWriter &writer, unsigned cbp, bool interlaced, bool fieldDct);

// Coded block pattern: bit 5 - b set when block b has a non-zero AC level.
unsigned ComputeCbp(const int16_t (*levels)[64]);

// The DC store records of the neighbours of a macroblock; null outside the picture.
struct DcNeighbours
{
    const int16_t *left;
    const int16_t *aboveLeft;
    const int16_t *above;
};

// Codes one intra macroblock. levels holds the six quantised blocks with the DC level at
// position 0; it is replaced by the DC differential. The reconstructed DC values go to
// dcRecord[0..5].
void CodeIntraMacroblock(BitWriter &writer, int16_t (*levels)[64], unsigned cbp, int16_t *dcRecord,
                         const DcNeighbours &neighbours, bool interlaced, bool fieldDct);

} // namespace tx::mpeg4

#pragma once
// A slow, literal implementation of the OSD palette quantiser and the dithered
// conversion, written apart from the real one and kept simple on purpose: the real
// quantiser must match it bit for bit.
#include "txHost/skin/OsdPalette.h"

#include <cstdint>
#include <vector>

namespace tx::skin::reference
{

struct Result
{
    OsdPalette palette;           // fixed part as given, the rest filled in
    uint32_t colourCount = 0;     // colours in use after counting
    std::vector<uint8_t> map;     // colour map after the conversion (32768 cells)
    std::vector<uint8_t> frame;   // width x height indices, top line first
    std::vector<uint32_t> pixels; // the frame's pixels after error diffusion
    bool ranPastRoot = false;     // the reduction wanted to go beyond the root
};

// pixels: width x height in bottom-up memory order; palette: the fixed part.
Result QuantiseAndConvert(const std::vector<uint32_t> &pixels, uint32_t width, uint32_t height,
                          const OsdPalette &palette);

} // namespace tx::skin::reference

#include "txHost/skin/OsdPalette.h"

#include <cstring>

namespace tx::skin
{

const uint32_t kOsdFixedColours[OsdPalette::kFixedCount] = {
    0x00000000, // transparent
    0xFF000000, 0xFF202020, 0xFF404040, 0xFF606060, 0xFFA0A0A0, 0xFFE0E0E0, 0xFFFFFFFF,
    0xFF808080, 0xFFC0C0C0, 0xFF000080, 0xFF0000FF, 0xFF008080, 0xFF00FFFF, 0xFF008000,
    0xFF00FF00, 0xFF808000, 0xFFFFFF00, 0xFF800000, 0xFFFF0000, 0xFF800080, 0xFFFF00FF,
};

OsdPaletteEntry ToOsdPaletteEntry(uint32_t colour) noexcept
{
    const int32_t blue = static_cast<int32_t>(colour & 0xFF);
    const int32_t green = static_cast<int32_t>((colour >> 8) & 0xFF);
    const int32_t red = static_cast<int32_t>((colour >> 16) & 0xFF);
    // >> on a negative int is an arithmetic shift in C++20.
    const int32_t y = ((25 * blue + 129 * green + 66 * red) >> 8) + 16;
    const int32_t cb = ((112 * blue - 74 * green - 38 * red) >> 8) + 128;
    const int32_t cr = ((-18 * blue - 94 * green + 112 * red) >> 8) + 128;
    return OsdPaletteEntry{static_cast<uint8_t>(colour >> 24), static_cast<uint8_t>(y), static_cast<uint8_t>(cb),
                           static_cast<uint8_t>(cr)};
}

void OsdPalette::Reset() noexcept
{
    for (uint32_t i = 0; i < kFixedCount; ++i)
    {
        colours[i] = kOsdFixedColours[i];
        entries[i] = ToOsdPaletteEntry(kOsdFixedColours[i]);
    }
    count = kFixedCount;
}

bool OsdPalette::FindOrAdd(uint32_t colour, uint8_t &index) noexcept
{
    for (uint32_t i = 0; i < count; ++i)
    {
        if (colours[i] == colour)
        {
            index = static_cast<uint8_t>(i);
            return true;
        }
    }
    if (count >= kCapacity)
        return false;
    colours[count] = colour;
    entries[count] = ToOsdPaletteEntry(colour);
    index = static_cast<uint8_t>(count);
    ++count;
    return true;
}

void OsdPalette::CopyEntriesTo(uint8_t *destination) const noexcept
{
    std::memcpy(destination, entries, sizeof(entries));
}

} // namespace tx::skin

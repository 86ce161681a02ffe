#pragma once
// The frame palette of the on-screen display: up to 256 colours, each with the
// {alpha, Y, Cb, Cr} entry that the decoder's OSD plane shows for it.
// Portable: no windows.h, so it is tested natively too.
#include <cstddef>
#include <cstdint>

namespace tx::skin
{

// One decoder palette entry, in the byte order of the frame buffer.
struct OsdPaletteEntry
{
    uint8_t alpha;
    uint8_t y;
    uint8_t cb;
    uint8_t cr;
};
static_assert(sizeof(OsdPaletteEntry) == 4);

inline bool operator==(const OsdPaletteEntry &a, const OsdPaletteEntry &b) noexcept
{
    return a.alpha == b.alpha && a.y == b.y && a.cb == b.cb && a.cr == b.cr;
}

// Studio-range BT.601 integer conversion of a 0xAARRGGBB colour; the alpha byte is
// carried over. Shifts are arithmetic (floor) and there is no rounding term.
OsdPaletteEntry ToOsdPaletteEntry(uint32_t colour) noexcept;

// The entry every unused palette slot gets: transparent black.
constexpr OsdPaletteEntry kOsdTransparentEntry{0, 16, 128, 128};

// Colours are 0xAARRGGBB. Only colours with alpha 255 take part in quantising and in
// the nearest-colour search; the others reach the screen only through index pixels.
struct OsdPalette
{
    static constexpr size_t kCapacity = 256;
    static constexpr uint32_t kFixedCount = 22;
    // Index of opaque black, what a blank frame is filled with.
    static constexpr uint8_t kOpaqueBlackIndex = 1;

    uint32_t colours[kCapacity] = {};
    OsdPaletteEntry entries[kCapacity] = {};
    uint32_t count = 0;

    // Puts back the 22 fixed colours and sets the count to 22. The slots above are
    // left as they are; quantising a frame rewrites all of them.
    void Reset() noexcept;

    // The index of an entry in use equal to colour (all 32 bits), or a new entry
    // appended for it. False, and nothing added, when all 256 entries are in use.
    bool FindOrAdd(uint32_t colour, uint8_t &index) noexcept;

    // Writes the 256 decoder entries (1024 bytes) in frame-buffer order.
    void CopyEntriesTo(uint8_t *destination) const noexcept;
};

// The 22 fixed colours in index order.
extern const uint32_t kOsdFixedColours[OsdPalette::kFixedCount];

} // namespace tx::skin

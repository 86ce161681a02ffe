#pragma once
// Reduces a composed 32-bit OSD frame to the decoder's 256-colour palette and
// converts it, with Floyd-Steinberg error diffusion, into the 8-bit pixels of the
// frame buffer.
//
// Per frame: the palette holds the fixed colours and those the elements asked for
// (palette.count of them); QuantiseFrame fills the remaining entries from the
// colours actually drawn with an octree over the 15-bit colour cube, then builds a
// colour map (one nearest index per cube cell); ConvertFrame writes the indices.
// Everything is allocated once by BuildQuantiserTables; a frame allocates nothing.
//
// Pixels are 0xAARRGGBB in the memory order of a bottom-up DIB (the first row in
// memory is the bottom line of the picture). A pixel with top byte 0 is a colour
// pixel; a pixel with the top bit set carries a palette index in its low byte.
// Portable: no windows.h. Not thread-safe; the OSD calls it under its lock.
#include "txHost/skin/OsdPalette.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace tx::skin
{

// An offset in 5-bit colour space, {blue, green, red, 0}.
struct OsdBallOffset
{
    int16_t blue;
    int16_t green;
    int16_t red;
    int16_t unused;
};

// Every offset with components in -4..4 within distance 4 (257 of them), ordered by
// blue, then green, then red: the neighbourhood in which each palette colour claims
// the cube cells it is nearest to.
std::span<const OsdBallOffset> OsdColourBall() noexcept;

// Bit k of red, green and blue become bits 3k+2, 3k+1 and 3k: the 8 cells that
// differ only in their lowest bits are neighbours, and so on up the octree.
constexpr uint32_t InterleaveCubeIndex(uint32_t red5, uint32_t green5, uint32_t blue5) noexcept
{
    uint32_t result = 0;
    for (uint32_t bit = 0; bit < 5; ++bit)
    {
        result |= ((red5 >> bit) & 1u) << (3 * bit + 2);
        result |= ((green5 >> bit) & 1u) << (3 * bit + 1);
        result |= ((blue5 >> bit) & 1u) << (3 * bit);
    }
    return result;
}

// Cube cell of a colour: B5 + 32 G5 + 1024 R5.
constexpr uint32_t OsdCubeCell(uint32_t colour) noexcept
{
    return ((colour >> 3) & 0x1Fu) | ((colour >> 6) & 0x3E0u) | ((colour >> 9) & 0x7C00u);
}

class COsdQuantiser
{
  public:
    static constexpr uint32_t kCellCount = 32768;
    static constexpr uint32_t kNodeCount = 37449; // 32768 + 4096 + 512 + 64 + 8 + 1

    COsdQuantiser() noexcept;
    ~COsdQuantiser();
    COsdQuantiser(const COsdQuantiser &) = delete;
    COsdQuantiser &operator=(const COsdQuantiser &) = delete;

    // Allocates the store and builds the cell table. False when out of memory; a
    // second call keeps the store. Called once, when the OSD is attached.
    bool BuildQuantiserTables() noexcept;
    bool IsBuilt() const noexcept
    {
        return m_store != nullptr;
    }

    // Fills entries palette.count..255 from the colour pixels of the frame and builds
    // the colour map. Entries below palette.count (the fixed ones) are kept, and so is
    // palette.count. Does nothing before BuildQuantiserTables.
    void QuantiseFrame(const uint32_t *pixels, size_t pixelCount, OsdPalette &palette) noexcept;

    // Writes width x height indices, top line first, into framePixels. The top line is
    // transparent (index 0); the other lines are converted from the bottom up with
    // error diffusion, which changes the colour pixels of `pixels` as it goes. Uses
    // the colour map of the preceding QuantiseFrame with the same palette and caches
    // in it the cells it has to search for.
    void ConvertFrame(uint32_t *pixels, uint32_t width, uint32_t height, const OsdPalette &palette,
                      uint8_t *framePixels) noexcept;

    // Entries in use after the last QuantiseFrame (fixed plus dynamic).
    uint32_t ColourCount() const noexcept
    {
        return m_colours;
    }
    // The colour map (32768 cells, 0 = unset) as the last call left it; null before
    // BuildQuantiserTables.
    const uint8_t *ColourMap() const noexcept;

  private:
    struct Store;

    void CountColours(const uint32_t *pixels, size_t pixelCount) noexcept;
    bool ReduceOnce() noexcept;
    void AssignIndex(uint32_t node) noexcept;
    void BuildColourMap(const OsdPalette &palette) noexcept;
    uint8_t SearchNearest(uint32_t pixel) const noexcept;

    std::unique_ptr<Store> m_store;
    uint32_t m_colours = 0;
    uint32_t m_reductionPosition = 0;
    uint8_t m_ringRead = 0;
    uint8_t m_ringWrite = 0;
};

} // namespace tx::skin

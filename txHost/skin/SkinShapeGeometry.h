#pragma once
// Geometry of the passive skin elements: where a picture lands in an image element, and
// how many blocks a block bar shows. Portable.
#include <cstdint>

namespace tx::skin
{

struct SkinBox
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// The target of a picture of sw x sh pixels in the element box. Without keepAspect the
// box itself; with it, the picture keeps its shape (times the OSD's pixel factor) and is
// centred in the box, the other dimension filling the box. A box or picture with no area,
// or a factor that is not positive, has no shape to keep: the box is returned unchanged.
SkinBox FitPictureBox(const SkinBox &box, int32_t sw, int32_t sh, bool keepAspect, double factor) noexcept;

// The number of blocks of a block bar of width w: block i spans i * (itemWidth +
// itemSpace) to that + itemWidth from the bar's left and is shown only while its right
// edge lies left of the bar's right edge. A stride that is not positive never reaches a
// next block, so at most the first is shown.
int64_t CountBarBlocks(int32_t w, int32_t itemWidth, int32_t itemSpace) noexcept;

// A colour 0xAABBGGRR with red, green and blue multiplied by the alpha byte / 255: the
// colour that anti-aliased text over a transparent background blends into. The alpha
// byte of the result is 0.
uint32_t PremultiplySkinColour(uint32_t colour) noexcept;

} // namespace tx::skin

namespace tx::skin
{
// A skin colour as held (0xAABBGGRR) in the OSD palette's order 0xAARRGGBB (red and blue
// exchanged, alpha kept).
inline uint32_t SkinColourToOsd(uint32_t colour) noexcept
{
    return (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
}
} // namespace tx::skin

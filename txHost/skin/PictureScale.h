#pragma once
// Scales a 32-bit picture onto a rectangle of another 32-bit picture: the small surface
// layer that stands where a picture transform scales a background or a photo to the
// frame. Nearest-neighbour for speed, bilinear (per byte lane, alpha included) for
// quality. Both pictures are addressed top-down here: row 0 is the first row given.
// Portable: no windows.h.
#include <cstddef>
#include <cstdint>

namespace tx::skin
{

enum class ScaleMode
{
    Nearest,
    Bilinear,
};

struct PictureView
{
    const uint32_t *pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    ptrdiff_t stride = 0; // in pixels; negative for a bottom-up picture addressed from its top row
};

struct PictureTarget
{
    uint32_t *pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    ptrdiff_t stride = 0; // in pixels; negative as above
};

// Scales the whole source to (x, y, width, height) of the target; the parts of that
// rectangle outside the target are cut off (the scale stays that of the whole
// rectangle). False, and nothing written, for an empty source or rectangle.
bool ScalePicture(const PictureView &source, const PictureTarget &target, int32_t x, int32_t y, int32_t width,
                  int32_t height, ScaleMode mode) noexcept;

// Clips (x, y, width, height) to a width x height area the way the OSD does: a negative
// x shortens width by it and becomes 0 (likewise y), then width and height are cut to
// the right and bottom edges. False when nothing is left.
bool ClipRectangle(int32_t &x, int32_t &y, int32_t &width, int32_t &height, uint32_t areaWidth,
                   uint32_t areaHeight) noexcept;

} // namespace tx::skin

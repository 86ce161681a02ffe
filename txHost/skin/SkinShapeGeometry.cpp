// Geometry of the passive skin elements.
#include "txHost/skin/SkinShapeGeometry.h"

namespace tx::skin
{

SkinBox FitPictureBox(const SkinBox &box, int32_t sw, int32_t sh, bool keepAspect, double factor) noexcept
{
    SkinBox target = box;
    if (!keepAspect || box.w <= 0 || box.h <= 0 || sw <= 0 || sh <= 0 || !(factor > 0.0))
        return target;
    const double w = box.w;
    const double h = box.h;
    if (sh / h < (sw / w) * factor)
    {
        // Relatively wide: full width, centred vertically.
        target.h = static_cast<int32_t>(sh * w / sw / factor);
        target.y = box.y + (box.h - target.h) / 2;
    }
    else
    {
        target.w = static_cast<int32_t>(sw * h / sh * factor);
        target.x = box.x + (box.w - target.w) / 2;
    }
    return target;
}

int64_t CountBarBlocks(int32_t w, int32_t itemWidth, int32_t itemSpace) noexcept
{
    const int64_t room = static_cast<int64_t>(w) - itemWidth; // the first block shows when room > 0
    if (room <= 0)
        return 0;
    const int64_t stride = static_cast<int64_t>(itemWidth) + itemSpace;
    if (stride <= 0)
        return 1;
    return (room - 1) / stride + 1;
}

uint32_t PremultiplySkinColour(uint32_t colour) noexcept
{
    const uint32_t alpha = colour >> 24;
    const uint32_t r = (colour & 0xFF) * alpha / 255;
    const uint32_t g = ((colour >> 8) & 0xFF) * alpha / 255;
    const uint32_t b = ((colour >> 16) & 0xFF) * alpha / 255;
    return r | (g << 8) | (b << 16);
}

} // namespace tx::skin

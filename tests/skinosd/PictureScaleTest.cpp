// The picture scaling layer and the OSD's clipping rule, natively under the sanitizers too.
#include "txHost/skin/PictureScale.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using tx::skin::ClipRectangle;
using tx::skin::PictureTarget;
using tx::skin::PictureView;
using tx::skin::ScaleMode;
using tx::skin::ScalePicture;

TEST(PictureScaleTest, ClipFollowsTheOsdRule)
{
    struct Case
    {
        int32_t x, y, w, h;
        bool kept;
        int32_t cx, cy, cw, ch;
    };
    const Case cases[] = {
        {-10, 0, 30, 5, true, 0, 0, 20, 5},         // left edge shortens the width
        {0, -3, 10, 5, true, 0, 0, 10, 2},          // top edge shortens the height
        {710, 470, 50, 50, true, 710, 470, 10, 10}, // cut at the right and bottom
        {-40, 0, 30, 5, false, 0, 0, 0, 0},         // entirely left
        {720, 0, 10, 5, false, 0, 0, 0, 0},         // entirely right
        {0, 480, 10, 5, false, 0, 0, 0, 0},         // entirely below
        {5, 5, 0, 5, false, 0, 0, 0, 0},            // empty
    };
    for (const Case &c : cases)
    {
        int32_t x = c.x, y = c.y, w = c.w, h = c.h;
        EXPECT_EQ(ClipRectangle(x, y, w, h, 720, 480), c.kept) << c.x << "," << c.y;
        if (c.kept)
        {
            EXPECT_EQ(x, c.cx);
            EXPECT_EQ(y, c.cy);
            EXPECT_EQ(w, c.cw);
            EXPECT_EQ(h, c.ch);
        }
    }
}

TEST(PictureScaleTest, ScalesWholePicturesAndCutsAtTheTargetEdges)
{
    const std::vector<uint32_t> source = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
    const PictureView view{source.data(), 2, 2, 2};
    for (ScaleMode mode : {ScaleMode::Nearest, ScaleMode::Bilinear})
    {
        // 2 x 2 onto 2 x 2 is a copy in both modes.
        std::vector<uint32_t> same(4, 0);
        ASSERT_TRUE(ScalePicture(view, PictureTarget{same.data(), 2, 2, 2}, 0, 0, 2, 2, mode));
        EXPECT_EQ(same, source);

        // A rectangle larger than the target and off its corner writes inside it only
        // (the sanitizers watch the rest); the visible part keeps the whole picture's scale.
        std::vector<uint32_t> target(8 * 8, 0x12345678);
        ASSERT_TRUE(ScalePicture(view, PictureTarget{target.data(), 8, 8, 8}, -8, -8, 16, 16, mode));
        EXPECT_EQ(target[7 * 8 + 7], 0xFFFFFFFFu);
        EXPECT_NE(target[0], 0x12345678u);
    }
    // A constant picture stays constant under bilinear filtering, alpha included.
    const std::vector<uint32_t> grey(9, 0x80A0B0C0);
    std::vector<uint32_t> out(7 * 5, 0);
    ASSERT_TRUE(ScalePicture(PictureView{grey.data(), 3, 3, 3}, PictureTarget{out.data(), 7, 5, 7}, 0, 0, 7, 5,
                             ScaleMode::Bilinear));
    for (uint32_t p : out)
        ASSERT_EQ(p, 0x80A0B0C0u);
    // A bottom-up target addressed from its top row through a negative stride.
    std::vector<uint32_t> bottomUp(4, 0);
    ASSERT_TRUE(ScalePicture(view, PictureTarget{bottomUp.data() + 2, 2, 2, -2}, 0, 0, 2, 2, ScaleMode::Nearest));
    EXPECT_EQ(bottomUp, (std::vector<uint32_t>{0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00}));
    // Nothing to scale.
    EXPECT_FALSE(ScalePicture(PictureView{}, PictureTarget{out.data(), 7, 5, 7}, 0, 0, 7, 5, ScaleMode::Nearest));
    EXPECT_FALSE(ScalePicture(view, PictureTarget{out.data(), 7, 5, 7}, 0, 0, 0, 5, ScaleMode::Nearest));
}

} // namespace

// Line breaking, scroll state and element geometry of the text and shape elements,
// measured with a fixed-pitch fake font (every character 10 pixels wide, 20 high).
#include "txHost/skin/SkinShapeGeometry.h"
#include "txHost/skin/TextLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using namespace tx::skin;

SkinString S(const char *text)
{
    SkinString out;
    for (const char *p = text; *p; ++p)
        out.push_back(static_cast<SkinChar>(*p));
    return out;
}

std::string Narrow(const SkinChar *text, size_t length)
{
    std::string out;
    for (size_t i = 0; i < length; ++i)
        out.push_back(static_cast<char>(text[i]));
    return out;
}

struct Laid
{
    TextLayoutResult result;
    std::vector<std::string> lines; // drawn lines, in order
    std::vector<int32_t> tops;
    int measureCalls = 0;
};

Laid Layout(const SkinString &text, int32_t width, bool byCharacters, bool draw = true, int32_t bottom = 10000)
{
    Laid laid;
    TextMeasure measure = [&laid](const SkinChar *, size_t length, int32_t &w, int32_t &h) {
        ++laid.measureCalls;
        w = static_cast<int32_t>(length) * 10;
        h = 20;
    };
    TextOutput output = [&laid](const SkinChar *s, size_t length, int32_t top) {
        laid.lines.push_back(Narrow(s, length));
        laid.tops.push_back(top);
    };
    laid.result = LayoutText(text, 0, bottom, width, byCharacters, draw, measure, output);
    return laid;
}

struct WrapCase
{
    const char *name;
    const char *text;
    int32_t width;
    bool byCharacters;
    std::vector<std::string> drawn; // non-empty lines only
    int32_t lines;
};

TEST(TextLayoutTest, WrapsByWordsAndByCharacters)
{
    const WrapCase cases[] = {
        {"fits whole", "hello world", 200, false, {"hello world"}, 1},
        {"breaks after the last fitting word", "aaa bbb ccc", 80, false, {"aaa bbb", "ccc"}, 2},
        // "aaa bbb" is 70 wide: a word followed by a space needs the text up to the space
        // narrower than the block, the rest of the text only narrower than the block.
        {"line exactly as wide breaks", "aaa bbb ccc", 70, false, {"aaa", "bbb", "ccc"}, 3},
        {"leading and repeated spaces are skipped", "  aaa   bbb", 60, false, {"aaa", "bbb"}, 2},
        {"a word wider than the block is cut", "abcdefghij", 45, false, {"abcd", "efgh", "ij"}, 3},
        {"cut word then next word", "abcdefg hi", 45, false, {"abcd", "efg", "hi"}, 3},
        {"two line feeds give an empty line", "ab\n\ncd", 100, false, {"ab", "cd"}, 3},
        {"a trailing line feed adds no line", "ab\n", 100, false, {"ab"}, 1},
        {"empty text is one empty line", "", 100, false, {}, 1},
        {"narrower than a character: one per line", "abc de", 5, false, {"a", "b", "c", "d", "e"}, 5},
        {"zero width still ends", "ab", 0, false, {"a", "b"}, 2},
        {"negative width still ends", "ab", -50, true, {"a", "b"}, 2},
        {"characters: spaces kept, cut at the last fitting character", "ab cd ef", 45, true, {"ab c", "d ef"}, 2},
        {"characters: line feeds break", "ab\ncd", 100, true, {"ab", "cd"}, 2},
        {"characters: narrow width one per line", "abc", 8, true, {"a", "b", "c"}, 3},
        {"characters: empty text", "", 100, true, {}, 1},
    };
    for (const WrapCase &c : cases)
    {
        Laid laid = Layout(S(c.text), c.width, c.byCharacters);
        EXPECT_EQ(c.drawn, laid.lines) << c.name;
        EXPECT_EQ(c.lines, laid.result.lines) << c.name;
        EXPECT_TRUE(laid.result.reachedEnd) << c.name;
        EXPECT_EQ(20, laid.result.lineHeight) << c.name;
    }
}

TEST(TextLayoutTest, EmptyLinesTakeAFullLineHeight)
{
    Laid laid = Layout(S("ab\n\ncd"), 100, false);
    ASSERT_EQ(2u, laid.tops.size());
    EXPECT_EQ(0, laid.tops[0]);
    EXPECT_EQ(40, laid.tops[1]); // the empty line between them is 20 high
}

TEST(TextLayoutTest, DrawingStopsAtTheBottomButMeasuringRunsToTheEnd)
{
    const SkinString text = S("l1\nl2\nl3\nl4\nl5");
    // Block 60 high: a line is visible while its top is above 60 - 20.
    Laid drawn = Layout(text, 100, false, true, 60);
    EXPECT_EQ((std::vector<std::string>{"l1", "l2"}), drawn.lines);
    EXPECT_FALSE(drawn.result.reachedEnd);

    Laid measured = Layout(text, 100, false, false, 60);
    EXPECT_TRUE(measured.lines.empty());
    EXPECT_EQ(5, measured.result.lines);
    EXPECT_EQ(2, measured.result.visible);
    EXPECT_TRUE(measured.result.reachedEnd);

    // The first line is laid out even in a block lower than a line.
    Laid tiny = Layout(text, 100, false, true, 5);
    EXPECT_EQ((std::vector<std::string>{"l1"}), tiny.lines);
    EXPECT_EQ(0, tiny.result.visible);
}

TEST(TextLayoutTest, SurrogatePairsAreNeverSplit)
{
    SkinString text;
    text.push_back(0xD83D);
    text.push_back(0xDE00);
    text.push_back(u'a');
    Laid laid = Layout(text, 5, true);
    ASSERT_EQ(2u, laid.lines.size());
    EXPECT_EQ(2u, laid.lines[0].size()); // the pair stays together
    EXPECT_EQ("a", laid.lines[1]);
}

TEST(TextLayoutTest, LongWordsAreCutWithFewMeasurements)
{
    std::string word(2000, 'x');
    Laid laid = Layout(S(word.c_str()), 1005, false, false);
    EXPECT_EQ(20, laid.result.lines); // 100 characters per line
    EXPECT_LT(laid.measureCalls, 20 * 20);
}

TEST(TextScrollTest, ThumbGeometry)
{
    struct Case
    {
        int32_t h, total, visible, position, offset, height;
    } cases[] = {
        {100, 10, 5, 0, 0, 50},    {100, 10, 5, 5, 50, 50}, {100, 100, 5, 0, 0, 30}, // at least 30
        {100, 100, 5, 95, 70, 30}, {20, 10, 1, 3, 0, 20},                            // never taller than the block
        {100, 5, 5, 0, 0, 100},    {100, 0, 0, 0, 0, 100},                           // no division by zero
    };
    for (const Case &c : cases)
    {
        ScrollThumb thumb = ComputeScrollThumb(c.h, c.total, c.visible, c.position);
        EXPECT_EQ(c.offset, thumb.offset) << c.h << " " << c.total << " " << c.position;
        EXPECT_EQ(c.height, thumb.height) << c.h << " " << c.total << " " << c.position;
    }
}

TEST(TextScrollTest, NavigateMovesByALineAndAnimatesHalfALine)
{
    TextScrollState state;
    state.total = 6;
    state.visible = 4;
    bool handled = false;
    state.Navigate(1, handled); // already at the top
    EXPECT_FALSE(handled);
    EXPECT_EQ(0, state.position);

    state.Navigate(2, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(1, state.position);
    EXPECT_EQ(1, state.step);
    EXPECT_TRUE(state.Animate()); // one tick half a line short, then in place
    EXPECT_EQ(0, state.step);
    EXPECT_FALSE(state.Animate());

    handled = false;
    state.Navigate(2, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(2, state.position);
    state.step = 0;
    handled = false;
    state.Navigate(2, handled); // at the last page: nothing changes, the focus may move on
    EXPECT_FALSE(handled);
    EXPECT_EQ(2, state.position);
    EXPECT_EQ(0, state.step);

    state.Navigate(1, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(-1, state.step);
    EXPECT_TRUE(state.Animate());
    EXPECT_EQ(0, state.step);

    handled = false;
    state.Navigate(3, handled);
    state.Navigate(4, handled);
    EXPECT_FALSE(handled);
    EXPECT_EQ(1, state.position);
}

TEST(ShapeGeometryTest, KeepAspectFitsAndCentres)
{
    struct Case
    {
        const char *name;
        SkinBox box;
        int32_t sw, sh;
        bool keep;
        double factor;
        SkinBox expected;
    } cases[] = {
        {"square picture in a wide box", {10, 20, 200, 100}, 64, 64, true, 1.0, {60, 20, 100, 100}},
        {"wide picture in a square box", {0, 0, 100, 100}, 200, 100, true, 1.0, {0, 25, 100, 50}},
        {"factor widens", {0, 0, 200, 100}, 100, 100, true, 1.5, {25, 0, 150, 100}},
        {"without keepaspect the box", {1, 2, 30, 40}, 5, 500, false, 1.0, {1, 2, 30, 40}},
        {"zero box width", {1, 2, 0, 40}, 5, 5, true, 1.0, {1, 2, 0, 40}},
        {"zero box height", {1, 2, 30, 0}, 5, 5, true, 1.0, {1, 2, 30, 0}},
        {"zero picture width", {1, 2, 30, 40}, 0, 5, true, 1.0, {1, 2, 30, 40}},
        {"zero picture height", {1, 2, 30, 40}, 5, 0, true, 1.0, {1, 2, 30, 40}},
        {"zero factor", {1, 2, 30, 40}, 5, 5, true, 0.0, {1, 2, 30, 40}},
        {"odd difference rounds toward zero", {0, 0, 101, 100}, 100, 100, true, 1.0, {0, 0, 100, 100}},
    };
    for (const auto &c : cases)
    {
        SkinBox got = FitPictureBox(c.box, c.sw, c.sh, c.keep, c.factor);
        EXPECT_EQ(c.expected.x, got.x) << c.name;
        EXPECT_EQ(c.expected.y, got.y) << c.name;
        EXPECT_EQ(c.expected.w, got.w) << c.name;
        EXPECT_EQ(c.expected.h, got.h) << c.name;
    }
}

TEST(ShapeGeometryTest, BlockCounts)
{
    struct Case
    {
        int32_t w, itemWidth, itemSpace;
        int64_t blocks;
    } cases[] = {
        {100, 10, 0, 9}, // the tenth would end exactly at the right edge
        {101, 10, 0, 10},
        {100, 10, 5, 6},
        {10, 10, 0, 0},
        {5, 10, 0, 0},
        {0, 10, 2, 0},
        {100, 10, -10, 1}, // no stride: at most one block, never an endless loop
        {100, 10, -20, 1},
        {100, 0, 0, 1},
        {-5, 10, 0, 0},
        {2147483647, 1, 2147483647, 1},
        {2147483647, 1, 0, 2147483646}, // no overflow
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.blocks, CountBarBlocks(c.w, c.itemWidth, c.itemSpace))
            << c.w << " " << c.itemWidth << " " << c.itemSpace;
}

TEST(ShapeGeometryTest, PremultipliedColours)
{
    EXPECT_EQ(0x00000000u, PremultiplySkinColour(0x00FFFFFF)); // alpha 0 keys black
    EXPECT_EQ(0x00FFFFFFu, PremultiplySkinColour(0xFFFFFFFF));
    EXPECT_EQ(0x00402010u, PremultiplySkinColour(0x80804020)); // each channel x 128 / 255
}

} // namespace

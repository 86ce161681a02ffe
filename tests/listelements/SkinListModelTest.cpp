// The list arithmetic: layout, sorted insertion, scrolling window, navigation at the
// edges, digit jumps, and the choice box geometry. A fixed ordinal, case-insensitive
// comparison stands in for the locale's.
#include "txHost/skin/SkinListModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tx::skin;

namespace
{
SkinString S(const char *text)
{
    SkinString s;
    for (; *text; ++text)
        s.push_back(static_cast<SkinChar>(*text));
    return s;
}

int FoldedCompare(const SkinString &a, const SkinString &b) noexcept
{
    if (a.empty() || b.empty())
        return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
    auto fold = [](SkinChar c) { return (c >= 'A' && c <= 'Z') ? static_cast<SkinChar>(c + 32) : c; };
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    {
        if (fold(a[i]) != fold(b[i]))
            return fold(a[i]) < fold(b[i]) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct Row
{
    SkinString text;
    SkinString key;
};

// The list's insertion: drop on equal when distinct, else insert at the found place.
std::vector<std::string> Insert(int32_t sort, bool distinct,
                                const std::vector<std::pair<const char *, const char *>> &adds)
{
    std::vector<Row> rows;
    for (const auto &[text, key] : adds)
    {
        Row row{S(text), S(key)};
        SkinListSortKey newKey{&row.text, &row.key};
        auto at = FindSkinListInsertPosition(
            sort, newKey, rows.size(),
            [&](size_t i) {
                return SkinListSortKey{&rows[i].text, &rows[i].key};
            },
            &FoldedCompare);
        if (at.equal && distinct)
            continue;
        rows.insert(rows.begin() + static_cast<ptrdiff_t>(at.index), row);
    }
    std::vector<std::string> texts;
    for (const Row &row : rows)
        texts.emplace_back(row.text.begin(), row.text.end());
    return texts;
}
} // namespace

TEST(SkinListSort, OrdersAndDistinct)
{
    using V = std::vector<std::string>;
    struct Case
    {
        int32_t sort;
        bool distinct;
        std::vector<std::pair<const char *, const char *>> adds;
        V expected;
    } cases[] = {
        {SKIN_LIST_SORT_NONE, false, {{"c", ""}, {"a", ""}, {"b", ""}}, V{"c", "a", "b"}},
        {SKIN_LIST_SORT_NONE, true, {{"a", ""}, {"a", ""}}, V{"a", "a"}},
        {SKIN_LIST_SORT_ALPHA,
         false,
         {{"delta", ""}, {"Alpha", ""}, {"charlie", ""}, {"bravo", ""}},
         V{"Alpha", "bravo", "charlie", "delta"}},
        {SKIN_LIST_SORT_ALPHA, true, {{"ab", ""}, {"AB", ""}}, V{"ab"}},
        {SKIN_LIST_SORT_ALPHA, false, {{"ab", ""}, {"AB", ""}}, V{"AB", "ab"}}, // equal goes before
        {SKIN_LIST_SORT_ALPHA, false, {{"b", ""}, {"", ""}, {"a", ""}}, V{"", "a", "b"}},
        {SKIN_LIST_SORT_LENGTH, false, {{"abc", ""}, {"a", ""}, {"ab", ""}}, V{"a", "ab", "abc"}},
        {SKIN_LIST_SORT_LENGTH, false, {{"zz", "2"}, {"yy", "1"}, {"x", "9"}}, V{"x", "yy", "zz"}},
        {SKIN_LIST_SORT_PHONE, false, {{"a", "3"}, {"b", "1"}, {"c", "2"}, {"a", "1"}}, V{"a", "b", "c", "a"}},
        {SKIN_LIST_SORT_PHONE, true, {{"a", "1"}, {"A", "1"}, {"a", "2"}}, V{"a", "a"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Insert(c.sort, c.distinct, c.adds), c.expected) << "sort " << c.sort << " distinct " << c.distinct;
}

TEST(SkinListSort, ManyRowsStaySorted)
{
    std::vector<std::pair<const char *, const char *>> adds;
    std::vector<std::string> storage;
    storage.reserve(500);
    for (int i = 0; i < 500; ++i)
        storage.push_back("r" + std::to_string((i * 7919) % 1000));
    for (const std::string &s : storage)
        adds.emplace_back(s.c_str(), "");
    auto rows = Insert(SKIN_LIST_SORT_ALPHA, true, adds);
    EXPECT_EQ(rows.size(), 500u);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
}

TEST(SkinListLayout, QuantitiesAndGuards)
{
    SkinListMetrics m{200, 100, 20, 5, 4, 1, 12};
    SkinListLayout two = ComputeSkinListLayout(m, 2);
    EXPECT_EQ(two.visibleRows, 3);
    EXPECT_EQ(two.boxHeight, 80); // room for three rows
    EXPECT_FALSE(two.scrollBar);
    EXPECT_EQ(two.cellWidth, 196);
    SkinListLayout ten = ComputeSkinListLayout(m, 10);
    EXPECT_TRUE(ten.scrollBar);
    EXPECT_EQ(ten.scrollWidth, 12);
    EXPECT_EQ(ten.cellWidth, 184);
    EXPECT_EQ(ComputeSkinListThumb(ten, 0).height, 30); // max(30, 80*3/10)
    EXPECT_EQ(ComputeSkinListThumb(ten, 7).top, 50);    // last page: thumb at the bottom

    // A skin whose pitch is not positive, or whose column count is 0 or negative.
    for (auto [height, lineSpace, columns] : {std::tuple{0, 0, 1}, {-10, 5, 1}, {20, 5, 0}, {20, 5, -3}})
    {
        SkinListMetrics bad{200, 100, height, lineSpace, 0, columns, 10};
        SkinListLayout layout = ComputeSkinListLayout(bad, 7);
        EXPECT_GE(layout.columns, 1);
        EXPECT_GE(layout.visibleRows, 0);
        EXPECT_GE(layout.boxHeight, 0);
        if (height + lineSpace <= 0)
        {
            EXPECT_FALSE(layout.HasRows());
            EXPECT_EQ(layout.visibleRows, 0);
        }
    }
    // An area too short for one row.
    EXPECT_EQ(ComputeSkinListLayout({200, 3, 20, 5, 0, 1, 0}, 5).visibleRows, 0);
}

namespace
{
SkinListCursor Cursor(int32_t count, int32_t columns, int32_t visible, int32_t top = 0, int32_t selection = 0)
{
    SkinListCursor cursor;
    cursor.SetShape(count, columns, visible);
    cursor.SetPosition(top, selection);
    return cursor;
}
} // namespace

TEST(SkinListCursor, SetPositionClamps)
{
    struct Case
    {
        int32_t n, c, v, top, sel, expectTop, expectSel;
    } cases[] = {
        {20, 1, 5, -3, -7, 0, 0},   // negatives
        {20, 1, 5, 0, 50, 15, 19},  // selection past the end: last row on the last shown line
        {20, 1, 5, 18, 17, 15, 17}, // top past the last page
        {20, 1, 5, 10, 3, 3, 3},    // selection above the window
        {20, 1, 5, 0, 9, 5, 9},     // selection below the window
        {20, 3, 2, 4, 4, 3, 4},     // top rounded down to the row start
        {10, 3, 2, 0, 9, 6, 9},     // 4 rows, last partial
        {0, 1, 5, 4, 4, 0, 0},      // empty
        {4, 1, 10, 3, 2, 2, 2},     // list fits: top not clamped by pages, but by selection
        {8, 1, 0, 0, 5, 5, 5},      // no visible row: scrolls one row at a time
    };
    for (const Case &c : cases)
    {
        SkinListCursor cursor = Cursor(c.n, c.c, c.v, c.top, c.sel);
        EXPECT_EQ(cursor.Top(), c.expectTop) << c.n << "/" << c.c << "/" << c.v << " " << c.top << "," << c.sel;
        EXPECT_EQ(cursor.Selection(), c.expectSel) << c.n << "/" << c.c << "/" << c.v << " " << c.top << "," << c.sel;
    }
}

TEST(SkinListCursor, RowNavigationAtTheEdges)
{
    // Single column, 10 rows, 3 shown.
    SkinListCursor list = Cursor(10, 1, 3);
    ASSERT_TRUE(list.EnterFocus(2));
    EXPECT_FALSE(list.Navigate(1)); // top row, top 0: leaves upward
    EXPECT_TRUE(list.Navigate(2));
    EXPECT_TRUE(list.Navigate(2));
    EXPECT_EQ(list.Top(), 0);
    EXPECT_TRUE(list.Navigate(2)); // scrolls
    EXPECT_EQ(list.Top(), 1);
    EXPECT_EQ(list.Selection(), 3);
    EXPECT_EQ(list.ScrollAnimation(), 1);
    EXPECT_TRUE(list.StepScrollAnimation());
    EXPECT_FALSE(list.StepScrollAnimation());
    list.SetPosition(7, 9);
    EXPECT_FALSE(list.Navigate(2)); // last row: leaves downward
    EXPECT_TRUE(list.Navigate(1));
    EXPECT_TRUE(list.Navigate(1));
    EXPECT_TRUE(list.Navigate(1)); // scrolls up
    EXPECT_EQ(list.Top(), 6);
    EXPECT_EQ(list.Selection(), 6);
    EXPECT_EQ(list.ScrollAnimation(), -1);
    EXPECT_FALSE(list.Navigate(3)); // one column: left leaves

    // Three columns, 8 items (last row partial), 2 rows shown; down from the last shown
    // row to a partial row lands on the last item.
    SkinListCursor grid = Cursor(8, 3, 2, 0, 5);
    ASSERT_TRUE(grid.EnterFocus(0));
    EXPECT_TRUE(grid.Navigate(2));
    EXPECT_EQ(grid.Top(), 3);
    EXPECT_EQ(grid.Selection(), 7);
    EXPECT_FALSE(grid.Navigate(2));
    EXPECT_TRUE(grid.Navigate(4)); // past the last item: onto the scroll bar (R 3 > V 2)
    EXPECT_TRUE(grid.ScrollFocus());
}

TEST(SkinListCursor, ScrollBarFocus)
{
    SkinListCursor list = Cursor(10, 1, 3, 0, 1);
    ASSERT_TRUE(list.EnterFocus(2));
    list.SetPosition(0, 1);
    EXPECT_TRUE(list.Navigate(4)); // right from the last column: onto the scroll bar
    EXPECT_TRUE(list.ScrollFocus());
    EXPECT_TRUE(list.Navigate(1)); // up at top 0: nothing moves, still handled
    EXPECT_EQ(list.Top(), 0);
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_TRUE(list.Navigate(2)); // a page down
    EXPECT_EQ(list.Top(), 3);
    EXPECT_EQ(list.Selection(), 4);
    EXPECT_TRUE(list.Navigate(2));
    EXPECT_TRUE(list.Navigate(2)); // pulled back to the last page
    EXPECT_EQ(list.Top(), 7);
    EXPECT_EQ(list.Selection(), 8);
    EXPECT_TRUE(list.Navigate(1));
    EXPECT_EQ(list.Top(), 4);
    EXPECT_EQ(list.Selection(), 5);
    EXPECT_TRUE(list.Navigate(1));
    EXPECT_EQ(list.Top(), 1);
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_TRUE(list.Navigate(1)); // below 0: top 0, selection keeps its offset
    EXPECT_EQ(list.Top(), 0);
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_FALSE(list.Navigate(4));
    EXPECT_TRUE(list.Navigate(3)); // back to the rows, same selection
    EXPECT_FALSE(list.ScrollFocus());
    EXPECT_EQ(list.Selection(), 1);

    // A list that fits has no scroll bar: right from the last column leaves.
    SkinListCursor fits = Cursor(3, 1, 5);
    ASSERT_TRUE(fits.EnterFocus(2));
    EXPECT_FALSE(fits.Navigate(4));
    EXPECT_FALSE(fits.ScrollFocus());
}

TEST(SkinListCursor, EnterFocus)
{
    SkinListCursor empty = Cursor(0, 1, 3);
    EXPECT_FALSE(empty.EnterFocus(2));
    EXPECT_FALSE(empty.Focused());

    SkinListCursor list = Cursor(10, 3, 2, 0, 1);
    EXPECT_TRUE(list.EnterFocus(3)); // from the right: the scroll bar
    EXPECT_TRUE(list.ScrollFocus());
    EXPECT_TRUE(list.EnterFocus(1)); // coming up from below: last row, same column
    EXPECT_FALSE(list.ScrollFocus());
    EXPECT_EQ(list.Selection(), 9); // column 1 of row 3 is past the end: lowered to 9
    EXPECT_EQ(list.Top(), 6);
    EXPECT_TRUE(list.EnterFocus(2)); // coming down: first row
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_EQ(list.Top(), 0);
    list.LeaveFocus();
    EXPECT_FALSE(list.Focused());
}

TEST(SkinListCursor, DigitJumps)
{
    SkinListCursor list = Cursor(100, 1, 10);
    EXPECT_TRUE(list.JumpToDigit(5));
    EXPECT_EQ(list.Top(), 50);
    EXPECT_EQ(list.Selection(), 50);
    EXPECT_TRUE(list.JumpToDigit(9));
    EXPECT_EQ(list.Top(), 90);
    EXPECT_TRUE(list.JumpToDigit(0));
    EXPECT_EQ(list.Top(), 0);
    EXPECT_FALSE(list.JumpToDigit(10));
    EXPECT_FALSE(list.JumpToDigit(-1));

    SkinListCursor shortList = Cursor(25, 1, 10);
    EXPECT_TRUE(shortList.JumpToDigit(9)); // lowered to the last page
    EXPECT_EQ(shortList.Top(), 15);

    SkinListCursor grid = Cursor(50, 5, 3); // 10 rows
    EXPECT_TRUE(grid.JumpToDigit(5));
    EXPECT_EQ(grid.Top(), 25);

    SkinListCursor fits = Cursor(5, 1, 10, 0, 2);
    EXPECT_FALSE(fits.JumpToDigit(5));
    EXPECT_EQ(fits.Selection(), 2);
}

TEST(SkinChoiceBox, Geometry)
{
    // One caption: centred.
    SkinChoiceBoxGeometry one = ComputeSkinChoiceBoxGeometry(100, 50, 300, 80, 24, 120, 4, 1);
    EXPECT_EQ(one.spacing, 110);
    EXPECT_EQ(one.buttons[0].left, 210);
    EXPECT_EQ(one.buttons[0].right, 290);
    EXPECT_EQ(one.buttons[0].top, 170);
    EXPECT_EQ(one.buttons[0].bottom, 194);
    EXPECT_EQ(one.captionCentre[0], 250);
    EXPECT_EQ(one.captionBand.top, 174);
    EXPECT_EQ(one.captionBand.bottom, 198);

    // Three captions: equal gaps.
    SkinChoiceBoxGeometry three = ComputeSkinChoiceBoxGeometry(0, 0, 400, 100, 20, 10, 0, 3);
    EXPECT_EQ(three.spacing, 25);
    EXPECT_EQ(three.buttons[0].left, 25);
    EXPECT_EQ(three.buttons[1].left, 150);
    EXPECT_EQ(three.buttons[2].left, 275);
    EXPECT_EQ(three.buttons[2].right, 375);
    EXPECT_EQ(three.captionCentre[1], 200);

    // Wider than the box: negative spacing, overlapping buttons.
    SkinChoiceBoxGeometry wide = ComputeSkinChoiceBoxGeometry(0, 0, 200, 100, 20, 10, 0, 3);
    EXPECT_EQ(wide.spacing, -25);
    EXPECT_LT(wide.buttons[1].left, wide.buttons[0].right);

    // No buttons, and a count beyond three.
    SkinChoiceBoxGeometry none = ComputeSkinChoiceBoxGeometry(0, 0, 200, 100, 20, 10, 0, 0);
    EXPECT_EQ(none.buttonCount, 0);
    EXPECT_EQ(none.captionBand.right - none.captionBand.left, 0);
    EXPECT_EQ(ComputeSkinChoiceBoxGeometry(0, 0, 200, 10, 20, 10, 0, 7).buttonCount, 3);
    EXPECT_EQ(ComputeSkinChoiceBoxGeometry(0, 0, 200, 10, 20, 10, 0, -2).buttonCount, 0);
}

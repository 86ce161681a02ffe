// The menu grid (column-major layout, focus entry at the nearest column, cursor moves at
// the edges) and the literal program command line; portable, also under the sanitizers.
#include "txHost/skin/MenuGeometry.h"
#include "txHost/skin/SkinProgramCommand.h"

#include <gtest/gtest.h>

namespace
{

using namespace tx::skin;

// Seven items in two columns, cells 100 x 20 at (50, 60), column gap 10, line gap 5.
MenuGrid SevenInTwo()
{
    return MenuGrid(7, 2, 50, 60, 100, 20, 10, 5);
}

TEST(MenuGridTest, LaysOutColumnByColumn)
{
    MenuGrid grid = SevenInTwo();
    EXPECT_EQ(4, grid.RowsPerColumn());
    struct Case
    {
        int32_t index, x, y;
    } cases[] = {{0, 50, 60}, {3, 50, 135}, {4, 160, 60}, {6, 160, 110}};
    for (const Case &c : cases)
    {
        MenuCell cell = grid.CellOf(c.index);
        EXPECT_EQ(c.x, cell.x) << c.index;
        EXPECT_EQ(c.y, cell.y) << c.index;
    }
    EXPECT_EQ(2 * 110, grid.FocusWidth());
    EXPECT_EQ(4 * 25, grid.FocusHeight());
    MenuCell centre = grid.CentreOf(5);
    EXPECT_EQ(160 + 50, centre.x);
    EXPECT_EQ(85 + 10, centre.y);
}

TEST(MenuGridTest, MovesInsideAndStopsAtTheEdges)
{
    MenuGrid grid = SevenInTwo();
    struct Case
    {
        int32_t from, direction;
        bool handled;
        int32_t to;
    } cases[] = {
        {0, kMenuUp, false, 0},    {1, kMenuUp, true, 0},     {4, kMenuUp, false, 4},
        {3, kMenuDown, false, 3},  {2, kMenuDown, true, 3},   {6, kMenuDown, false, 6}, // 6 is the last item
        {5, kMenuDown, true, 6},   {0, kMenuLeft, false, 0},  {3, kMenuLeft, false, 3},
        {6, kMenuLeft, true, 2},   {2, kMenuRight, true, 6},  {3, kMenuRight, false, 3}, // 3 + 4 is not below 7
        {4, kMenuRight, false, 4}, {1, 0, false, 1},          {1, 9, false, 1},
    };
    for (const Case &c : cases)
    {
        int32_t cursor = c.from;
        EXPECT_EQ(c.handled, grid.Move(c.direction, &cursor)) << c.from << " dir " << c.direction;
        EXPECT_EQ(c.to, cursor) << c.from << " dir " << c.direction;
    }
}

TEST(MenuGridTest, FocusEntersAtTheNearestColumn)
{
    MenuGrid grid = SevenInTwo(); // column centres at 100 and 210
    struct Case
    {
        int32_t direction, px, cursor, expected;
    } cases[] = {
        {kMenuDown, 0, 5, 0},     // nearer the first column: its first item
        {kMenuDown, 300, 0, 4},   // nearer the second: its first item
        {kMenuDown, 155, 2, 0},   // a tie goes to the lower column
        {kMenuUp, 100, 0, 3},     // from below: the first column's last item
        {kMenuUp, 209, 0, 6},     // 2 x RC - 1 = 7, lowered to N - 1
        {kMenuLeft, 300, 5, 5},   // sideways entries keep the cursor
        {kMenuRight, 0, 2, 2},
        {0, 0, 6, 6},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, grid.EntryCursor(c.direction, c.px, c.cursor)) << c.direction << " at " << c.px;
}

TEST(MenuGridTest, EntryIntoAColumnWithoutItemsStaysOnTheLastItem)
{
    // Four items in three columns: RC = 2, the third column is empty.
    MenuGrid grid(4, 3, 0, 0, 10, 10, 0, 0);
    EXPECT_EQ(2, grid.NearestColumn(1000));
    EXPECT_EQ(3, grid.EntryCursor(kMenuDown, 1000, 0));
    EXPECT_EQ(3, grid.EntryCursor(kMenuUp, 1000, 0));
}

TEST(MenuGridTest, EmptyMenuAndNonPositiveColumnsAreGuarded)
{
    for (int32_t columns : {0, -3})
    {
        MenuGrid grid(3, columns, 0, 0, 10, 10, 2, 1);
        EXPECT_EQ(1, grid.Columns()) << columns;
        EXPECT_EQ(3, grid.RowsPerColumn()) << columns;
        int32_t cursor = 2;
        EXPECT_FALSE(grid.Move(kMenuDown, &cursor));
        EXPECT_FALSE(grid.Move(kMenuRight, &cursor));
        EXPECT_EQ(2, cursor);
    }
    MenuGrid empty(0, 2, 5, 5, 10, 10, 0, 0);
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(0, empty.RowsPerColumn());
    EXPECT_EQ(0, empty.FocusHeight());
    EXPECT_EQ(5, empty.CellOf(3).y);
    for (int32_t direction = kMenuUp; direction <= kMenuRight; ++direction)
    {
        int32_t cursor = 0;
        EXPECT_FALSE(empty.Move(direction, &cursor)) << direction;
        EXPECT_EQ(0, empty.EntryCursor(direction, 100, 0)) << direction;
    }
    EXPECT_EQ(0, empty.Clamp(4));
    EXPECT_EQ(0, MenuGrid(-1, 1, 0, 0, 1, 1, 0, 0).Count());
    // A huge column count from a skin does not overflow the row count.
    EXPECT_EQ(1, MenuGrid(5, 0x7FFFFFFF, 0, 0, 1, 1, 0, 0).RowsPerColumn());
}

TEST(MenuGridTest, ClampsSelections)
{
    MenuGrid grid = SevenInTwo();
    EXPECT_EQ(0, grid.Clamp(-5));
    EXPECT_EQ(3, grid.Clamp(3));
    EXPECT_EQ(6, grid.Clamp(7));
}

SkinString S(const char *text)
{
    SkinString s;
    for (; *text; ++text)
        s.push_back(static_cast<SkinChar>(*text));
    return s;
}

TEST(ProgramCommandLineTest, PutsTheArgumentInLiterally)
{
    struct Case
    {
        const char *program, *argument, *expected;
    } cases[] = {
        {"viewer.exe %s", "C:\\a b.jpg", "viewer.exe C:\\a b.jpg"},
        {"viewer.exe", "ignored", "viewer.exe"},                    // no %s: the argument is not passed
        {"run.exe %s%n", "x", "run.exe x%n"},                       // %n is text, never a format
        {"run.exe %n %d %%", "x", "run.exe %n %d %%"},              // no %s at all
        {"run.exe %s %s", "a", "run.exe a %s"},                     // only the first %s
        {"run.exe %s", "%s%n%x", "run.exe %s%n%x"},                 // the argument is not expanded again
        {"", "a", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(S(c.expected), BuildProgramCommandLine(S(c.program), S(c.argument))) << c.program;
}

} // namespace

#pragma once
// The grid of a menu element: items laid out column by column, a cursor moved by the
// arrows, and the column the focus enters at. Portable (no windows.h).
//
// A grid of N items in C columns has RC = (N + C - 1) / C rows per column; item i sits in
// column i / RC, row i mod RC. A column count below 1 counts as 1, and an empty menu has
// no rows, so no operation here divides by zero or names an item outside 0..N-1.
#include <cstdint>

namespace tx::skin
{

// Focus directions of the skin engine (the same numbers as SkinDirection).
inline constexpr int32_t kMenuUp = 1;
inline constexpr int32_t kMenuDown = 2;
inline constexpr int32_t kMenuLeft = 3;
inline constexpr int32_t kMenuRight = 4;

struct MenuCell
{
    int32_t x = 0;
    int32_t y = 0;
};

class MenuGrid
{
  public:
    // count items in columns columns (below 1 taken as 1; a negative count as 0), each cell
    // cellWidth x cellHeight at (x, y) plus the column and line gaps.
    MenuGrid(int32_t count, int32_t columns, int32_t x, int32_t y, int32_t cellWidth, int32_t cellHeight,
             int32_t columnSpace, int32_t lineSpace) noexcept;

    int32_t Count() const noexcept
    {
        return m_count;
    }
    int32_t Columns() const noexcept
    {
        return m_columns;
    }
    int32_t RowsPerColumn() const noexcept
    {
        return m_rows;
    }
    bool Empty() const noexcept
    {
        return m_count == 0;
    }

    // Top-left corner of item index's cell (index need not be a valid item).
    MenuCell CellOf(int32_t index) const noexcept;
    // The centre of item index's cell (halves toward zero).
    MenuCell CentreOf(int32_t index) const noexcept;
    // The whole grid: C x (w + column gap) wide, RC x (h + line gap) high.
    int32_t FocusWidth() const noexcept;
    int32_t FocusHeight() const noexcept;

    // The column whose centre is nearest to px (squared distance, the lower column on a tie).
    int32_t NearestColumn(int32_t px) const noexcept;
    // The cursor after the focus enters from direction at px: down (from above) the first
    // item of the nearest column, up (from below) its last item (at most N - 1); any other
    // direction keeps cursor. An empty grid gives 0.
    int32_t EntryCursor(int32_t direction, int32_t px, int32_t cursor) const noexcept;
    // Moves cursor one step in direction inside the grid. True and *cursor moved when the
    // move stays inside; false and *cursor unchanged at an edge (the focus then leaves
    // the menu) or for an unknown direction.
    bool Move(int32_t direction, int32_t *cursor) const noexcept;
    // index clamped to 0..N-1 (0 for an empty grid).
    int32_t Clamp(int32_t index) const noexcept;

  private:
    int32_t m_count;
    int32_t m_columns;
    int32_t m_rows;
    int32_t m_x;
    int32_t m_y;
    int32_t m_width;
    int32_t m_height;
    int32_t m_columnSpace;
    int32_t m_lineSpace;
};

} // namespace tx::skin

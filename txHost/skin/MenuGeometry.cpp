// Layout and cursor movement of the menu element's column-major grid.
#include "txHost/skin/MenuGeometry.h"

namespace tx::skin
{

MenuGrid::MenuGrid(int32_t count, int32_t columns, int32_t x, int32_t y, int32_t cellWidth, int32_t cellHeight,
                   int32_t columnSpace, int32_t lineSpace) noexcept
    : m_count(count > 0 ? count : 0), m_columns(columns > 0 ? columns : 1), m_rows(0), m_x(x), m_y(y),
      m_width(cellWidth), m_height(cellHeight), m_columnSpace(columnSpace), m_lineSpace(lineSpace)
{
    // Computed in 64 bits: a huge column count from a skin must not overflow N + C - 1.
    m_rows = static_cast<int32_t>((static_cast<int64_t>(m_count) + m_columns - 1) / m_columns);
}

MenuCell MenuGrid::CellOf(int32_t index) const noexcept
{
    MenuCell cell{m_x, m_y};
    if (m_rows <= 0)
        return cell;
    cell.x = m_x + (index / m_rows) * (m_width + m_columnSpace);
    cell.y = m_y + (index % m_rows) * (m_height + m_lineSpace);
    return cell;
}

MenuCell MenuGrid::CentreOf(int32_t index) const noexcept
{
    MenuCell cell = CellOf(index);
    cell.x += m_width / 2;
    cell.y += m_height / 2;
    return cell;
}

int32_t MenuGrid::FocusWidth() const noexcept
{
    return m_columns * (m_width + m_columnSpace);
}

int32_t MenuGrid::FocusHeight() const noexcept
{
    return m_rows * (m_height + m_lineSpace);
}

int32_t MenuGrid::NearestColumn(int32_t px) const noexcept
{
    int32_t best = 0;
    int64_t bestDistance = 0;
    for (int32_t column = 0; column < m_columns; ++column)
    {
        int64_t centre = static_cast<int64_t>(m_x) + static_cast<int64_t>(column) * (m_width + m_columnSpace) +
                         m_width / 2;
        int64_t d = static_cast<int64_t>(px) - centre;
        int64_t distance = d * d;
        if (column == 0 || distance < bestDistance)
        {
            best = column;
            bestDistance = distance;
        }
    }
    return best;
}

int32_t MenuGrid::EntryCursor(int32_t direction, int32_t px, int32_t cursor) const noexcept
{
    if (m_count == 0)
        return 0;
    int32_t column = NearestColumn(px);
    int64_t entry;
    if (direction == kMenuDown)
        entry = static_cast<int64_t>(column) * m_rows;
    else if (direction == kMenuUp)
        entry = (static_cast<int64_t>(column) + 1) * m_rows - 1;
    else
        return Clamp(cursor);
    // A column past the last item (more columns than items need) enters at the last item.
    return entry > m_count - 1 ? m_count - 1 : static_cast<int32_t>(entry);
}

bool MenuGrid::Move(int32_t direction, int32_t *cursor) const noexcept
{
    if (!cursor || m_count == 0)
        return false;
    int32_t current = *cursor;
    int32_t row = current % m_rows;
    int32_t next;
    switch (direction)
    {
    case kMenuUp:
        if (row <= 0)
            return false;
        next = current - 1;
        break;
    case kMenuDown:
        if (row + 1 >= m_rows || current + 1 >= m_count)
            return false;
        next = current + 1;
        break;
    case kMenuLeft:
        if (current - m_rows < 0)
            return false;
        next = current - m_rows;
        break;
    case kMenuRight:
        if (static_cast<int64_t>(current) + m_rows >= m_count)
            return false;
        next = current + m_rows;
        break;
    default:
        return false;
    }
    *cursor = next;
    return true;
}

int32_t MenuGrid::Clamp(int32_t index) const noexcept
{
    if (m_count == 0 || index < 0)
        return 0;
    return index >= m_count ? m_count - 1 : index;
}

} // namespace tx::skin

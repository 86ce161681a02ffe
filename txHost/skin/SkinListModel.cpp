#include "txHost/skin/SkinListModel.h"

#include <algorithm>

namespace tx::skin
{
namespace
{
int32_t Clamp64(int64_t value) noexcept
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}
} // namespace

SkinListLayout ComputeSkinListLayout(const SkinListMetrics &metrics, int32_t count) noexcept
{
    SkinListLayout layout;
    layout.columns = metrics.columns > 0 ? metrics.columns : 1;
    const int32_t c = layout.columns;
    layout.pitch = Clamp64(int64_t{metrics.rowHeight} + metrics.lineSpace);
    // A pitch that is not positive lays out no row: the frame is drawn, nothing else.
    if (layout.pitch > 0)
        layout.visibleRows =
            std::max<int32_t>(0, Clamp64((int64_t{metrics.height} - metrics.lineSpace) / layout.pitch));
    const int64_t n = std::max<int32_t>(count, 0);
    layout.totalRows = Clamp64((n + c - 1) / c);
    layout.scrollBar = layout.visibleRows < layout.totalRows;
    layout.scrollWidth = layout.scrollBar ? metrics.scrollWidth : 0;
    layout.cellWidth = Clamp64((int64_t{metrics.width} - layout.scrollWidth - metrics.colSpace) / c);
    int32_t shown = std::min(layout.totalRows, layout.visibleRows);
    if (shown < 3)
        shown = 3;
    if (shown > layout.visibleRows)
        shown = layout.visibleRows;
    layout.shownRows = shown;
    layout.boxHeight = Clamp64(int64_t{shown} * std::max<int32_t>(layout.pitch, 0) + metrics.lineSpace);
    return layout;
}

SkinListThumb ComputeSkinListThumb(const SkinListLayout &layout, int32_t top) noexcept
{
    SkinListThumb thumb;
    const int64_t bh = layout.boxHeight;
    const int64_t v = layout.visibleRows;
    const int64_t r = layout.totalRows;
    if (r <= 0 || v >= r)
        return thumb;
    int64_t th = bh * v / r;
    th = std::max<int64_t>(th, 30);
    th = std::min<int64_t>(th, bh);
    thumb.height = Clamp64(th);
    thumb.top = Clamp64(int64_t{top / layout.columns} * (bh - th) / (r - v));
    return thumb;
}

int CompareSkinListRows(int32_t sort, const SkinListSortKey &a, const SkinListSortKey &b,
                        SkinTextCompare compare) noexcept
{
    int order = 0;
    switch (sort)
    {
    case SKIN_LIST_SORT_ALPHA:
        return compare(*a.text, *b.text);
    case SKIN_LIST_SORT_PHONE:
        order = compare(*a.key, *b.key);
        return order ? order : compare(*a.text, *b.text);
    case SKIN_LIST_SORT_LENGTH:
        if (a.text->size() != b.text->size())
            return a.text->size() < b.text->size() ? -1 : 1;
        order = compare(*a.key, *b.key);
        return order ? order : compare(*a.text, *b.text);
    default:
        return 0;
    }
}

void SkinListCursor::SetShape(int32_t count, int32_t columns, int32_t visibleRows) noexcept
{
    m_count = std::max<int32_t>(count, 0);
    m_columns = columns > 0 ? columns : 1;
    m_visible = std::max<int32_t>(visibleRows, 0);
}

int32_t SkinListCursor::TotalRows() const noexcept
{
    return Clamp64((int64_t{m_count} + m_columns - 1) / m_columns);
}

int32_t SkinListCursor::MaxTop() const noexcept
{
    return Clamp64(std::max<int64_t>(int64_t{TotalRows()} - Window(), 0) * m_columns);
}

void SkinListCursor::SetPosition(int32_t top, int32_t selection) noexcept
{
    const int32_t c = m_columns;
    const int32_t v = Window();
    const int32_t r = TotalRows();
    int32_t s = std::max<int32_t>(selection, 0);
    int32_t t = std::max<int32_t>(top, 0) / c * c;
    if (r >= v && t > MaxTop())
        t = MaxTop();
    if (s >= m_count)
        s = m_count - 1;
    if (m_count <= 0)
    {
        m_top = 0;
        m_selection = 0;
        return;
    }
    if (s < t)
        t = s / c * c;
    if (int64_t{s} >= int64_t{t} + int64_t{v} * c)
        t = (s / c - (v - 1)) * c;
    m_top = t;
    m_selection = s;
}

bool SkinListCursor::EnterFocus(int32_t direction) noexcept
{
    const int32_t c = m_columns;
    const int32_t r = TotalRows();
    if (direction == 3 && m_visible < r)
    {
        m_focused = true;
        m_scrollFocus = true;
        return true;
    }
    if (m_count <= 0)
        return false;
    m_focused = true;
    m_scrollFocus = false;
    if (direction == 1)
    {
        m_selection = std::min<int32_t>(m_selection % c + (r - 1) * c, m_count - 1);
        m_top = r > m_visible ? MaxTop() : 0;
    }
    else if (direction == 2)
    {
        m_selection = m_selection % c;
        m_top = 0;
    }
    return true;
}

bool SkinListCursor::Navigate(int32_t direction) noexcept
{
    return m_scrollFocus ? NavigateScrollBar(direction) : NavigateRows(direction);
}

bool SkinListCursor::NavigateRows(int32_t direction) noexcept
{
    if (m_count <= 0)
        return false;
    const int32_t c = m_columns;
    const int64_t windowItems = int64_t{Window()} * c;
    switch (direction)
    {
    case 1: // up
        if (m_selection / c != m_top / c)
        {
            m_selection -= c;
            return true;
        }
        if (m_top < c)
            return false;
        m_selection -= c;
        m_top -= c;
        m_scrollAnimation = -1;
        return true;
    case 2: // down
    {
        const int64_t lastShownItem = m_top + windowItems - 1;
        if (m_selection / c != lastShownItem / c)
        {
            if (int64_t{m_selection} + c >= m_count)
                return false;
            m_selection += c;
            return true;
        }
        if (m_top + windowItems >= m_count)
            return false;
        m_top += c;
        m_selection = static_cast<int32_t>(std::min<int64_t>(int64_t{m_selection} + c, m_count - 1));
        m_scrollAnimation = 1;
        return true;
    }
    case 3: // left
        if (m_selection % c >= 1)
        {
            --m_selection;
            return true;
        }
        return false;
    case 4: // right
        if (m_selection % c < c - 1 && m_selection + 1 < m_count)
        {
            ++m_selection;
            return true;
        }
        if (m_visible < TotalRows())
        {
            m_scrollFocus = true;
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool SkinListCursor::NavigateScrollBar(int32_t direction) noexcept
{
    const int64_t page = int64_t{Window()} * m_columns;
    switch (direction)
    {
    case 1: // up
        if (m_top - page < 0)
        {
            m_selection -= m_top;
            m_top = 0;
        }
        else
        {
            m_top -= static_cast<int32_t>(page);
            m_selection -= static_cast<int32_t>(page);
        }
        return true;
    case 2: // down
    {
        int64_t top = m_top + page;
        int64_t selection = m_selection + page;
        const int64_t maxTop = MaxTop();
        if (top > maxTop)
        {
            selection -= top - maxTop;
            top = maxTop;
        }
        selection = std::min<int64_t>(selection, int64_t{m_count} - 1);
        m_top = static_cast<int32_t>(std::max<int64_t>(top, 0));
        m_selection = static_cast<int32_t>(std::max<int64_t>(selection, 0));
        return true;
    }
    case 3: // left: back to the rows
        m_scrollFocus = false;
        return true;
    default:
        return false;
    }
}

bool SkinListCursor::JumpToDigit(int32_t digit) noexcept
{
    const int32_t r = TotalRows();
    if (digit < 0 || digit > 9 || m_visible >= r)
        return false;
    int32_t row = static_cast<int32_t>(int64_t{r} * digit / 10);
    row = std::min(row, r - Window());
    m_top = row * m_columns;
    m_selection = m_top;
    return true;
}

void SkinListCursor::Reset() noexcept
{
    m_top = 0;
    m_selection = 0;
    m_scrollAnimation = 0;
}

bool SkinListCursor::StepScrollAnimation() noexcept
{
    if (m_scrollAnimation > 0)
        --m_scrollAnimation;
    else if (m_scrollAnimation < 0)
        ++m_scrollAnimation;
    else
        return false;
    return true;
}

SkinChoiceBoxGeometry ComputeSkinChoiceBoxGeometry(int32_t x, int32_t y, int32_t width, int32_t buttonWidth,
                                                   int32_t buttonHeight, int32_t buttonTop, int32_t captionTop,
                                                   int32_t count) noexcept
{
    SkinChoiceBoxGeometry g;
    const int32_t n = std::clamp<int32_t>(count, 0, 3);
    g.buttonCount = n;
    g.spacing = Clamp64((int64_t{width} - int64_t{buttonWidth} * n) / (n + 1));
    const int32_t top = Clamp64(int64_t{y} + buttonTop);
    for (int32_t i = 0; i < n; ++i)
    {
        const int64_t left = int64_t{x} + g.spacing + int64_t{i} * (int64_t{buttonWidth} + g.spacing);
        g.buttons[i] = {Clamp64(left), top, Clamp64(left + buttonWidth), Clamp64(int64_t{top} + buttonHeight)};
        g.captionCentre[i] = Clamp64(left + buttonWidth / 2);
    }
    if (n > 0)
    {
        const int32_t bandTop = Clamp64(int64_t{top} + captionTop);
        g.captionBand = {x, bandTop, Clamp64(int64_t{x} + width), Clamp64(int64_t{bandTop} + buttonHeight)};
    }
    return g;
}

} // namespace tx::skin

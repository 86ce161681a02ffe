#pragma once
// The arithmetic of the skin list: its layout quantities, the sorted insertion position,
// the scrolling window and the movement of the selection. Portable (no windows.h); the
// text comparison is handed in, so the Windows build sorts with the user's locale and
// the tests with a fixed order.
//
// Names: C columns, P row pitch (row height + line space), V visible grid rows, R grid
// rows in use, N rows (items). Integer arithmetic, division truncating toward zero.
#include "txHost/skin/SkinAttributes.h"

#include <cstddef>
#include <cstdint>

namespace tx::skin
{

// The attributes the layout depends on.
struct SkinListMetrics
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowHeight = 0;
    int32_t lineSpace = 0;
    int32_t colSpace = 0;
    int32_t columns = 1;
    int32_t scrollWidth = 0;
};

struct SkinListLayout
{
    int32_t columns = 1;     // C, at least 1 (a skin's 0 or negative count is taken as 1)
    int32_t pitch = 0;       // P; not positive when the skin's height and spacing cannot lay out rows
    int32_t visibleRows = 0; // V, 0 when P is not positive or the area holds no row
    int32_t totalRows = 0;   // R
    bool scrollBar = false;  // V < R
    int32_t scrollWidth = 0; // SB
    int32_t cellWidth = 0;   // CW
    int32_t shownRows = 0;   // S
    int32_t boxHeight = 0;   // BH

    // Rows can be laid out (drawing walks the rows only then).
    bool HasRows() const noexcept
    {
        return pitch > 0;
    }
};

SkinListLayout ComputeSkinListLayout(const SkinListMetrics &metrics, int32_t count) noexcept;

// The scroll bar's thumb: top and height in list coordinates (relative to the list's y),
// for the first shown item top. Meaningful only when the layout shows a scroll bar.
struct SkinListThumb
{
    int32_t top = 0;
    int32_t height = 0;
};
SkinListThumb ComputeSkinListThumb(const SkinListLayout &layout, int32_t top) noexcept;

// Row orders of the sort attribute.
enum SkinListSort : int32_t
{
    SKIN_LIST_SORT_NONE = 0,
    SKIN_LIST_SORT_ALPHA = 1,
    SKIN_LIST_SORT_PHONE = 2,
    SKIN_LIST_SORT_LENGTH = 3,
};

// Compares two texts: negative, 0 or positive. Empty texts sort before the rest.
using SkinTextCompare = int (*)(const SkinString &a, const SkinString &b) noexcept;

// The sort fields of a row.
struct SkinListSortKey
{
    const SkinString *text;
    const SkinString *key;
};

// Orders a against b under sort: alpha by text; phone by key, then text; length by text
// length in characters, then key, then text. 0 for SKIN_LIST_SORT_NONE.
int CompareSkinListRows(int32_t sort, const SkinListSortKey &a, const SkinListSortKey &b,
                        SkinTextCompare compare) noexcept;

// Where a new row goes among count sorted rows: binary search, rowKey(i) giving the sort
// fields of row i. equal: the search met a row equal to the new one, and index is that
// row's position (a distinct list drops the new row; otherwise it goes before it). A list
// without a sort order appends (index count, never equal).
struct SkinListInsertPosition
{
    size_t index = 0;
    bool equal = false;
};
template <class RowKey>
SkinListInsertPosition FindSkinListInsertPosition(int32_t sort, const SkinListSortKey &newRow, size_t count,
                                                  RowKey &&rowKey, SkinTextCompare compare)
{
    if (sort == SKIN_LIST_SORT_NONE)
        return {count, false};
    size_t lo = 0;
    size_t hi = count;
    while (lo < hi)
    {
        size_t mid = lo + (hi - lo) / 2;
        int order = CompareSkinListRows(sort, newRow, rowKey(mid), compare);
        if (order > 0)
            lo = mid + 1;
        else if (order < 0)
            hi = mid;
        else
            return {mid, true};
    }
    return {hi, false};
}

// The selection, the scrolling window and the focus state of a list over its current
// shape (N, C, V). Every operation keeps 0 <= top <= selection < N (both 0 when N is 0),
// top a multiple of C; a list whose V is 0 scrolls as if one row were shown.
class SkinListCursor
{
  public:
    // Sets N, C (taken as 1 when below 1) and V (taken as 0 when negative); the position
    // is not re-clamped (SetPosition does that).
    void SetShape(int32_t count, int32_t columns, int32_t visibleRows) noexcept;

    // Stores and clamps top and selection.
    void SetPosition(int32_t top, int32_t selection) noexcept;
    // Takes the focus entering from direction (1 up .. 4 right). False: refused (no rows).
    bool EnterFocus(int32_t direction) noexcept;
    void LeaveFocus() noexcept
    {
        m_focused = false;
        m_scrollFocus = false;
    }
    // Moves the selection or scrolls; false when the move should leave the list.
    bool Navigate(int32_t direction) noexcept;
    // Jumps to a tenth of the list (digit 0-9); false when the whole list fits or the
    // digit is out of range.
    bool JumpToDigit(int32_t digit) noexcept;
    // Forgets the rows: selection, top and the scroll animation become 0.
    void Reset() noexcept;

    int32_t Top() const noexcept
    {
        return m_top;
    }
    int32_t Selection() const noexcept
    {
        return m_selection;
    }
    bool Focused() const noexcept
    {
        return m_focused;
    }
    bool ScrollFocus() const noexcept
    {
        return m_scrollFocus;
    }
    // -1, 0 or +1 after a one-row scroll; the animation tick brings it back to 0.
    int32_t ScrollAnimation() const noexcept
    {
        return m_scrollAnimation;
    }
    // One animation step: true when the counter was not 0.
    bool StepScrollAnimation() noexcept;
    int32_t TotalRows() const noexcept;

  private:
    int32_t Window() const noexcept
    {
        return m_visible > 0 ? m_visible : 1;
    }
    int32_t MaxTop() const noexcept;
    bool NavigateRows(int32_t direction) noexcept;
    bool NavigateScrollBar(int32_t direction) noexcept;

    int32_t m_count = 0;
    int32_t m_columns = 1;
    int32_t m_visible = 0;
    int32_t m_top = 0;
    int32_t m_selection = 0;
    bool m_focused = false;
    bool m_scrollFocus = false;
    int32_t m_scrollAnimation = 0;
};

// The geometry of the choice box: n buttons of bw x bh spread over the box width with
// equal spacing (w - bw x n) / (n + 1), their top at y + buttonTop, captions centred on
// the buttons in a band captionTop below the buttons' top.
struct SkinChoiceBoxGeometry
{
    int32_t buttonCount = 0; // 0-3
    int32_t spacing = 0;
    struct Rect
    {
        int32_t left, top, right, bottom;
    };
    Rect buttons[3] = {};
    int32_t captionCentre[3] = {};
    Rect captionBand = {}; // empty (all 0) when there are no buttons
};
// n is clamped to 0..3.
SkinChoiceBoxGeometry ComputeSkinChoiceBoxGeometry(int32_t x, int32_t y, int32_t width, int32_t buttonWidth,
                                                   int32_t buttonHeight, int32_t buttonTop, int32_t captionTop,
                                                   int32_t count) noexcept;

} // namespace tx::skin

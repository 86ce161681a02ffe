// The list element: rows, sorting, the scrolling window, focus movement and drawing.
#include "txHost/skin/SkinList.h"

#include "txHost/skin/SkinControlDraw.h"

#include "comkit/Bstr.h"
#include "comkit/Handles.h"
#include "comkit/HResult.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/TextRaster.h"

#include <algorithm>
#include <atomic>

using namespace tx::skin;

namespace
{

#define TX_LIST_PART_ROWS(name, member)                                                                                \
    const SkinAttrRow name[] = {                                                                                       \
        {L"style", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinList, member.style)},                                            \
        {L"rect", SKINATTR_RECT, TX_SKIN_FIELD(CSkinList, member.rect)},                                               \
    };

const SkinAttrRow kListRows[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinList, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinList, size)},
    {L"rect", SKINATTR_RECT, TX_SKIN_FIELD(CSkinList, rect)},
    {L"margin", SKINATTR_MARGIN, TX_SKIN_FIELD(CSkinList, margin)},
    {L"height", SKINATTR_INT, TX_SKIN_FIELD(CSkinList, height)},
    {L"align", SKINATTR_ALIGN, TX_SKIN_FIELD(CSkinList, align)},
    {L"rtlreading", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinList, rtlReading)},
    {L"col", SKINATTR_INT, TX_SKIN_FIELD(CSkinList, col)},
    {L"colspace", SKINATTR_INT, TX_SKIN_FIELD(CSkinList, colSpace)},
    {L"linespace", SKINATTR_INT, TX_SKIN_FIELD(CSkinList, lineSpace)},
    {L"img1pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinList, img1Pos)},
    {L"img2pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinList, img2Pos)},
    {L"rectscroll-back", SKINATTR_RECT, TX_SKIN_FIELD(CSkinList, rectScrollBack)},
    {L"rectscroll-nosel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinList, rectScrollNosel)},
    {L"rectscroll-focus", SKINATTR_RECT, TX_SKIN_FIELD(CSkinList, rectScrollFocus)},
    {L"scrollwidth", SKINATTR_INT, TX_SKIN_FIELD(CSkinList, scrollWidth)},
    {L"sort", SKINATTR_SORT, TX_SKIN_FIELD(CSkinList, sort)},
    {L"distinct", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinList, distinct)},
    {L"nav", SKINATTR_STRING, TX_SKIN_FIELD(CSkinList, nav)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinList, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinList, id)},
    {L"action", SKINATTR_STRING, TX_SKIN_FIELD(CSkinList, action)},
};
TX_LIST_PART_ROWS(kSelRows, sel)
TX_LIST_PART_ROWS(kNoselRows, nosel)
TX_LIST_PART_ROWS(kFocusRows, focus)
#undef TX_LIST_PART_ROWS

int DefaultTextCompare(const SkinString &a, const SkinString &b) noexcept
{
    return CompareSkinStrings(a.c_str(), b.c_str());
}
std::atomic<SkinTextCompare> g_textCompare{&DefaultTextCompare};

void FillOpaque(HDC dc, int left, int top, int right, int bottom, COLORREF colour) noexcept
{
    RECT area{left, top, right, bottom};
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, L"", 0, nullptr);
}

// A rectangle look resolved to palette indices, with its pen and brush; a palette index i
// is drawn as the GDI colour i << 16 so it lands in the DIB pixel's low byte.
struct PaletteLook
{
    const SkinRectStyle *look = nullptr;
    tx::UniquePen pen;
    tx::UniqueBrush brush;

    HRESULT Make(IOsd *osd, const SkinRectStyle &from) noexcept
    {
        look = &from;
        BYTE fill = 0;
        BYTE border = 0;
        HRESULT hr = osd->GetPaletteIndex(SwapRedBlue(from.fill), &fill);
        if (SUCCEEDED(hr))
            hr = osd->GetPaletteIndex(SwapRedBlue(from.border), &border);
        if (FAILED(hr))
            return hr;
        pen.Reset(::CreatePen(PS_SOLID, from.borderWidth, static_cast<COLORREF>(border) << 16));
        brush.Reset(::CreateSolidBrush(static_cast<COLORREF>(fill) << 16));
        return pen && brush ? S_OK : E_OUTOFMEMORY;
    }
    void RoundRect(HDC dc, int left, int top, int right, int bottom) const noexcept
    {
        tx::SelectObjectScope selectPen(dc, pen.Get());
        tx::SelectObjectScope selectBrush(dc, brush.Get());
        ::RoundRect(dc, left, top, right, bottom, look->cornerWidth, look->cornerHeight);
    }
};

// Saves the DC state and restores it on leaving the scope.
class SavedDc
{
  public:
    explicit SavedDc(HDC dc) noexcept : m_dc(dc), m_state(::SaveDC(dc))
    {
    }
    ~SavedDc()
    {
        if (m_state)
            ::RestoreDC(m_dc, m_state);
    }
    SavedDc(const SavedDc &) = delete;
    SavedDc &operator=(const SavedDc &) = delete;

  private:
    HDC m_dc;
    int m_state;
};

void ClipTo(HDC dc, int left, int top, int right, int bottom) noexcept
{
    tx::UniqueRegion region(::CreateRectRgn(left, top, right, bottom));
    if (region)
        ::SelectClipRgn(dc, region.Get());
}

} // namespace

// Drawing stops at the first failing OSD call; Draw logs that failure once.
#define RETURN_IF_FAILED(expr)                                                                                         \
    do                                                                                                                 \
    {                                                                                                                  \
        const HRESULT list_hr_ = (expr);                                                                               \
        if (FAILED(list_hr_))                                                                                          \
            return list_hr_;                                                                                           \
    } while (0)

const SkinAttrPart CSkinList::kParts[] = {
    {nullptr, kListRows, std::size(kListRows), nullptr},
    {L"sel", kSelRows, std::size(kSelRows), nullptr},
    {L"nosel", kNoselRows, std::size(kNoselRows), nullptr},
    {L"focus", kFocusRows, std::size(kFocusRows), nullptr},
    {L"img", CSkinListImg::kRows, CSkinListImg::kRowCount, &CSkinListImg::CreateForTag},
};
const size_t CSkinList::kPartCount = std::size(CSkinList::kParts);

void CSkinList::SetTextCompare(SkinTextCompare compare) noexcept
{
    g_textCompare.store(compare ? compare : &DefaultTextCompare);
}

HRESULT CSkinList::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinList))
    {
        *ppv = &m_listFace;
        AddRef();
        return S_OK;
    }
    return CSkinControlElement::QueryFace(riid, ppv);
}

void CSkinList::UpdateShape() noexcept
{
    SkinListMetrics metrics{size.a, size.b, height, lineSpace, colSpace, col, scrollWidth};
    m_layout = ComputeSkinListLayout(metrics, static_cast<int32_t>(m_items.size()));
    m_cursor.SetShape(static_cast<int32_t>(m_items.size()), m_layout.columns, m_layout.visibleRows);
}

// ---- rows ----

HRESULT CSkinList::AddItem(const wchar_t *text, const wchar_t *key, LONG data, const wchar_t *image1,
                           const wchar_t *image2)
{
    if (m_items.size() >= static_cast<size_t>(INT32_MAX))
        return E_OUTOFMEMORY;
    SkinListItem item{image1 ? image1 : L"", image2 ? image2 : L"", text ? text : L"", key ? key : L"", data};
    SkinListSortKey newKey{&item.text, &item.key};
    SkinListInsertPosition at = FindSkinListInsertPosition(
        sort, newKey, m_items.size(),
        [&](size_t i) {
            return SkinListSortKey{&m_items[i].text, &m_items[i].key};
        },
        g_textCompare.load());
    if (at.equal && distinct)
        return S_OK;
    m_items.insert(m_items.begin() + static_cast<ptrdiff_t>(at.index), std::move(item));
    UpdateShape();
    return S_OK;
}

HRESULT CSkinList::ClearItems()
{
    m_items.clear();
    m_cursor.Reset();
    m_flash = false;
    UpdateShape();
    return S_OK;
}

HRESULT CSkinList::GetPosition(LONG *top, LONG *selection)
{
    if (top)
        *top = m_cursor.Top();
    if (selection)
        *selection = m_cursor.Selection();
    return S_OK;
}

HRESULT CSkinList::SetPosition(LONG top, LONG selection)
{
    UpdateShape();
    m_cursor.SetPosition(top, selection);
    return S_OK;
}

HRESULT CSkinList::GetItemData(LONG index, LONG *data)
{
    if (!data)
        return E_POINTER;
    // Pages pass indexes they remember from an earlier fill; one past the rows is refused.
    if (index < 0 || static_cast<size_t>(index) >= m_items.size())
        return E_INVALIDARG;
    *data = m_items[static_cast<size_t>(index)].data;
    return S_OK;
}

HRESULT CSkinList::GetNav(BSTR *text)
{
    if (!text)
        return E_POINTER;
    tx::Bstr copy{std::wstring_view(nav)};
    if (copy.IsNull())
        return E_OUTOFMEMORY;
    *text = copy.Detach();
    return S_OK;
}

HRESULT CSkinList::GetCount(LONG *count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<LONG>(m_items.size());
    return S_OK;
}

// ---- element operations ----

HRESULT CSkinList::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return SetPosition(m_cursor.Top(), m_cursor.Selection());
}

HRESULT CSkinList::Animate(BOOL *redraw)
{
    bool changed = m_flash;
    m_flash = false;
    if (m_cursor.StepScrollAnimation())
        changed = true;
    if (changed && redraw)
        *redraw = TRUE;
    return S_OK;
}

HRESULT CSkinList::ResetAnimation()
{
    m_flash = false;
    return S_OK;
}

HRESULT CSkinList::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinList *>(target);
    other->pos = pos;
    other->size = size;
    other->rect = rect;
    other->margin = margin;
    other->height = height;
    other->align = align;
    other->rtlReading = rtlReading;
    other->col = col;
    other->colSpace = colSpace;
    other->lineSpace = lineSpace;
    other->img1Pos = img1Pos;
    other->img2Pos = img2Pos;
    other->rectScrollBack = rectScrollBack;
    other->rectScrollNosel = rectScrollNosel;
    other->rectScrollFocus = rectScrollFocus;
    other->scrollWidth = scrollWidth;
    other->sort = sort;
    other->distinct = distinct;
    other->nav = nav;
    other->action = action;
    other->sel = sel;
    other->nosel = nosel;
    other->focus = focus;
    for (CSkinListImg *image : m_images)
    {
        tx::ComPtr<ISkinElement> copy;
        HRESULT hr = image->Clone(copy.GetAddressOf());
        if (FAILED(hr))
            return hr;
        tx::ComPtr<ISkinResolve> resolve;
        CSkinElement *copyObject = nullptr;
        hr = copy.As(&resolve);
        if (SUCCEEDED(hr))
            hr = resolve->GetElement(&copyObject);
        if (SUCCEEDED(hr))
            hr = other->AddChild(copy.Get(), copyObject);
        if (FAILED(hr))
            return hr;
    }
    HRESULT hr = CSkinElement::CopyAttributesTo(target);
    other->UpdateShape();
    return hr;
}

HRESULT CSkinList::AddChild(ISkinElement *child, CSkinElement *childObject)
{
    if (!child || !childObject)
        return E_POINTER;
    auto *image = dynamic_cast<CSkinListImg *>(childObject);
    if (!image)
        return E_INVALIDARG;
    try
    {
        m_imageRefs.reserve(m_imageRefs.size() + 1);
        m_images.reserve(m_images.size() + 1);
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
    m_imageRefs.emplace_back(child);
    m_images.push_back(image);
    return S_OK;
}

HRESULT CSkinList::ResolveResources(IOsd *, SkinFontCache *fonts, SkinImageCache *images)
{
    if (fonts)
    {
        m_fontSel = fonts->GetFont(sel.style);
        m_fontNosel = fonts->GetFont(nosel.style);
        m_fontFocus = fonts->GetFont(focus.style);
    }
    if (col == 0)
        col = 1;
    // An image the skin lacks is no error: rows naming it draw no image.
    for (CSkinListImg *image : m_images)
        image->BindImage(images);
    UpdateShape();
    return S_OK;
}

// ---- focus and commands ----

HRESULT CSkinList::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *heightOut)
{
    if (!visible || m_items.empty())
        return S_FALSE;
    if (x)
        *x = pos.a;
    if (y)
        *y = pos.b;
    if (width)
        *width = size.a;
    if (heightOut)
        *heightOut = size.b;
    return S_OK;
}

HRESULT CSkinList::SetFocus(LONG direction, LONG, LONG)
{
    UpdateShape();
    return m_cursor.EnterFocus(direction) ? S_OK : S_FALSE;
}

HRESULT CSkinList::GetCenter(LONG *x, LONG *y)
{
    const int32_t c = m_layout.columns;
    const int32_t r = m_cursor.Selection() - m_cursor.Top();
    const int32_t k = size.a / c;
    if (x)
        *x = pos.a + (r % c) * k + k / 2;
    if (y)
        *y = pos.b + (r / c) * m_layout.pitch + height / 2;
    return S_OK;
}

HRESULT CSkinList::KillFocus()
{
    m_cursor.LeaveFocus();
    return S_OK;
}

HRESULT CSkinList::Navigate(LONG direction, BOOL *used)
{
    UpdateShape();
    bool handled = m_cursor.Navigate(direction);
    if (used)
        *used = handled ? TRUE : FALSE;
    return S_OK;
}

HRESULT CSkinList::GetCommand(BOOL activate, BSTR *idOut, LONG *first, LONG *, BSTR *actionOut, BSTR *data)
{
    if (activate)
    {
        if (m_cursor.ScrollFocus())
            return S_FALSE;
        if (!IsRepeatAllowed())
            return S_FALSE; // a repeated activation within 500 ms is ignored
        m_flash = true;
    }
    // All copies are made before any is handed out, so a failure leaks nothing.
    tx::Bstr idCopy{std::wstring_view(id)}, actionCopy{std::wstring_view(action)}, dataCopy{std::wstring_view(L"")};
    if (idCopy.IsNull() || actionCopy.IsNull() || dataCopy.IsNull())
        return E_OUTOFMEMORY;
    const size_t selection = static_cast<size_t>(m_cursor.Selection());
    if (first && selection < m_items.size())
        *first = m_items[selection].data;
    if (idOut)
        *idOut = idCopy.Detach();
    if (actionOut)
        *actionOut = actionCopy.Detach();
    if (data)
        *data = dataCopy.Detach();
    return S_OK;
}

HRESULT CSkinList::JumpToDigit(LONG digit)
{
    if (digit < 0 || digit > 9)
        return E_INVALIDARG;
    UpdateShape();
    return m_cursor.JumpToDigit(digit) ? S_OK : S_FALSE;
}

// ---- drawing ----

HRESULT CSkinList::DrawImage(IOsd *osd, const SkinString &imageId, int x, int y, int width) noexcept
{
    if (imageId.empty())
        return S_OK;
    for (CSkinListImg *image : m_images)
    {
        if (image->id != imageId)
            continue;
        IPictureSurface *surface = image->Image();
        if (!surface)
            return S_OK;
        LONG imageWidth = 0;
        LONG imageHeight = 0;
        HRESULT hr = surface->GetSize(&imageWidth, &imageHeight);
        if (SUCCEEDED(hr))
            hr = osd->RunTransform(surface, x, y, width, height, imageWidth, imageHeight);
        return hr;
    }
    return S_OK;
}

HRESULT CSkinList::Draw(IOsd *osd)
{
    if (!osd)
        return E_POINTER;
    HRESULT hr = DrawList(osd);
    tx::LogFailure(hr, L"Failed to draw the list");
    return hr;
}

// Stops at the first failing OSD call and returns its result.
HRESULT CSkinList::DrawList(IOsd *osd) noexcept
{
    UpdateShape();
    HDC dc = nullptr;
    RETURN_IF_FAILED(osd->GetScratchDC(&dc));

    const bool focusedRows = m_cursor.Focused() && !m_cursor.ScrollFocus() && !m_flash;
    const SkinListRowLook &selectedLook = focusedRows ? focus : sel;
    const HFONT selectedFont = focusedRows ? m_fontFocus : m_fontSel;
    const SkinRectStyle &thumbLook =
        m_cursor.Focused() && m_cursor.ScrollFocus() && !m_flash ? rectScrollFocus : rectScrollNosel;

    PaletteLook frame, normalRow, selectedRow, track, thumb;
    RETURN_IF_FAILED(frame.Make(osd, rect));
    RETURN_IF_FAILED(normalRow.Make(osd, nosel.rect));
    RETURN_IF_FAILED(selectedRow.Make(osd, selectedLook.rect));
    RETURN_IF_FAILED(track.Make(osd, rectScrollBack));
    RETURN_IF_FAILED(thumb.Make(osd, thumbLook));

    const int x = pos.a;
    const int y = pos.b;
    const int w = size.a;
    const int b = rect.borderWidth;
    const int bh = m_layout.boxHeight;
    const int sb = m_layout.scrollWidth;
    const int c = m_layout.columns;
    const int cw = m_layout.cellWidth;
    const int p = m_layout.pitch;
    const int count = static_cast<int>(m_items.size());
    const int top = m_cursor.Top();
    const int selection = m_cursor.Selection();

    // Frame.
    FillOpaque(dc, x - b, y - b, x + w + b, y + bh + b, 0);
    frame.RoundRect(dc, x, y, x + w, y + bh);

    // Scroll bar.
    if (m_layout.scrollBar)
    {
        track.RoundRect(dc, x + w - sb, y, x + w, y + bh);
        SkinListThumb t = ComputeSkinListThumb(m_layout, top);
        thumb.RoundRect(dc, x + w - sb, y + t.top, x + w, y + t.top + t.height);
    }

    const RECT clip{x + colSpace - b, y + lineSpace - b, x + w - sb - colSpace + b, y + bh - lineSpace + b};
    // Walks the shown cells, one row above top included for the scroll animation. A
    // pitch that is not positive lays out no row.
    auto forEachCell = [&](auto &&cell) -> HRESULT {
        if (p <= 0)
            return S_OK;
        const int firstRowY = y + lineSpace + (p * m_cursor.ScrollAnimation()) / 2;
        // top is a multiple of C, so the row above it is either whole or (at top 0) absent.
        for (int index = std::max(top - c, 0); index < count; ++index)
        {
            const int64_t offset = int64_t{index} - top + c; // items from the row above top
            const int64_t rowY = firstRowY + (offset / c - 1) * p;
            if (rowY >= y + bh)
                break;
            const int cellX = x + colSpace + static_cast<int>(offset % c) * cw;
            HRESULT hr = cell(index, cellX, static_cast<int>(rowY));
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    };

    // Row backgrounds.
    {
        SavedDc saved(dc);
        ClipTo(dc, clip.left, clip.top, clip.right, clip.bottom);
        forEachCell([&](int index, int cellX, int rowY) -> HRESULT {
            const PaletteLook &look = index == selection ? selectedRow : normalRow;
            look.RoundRect(dc, cellX, rowY, cellX + cw - colSpace, rowY + height);
            return S_OK;
        });
    }
    RETURN_IF_FAILED(osd->CopyFromScratch(x - b, y - b, w + 2 * b, bh + 2 * b, TRUE, FALSE, TRUE, 0));

    // Texts and images, cell by cell, keyed on the cell's background.
    SavedDc saved(dc);
    ClipTo(dc, clip.left, clip.top, clip.right, clip.bottom);
    UINT alignment = TA_LEFT;
    int textOffset = margin.values[0];
    if (align == 1)
    {
        alignment = TA_RIGHT;
        textOffset = cw - margin.values[1] - colSpace;
    }
    else if (align == 2)
    {
        alignment = TA_CENTER;
        textOffset = (cw - colSpace) / 2;
    }
    if (rtlReading)
        alignment |= TA_RTLREADING;
    ::SetTextAlign(dc, alignment | TA_TOP);
    ::SetBkMode(dc, TRANSPARENT);
    return forEachCell([&](int index, int cellX, int rowY) -> HRESULT {
        const SkinListItem &item = m_items[static_cast<size_t>(index)];
        const bool selected = index == selection;
        const SkinStyle &style = selected ? selectedLook.style : nosel.style;
        const COLORREF background = PremultiplyColour(style.background);
        FillOpaque(dc, cellX, rowY, cellX + cw, rowY + height, background);
        HFONT font = selected ? selectedFont : m_fontNosel;
        {
            SavedDc cellState(dc);
            if (font)
                ::SelectObject(dc, font);
            ::SetTextColor(dc, style.textColour & 0x00FFFFFF);
            ::IntersectClipRect(dc, cellX + margin.values[0], rowY, cellX + cw - margin.values[1] - colSpace,
                                rowY + height);
            TextOutText(dc, cellX + textOffset, rowY + margin.values[2], item.text.c_str(),
                        static_cast<int>(item.text.size()));
        }
        RETURN_IF_FAILED(DrawImage(osd, item.image1, cellX + img1Pos.a, rowY, img1Pos.b));
        RETURN_IF_FAILED(DrawImage(osd, item.image2, cellX + img2Pos.a, rowY, img2Pos.b));
        RECT cell{cellX, rowY, cellX + cw, rowY + height};
        RECT copy{};
        if (!::IntersectRect(&copy, &cell, &clip))
            return S_OK;
        return osd->CopyFromScratch(copy.left, copy.top, copy.right - copy.left, copy.bottom - copy.top, FALSE, TRUE,
                                    TRUE, SwapRedBlue(background) & 0x00FFFFFF);
    });
}

// ---- ISkinList face ----

STDMETHODIMP CSkinList::ListFace::AddItem(BSTR text, BSTR key, LONG data, BSTR image1, BSTR image2)
{
    return SkinGuard([&] { return List()->AddItem(text, key, data, image1, image2); });
}
STDMETHODIMP CSkinList::ListFace::Clear()
{
    return SkinGuard([&] { return List()->ClearItems(); });
}
STDMETHODIMP CSkinList::ListFace::GetPosition(LONG *top, LONG *selection)
{
    return SkinGuard([&] { return List()->GetPosition(top, selection); });
}
STDMETHODIMP CSkinList::ListFace::SetPosition(LONG top, LONG selection)
{
    return SkinGuard([&] { return List()->SetPosition(top, selection); });
}
STDMETHODIMP CSkinList::ListFace::GetItemData(LONG index, LONG *data)
{
    return SkinGuard([&] { return List()->GetItemData(index, data); });
}
STDMETHODIMP CSkinList::ListFace::GetNav(BSTR *text)
{
    return SkinGuard([&] { return List()->GetNav(text); });
}
STDMETHODIMP CSkinList::ListFace::GetCount(LONG *count)
{
    return SkinGuard([&] { return List()->GetCount(count); });
}

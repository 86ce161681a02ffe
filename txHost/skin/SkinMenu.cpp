// The menu element: items, grid navigation, selection, command and drawing.
#include "txHost/skin/SkinMenu.h"

#include "comkit/Bstr.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinControlDraw.h"
#include "txHost/skin/SkinManagerInterfaces.h"
#include "txHost/skin/TextRaster.h"

#include <iterator>

using namespace tx::skin;

namespace
{

const SkinAttrRow kMenuRows[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinMenu, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinMenu, size)},
    {L"margin", SKINATTR_MARGIN, TX_SKIN_FIELD(CSkinMenu, margin)},
    {L"rect-sel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinMenu, rectSel)},
    {L"rect-nosel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinMenu, rectNosel)},
    {L"rect-focus", SKINATTR_RECT, TX_SKIN_FIELD(CSkinMenu, rectFocus)},
    {L"style-sel", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinMenu, styleSel)},
    {L"style-nosel", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinMenu, styleNosel)},
    {L"style-focus", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinMenu, styleFocus)},
    {L"align", SKINATTR_ALIGN, TX_SKIN_FIELD(CSkinMenu, align)},
    {L"rtlreading", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinMenu, rtlReading)},
    {L"linespace", SKINATTR_INT, TX_SKIN_FIELD(CSkinMenu, lineSpace)},
    {L"menustyle", SKINATTR_MENUSTYLE, TX_SKIN_FIELD(CSkinMenu, menuStyle)},
    {L"col", SKINATTR_INT, TX_SKIN_FIELD(CSkinMenu, col)},
    {L"colspace", SKINATTR_INT, TX_SKIN_FIELD(CSkinMenu, colSpace)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinMenu, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinMenu, id)},
};

HRESULT CreateMenuItem(ISkinElement **element) noexcept
{
    return CSkinMenuItem::CreateForTag(element);
}

} // namespace

const SkinAttrPart CSkinMenu::kParts[] = {
    {nullptr, kMenuRows, std::size(kMenuRows), nullptr},
    {L"item", CSkinMenuItem::kRows, CSkinMenuItem::kRowCount, &CreateMenuItem},
};
const size_t CSkinMenu::kPartCount = std::size(CSkinMenu::kParts);

CSkinMenu::~CSkinMenu()
{
    for (ItemEntry &item : m_items)
        item.element->Release();
    if (m_textSource)
        m_textSource->Release();
}

HRESULT CSkinMenu::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinMenu))
    {
        *ppv = &m_menuFace;
        AddRef();
        return S_OK;
    }
    return CSkinControlElement::QueryFace(riid, ppv);
}

MenuGrid CSkinMenu::Grid() const noexcept
{
    return MenuGrid(static_cast<int32_t>(m_items.size()), col, pos.a, pos.b, size.a, size.b, colSpace, lineSpace);
}

HRESULT CSkinMenu::AddChild(ISkinElement *child, CSkinElement *childObject)
{
    if (!child)
        return E_POINTER;
    if (!childObject)
    {
        tx::ComPtr<ISkinResolve> resolve;
        HRESULT hr = child->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(resolve.GetAddressOf()));
        if (FAILED(hr))
            return hr;
        resolve->GetElement(&childObject);
    }
    auto *item = dynamic_cast<CSkinMenuItem *>(childObject);
    if (!item)
        return E_INVALIDARG; // a menu holds only its items
    m_items.push_back(ItemEntry{child, item}); // bad_alloc: the face answers E_OUTOFMEMORY
    child->AddRef();
    return S_OK;
}

HRESULT CSkinMenu::ResolveResources(IOsd *, SkinFontCache *fonts, SkinImageCache *)
{
    if (fonts)
    {
        m_fontSel = fonts->GetFont(styleSel);
        m_fontNosel = fonts->GetFont(styleNosel);
        m_fontFocus = fonts->GetFont(styleFocus);
    }
    if (col <= 0)
        col = 1; // a missing, zero or negative column count is one column
    return S_OK;
}

HRESULT CSkinMenu::Attach(IUnknown *source, LONG_PTR)
{
    tx::ComPtr<ISkinStringTable> table = QueryTextSource(source);
    if (m_textSource)
        m_textSource->Release();
    m_textSource = table.Detach();
    for (ItemEntry &item : m_items)
    {
        SkinString translated;
        HRESULT hr = TranslateSkinText(m_textSource, item.object->text, translated);
        if (FAILED(hr))
            return hr;
        item.object->text = std::move(translated);
    }
    return S_OK;
}

HRESULT CSkinMenu::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinMenu::Animate(BOOL *redraw)
{
    if (m_flash)
    {
        m_flash = false;
        if (redraw)
            *redraw = TRUE;
    }
    return S_OK;
}

HRESULT CSkinMenu::ResetAnimation()
{
    m_flash = false;
    return S_OK;
}

HRESULT CSkinMenu::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinMenu *>(target);
    other->pos = pos;
    other->size = size;
    other->margin = margin;
    other->rectSel = rectSel;
    other->rectNosel = rectNosel;
    other->rectFocus = rectFocus;
    other->styleSel = styleSel;
    other->styleNosel = styleNosel;
    other->styleFocus = styleFocus;
    other->align = align;
    other->rtlReading = rtlReading;
    other->lineSpace = lineSpace;
    other->menuStyle = menuStyle;
    other->col = col;
    other->colSpace = colSpace;
    HRESULT hr = CSkinElement::CopyAttributesTo(target);
    if (FAILED(hr))
        return hr;
    for (const ItemEntry &item : m_items)
    {
        tx::ComPtr<ISkinElement> copy;
        hr = item.object->Clone(copy.GetAddressOf());
        if (FAILED(hr))
            return hr;
        hr = other->AddChild(copy.Get(), nullptr);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CSkinMenu::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    if (!visible || m_items.empty())
        return S_FALSE;
    MenuGrid grid = Grid();
    if (x)
        *x = pos.a;
    if (y)
        *y = pos.b;
    if (width)
        *width = grid.FocusWidth();
    if (height)
        *height = grid.FocusHeight();
    return S_OK;
}

HRESULT CSkinMenu::SetFocus(LONG direction, LONG x, LONG)
{
    if (!visible || m_items.empty())
        return S_FALSE;
    m_focus = true;
    m_cursor = Grid().EntryCursor(direction, x, m_cursor);
    return S_OK;
}

HRESULT CSkinMenu::GetCenter(LONG *x, LONG *y)
{
    MenuCell centre = Grid().CentreOf(m_cursor);
    if (x)
        *x = centre.x;
    if (y)
        *y = centre.y;
    return S_OK;
}

HRESULT CSkinMenu::KillFocus()
{
    m_focus = false;
    return S_OK;
}

HRESULT CSkinMenu::Navigate(LONG direction, BOOL *used)
{
    int32_t cursor = m_cursor;
    bool moved = Grid().Move(direction, &cursor);
    if (moved)
        m_cursor = cursor;
    if (used)
        *used = moved ? TRUE : FALSE;
    return S_OK;
}

HRESULT CSkinMenu::GetCommand(BOOL activate, BSTR *idOut, LONG *number, LONG *, BSTR *actionOut, BSTR *secondText)
{
    if (m_items.empty())
        return S_FALSE; // no item, no command
    if (activate && !IsRepeatAllowed())
        return S_FALSE;
    const CSkinMenuItem *item = m_items[static_cast<size_t>(m_cursor)].object;
    tx::Bstr idCopy{std::wstring_view(id)}, actionCopy{std::wstring_view(item->action)},
        itemId{std::wstring_view(item->id)};
    if (idCopy.IsNull() || actionCopy.IsNull() || itemId.IsNull())
        return E_OUTOFMEMORY;
    if (idOut)
        *idOut = idCopy.Detach();
    if (number)
        *number = m_cursor;
    if (actionOut)
        *actionOut = actionCopy.Detach();
    if (secondText)
        *secondText = itemId.Detach();
    if (activate)
    {
        m_chosen = m_cursor;
        m_flash = true;
    }
    return S_OK;
}

HRESULT CSkinMenu::JumpToDigit(LONG)
{
    return E_NOTIMPL;
}

HRESULT CSkinMenu::SetSelection(LONG index)
{
    if (m_items.empty())
        return S_OK;
    m_cursor = m_chosen = Grid().Clamp(index);
    return S_OK;
}

HRESULT CSkinMenu::GetSelection(LONG *index)
{
    if (!index)
        return E_POINTER;
    const CSkinMenuItem *chosen = Item(static_cast<size_t>(m_chosen));
    *index = chosen && chosen->keepSelect ? m_chosen : m_cursor;
    return S_OK;
}

HRESULT CSkinMenu::GetItem(LONG index, BSTR *itemId, BSTR *nav, BSTR *data)
{
    if (index < 0 || static_cast<size_t>(index) >= m_items.size())
        return E_INVALIDARG;
    const CSkinMenuItem *item = m_items[static_cast<size_t>(index)].object;
    tx::Bstr idCopy{std::wstring_view(item->id)}, navCopy{std::wstring_view(item->nav)},
        dataCopy{std::wstring_view(item->data)};
    if (idCopy.IsNull() || navCopy.IsNull() || dataCopy.IsNull())
        return E_OUTOFMEMORY;
    if (itemId)
        *itemId = idCopy.Detach();
    if (nav)
        *nav = navCopy.Detach();
    if (data)
        *data = dataCopy.Detach();
    return S_OK;
}

HRESULT CSkinMenu::GetCount(LONG *count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<LONG>(m_items.size());
    return S_OK;
}

HRESULT CSkinMenu::SetItemText(BSTR itemId, BSTR stringId)
{
    SkinStringView wanted(itemId ? itemId : L"", itemId ? ::SysStringLen(itemId) : 0);
    for (const ItemEntry &item : m_items)
    {
        tx::ComPtr<ISkinMenuItem> face;
        if (FAILED(item.element->QueryInterface(__uuidof(ISkinMenuItem), reinterpret_cast<void **>(face.GetAddressOf()))))
            continue;
        tx::Bstr itemIdText;
        if (FAILED(face->GetId(itemIdText.Put())))
            continue;
        if (itemIdText.View() != wanted)
            continue;
        SkinString given(stringId ? stringId : L"", stringId ? ::SysStringLen(stringId) : 0);
        SkinString translated;
        HRESULT hr = TranslateSkinText(m_textSource, given, translated);
        if (FAILED(hr))
            return hr;
        tx::Bstr value{std::wstring_view(translated)};
        if (value.IsNull())
            return E_OUTOFMEMORY;
        return face->SetText(value.Get());
    }
    return E_INVALIDARG;
}

HRESULT CSkinMenu::Draw(IOsd *osd)
{
    if (!osd)
        return E_POINTER;
    HDC dc = nullptr;
    HRESULT hr = osd->GetScratchDC(&dc);
    if (FAILED(hr))
        return hr;
    for (size_t i = 0; i < m_items.size(); ++i)
    {
        hr = DrawItem(osd, dc, i);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CSkinMenu::DrawItem(IOsd *osd, HDC dc, size_t index)
{
    const LONG i = static_cast<LONG>(index);
    const CSkinMenuItem *item = m_items[index].object;
    const SkinRectStyle *frame = &rectNosel;
    const SkinStyle *look = &styleNosel;
    HFONT font = m_fontNosel;
    if ((item->keepSelect || m_flash) && i == m_chosen)
    {
        frame = &rectSel;
        look = &styleSel;
        font = m_fontSel;
    }
    if (m_focus && !m_flash && i == m_cursor)
    {
        frame = &rectFocus;
        look = &styleFocus;
        font = m_fontFocus;
    }
    const MenuCell cell = Grid().CellOf(i);
    const int cx = cell.x, cy = cell.y, w = size.a, h = size.b, b = frame->borderWidth;
    HRESULT hr = DrawPaletteFrame(osd, dc, *frame, cx, cy, w, h, menuStyle == 1);
    if (FAILED(hr))
        return hr;
    hr = osd->CopyFromScratch(cx - b, cy - b, w + 2 * b, h + 2 * b, TRUE, FALSE, TRUE, 0);
    if (FAILED(hr))
        return hr;

    const COLORREF key = PremultiplyColour(look->background);
    FillSolid(dc, cx, cy, cx + w, cy + h, key);
    int textX;
    UINT alignment;
    if (align == 0)
    {
        textX = cx + margin.values[0];
        alignment = TA_LEFT;
    }
    else if (align == 1)
    {
        textX = cx + w - margin.values[1];
        alignment = TA_RIGHT;
    }
    else
    {
        textX = cx + w / 2;
        alignment = TA_CENTER;
    }
    if (rtlReading)
        alignment |= TA_RTLREADING;
    {
        tx::SelectObjectScope selectFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
        UINT oldAlign = ::SetTextAlign(dc, alignment);
        COLORREF oldColour = ::SetTextColor(dc, look->textColour & 0x00FFFFFF);
        int oldMode = ::SetBkMode(dc, TRANSPARENT);
        TextOutText(dc, textX, cy + margin.values[2], item->text.c_str(), static_cast<int>(item->text.size()));
        ::SetBkMode(dc, oldMode);
        ::SetTextColor(dc, oldColour);
        ::SetTextAlign(dc, oldAlign);
    }
    return osd->CopyFromScratch(cx, cy, w, h, FALSE, TRUE, TRUE, SwapRedBlue(key));
}

STDMETHODIMP CSkinMenu::MenuFace::SetSelection(LONG index)
{
    return SkinGuard([&] { return static_cast<CSkinMenu *>(Owner())->SetSelection(index); });
}

STDMETHODIMP CSkinMenu::MenuFace::GetSelection(LONG *index)
{
    return SkinGuard([&] { return static_cast<CSkinMenu *>(Owner())->GetSelection(index); });
}

STDMETHODIMP CSkinMenu::MenuFace::GetItem(LONG index, BSTR *itemId, BSTR *nav, BSTR *data)
{
    return SkinGuard([&] { return static_cast<CSkinMenu *>(Owner())->GetItem(index, itemId, nav, data); });
}

STDMETHODIMP CSkinMenu::MenuFace::GetCount(LONG *count)
{
    return SkinGuard([&] { return static_cast<CSkinMenu *>(Owner())->GetCount(count); });
}

STDMETHODIMP CSkinMenu::MenuFace::SetItemText(BSTR itemId, BSTR stringId)
{
    return SkinGuard([&] { return static_cast<CSkinMenu *>(Owner())->SetItemText(itemId, stringId); });
}

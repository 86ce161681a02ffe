#include "txHost/skin/SkinStandinElements.h"

#include "comkit/Bstr.h"
#include "comkit/Handles.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinManagerInterfaces.h"
#include "txHost/skin/TextRaster.h"

namespace
{

using namespace tx::skin;

// The scratch fill that is not copied: no palette index looks like it.
constexpr COLORREF kKeyColour = RGB(1, 2, 3);
constexpr DWORD kKeyPixel = 0x00010203;

// A skin colour (0xAABBGGRR) as an OSD colour (0xAARRGGBB).
uint32_t ToOsdColour(uint32_t skin) noexcept
{
    return (skin & 0xFF00FF00u) | ((skin & 0xFFu) << 16) | ((skin >> 16) & 0xFFu);
}

// A rounded, bordered rectangle in palette form. Colours with alpha 0 are not drawn.
void DrawFrame(IOsd *osd, const RECT &box, const SkinRectStyle &frame) noexcept
{
    if (box.right <= box.left || box.bottom <= box.top || (!(frame.fill >> 24) && !(frame.border >> 24)))
        return;
    HDC dc = nullptr;
    if (FAILED(osd->GetScratchDC(&dc)))
        return;
    BYTE fillIndex = 0, borderIndex = 0;
    const bool fill = (frame.fill >> 24) && SUCCEEDED(osd->GetPaletteIndex(ToOsdColour(frame.fill), &fillIndex));
    const bool border = (frame.border >> 24) && frame.borderWidth > 0 &&
                        SUCCEEDED(osd->GetPaletteIndex(ToOsdColour(frame.border), &borderIndex));
    tx::UniqueBrush key(::CreateSolidBrush(kKeyColour));
    ::FillRect(dc, &box, key.Get());
    tx::UniqueBrush brush(fill ? ::CreateSolidBrush(RGB(0, 0, fillIndex)) : nullptr);
    tx::UniquePen pen(border ? ::CreatePen(PS_INSIDEFRAME, frame.borderWidth, RGB(0, 0, borderIndex)) : nullptr);
    tx::SelectObjectScope selectBrush(dc, brush ? static_cast<HGDIOBJ>(brush.Get()) : ::GetStockObject(NULL_BRUSH));
    tx::SelectObjectScope selectPen(dc, pen ? static_cast<HGDIOBJ>(pen.Get()) : ::GetStockObject(NULL_PEN));
    ::RoundRect(dc, box.left, box.top, box.right + (pen ? 0 : 1), box.bottom + (pen ? 0 : 1), frame.cornerWidth,
                frame.cornerHeight);
    ::GdiFlush();
    osd->CopyFromScratch(box.left, box.top, box.right - box.left, box.bottom - box.top, TRUE, FALSE, TRUE, kKeyPixel);
}

void DrawCaption(IOsd *osd, const RECT &box, HFONT font, COLORREF colour, int32_t align,
                 const SkinString &caption) noexcept
{
    if (caption.empty() || !font || box.right <= box.left || box.bottom <= box.top)
        return;
    HDC dc = nullptr;
    if (FAILED(osd->GetScratchDC(&dc)))
        return;
    tx::UniqueBrush key(::CreateSolidBrush(kKeyColour));
    ::FillRect(dc, &box, key.Get());
    tx::SelectObjectScope selectFont(dc, font);
    ::SetTextColor(dc, colour & 0x00FFFFFF);
    ::SetBkMode(dc, TRANSPARENT);
    RECT inner = box;
    inner.left += 8;
    inner.right -= 8;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    format |= align == 0 ? DT_LEFT : align == 1 ? DT_RIGHT : DT_CENTER;
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &inner, format);
    ::GdiFlush();
    osd->CopyFromScratch(box.left, box.top, box.right - box.left, box.bottom - box.top, FALSE, FALSE, TRUE, kKeyPixel);
}

SkinString Translate(IUnknown *strings, const SkinString &text)
{
    tx::ComPtr<ISkinStringTable> table;
    if (!strings ||
        FAILED(strings->QueryInterface(__uuidof(ISkinStringTable), reinterpret_cast<void **>(table.GetAddressOf()))))
        return text;
    tx::Bstr in(text.c_str()), out;
    if (FAILED(table->GetString(in.Get(), out.Put())) || out.IsNull())
        return text;
    return SkinString(out.View());
}

#define TX_COMMON_ROWS(Type)                                                                                           \
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(Type, pos)}, {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(Type, size)},            \
        {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(Type, resize)},                                                     \
    {                                                                                                                  \
        L"id", SKINATTR_STRING, TX_SKIN_FIELD(Type, id)                                                                \
    }

const SkinAttrRow kShapeRows[] = {
    TX_COMMON_ROWS(CSkinStandinShape),
    {L"rect", SKINATTR_RECT, TX_SKIN_FIELD(CSkinStandinShape, rect)},
};

#define TX_CONTROL_ROWS                                                                                                \
    TX_COMMON_ROWS(CSkinStandinControl),                                                                               \
        {L"rect-nosel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinStandinControl, rectNosel)},                                 \
        {L"rect-focus", SKINATTR_RECT, TX_SKIN_FIELD(CSkinStandinControl, rectFocus)},                                 \
        {L"style", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinStandinControl, style)},                                         \
        {L"style-nosel", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinStandinControl, styleNosel)},                              \
        {L"style-focus", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinStandinControl, styleFocus)},                              \
        {L"align", SKINATTR_ALIGN, TX_SKIN_FIELD(CSkinStandinControl, align)},                                         \
        {L"linespace", SKINATTR_INT, TX_SKIN_FIELD(CSkinStandinControl, lineSpace)},                                   \
        {L"action", SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinControl, action)},                                      \
    {                                                                                                                  \
        L"data", SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinControl, data)                                             \
    }

const SkinAttrRow kTextRows[] = {TX_CONTROL_ROWS, {nullptr, SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinControl, text)}};
const SkinAttrRow kPlainRows[] = {TX_CONTROL_ROWS};

} // namespace

const SkinAttrRow CSkinStandinItem::kRows[] = {
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinItem, id)},
    {L"action", SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinItem, action)},
    {L"data", SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinItem, data)},
    {nullptr, SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinItem, text)},
};
const size_t CSkinStandinItem::kRowCount = std::size(CSkinStandinItem::kRows);

const SkinAttrPart CSkinStandinShape::kParts[] = {{nullptr, kShapeRows, std::size(kShapeRows), nullptr}};
const size_t CSkinStandinShape::kPartCount = 1;
const SkinAttrPart CSkinStandinControl::kTextParts[] = {{nullptr, kTextRows, std::size(kTextRows), nullptr}};
const size_t CSkinStandinControl::kTextPartCount = 1;
const SkinAttrPart CSkinStandinControl::kPlainParts[] = {{nullptr, kPlainRows, std::size(kPlainRows), nullptr}};
const size_t CSkinStandinControl::kPlainPartCount = 1;
const SkinAttrPart CSkinStandinControl::kMenuParts[] = {
    {nullptr, kPlainRows, std::size(kPlainRows), nullptr},
    {L"item", CSkinStandinItem::kRows, std::size(CSkinStandinItem::kRows), &CreateSkinElementForTag<CSkinStandinItem>},
};
const size_t CSkinStandinControl::kMenuPartCount = 2;

// ---- shape ----

HRESULT CSkinStandinShape::Draw(IOsd *osd)
{
    DrawFrame(osd, RECT{pos.a, pos.b, pos.a + size.a, pos.b + size.b}, rect);
    return S_OK;
}

HRESULT CSkinStandinShape::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinStandinShape::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinStandinShape::CopyAttributesTo(CSkinElement *target)
{
    auto *shape = static_cast<CSkinStandinShape *>(target);
    shape->pos = pos;
    shape->size = size;
    shape->rect = rect;
    return CSkinElement::CopyAttributesTo(target);
}

// ---- item ----

HRESULT CSkinStandinItem::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinStandinItem::CopyAttributesTo(CSkinElement *target)
{
    auto *item = static_cast<CSkinStandinItem *>(target);
    item->text = text;
    item->action = action;
    item->data = data;
    return CSkinElement::CopyAttributesTo(target);
}

// ---- control ----

HRESULT CSkinStandinControl::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinStandinControl::CopyAttributesTo(CSkinElement *target)
{
    auto *control = static_cast<CSkinStandinControl *>(target);
    control->pos = pos;
    control->size = size;
    control->rectNosel = rectNosel;
    control->rectFocus = rectFocus;
    control->style = style;
    control->styleNosel = styleNosel;
    control->styleFocus = styleFocus;
    control->align = align;
    control->lineSpace = lineSpace;
    control->action = action;
    control->data = data;
    control->text = text;
    control->m_rows = m_rows;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinStandinControl::AddChild(ISkinElement *, CSkinElement *childObject)
{
    auto *item = static_cast<CSkinStandinItem *>(childObject);
    m_rows.push_back({item->text, item->action, item->data, item->id});
    return S_OK;
}

HRESULT CSkinStandinControl::Attach(IUnknown *source, LONG_PTR)
{
    m_strings = source;
    text = Translate(source, text);
    for (Row &row : m_rows)
        row.text = Translate(source, row.text);
    return S_OK;
}

HRESULT CSkinStandinControl::ResolveResources(IOsd *, SkinFontCache *fonts, SkinImageCache *)
{
    if (!fonts)
        return S_OK;
    m_font = fonts->GetFont(style);
    m_fontNosel = fonts->GetFont(styleNosel.face.empty() ? style : styleNosel);
    m_fontFocus = fonts->GetFont(styleFocus.face.empty() ? style : styleFocus);
    return S_OK;
}

HRESULT CSkinStandinControl::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

RECT CSkinStandinControl::CellRect(LONG index) const noexcept
{
    const LONG top = pos.b + index * (size.b + lineSpace);
    return RECT{pos.a, top, pos.a + size.a, top + size.b};
}

void CSkinStandinControl::DrawCell(IOsd *osd, const RECT &cell, const SkinRectStyle &frame, HFONT font, COLORREF colour,
                                   const SkinString &caption) noexcept
{
    DrawFrame(osd, cell, frame);
    DrawCaption(osd, cell, font, colour, align, caption);
}

HRESULT CSkinStandinControl::Draw(IOsd *osd)
{
    if (m_rows.empty())
    {
        const bool focus = m_focused;
        const SkinStyle &textStyle = focus && !styleFocus.face.empty() ? styleFocus
                                     : !styleNosel.face.empty()        ? styleNosel
                                                                       : style;
        // The status page's clock: its texts are the time and date formats.
        SkinString caption = text;
        wchar_t clock[96] = {};
        if (id == L"time" && ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, text.c_str(), clock, 96) > 0)
            caption = clock;
        else if (id == L"date" && ::GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, text.c_str(), clock, 96) > 0)
            caption = clock;
        DrawCell(osd, CellRect(0), focus ? rectFocus : rectNosel, focus ? m_fontFocus : m_fontNosel,
                 textStyle.textColour, caption);
        return S_OK;
    }
    for (LONG i = 0; i < static_cast<LONG>(m_rows.size()); ++i)
    {
        const bool focus = m_focused && i == m_cursor;
        DrawCell(osd, CellRect(i), focus ? rectFocus : rectNosel, focus ? m_fontFocus : m_fontNosel,
                 (focus ? styleFocus : styleNosel).textColour, m_rows[static_cast<size_t>(i)].text);
    }
    return S_OK;
}

HRESULT CSkinStandinControl::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    if (!x || !y || !width || !height)
        return E_POINTER;
    // Only elements that act can take the focus: a caption without action stays passive.
    if (!visible || (m_rows.empty() && action.empty()))
        return S_FALSE;
    const RECT last = CellRect(m_rows.empty() ? 0 : static_cast<LONG>(m_rows.size()) - 1);
    *x = pos.a;
    *y = pos.b;
    *width = size.a;
    *height = last.bottom - pos.b;
    return S_OK;
}

HRESULT CSkinStandinControl::SetFocus(LONG direction, LONG, LONG)
{
    if (!visible || (m_rows.empty() && action.empty()))
        return S_FALSE;
    m_focused = true;
    if (!m_rows.empty())
        m_cursor = direction == 1 ? static_cast<LONG>(m_rows.size()) - 1 : (direction == 2 ? 0 : m_cursor);
    return S_OK;
}

HRESULT CSkinStandinControl::GetCenter(LONG *x, LONG *y)
{
    if (!x || !y)
        return E_POINTER;
    const RECT cell = CellRect(m_cursor);
    *x = (cell.left + cell.right) / 2;
    *y = (cell.top + cell.bottom) / 2;
    return S_OK;
}

HRESULT CSkinStandinControl::KillFocus()
{
    m_focused = false;
    return S_OK;
}

HRESULT CSkinStandinControl::Navigate(LONG direction, BOOL *used)
{
    if (!used)
        return E_POINTER;
    *used = FALSE;
    if (direction == 1 && m_cursor > 0)
        --m_cursor, *used = TRUE;
    else if (direction == 2 && m_cursor + 1 < static_cast<LONG>(m_rows.size()))
        ++m_cursor, *used = TRUE;
    return S_OK;
}

HRESULT CSkinStandinControl::GetCommand(BOOL activate, BSTR *idOut, LONG *first, LONG *second, BSTR *actionOut,
                                        BSTR *dataOut)
{
    if (activate && !IsRepeatAllowed())
        return S_FALSE;
    const bool menu = !m_rows.empty();
    const Row *row = menu ? &m_rows[static_cast<size_t>(m_cursor)] : nullptr;
    auto copy = [](const SkinString &s, BSTR *out) {
        if (out)
        {
            *out = ::SysAllocStringLen(s.c_str(), static_cast<UINT>(s.size()));
        }
    };
    copy(id, idOut);
    if (first)
        *first = menu ? m_cursor : 0;
    if (second)
        *second = 0;
    copy(row ? row->action : action, actionOut);
    copy(row ? row->data : data, dataOut);
    return S_OK;
}

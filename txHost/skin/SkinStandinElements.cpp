#include "txHost/skin/SkinStandinElements.h"

#include "comkit/Handles.h"
#include "txHost/skin/SkinCreators.h"

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

const SkinAttrRow kPlainRows[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinStandinControl, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinStandinControl, size)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinStandinControl, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinStandinControl, id)},
    {L"rect-nosel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinStandinControl, rectNosel)},
    {L"rect-focus", SKINATTR_RECT, TX_SKIN_FIELD(CSkinStandinControl, rectFocus)},
};

} // namespace

const SkinAttrPart CSkinStandinControl::kPlainParts[] = {{nullptr, kPlainRows, std::size(kPlainRows), nullptr}};
const size_t CSkinStandinControl::kPlainPartCount = 1;

HRESULT CSkinStandinControl::Draw(IOsd *osd)
{
    DrawFrame(osd, RECT{pos.a, pos.b, pos.a + size.a, pos.b + size.b}, m_focused ? rectFocus : rectNosel);
    return S_OK;
}

HRESULT CSkinStandinControl::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinStandinControl::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinStandinControl::CopyAttributesTo(CSkinElement *target)
{
    auto *control = static_cast<CSkinStandinControl *>(target);
    control->pos = pos;
    control->size = size;
    control->rectNosel = rectNosel;
    control->rectFocus = rectFocus;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinStandinControl::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    if (!x || !y || !width || !height)
        return E_POINTER;
    if (!visible)
        return S_FALSE;
    *x = pos.a;
    *y = pos.b;
    *width = size.a;
    *height = size.b;
    return S_OK;
}

HRESULT CSkinStandinControl::SetFocus(LONG, LONG, LONG)
{
    if (!visible)
        return S_FALSE;
    m_focused = true;
    return S_OK;
}

HRESULT CSkinStandinControl::GetCenter(LONG *x, LONG *y)
{
    if (!x || !y)
        return E_POINTER;
    *x = pos.a + size.a / 2;
    *y = pos.b + size.b / 2;
    return S_OK;
}

HRESULT CSkinStandinControl::KillFocus()
{
    m_focused = false;
    return S_OK;
}

HRESULT CSkinStandinControl::GetCommand(BOOL activate, BSTR *idOut, LONG *first, LONG *second, BSTR *, BSTR *)
{
    if (activate && !IsRepeatAllowed())
        return S_FALSE;
    if (idOut)
        *idOut = ::SysAllocStringLen(id.c_str(), static_cast<UINT>(id.size()));
    if (first)
        *first = 0;
    if (second)
        *second = 0;
    return S_OK;
}

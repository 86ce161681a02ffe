// Palette-form shape drawing on the OSD scratch surface.
#include "txHost/skin/SkinPaletteDraw.h"

#include "comkit/Handles.h"
#include "txHost/skin/SkinShapeGeometry.h"

namespace tx::skin
{

HRESULT GetRectStyleIndexes(IOsd *osd, const SkinRectStyle &style, BYTE *fill, BYTE *border) noexcept
{
    if (!osd || !fill || !border)
        return E_POINTER;
    BYTE fillIndex = 0;
    BYTE borderIndex = 0;
    HRESULT hr = osd->GetPaletteIndex(SkinColourToOsd(style.fill), &fillIndex);
    if (FAILED(hr))
        return hr;
    hr = osd->GetPaletteIndex(SkinColourToOsd(style.border), &borderIndex);
    if (FAILED(hr))
        return hr;
    *fill = fillIndex;
    *border = borderIndex;
    return S_OK;
}

void FillScratchRect(HDC dc, LONG x, LONG y, LONG w, LONG h, COLORREF colour) noexcept
{
    // An opaque ExtTextOut without text fills with the background colour and needs no brush.
    RECT rect{x, y, x + w, y + h};
    COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

BOOL DrawIndexRoundRect(HDC dc, LONG left, LONG top, LONG right, LONG bottom, const SkinRectStyle &style, BYTE fill,
                        BYTE border) noexcept
{
    tx::UniquePen pen(::CreatePen(PS_SOLID, style.borderWidth, IndexColour(border)));
    tx::UniqueBrush brush(::CreateSolidBrush(IndexColour(fill)));
    if (!pen.Get() || !brush.Get())
        return FALSE;
    tx::SelectObjectScope penScope(dc, pen.Get());
    tx::SelectObjectScope brushScope(dc, brush.Get());
    return ::RoundRect(dc, left, top, right, bottom, style.cornerWidth, style.cornerHeight);
}

} // namespace tx::skin

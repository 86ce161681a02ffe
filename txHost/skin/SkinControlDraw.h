#pragma once
// Small helpers shared by the button and menu elements: colour conversions between the
// skin's GDI colour values and the OSD's palette and DIB orders, the frame drawn in
// palette form, the opaque background under a caption, and the text source lookup.
#include "comkit/ComPtr.h"
#include "comkit/Handles.h"
#include "txHost/skin/OsdInterfaces.h"
#include "txHost/skin/SkinAttributes.h"

#include <windows.h>

struct ISkinStringTable;

namespace tx::skin
{

// 0xAABBGGRR (skin/GDI order) <-> 0xAARRGGBB (OSD palette and DIB pixel order).
inline DWORD SwapRedBlue(DWORD colour) noexcept
{
    return (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
}

// The colour's red, green and blue each multiplied by its alpha byte / 255; alpha dropped.
// The result is a GDI colour value.
inline COLORREF PremultiplyColour(DWORD colour) noexcept
{
    DWORD alpha = colour >> 24;
    DWORD r = (colour & 0xFF) * alpha / 255;
    DWORD g = ((colour >> 8) & 0xFF) * alpha / 255;
    DWORD b = ((colour >> 16) & 0xFF) * alpha / 255;
    return RGB(r, g, b);
}

// Fills the rectangle with a solid GDI colour (ExtTextOut with ETO_OPAQUE).
void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour) noexcept;

// Draws the rounded frame of look in palette form on the scratch DC: fills the frame's
// outer rectangle (border included) with 0, then RoundRect from (x, y) to (x + w, y + h)
// with a pen of the border's palette index and a brush of the fill's index (an index is
// drawn as the GDI colour index << 16, so it lands in the DIB pixel's low byte). With
// squareLeft the left corners are drawn square. Returns the palette's error when it has no
// room for the colours; then nothing is drawn.
HRESULT DrawPaletteFrame(IOsd *osd, HDC dc, const SkinRectStyle &look, int x, int y, int w, int h,
                         bool squareLeft) noexcept;

// text passed through the text source (a null source keeps it). Throws std::bad_alloc.
HRESULT TranslateSkinText(ISkinStringTable *source, const SkinString &text, SkinString &result);

// The text source behind an Attach argument: its ISkinStringTable, or null.
tx::ComPtr<ISkinStringTable> QueryTextSource(IUnknown *source) noexcept;

// A new BSTR copy of text into *out (left untouched when out is null). E_OUTOFMEMORY.
HRESULT CopySkinString(const SkinString &text, BSTR *out) noexcept;

} // namespace tx::skin

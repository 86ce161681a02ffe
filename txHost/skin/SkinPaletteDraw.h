#pragma once
// Drawing shapes on the OSD scratch surface in palette form: a colour is first turned into
// a palette index, and the index is drawn as the GDI colour index x 65536, which puts it in
// the low byte of the 32-bit pixel; the copy to the OSD in index mode then carries the
// exact palette entry. Thread: the drawing thread, inside a refresh.
#include "txHost/skin/OsdInterfaces.h"
#include "txHost/skin/SkinAttributes.h"

#include <windows.h>

namespace tx::skin
{

// The palette indexes of a rectangle style's fill and border colours (held as GDI colours).
// The palette's error (E_UNEXPECTED when full) when either cannot be had; the outs are
// then untouched.
HRESULT GetRectStyleIndexes(IOsd *osd, const SkinRectStyle &style, BYTE *fill, BYTE *border) noexcept;

// The GDI colour that draws palette index i.
inline COLORREF IndexColour(BYTE index) noexcept
{
    return static_cast<COLORREF>(index) << 16;
}

// Fills x, y, w, h of dc with a plain GDI colour.
void FillScratchRect(HDC dc, LONG x, LONG y, LONG w, LONG h, COLORREF colour) noexcept;

// Draws RoundRect(left, top, right, bottom, corners) with a solid pen of borderWidth in the
// border index and a solid brush in the fill index. FALSE when GDI refuses.
BOOL DrawIndexRoundRect(HDC dc, LONG left, LONG top, LONG right, LONG bottom, const SkinRectStyle &style, BYTE fill,
                        BYTE border) noexcept;

// The colour key of CopyFromScratch for a GDI colour: the same colour in the DIB's
// 0x00RRGGBB order.
inline DWORD DibKey(COLORREF colour) noexcept
{
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

} // namespace tx::skin

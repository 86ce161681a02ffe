#pragma once
// The text layer of the skin elements: measuring and drawing UTF-16 texts into the OSD's
// memory DCs. On Windows XP and later, and for 7-bit texts, these are the Unicode GDI
// calls. Otherwise texts that the selected font's code page cannot show are split into
// runs by MLang font linking, and each run the font cannot show is measured or drawn
// with a font that MLang maps for it.
//
// Every function takes a DC with font, colours and alignment selected. Thread: the
// drawing thread (under the OSD and skin locks); InitTextRaster runs once at start-up
// before any drawing.
#include <windows.h>

#include <mlang.h>

// The toolchain's mlang.h declares no __uuidof for the font-link interfaces.
__CRT_UUID_DECL(IMLangCodePages, 0x359F3443, 0xBD4A, 0x11D0, 0xB1, 0x88, 0x00, 0xAA, 0x00, 0x38, 0xC9, 0x69)
__CRT_UUID_DECL(IMLangFontLink, 0x359F3441, 0xBD4A, 0x11D0, 0xB1, 0x88, 0x00, 0xAA, 0x00, 0x38, 0xC9, 0x69)

namespace tx::skin
{

// Reads the platform (Windows XP or later) and the ANSI code page once.
void InitTextRaster() noexcept;
// Test seam: pretends a platform, so that the font-linking path runs on any Windows.
void SetTextRasterPlatform(bool isXpOrLater, UINT acp) noexcept;
bool TextRasterIsXpOrLater() noexcept;

// Obtains the global MLang font-link object (one reference, released by the caller).
// The default loads MLANG.DLL once and keeps it; a test may install a fake (null
// restores the default).
using FontLinkSource = HRESULT (*)(IMLangFontLink **fontLink) noexcept;
void SetFontLinkSource(FontLinkSource source) noexcept;

// Width and height of the text; an empty text measures 0 wide and as high as a space.
// Nonzero on success.
BOOL MeasureText(HDC dc, const wchar_t *text, int length, SIZE *size) noexcept;
// Draws like ExtTextOutW with the same arguments. Nonzero on success.
BOOL ExtTextOutText(HDC dc, int x, int y, UINT options, const RECT *rect, const wchar_t *text, int length,
                    const INT *spacing) noexcept;
BOOL TextOutText(HDC dc, int x, int y, const wchar_t *text, int length) noexcept;
// Draws the longest prefix narrower than maxWidth minus the width of "..." followed by
// "..." (always drawn: callers use it for texts that do not fit). rightEdge, when given,
// receives x + the prefix width + the width of "...".
BOOL DrawTextEllipsis(HDC dc, int x, int y, const wchar_t *text, int length, int maxWidth, int *rightEdge) noexcept;
// Draws a path; one that does not fit in maxWidth keeps its drive, last backslash and
// file name and shortens the folder part with "..." (the short form itself is cut with
// "..." when even it does not fit).
BOOL DrawPathEllipsis(HDC dc, int x, int y, const wchar_t *path, int length, int maxWidth) noexcept;

// GDI writes an alpha byte of 0 into every 32-bit pixel it draws. Sets the top byte of
// the pixels of rect (clipped) in the DIB section selected into dc to alpha, so pixels that
// carry meaning in their top byte can be restored after text was drawn. S_FALSE when the
// DC holds no 32-bit DIB section.
HRESULT RestoreTextAlpha(HDC dc, const RECT &rect, BYTE alpha) noexcept;

} // namespace tx::skin

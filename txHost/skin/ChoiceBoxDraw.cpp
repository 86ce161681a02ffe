// The choice box: frame, header and buttons in palette form, then message and captions.
#include "txHost/skin/ChoiceBoxDraw.h"

#include "txHost/skin/SkinControlDraw.h"

#include "comkit/Handles.h"
#include "comkit/HResult.h"
#include "txHost/skin/SkinListModel.h"
#include "txHost/skin/TextRaster.h"

#include <cwchar>

using namespace tx::skin;

namespace
{

// A palette index i drawn as the GDI colour i << 16 lands in the DIB pixel's low byte.
COLORREF IndexColour(BYTE index) noexcept
{
    return static_cast<COLORREF>(index) << 16;
}

void FillOpaque(HDC dc, int left, int top, int right, int bottom, COLORREF colour) noexcept
{
    RECT area{left, top, right, bottom};
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, L"", 0, nullptr);
}

HRESULT IndexOf(IOsd *osd, DWORD skinColour, BYTE *index) noexcept
{
    return osd->GetPaletteIndex(SwapRedBlue(skinColour), index);
}

// The pen-and-brush RoundRect of one step; its GDI objects live only for the step.
void RoundRectWith(HDC dc, int penWidth, BYTE penIndex, BYTE brushIndex, int left, int top, int right, int bottom,
                   int cornerWidth, int cornerHeight) noexcept
{
    tx::UniquePen pen(::CreatePen(PS_SOLID, penWidth, IndexColour(penIndex)));
    tx::UniqueBrush brush(::CreateSolidBrush(IndexColour(brushIndex)));
    tx::SelectObjectScope selectPen(dc, pen ? static_cast<HGDIOBJ>(pen.Get()) : ::GetStockObject(NULL_PEN));
    tx::SelectObjectScope selectBrush(dc, brush ? static_cast<HGDIOBJ>(brush.Get()) : ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, left, top, right, bottom, cornerWidth, cornerHeight);
}

HRESULT DrawBox(IOsd *osd, const ChoiceBoxLook &look, const ChoiceBoxContent &content) noexcept
{
    const int x = look.pos.a;
    const int y = look.pos.b;
    const int w = look.size.a;
    const int h = look.size.b;
    const int b = look.rect.borderWidth;
    const int headerHeight = look.header.value;

    int n = 0;
    while (n < 3 && content.captions[n])
        ++n;
    const SkinChoiceBoxGeometry geometry = ComputeSkinChoiceBoxGeometry(x, y, w, look.buttonSize.a, look.buttonSize.b,
                                                                        look.buttonTop, look.buttonMargin.values[2], n);

    HDC dc = nullptr;
    HRESULT hr = osd->GetScratchDC(&dc);
    if (FAILED(hr))
        return hr;
    BYTE fill = 0, frame = 0, header = 0;
    if (FAILED(hr = IndexOf(osd, look.rect.fill, &fill)) || FAILED(hr = IndexOf(osd, look.rect.border, &frame)) ||
        FAILED(hr = IndexOf(osd, look.header.colour, &header)))
        return hr;

    // Frame and header.
    FillOpaque(dc, x - b, y - b, x + w + b, y + h + b, 0);
    RoundRectWith(dc, b, frame, fill, x, y, x + w, y + h, look.rect.cornerWidth, look.rect.cornerHeight);
    {
        // Clipped to the header band: rounded top corners, a straight lower edge.
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, x, y, x + w, y + headerHeight);
        RoundRectWith(dc, b, frame, header, x, y, x + w, y + 2 * headerHeight, look.rect.cornerWidth,
                      look.rect.cornerHeight);
        ::RestoreDC(dc, saved);
    }

    // Buttons.
    for (int i = 0; i < geometry.buttonCount; ++i)
    {
        const SkinRectStyle &button = i == content.selected ? look.rectFocus : look.rectNosel;
        BYTE buttonFill = 0, buttonFrame = 0;
        if (FAILED(hr = IndexOf(osd, button.fill, &buttonFill)) ||
            FAILED(hr = IndexOf(osd, button.border, &buttonFrame)))
            return hr;
        const auto &r = geometry.buttons[i];
        RoundRectWith(dc, button.borderWidth, buttonFrame, buttonFill, r.left, r.top, r.right, r.bottom,
                      button.cornerWidth, button.cornerHeight);
    }
    hr = osd->CopyFromScratch(x - b, y - b, w + 2 * b, h + 2 * b, TRUE, FALSE, TRUE, 0);
    if (FAILED(hr))
        return hr;

    const auto &band = geometry.captionBand;
    if (geometry.buttonCount > 0)
        FillOpaque(dc, band.left, band.top, band.right, band.bottom, 0);

    const UINT oldAlign = ::GetTextAlign(dc);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);

    // Message, keyed on its background so only the text's pixels reach the target.
    {
        const COLORREF background = PremultiplyColour(look.style.background);
        const int top = y + headerHeight + look.margin.values[2];
        const int bottom = y + h - look.margin.values[3];
        FillOpaque(dc, x, top, x + w, bottom, background);
        ::SetTextAlign(dc, (look.rtlReading ? TA_RTLREADING : TA_LEFT) | TA_TOP);
        const int saved = ::SaveDC(dc);
        if (look.font)
            ::SelectObject(dc, look.font);
        ::SetTextColor(dc, look.style.textColour & 0x00FFFFFF);
        RECT area{x + look.margin.values[0], top, x + w - look.margin.values[1], bottom};
        const wchar_t *message = content.message ? content.message : L"";
        const int length = static_cast<int>(std::wcslen(message));
        if (content.wrap)
        {
            ::DrawTextW(dc, message, length, &area,
                        DT_WORDBREAK | DT_NOPREFIX | DT_LEFT | (look.rtlReading ? DT_RTLREADING : 0));
        }
        else
        {
            ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
            TextOutText(dc, area.left, area.top, message, length);
        }
        ::RestoreDC(dc, saved);
        hr = osd->CopyFromScratch(x, top, w, bottom - top, FALSE, TRUE, TRUE, SwapRedBlue(background) & 0x00FFFFFF);
    }

    // Captions centred on their buttons.
    ::SetTextAlign(dc, TA_CENTER | TA_TOP | (look.rtlReading ? TA_RTLREADING : 0));
    for (int i = 0; i < geometry.buttonCount && SUCCEEDED(hr); ++i)
    {
        const bool selected = i == content.selected;
        const SkinStyle &style = selected ? look.styleFocus : look.styleNosel;
        const HFONT font = selected ? look.fontFocus : look.fontNosel;
        const COLORREF background = PremultiplyColour(style.background);
        FillOpaque(dc, band.left, band.top, band.right, band.bottom, background);
        const int saved = ::SaveDC(dc);
        if (font)
            ::SelectObject(dc, font);
        ::SetTextColor(dc, style.textColour & 0x00FFFFFF);
        TextOutText(dc, geometry.captionCentre[i], band.top, content.captions[i],
                    static_cast<int>(std::wcslen(content.captions[i])));
        ::RestoreDC(dc, saved);
        hr = osd->CopyFromScratch(band.left, band.top, band.right - band.left, band.bottom - band.top, FALSE, TRUE,
                                  TRUE, SwapRedBlue(background) & 0x00FFFFFF);
    }
    ::SetTextAlign(dc, oldAlign);
    ::SetBkMode(dc, oldMode);
    return hr;
}

} // namespace

HRESULT DrawChoiceBox(IOsd *osd, const ChoiceBoxLook &look, const ChoiceBoxContent &content) noexcept
{
    if (!osd)
        return E_POINTER;
    const HRESULT hr = DrawBox(osd, look, content);
    tx::LogFailure(hr, L"Failed to draw the choice box");
    return hr;
}

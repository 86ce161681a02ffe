// Frame, background and text source helpers of the button and menu elements.
#include "txHost/skin/SkinControlDraw.h"

#include "comkit/Bstr.h"
#include "txHost/skin/SkinManagerInterfaces.h"

namespace tx::skin
{

void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour) noexcept
{
    RECT rect{left, top, right, bottom};
    COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

HRESULT DrawPaletteFrame(IOsd *osd, HDC dc, const SkinRectStyle &look, int x, int y, int w, int h,
                         bool squareLeft) noexcept
{
    BYTE fillIndex = 0;
    BYTE borderIndex = 0;
    HRESULT hr = osd->GetPaletteIndex(SwapRedBlue(look.fill), &fillIndex);
    if (SUCCEEDED(hr))
        hr = osd->GetPaletteIndex(SwapRedBlue(look.border), &borderIndex);
    if (FAILED(hr))
        return hr;
    tx::UniquePen pen(::CreatePen(PS_SOLID, look.borderWidth, static_cast<COLORREF>(borderIndex) << 16));
    tx::UniqueBrush brush(::CreateSolidBrush(static_cast<COLORREF>(fillIndex) << 16));
    if (!pen.Get() || !brush.Get())
        return E_OUTOFMEMORY;
    const int b = look.borderWidth;
    FillSolid(dc, x - b, y - b, x + w + b, y + h + b, 0);
    tx::SelectObjectScope selectPen(dc, pen.Get());
    tx::SelectObjectScope selectBrush(dc, brush.Get());
    ::RoundRect(dc, x, y, x + w, y + h, look.cornerWidth, look.cornerHeight);
    if (squareLeft)
    {
        // Square left corners: a plain rectangle over the left half of the corner ellipse,
        // clipped so that it does not reach the rounded right side.
        int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, x - b, y - b, x + look.cornerWidth / 2, y + h + 2 * b);
        ::Rectangle(dc, x, y, x + look.cornerWidth / 2 + b + 1, y + h);
        ::RestoreDC(dc, saved);
    }
    return S_OK;
}

HRESULT TranslateSkinText(ISkinStringTable *source, const SkinString &text, SkinString &result)
{
    if (!source)
    {
        result = text;
        return S_OK;
    }
    Bstr in{std::wstring_view(text)};
    if (in.IsNull())
        return E_OUTOFMEMORY;
    Bstr out;
    HRESULT hr = source->GetString(in.Get(), out.Put());
    if (FAILED(hr))
        return hr;
    // An empty answer empties the text.
    result.assign(out.Get() ? out.Get() : L"", out.Length());
    return S_OK;
}

tx::ComPtr<ISkinStringTable> QueryTextSource(IUnknown *source) noexcept
{
    tx::ComPtr<ISkinStringTable> table;
    if (source)
        source->QueryInterface(__uuidof(ISkinStringTable), reinterpret_cast<void **>(table.GetAddressOf()));
    return table;
}

HRESULT CopySkinString(const SkinString &text, BSTR *out) noexcept
{
    if (!out)
        return S_OK;
    BSTR copy = ::SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    if (!copy)
        return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

} // namespace tx::skin

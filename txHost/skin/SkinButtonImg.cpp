// The picture button element.
#include "txHost/skin/SkinButtonImg.h"

#include "comkit/Bstr.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinControlDraw.h"

#include <iterator>

using namespace tx::skin;

namespace
{

const SkinAttrRow kButtonImgRows[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinButtonImg, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinButtonImg, size)},
    {L"image-nosel", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinButtonImg, imageNosel)},
    {L"image-focus", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinButtonImg, imageFocus)},
    {L"noblink", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinButtonImg, noBlink)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinButtonImg, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinButtonImg, id)},
    {L"action", SKINATTR_STRING, TX_SKIN_FIELD(CSkinButtonImg, action)},
};

} // namespace

const SkinAttrPart CSkinButtonImg::kParts[] = {{nullptr, kButtonImgRows, std::size(kButtonImgRows), nullptr}};
const size_t CSkinButtonImg::kPartCount = std::size(CSkinButtonImg::kParts);

HRESULT CSkinButtonImg::Draw(IOsd *osd)
{
    if (!osd)
        return E_POINTER;
    const bool focusedLook = m_focus && !m_blink;
    tx::ComPtr<IPictureSurface> surface = focusedLook ? m_surfaceFocus : m_surfaceNosel;
    const int x = pos.a, y = pos.b, w = size.a, h = size.b;
    HDC dc = nullptr;
    HRESULT hr = osd->GetScratchDC(&dc);
    if (FAILED(hr))
        return hr;
    const COLORREF key = PremultiplyColour(m_focus ? imageFocus.key : imageNosel.key);
    FillSolid(dc, x, y, x + w, y + h, key);
    if (!surface)
        return S_OK; // an image that was not found shows nothing
    LONG sw = 0, sh = 0;
    hr = surface->GetSize(&sw, &sh);
    if (FAILED(hr))
        return hr;
    hr = osd->RunTransform(surface.Get(), x, y, w, h, sw, sh);
    if (FAILED(hr))
        return hr;
    return osd->CopyFromScratch(x, y, w, h, FALSE, TRUE, TRUE, SwapRedBlue(key));
}

HRESULT CSkinButtonImg::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinButtonImg::Animate(BOOL *redraw)
{
    if (m_blink)
    {
        m_blink = false;
        if (redraw)
            *redraw = TRUE;
    }
    return S_OK;
}

HRESULT CSkinButtonImg::ResetAnimation()
{
    m_blink = false;
    return S_OK;
}

HRESULT CSkinButtonImg::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinButtonImg *>(target);
    other->pos = pos;
    other->size = size;
    other->imageNosel = imageNosel;
    other->imageFocus = imageFocus;
    other->noBlink = noBlink;
    other->action = action;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinButtonImg::ResolveResources(IOsd *, SkinFontCache *, SkinImageCache *images)
{
    m_surfaceNosel.Reset();
    m_surfaceFocus.Reset();
    if (!images)
        return S_OK;
    if (!imageNosel.name.empty())
        images->GetImage(imageNosel.name.c_str(), m_surfaceNosel.GetAddressOf());
    if (!imageFocus.name.empty())
        images->GetImage(imageFocus.name.c_str(), m_surfaceFocus.GetAddressOf());
    return S_OK;
}

HRESULT CSkinButtonImg::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    if (!CanTakeFocus())
        return S_FALSE;
    if (x)
        *x = pos.a;
    if (y)
        *y = pos.b;
    if (width)
        *width = size.a;
    if (height)
        *height = size.b;
    return S_OK;
}

HRESULT CSkinButtonImg::SetFocus(LONG, LONG, LONG)
{
    if (!CanTakeFocus())
        return S_FALSE;
    m_focus = true;
    return S_OK;
}

HRESULT CSkinButtonImg::GetCenter(LONG *x, LONG *y)
{
    if (x)
        *x = pos.a + size.a / 2;
    if (y)
        *y = pos.b + size.b / 2;
    return S_OK;
}

HRESULT CSkinButtonImg::KillFocus()
{
    m_focus = false;
    return S_OK;
}

HRESULT CSkinButtonImg::Navigate(LONG, BOOL *used)
{
    if (used)
        *used = FALSE;
    return S_OK;
}

HRESULT CSkinButtonImg::GetCommand(BOOL activate, BSTR *idOut, LONG *, LONG *, BSTR *actionOut, BSTR *secondId)
{
    if (activate)
    {
        if (!IsRepeatAllowed())
            return S_FALSE;
        if (!noBlink)
            m_blink = true;
    }
    tx::Bstr idCopy{std::wstring_view(id)}, actionCopy{std::wstring_view(action)}, secondCopy{std::wstring_view(id)};
    if (idCopy.IsNull() || actionCopy.IsNull() || secondCopy.IsNull())
        return E_OUTOFMEMORY;
    if (idOut)
        *idOut = idCopy.Detach();
    if (actionOut)
        *actionOut = actionCopy.Detach();
    if (secondId)
        *secondId = secondCopy.Detach();
    return S_OK;
}

HRESULT CSkinButtonImg::JumpToDigit(LONG)
{
    return E_NOTIMPL;
}

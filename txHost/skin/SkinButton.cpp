// The button element: frame, caption, focus, blink and its command.
#include "txHost/skin/SkinButton.h"

#include "comkit/Bstr.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinControlDraw.h"
#include "txHost/skin/SkinManagerInterfaces.h"
#include "txHost/skin/TextRaster.h"

#include <iterator>

using namespace tx::skin;

namespace
{

const SkinAttrRow kButtonRows[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinButton, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinButton, size)},
    {L"rect-nosel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinButton, rectNosel)},
    {L"rect-focus", SKINATTR_RECT, TX_SKIN_FIELD(CSkinButton, rectFocus)},
    {L"style-nosel", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinButton, styleNosel)},
    {L"style-focus", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinButton, styleFocus)},
    {L"align", SKINATTR_ALIGN, TX_SKIN_FIELD(CSkinButton, align)},
    {L"rtlreading", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinButton, rtlReading)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinButton, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinButton, id)},
    {L"noblink", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinButton, noBlink)},
    {L"margin", SKINATTR_MARGIN, TX_SKIN_FIELD(CSkinButton, margin)},
    {nullptr, SKINATTR_STRING, TX_SKIN_FIELD(CSkinButton, text)},
    {L"action", SKINATTR_STRING, TX_SKIN_FIELD(CSkinButton, action)},
};

} // namespace

const SkinAttrPart CSkinButton::kParts[] = {{nullptr, kButtonRows, std::size(kButtonRows), nullptr}};
const size_t CSkinButton::kPartCount = std::size(CSkinButton::kParts);

CSkinButton::~CSkinButton()
{
    if (m_textSource)
        m_textSource->Release();
}

HRESULT CSkinButton::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinButton))
    {
        *ppv = &m_buttonFace;
        AddRef();
        return S_OK;
    }
    return CSkinControlElement::QueryFace(riid, ppv);
}

HRESULT CSkinButton::Draw(IOsd *osd)
{
    if (!osd)
        return E_POINTER;
    const bool focusedLook = m_focus && !m_blink;
    const SkinRectStyle &frame = focusedLook ? rectFocus : rectNosel;
    const SkinStyle &look = focusedLook ? styleFocus : styleNosel;
    const int x = pos.a, y = pos.b, w = size.a, h = size.b;

    HDC dc = nullptr;
    HRESULT hr = osd->GetScratchDC(&dc);
    if (FAILED(hr))
        return hr;
    // A palette without room for the frame's colours draws nothing at all.
    hr = DrawPaletteFrame(osd, dc, frame, x, y, w, h, false);
    if (FAILED(hr))
        return hr;
    const int b = frame.borderWidth;
    hr = osd->CopyFromScratch(x - b, y - b, w + 2 * b, h + 2 * b, TRUE, FALSE, TRUE, 0);
    if (FAILED(hr))
        return hr;

    // The caption's background follows the focus flag alone; the blink changes only the
    // frame and the text colour. Pixels still of colour key let the frame show through.
    const COLORREF key = PremultiplyColour(m_focus ? styleFocus.background : styleNosel.background);
    FillSolid(dc, x, y, x + w, y + h, key);
    HFONT font = m_focus ? m_fontFocus : m_fontNosel;
    int textX;
    UINT alignment;
    if (align == 1)
    {
        textX = x + w - margin.values[1];
        alignment = TA_RIGHT;
    }
    else if (align == 0)
    {
        textX = x + margin.values[0];
        alignment = TA_LEFT;
    }
    else
    {
        textX = x + w / 2; // centred captions ignore the side margins
        alignment = TA_CENTER;
    }
    if (rtlReading)
        alignment |= TA_RTLREADING;
    {
        tx::SelectObjectScope selectFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
        UINT oldAlign = ::SetTextAlign(dc, alignment);
        COLORREF oldColour = ::SetTextColor(dc, look.textColour & 0x00FFFFFF);
        int oldMode = ::SetBkMode(dc, TRANSPARENT);
        TextOutText(dc, textX, y + margin.values[2], text.c_str(), static_cast<int>(text.size()));
        ::SetBkMode(dc, oldMode);
        ::SetTextColor(dc, oldColour);
        ::SetTextAlign(dc, oldAlign);
    }
    return osd->CopyFromScratch(x, y, w, h, FALSE, TRUE, TRUE, SwapRedBlue(key));
}

HRESULT CSkinButton::Attach(IUnknown *source, LONG_PTR)
{
    tx::ComPtr<ISkinStringTable> table = QueryTextSource(source);
    if (m_textSource)
        m_textSource->Release();
    m_textSource = table.Detach();
    SkinString translated;
    HRESULT hr = TranslateSkinText(m_textSource, text, translated);
    if (FAILED(hr))
        return hr;
    text = std::move(translated);
    return S_OK;
}

HRESULT CSkinButton::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinButton::Animate(BOOL *redraw)
{
    if (m_blink)
    {
        m_blink = false;
        if (redraw)
            *redraw = TRUE;
    }
    return S_OK;
}

HRESULT CSkinButton::ResetAnimation()
{
    m_blink = false;
    return S_OK;
}

HRESULT CSkinButton::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinButton *>(target);
    other->pos = pos;
    other->size = size;
    other->rectNosel = rectNosel;
    other->rectFocus = rectFocus;
    other->styleNosel = styleNosel;
    other->styleFocus = styleFocus;
    other->align = align;
    other->rtlReading = rtlReading;
    other->text = text;
    other->margin = margin;
    other->noBlink = noBlink;
    other->action = action;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinButton::ResolveResources(IOsd *, SkinFontCache *fonts, SkinImageCache *)
{
    if (fonts)
    {
        m_fontNosel = fonts->GetFont(styleNosel);
        m_fontFocus = fonts->GetFont(styleFocus);
    }
    return S_OK;
}

HRESULT CSkinButton::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    if (!visible)
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

HRESULT CSkinButton::SetFocus(LONG, LONG, LONG)
{
    if (!visible)
        return S_FALSE;
    m_focus = true;
    return S_OK;
}

HRESULT CSkinButton::GetCenter(LONG *x, LONG *y)
{
    if (x)
        *x = pos.a + size.a / 2;
    if (y)
        *y = pos.b + size.b / 2;
    return S_OK;
}

HRESULT CSkinButton::KillFocus()
{
    m_focus = false;
    return S_OK;
}

HRESULT CSkinButton::Navigate(LONG, BOOL *used)
{
    // A button never keeps a direction: the focus always moves on.
    if (used)
        *used = FALSE;
    return S_OK;
}

HRESULT CSkinButton::GetCommand(BOOL activate, BSTR *idOut, LONG *, LONG *, BSTR *actionOut, BSTR *secondId)
{
    if (activate)
    {
        if (!IsRepeatAllowed())
            return S_FALSE; // a repeated selection within 500 ms is ignored
        if (!noBlink)
            m_blink = true;
    }
    // All copies are made before any is handed out, so a failure leaks nothing.
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

HRESULT CSkinButton::JumpToDigit(LONG)
{
    return E_NOTIMPL;
}

HRESULT CSkinButton::SetText(BSTR value)
{
    SkinString given(value ? value : L"", value ? ::SysStringLen(value) : 0);
    SkinString translated;
    HRESULT hr = TranslateSkinText(m_textSource, given, translated);
    if (FAILED(hr))
        return hr;
    text = std::move(translated);
    return S_OK;
}

HRESULT CSkinButton::GetText(BSTR *out)
{
    if (!out)
        return E_POINTER;
    return CopySkinString(text, out);
}

STDMETHODIMP CSkinButton::ButtonFace::SetText(BSTR value)
{
    return SkinGuard([&] { return static_cast<CSkinButton *>(Owner())->SetText(value); });
}

STDMETHODIMP CSkinButton::ButtonFace::GetText(BSTR *out)
{
    return SkinGuard([&] { return static_cast<CSkinButton *>(Owner())->GetText(out); });
}

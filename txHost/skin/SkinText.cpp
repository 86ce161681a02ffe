// The text element: single-line and multi-line drawing, scrolling and the text source.
#include "txHost/skin/SkinText.h"

#include "comkit/Bstr.h"
#include "comkit/Handles.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinPaletteDraw.h"
#include "txHost/skin/SkinShapeGeometry.h"
#include "txHost/skin/TextRaster.h"

using namespace tx::skin;

namespace
{

HRESULT CopyOut(const SkinString &value, BSTR *out, bool nullWhenEmpty)
{
    if (!out)
        return E_POINTER;
    if (nullWhenEmpty && value.empty())
    {
        *out = nullptr;
        return S_OK;
    }
    BSTR copy = ::SysAllocStringLen(value.c_str(), static_cast<UINT>(value.size()));
    if (!copy)
        return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

// Restores a DC's text alignment, colour and background mode at the end of a draw.
class TextStateScope
{
  public:
    TextStateScope(HDC dc, UINT align, COLORREF colour) noexcept
        : m_dc(dc), m_align(::SetTextAlign(dc, align)), m_colour(::SetTextColor(dc, colour)),
          m_mode(::SetBkMode(dc, TRANSPARENT))
    {
    }
    ~TextStateScope()
    {
        ::SetBkMode(m_dc, m_mode);
        ::SetTextColor(m_dc, m_colour);
        ::SetTextAlign(m_dc, m_align);
    }
    TextStateScope(const TextStateScope &) = delete;
    TextStateScope &operator=(const TextStateScope &) = delete;

  private:
    HDC m_dc;
    UINT m_align;
    COLORREF m_colour;
    int m_mode;
};

} // namespace

const SkinAttrRow CSkinText::kAttributes[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinText, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinText, size)},
    {L"style", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinText, style)},
    {L"align", SKINATTR_ALIGN, TX_SKIN_FIELD(CSkinText, align)},
    {L"rtlreading", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinText, rtlreading)},
    {L"multiline", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinText, multiline)},
    {L"nobreak", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinText, nobreak)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinText, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinText, id)},
    {L"rectscroll-back", SKINATTR_RECT, TX_SKIN_FIELD(CSkinText, rectScrollBack)},
    {L"rectscroll-nosel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinText, rectScrollNosel)},
    {L"rectscroll-focus", SKINATTR_RECT, TX_SKIN_FIELD(CSkinText, rectScrollFocus)},
    {L"scrollwidth", SKINATTR_INT, TX_SKIN_FIELD(CSkinText, scrollwidth)},
    {L"data", SKINATTR_STRING, TX_SKIN_FIELD(CSkinText, data)},
    {nullptr, SKINATTR_STRING, TX_SKIN_FIELD(CSkinText, text)},
    {L"path", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinText, path)},
};
const size_t CSkinText::kAttributeCount = sizeof(kAttributes) / sizeof(kAttributes[0]);
const SkinAttrPart CSkinText::kParts[] = {{nullptr, kAttributes, kAttributeCount, nullptr}};
const size_t CSkinText::kPartCount = 1;

HRESULT CreateSkinTextElement(ISkinElement **element) noexcept
{
    return CreateSkinElementForTag<CSkinText>(element);
}

HRESULT CSkinText::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinText))
    {
        *ppv = static_cast<ISkinText *>(&m_textFace);
        AddRef();
        return S_OK;
    }
    return CSkinControlElement::QueryFace(riid, ppv);
}

HRESULT CSkinText::Translate(const wchar_t *value, SkinString &result) const
{
    if (!m_source)
    {
        result.assign(value ? value : L"");
        return S_OK;
    }
    tx::Bstr in(value);
    if (value && !in.Get())
        return E_OUTOFMEMORY;
    tx::Bstr out;
    HRESULT hr = m_source->GetString(in.Get(), out.Put());
    if (FAILED(hr))
        return hr;
    result.assign(out.Get() ? out.Get() : L"", out.Get() ? ::SysStringLen(out.Get()) : 0);
    return S_OK;
}

HRESULT CSkinText::SetText(BSTR value)
{
    SkinString translated;
    HRESULT hr = Translate(value, translated);
    if (FAILED(hr))
        return hr;
    text = std::move(translated);
    m_scroll.total = -1;
    m_scroll.position = 0;
    return S_OK;
}

HRESULT CSkinText::GetText(BSTR *value)
{
    return CopyOut(text, value, true);
}

HRESULT CSkinText::AppendText(BSTR s)
{
    if (s)
        text.append(s, ::SysStringLen(s));
    m_scroll.total = -1;
    m_scroll.position = -1; // the next draw shows the end
    return S_OK;
}

HRESULT CSkinText::GetData(BSTR *value)
{
    return CopyOut(data, value, false);
}

HRESULT CSkinText::SetPosition(LONG x, LONG y)
{
    pos.a = x;
    pos.b = y;
    return S_OK;
}

HRESULT CSkinText::SetAlign(LONG value)
{
    align = value;
    return S_OK;
}

HRESULT CSkinText::Attach(IUnknown *source, LONG_PTR)
{
    tx::ComPtr<ISkinStringTable> table;
    if (source)
    {
        HRESULT hr =
            source->QueryInterface(__uuidof(ISkinStringTable), reinterpret_cast<void **>(table.GetAddressOf()));
        if (FAILED(hr))
            return hr;
    }
    m_source = std::move(table);
    if (!m_source || text.empty())
        return S_OK;
    SkinString translated;
    HRESULT hr = Translate(text.c_str(), translated);
    if (FAILED(hr))
        return hr;
    text = std::move(translated);
    return S_OK;
}

HRESULT CSkinText::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinText::Animate(BOOL *redraw)
{
    if (m_scroll.Animate() && redraw)
        *redraw = TRUE;
    return S_OK;
}

HRESULT CSkinText::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinText::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinText *>(target);
    other->pos = pos;
    other->size = size;
    other->style = style;
    other->align = align;
    other->rtlreading = rtlreading;
    other->multiline = multiline;
    other->nobreak = nobreak;
    other->text = text;
    other->data = data;
    other->rectScrollBack = rectScrollBack;
    other->rectScrollNosel = rectScrollNosel;
    other->rectScrollFocus = rectScrollFocus;
    other->scrollwidth = scrollwidth;
    other->path = path;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinText::ResolveResources(IOsd *, SkinFontCache *fonts, SkinImageCache *)
{
    if (!fonts)
        return E_POINTER;
    m_font = fonts->GetFont(style);
    return S_OK;
}

HRESULT CSkinText::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    if (!visible || !Overflowing())
        return S_FALSE;
    if (!x || !y || !width || !height)
        return E_POINTER;
    *x = pos.a;
    *y = pos.b;
    *width = size.a;
    *height = size.b;
    return S_OK;
}

HRESULT CSkinText::SetFocus(LONG, LONG, LONG)
{
    if (!visible || !Overflowing())
        return S_FALSE;
    m_focus = true;
    return S_OK;
}

HRESULT CSkinText::GetCenter(LONG *x, LONG *y)
{
    if (!x || !y)
        return E_POINTER;
    *x = pos.a + size.a / 2;
    *y = pos.b + size.b / 2;
    return S_OK;
}

HRESULT CSkinText::KillFocus()
{
    m_focus = false;
    return S_OK;
}

HRESULT CSkinText::Navigate(LONG direction, BOOL *used)
{
    bool handled = false;
    m_scroll.Navigate(direction, handled);
    if (handled && used)
        *used = TRUE;
    return S_OK;
}

HRESULT CSkinText::GetCommand(BOOL, BSTR *idOut, LONG *, LONG *, BSTR *, BSTR *)
{
    if (!idOut)
        return S_OK;
    return CopyOut(id, idOut, false);
}

HRESULT CSkinText::JumpToDigit(LONG)
{
    return E_NOTIMPL;
}

TextLayoutResult CSkinText::LayOut(HDC dc, LONG top, LONG bottom, LONG width, bool draw) const
{
    const LONG left = pos.a;
    TextMeasure measure = [dc](const SkinChar *s, size_t length, int32_t &w, int32_t &h) {
        SIZE extent{};
        MeasureText(dc, s, static_cast<int>(length), &extent);
        w = extent.cx;
        h = extent.cy;
    };
    TextOutput output = [dc, left](const SkinChar *s, size_t length, int32_t lineTop) {
        TextOutText(dc, left, lineTop, s, static_cast<int>(length));
    };
    return LayoutText(text, top, bottom, width, nobreak != 0, draw, measure, output);
}

HRESULT CSkinText::Draw(IOsd *osd)
{
    if (!osd)
        return E_POINTER;
    HDC dc = nullptr;
    if (FAILED(osd->GetScratchDC(&dc)) || !dc)
        return S_OK; // nothing to draw into this refresh
    const COLORREF background = PremultiplySkinColour(style.background);
    return multiline ? DrawMultiLine(osd, dc, background) : DrawSingleLine(osd, dc, background);
}

HRESULT CSkinText::DrawSingleLine(IOsd *osd, HDC dc, COLORREF background)
{
    const LONG x = pos.a;
    const LONG y = pos.b;
    const LONG w = size.a;
    const LONG h = size.b;
    FillScratchRect(dc, x, y, w, h, background);
    {
        UINT alignment = TA_LEFT;
        LONG anchor = x;
        if (align == 1)
        {
            alignment = TA_RIGHT;
            anchor = x + w;
        }
        else if (align == 2)
        {
            alignment = TA_CENTER;
            anchor = x + w / 2;
        }
        if (rtlreading)
            alignment |= TA_RTLREADING;
        tx::SelectObjectScope font(dc, m_font);
        TextStateScope state(dc, alignment | TA_TOP, style.textColour & 0x00FFFFFF);
        const int length = static_cast<int>(text.size());
        SIZE extent{};
        if (path && MeasureText(dc, text.c_str(), length, &extent) && extent.cx > w)
        {
            // The shortened path is drawn in pieces placed from the left, and it fills the
            // width anyway: draw it from x whatever the alignment, so the pieces line up.
            ::SetTextAlign(dc, (alignment & TA_RTLREADING) | TA_LEFT | TA_TOP);
            DrawPathEllipsis(dc, x, y, text.c_str(), length, w);
        }
        else
        {
            TextOutText(dc, anchor, y, text.c_str(), length);
        }
    }
    return osd->CopyFromScratch(x, y, w, h, FALSE, TRUE, TRUE, DibKey(background));
}

HRESULT CSkinText::DrawMultiLine(IOsd *osd, HDC dc, COLORREF background)
{
    const LONG x = pos.a;
    const LONG y = pos.b;
    const LONG w = size.a;
    const LONG h = size.b;
    const DWORD key = DibKey(background);
    FillScratchRect(dc, x, y, w, h, background);
    tx::SelectObjectScope font(dc, m_font);
    TextStateScope state(dc, (rtlreading ? TA_RTLREADING : 0) | TA_LEFT | TA_TOP, style.textColour & 0x00FFFFFF);
    if (text.empty())
        return S_OK;

    const LONG narrowed = w - 6 - scrollwidth;
    if (!Overflowing())
    {
        TextLayoutResult whole = LayOut(dc, y, y + h, w, true);
        if (whole.reachedEnd || narrowed <= 0)
        {
            // It fits, or there is no room for a scroll bar and the overflow is cut.
            if (m_scroll.position < 0)
                m_scroll.position = 0;
            return osd->CopyFromScratch(x, y, w, h, FALSE, TRUE, TRUE, key);
        }
        TextLayoutResult measured = LayOut(dc, y, y + h, narrowed, false);
        m_scroll.total = measured.lines;
        m_scroll.visible = measured.visible;
        m_lineHeight = measured.lineHeight;
        if (m_scroll.position < 0)
            m_scroll.position = m_scroll.total - m_scroll.visible;
    }
    else if (narrowed <= 0)
    {
        return osd->CopyFromScratch(x, y, w, h, FALSE, TRUE, TRUE, key);
    }

    // The scroll bar, in palette form.
    const SkinRectStyle &thumbStyle = m_focus ? rectScrollFocus : rectScrollNosel;
    const LONG bw = thumbStyle.borderWidth;
    const LONG barX = x + w - scrollwidth - bw;
    const LONG barY = y - bw;
    const LONG barW = scrollwidth + 2 * bw;
    const LONG barH = h + 2 * bw;
    FillScratchRect(dc, barX, barY, barW, barH, 0);
    BYTE trackFill = 0, trackBorder = 0, thumbFill = 0, thumbBorder = 0;
    HRESULT hr = GetRectStyleIndexes(osd, rectScrollBack, &trackFill, &trackBorder);
    if (SUCCEEDED(hr))
        hr = GetRectStyleIndexes(osd, thumbStyle, &thumbFill, &thumbBorder);
    if (FAILED(hr))
        return hr; // a full palette: the long text stays undrawn this refresh
    DrawIndexRoundRect(dc, x + w - scrollwidth, y, x + w, y + h, rectScrollBack, trackFill, trackBorder);
    ScrollThumb thumb = ComputeScrollThumb(h, m_scroll.total, m_scroll.visible, m_scroll.position);
    DrawIndexRoundRect(dc, x + w - scrollwidth, y + thumb.offset, x + w, y + thumb.offset + thumb.height, thumbStyle,
                       thumbFill, thumbBorder);
    hr = osd->CopyFromScratch(barX, barY, barW, barH, TRUE, FALSE, TRUE, 0);
    if (FAILED(hr))
        return hr;

    // The text, shifted by the scroll position and half a line of a running animation.
    FillScratchRect(dc, x, y, w, h, background);
    const LONG lh = m_lineHeight;
    const LONG top = y + (m_scroll.step * lh) / 2 - m_scroll.position * lh;
    LayOut(dc, top, y + h + lh, narrowed, true);
    return osd->CopyFromScratch(x, y, narrowed, h, FALSE, TRUE, TRUE, key);
}

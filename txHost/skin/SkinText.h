#pragma once
// CSkinText, the skin element of the tag "text": one line (aligned left, right or centred,
// optionally shortened as a file path) or a multi-line block that wraps by words or by
// characters and, while its text overflows, shows a scroll bar, takes the focus and
// scrolls line by line with a half-line animation.
//
// Every text it is given goes through the attached text source (the skin's string table),
// which turns "$Key$" texts into the language's string.
//
// Thread: the skin manager's callers, under the skin lock (drawing also under the OSD lock).
// Strings handed out are new BSTRs owned by the caller; strings passed in stay the caller's.
#include "comkit/ComPtr.h"
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"
#include "txHost/skin/SkinManagerInterfaces.h"
#include "txHost/skin/TextLayout.h"

#include <cstddef>

MIDL_INTERFACE("CCE0265D-3D00-4BD5-AC41-42543F3A501A")
ISkinText : public ISkinElement
{
    // Slot 14: sets the text, passed through the text source when one is attached (a
    // "$Key$" text becomes the language's string). Starts unmeasured at the first line.
    // S_OK; E_OUTOFMEMORY; the text source's failure (the text is then unchanged).
    virtual HRESULT STDMETHODCALLTYPE SetText(BSTR value) = 0;
    // Slot 15: a copy of the text (null when there is none). E_POINTER, E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE GetText(BSTR * value) = 0;
    // Slot 16: appends s as given (not through the text source); the next draw re-measures
    // and shows the end. E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE AppendText(BSTR s) = 0;
    // Slot 17: a copy of the data attribute. E_POINTER, E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE GetData(BSTR * value) = 0;
    // Slot 18: moves the element; its size stays. S_OK.
    virtual HRESULT STDMETHODCALLTYPE SetPosition(LONG x, LONG y) = 0;
    // Slot 19: 0 left, 1 right, 2 centre. S_OK.
    virtual HRESULT STDMETHODCALLTYPE SetAlign(LONG align) = 0;
};
__CRT_UUID_DECL(ISkinText, 0xCCE0265D, 0x3D00, 0x4BD5, 0xAC, 0x41, 0x42, 0x54, 0x3F, 0x3A, 0x50, 0x1A)

class CSkinText : public CSkinControlElement
{
  public:
    CSkinText() noexcept = default;

    // The attribute rows of the tag "text".
    static const tx::skin::SkinAttrRow kAttributes[];
    static const size_t kAttributeCount;
    // The attribute parts of the tag for the skin loader's tag table (the rows above).
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_textFace;
    }

    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    // Attaches the text source (an object answering ISkinStringTable; null detaches) and
    // passes the current text through it. E_NOINTERFACE keeps the previous source.
    HRESULT Attach(IUnknown *source, LONG_PTR value) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT Animate(BOOL *redraw) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    // Focus only while the text overflows (a scroll bar is shown).
    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT Navigate(LONG direction, BOOL *used) override;
    // Fills only the id; no repeat lock, no command of its own.
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;
    // A text has no digits to jump to: E_NOTIMPL.
    HRESULT JumpToDigit(LONG digit) override;

    HRESULT SetText(BSTR value);
    HRESULT GetText(BSTR *value);
    HRESULT AppendText(BSTR s);
    HRESULT GetData(BSTR *value);
    HRESULT SetPosition(LONG x, LONG y);
    HRESULT SetAlign(LONG align);

    // Run-time state, readable by tests.
    const tx::skin::TextScrollState &ScrollState() const noexcept
    {
        return m_scroll;
    }
    bool HasFocus() const noexcept
    {
        return m_focus;
    }
    int32_t LineHeight() const noexcept
    {
        return m_lineHeight;
    }

    // Attributes.
    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinStyle style;
    int32_t align = 0;
    uint8_t rtlreading = 0;
    uint8_t multiline = 0;
    uint8_t nobreak = 0;
    uint8_t path = 0;
    tx::skin::SkinString text;
    tx::skin::SkinString data;
    tx::skin::SkinRectStyle rectScrollBack;
    tx::skin::SkinRectStyle rectScrollNosel;
    tx::skin::SkinRectStyle rectScrollFocus;
    int32_t scrollwidth = 0;

  private:
    class TextFace final : public SkinElementFace<ISkinText>
    {
      public:
        explicit TextFace(CSkinText *owner) noexcept : SkinElementFace<ISkinText>(owner), m_text(owner)
        {
        }
        STDMETHODIMP SetText(BSTR value) override
        {
            return SkinGuard([&] { return m_text->SetText(value); });
        }
        STDMETHODIMP GetText(BSTR *value) override
        {
            return SkinGuard([&] { return m_text->GetText(value); });
        }
        STDMETHODIMP AppendText(BSTR s) override
        {
            return SkinGuard([&] { return m_text->AppendText(s); });
        }
        STDMETHODIMP GetData(BSTR *value) override
        {
            return SkinGuard([&] { return m_text->GetData(value); });
        }
        STDMETHODIMP SetPosition(LONG x, LONG y) override
        {
            return m_text->SetPosition(x, y);
        }
        STDMETHODIMP SetAlign(LONG align) override
        {
            return m_text->SetAlign(align);
        }

      private:
        CSkinText *m_text;
    };

    HRESULT DrawSingleLine(IOsd *osd, HDC dc, COLORREF background);
    HRESULT DrawMultiLine(IOsd *osd, HDC dc, COLORREF background);
    tx::skin::TextLayoutResult LayOut(HDC dc, LONG top, LONG bottom, LONG width, bool draw) const;
    // The text through the text source (or as given without one).
    HRESULT Translate(const wchar_t *value, tx::skin::SkinString &result) const;
    bool Overflowing() const noexcept
    {
        return m_scroll.total >= 0;
    }

    TextFace m_textFace{this};
    tx::ComPtr<ISkinStringTable> m_source;
    HFONT m_font = nullptr; // owned by the skin's font cache
    tx::skin::TextScrollState m_scroll;
    int32_t m_lineHeight = 0;
    bool m_focus = false;
};

// The creator of the tag "text" for the skin loader's tag table.
HRESULT CreateSkinTextElement(ISkinElement **element) noexcept;

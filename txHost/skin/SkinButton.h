#pragma once
// CSkinButton (tag "button"): a rounded frame with a one-line caption that starts the
// element's action when it is selected. Focusable; shows the normal look for one
// animation tick after a selection (a blink) unless noblink is set.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinElement.h"

struct ISkinStringTable;

// The caption of a button. Thread and ownership as ISkinElement.
MIDL_INTERFACE("F13FCA13-8AD0-4845-A840-A25C7D0BF06F")
ISkinButton : public ISkinElement
{
    // Slot 14: the caption becomes text passed through the attached text source (as given
    // without one). S_OK; E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE SetText(BSTR text) = 0;
    // Slot 15: a copy of the caption. E_POINTER, E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE GetText(BSTR * text) = 0;
};
__CRT_UUID_DECL(ISkinButton, 0xF13FCA13, 0x8AD0, 0x4845, 0xA8, 0x40, 0xA2, 0x5C, 0x7D, 0x0B, 0xF0, 0x6F)

class CSkinButton : public CSkinControlElement
{
  public:
    // The attribute parts of the tag (the element's own rows) and its tag creator.
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;
    static HRESULT CreateForTag(ISkinElement **element) noexcept
    {
        return CreateSkinElementForTag<CSkinButton>(element);
    }

    CSkinButton() noexcept = default;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_buttonFace;
    }

    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override
    {
        return CloneSkinElement(this, clone);
    }
    HRESULT Attach(IUnknown *source, LONG_PTR value) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT Animate(BOOL *redraw) override;
    HRESULT ResetAnimation() override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT Navigate(LONG direction, BOOL *used) override;
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;
    HRESULT JumpToDigit(LONG digit) override;

    HRESULT SetText(BSTR text);
    HRESULT GetText(BSTR *text);

    bool HasFocus() const noexcept
    {
        return m_focus;
    }
    bool IsBlinking() const noexcept
    {
        return m_blink;
    }

    // Attribute fields.
    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rectNosel;
    tx::skin::SkinRectStyle rectFocus;
    tx::skin::SkinStyle styleNosel;
    tx::skin::SkinStyle styleFocus;
    int32_t align = 0; // 0 left, 1 right, else centre
    uint8_t rtlReading = 0;
    tx::skin::SkinString text;
    tx::skin::SkinMargin margin; // left, right, top, bottom
    uint8_t noBlink = 0;
    tx::skin::SkinString action;

  protected:
    ~CSkinButton() override;

  private:
    class ButtonFace final : public SkinElementFace<ISkinButton>
    {
      public:
        using SkinElementFace<ISkinButton>::SkinElementFace;
        STDMETHODIMP SetText(BSTR text) override;
        STDMETHODIMP GetText(BSTR *text) override;
    };

    ButtonFace m_buttonFace{this};
    bool m_focus = false;
    bool m_blink = false;
    HFONT m_fontNosel = nullptr; // owned by the skin's font cache
    HFONT m_fontFocus = nullptr;
    ISkinStringTable *m_textSource = nullptr; // one reference
};

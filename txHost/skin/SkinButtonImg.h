#pragma once
// CSkinButtonImg (tag "buttonimg"): a picture button with one image for the normal look
// and one for the focused look. Focusable only when it has a focused image; starts its
// action when selected, with the same blink and repeat lock as the button.
#include "comkit/ComPtr.h"
#include "txHost/skin/PictureSurface.h"
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinElement.h"

class CSkinButtonImg : public CSkinControlElement
{
  public:
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;
    static HRESULT CreateForTag(ISkinElement **element) noexcept
    {
        return CreateSkinElementForTag<CSkinButtonImg>(element);
    }

    CSkinButtonImg() noexcept = default;

    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override
    {
        return CloneSkinElement(this, clone);
    }
    HRESULT Relayout(LONG delta) override;
    HRESULT Animate(BOOL *redraw) override;
    HRESULT ResetAnimation() override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    // Looks both images up by name; a missing or unknown name leaves that look empty.
    // Always S_OK.
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT Navigate(LONG direction, BOOL *used) override;
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;
    HRESULT JumpToDigit(LONG digit) override;

    bool HasFocus() const noexcept
    {
        return m_focus;
    }
    bool IsBlinking() const noexcept
    {
        return m_blink;
    }

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinImageRef imageNosel;
    tx::skin::SkinImageRef imageFocus;
    uint8_t noBlink = 0;
    tx::skin::SkinString action;

  private:
    bool CanTakeFocus() const noexcept
    {
        return visible && !imageFocus.name.empty();
    }

    bool m_focus = false;
    bool m_blink = false;
    tx::ComPtr<IPictureSurface> m_surfaceNosel;
    tx::ComPtr<IPictureSurface> m_surfaceFocus;
};

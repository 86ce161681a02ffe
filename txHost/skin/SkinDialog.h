#pragma once
// CSkinDialog (skin tag "dialog"): the look of the skin manager's choice box. A
// definition only: kept in the skin model by id, never placed in a page or drawn as an
// element.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"

class CSkinDialog : public CSkinElement
{
  public:
    // The dialog's own attributes, then the sub-tag "button" that fills the button styles.
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    CSkinDialog() noexcept = default;

    HRESULT Clone(ISkinElement **clone) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    // Takes the fonts of style, style-nosel and style-focus from the font cache.
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    // dialog
    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rect;
    tx::skin::SkinHeader header;
    tx::skin::SkinStyle style;
    int32_t buttonTop = 0;
    tx::skin::SkinMargin margin;
    uint8_t rtlReading = 0;
    // button
    tx::skin::SkinPair buttonSize;
    tx::skin::SkinRectStyle rectNosel;
    tx::skin::SkinRectStyle rectFocus;
    tx::skin::SkinStyle styleNosel;
    tx::skin::SkinStyle styleFocus;
    tx::skin::SkinMargin buttonMargin;
    // fonts of the font cache (not owned)
    HFONT font = nullptr;
    HFONT fontNosel = nullptr;
    HFONT fontFocus = nullptr;
};

#pragma once
// CSkinSlider (tag "slider"): its attributes are read and kept (and cloned), but it draws
// nothing. Passive: it never takes the focus.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"

#include <cstddef>

class CSkinSlider : public CSkinElement
{
  public:
    CSkinSlider() noexcept = default;

    static const tx::skin::SkinAttrRow kAttributes[];
    static const size_t kAttributeCount;
    // The attribute parts of the tag for the skin loader's tag table (the rows above).
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinImageRef imageLeft;
    tx::skin::SkinImageRef imageRight;
    tx::skin::SkinImageRef imageMiddle;
    tx::skin::SkinImageRef imageMarkerNosel;
    tx::skin::SkinImageRef imageMarkerFocus;
    tx::skin::SkinImageRef imageMarkerPhantom;
};

// The creator of the tag "slider" for the skin loader's tag table.
HRESULT CreateSkinSliderElement(ISkinElement **element) noexcept;

// The slider element: kept, cloned and moved, never drawn.
#include "txHost/skin/SkinSlider.h"

#include "txHost/skin/SkinCreators.h"

using namespace tx::skin;

const SkinAttrRow CSkinSlider::kAttributes[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinSlider, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinSlider, size)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinSlider, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinSlider, id)},
    {L"image-left", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinSlider, imageLeft)},
    {L"image-right", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinSlider, imageRight)},
    {L"image-middle", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinSlider, imageMiddle)},
    {L"image-marker-nosel", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinSlider, imageMarkerNosel)},
    {L"image-marker-focus", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinSlider, imageMarkerFocus)},
    {L"image-marker-phantom", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinSlider, imageMarkerPhantom)},
};
const size_t CSkinSlider::kAttributeCount = sizeof(kAttributes) / sizeof(kAttributes[0]);
const SkinAttrPart CSkinSlider::kParts[] = {{nullptr, kAttributes, kAttributeCount, nullptr}};
const size_t CSkinSlider::kPartCount = 1;

HRESULT CreateSkinSliderElement(ISkinElement **element) noexcept
{
    return CreateSkinElementForTag<CSkinSlider>(element);
}

HRESULT CSkinSlider::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinSlider::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinSlider::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinSlider *>(target);
    other->pos = pos;
    other->size = size;
    other->imageLeft = imageLeft;
    other->imageRight = imageRight;
    other->imageMiddle = imageMiddle;
    other->imageMarkerNosel = imageMarkerNosel;
    other->imageMarkerFocus = imageMarkerFocus;
    other->imageMarkerPhantom = imageMarkerPhantom;
    return CSkinElement::CopyAttributesTo(target);
}

#include "txHost/skin/SkinDialog.h"

#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinCreators.h"

namespace
{

using namespace tx::skin;

const SkinAttrRow kDialogRows[] = {
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinDialog, id)},
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinDialog, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinDialog, size)},
    {L"rect", SKINATTR_RECT, TX_SKIN_FIELD(CSkinDialog, rect)},
    {L"header", SKINATTR_HEADER, TX_SKIN_FIELD(CSkinDialog, header)},
    {L"style", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinDialog, style)},
    {L"buttontop", SKINATTR_INT, TX_SKIN_FIELD(CSkinDialog, buttonTop)},
    {L"margin", SKINATTR_MARGIN, TX_SKIN_FIELD(CSkinDialog, margin)},
    {L"rtlreading", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinDialog, rtlReading)},
};

const SkinAttrRow kButtonRows[] = {
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinDialog, buttonSize)},
    {L"rect-nosel", SKINATTR_RECT, TX_SKIN_FIELD(CSkinDialog, rectNosel)},
    {L"rect-focus", SKINATTR_RECT, TX_SKIN_FIELD(CSkinDialog, rectFocus)},
    {L"style-nosel", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinDialog, styleNosel)},
    {L"style-focus", SKINATTR_STYLE, TX_SKIN_FIELD(CSkinDialog, styleFocus)},
    {L"margin", SKINATTR_MARGIN, TX_SKIN_FIELD(CSkinDialog, buttonMargin)},
};

} // namespace

const SkinAttrPart CSkinDialog::kParts[] = {
    {nullptr, kDialogRows, std::size(kDialogRows), nullptr},
    {L"button", kButtonRows, std::size(kButtonRows), nullptr},
};
const size_t CSkinDialog::kPartCount = std::size(CSkinDialog::kParts);

HRESULT CSkinDialog::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinDialog::CopyAttributesTo(CSkinElement *target)
{
    CSkinDialog *dialog = static_cast<CSkinDialog *>(target);
    dialog->pos = pos;
    dialog->size = size;
    dialog->rect = rect;
    dialog->header = header;
    dialog->style = style;
    dialog->buttonTop = buttonTop;
    dialog->margin = margin;
    dialog->rtlReading = rtlReading;
    dialog->buttonSize = buttonSize;
    dialog->rectNosel = rectNosel;
    dialog->rectFocus = rectFocus;
    dialog->styleNosel = styleNosel;
    dialog->styleFocus = styleFocus;
    dialog->buttonMargin = buttonMargin;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinDialog::ResolveResources(IOsd *, SkinFontCache *fonts, SkinImageCache *)
{
    if (!fonts)
        return S_OK;
    font = fonts->GetFont(style);
    fontNosel = fonts->GetFont(styleNosel);
    fontFocus = fonts->GetFont(styleFocus);
    return S_OK;
}

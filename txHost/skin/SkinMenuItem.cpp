// The menu item element.
#include "txHost/skin/SkinMenuItem.h"

#include <iterator>

using namespace tx::skin;

const SkinAttrRow CSkinMenuItem::kRows[] = {
    {L"nav", SKINATTR_STRING, TX_SKIN_FIELD(CSkinMenuItem, nav)},
    {L"data", SKINATTR_STRING, TX_SKIN_FIELD(CSkinMenuItem, data)},
    {L"keepselect", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinMenuItem, keepSelect)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinMenuItem, id)},
    {nullptr, SKINATTR_STRING, TX_SKIN_FIELD(CSkinMenuItem, text)},
    {L"action", SKINATTR_STRING, TX_SKIN_FIELD(CSkinMenuItem, action)},
};
const size_t CSkinMenuItem::kRowCount = std::size(CSkinMenuItem::kRows);

HRESULT CSkinMenuItem::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinMenuItem))
    {
        *ppv = &m_itemFace;
        AddRef();
        return S_OK;
    }
    return CSkinElement::QueryFace(riid, ppv);
}

HRESULT CSkinMenuItem::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinMenuItem *>(target);
    other->text = text;
    other->nav = nav;
    other->data = data;
    other->keepSelect = keepSelect;
    other->action = action;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinMenuItem::SetText(BSTR value)
{
    if (value && value == text.c_str())
        return S_OK;
    if (!value)
        text.clear();
    else
        text.assign(value, ::SysStringLen(value));
    return S_OK;
}

STDMETHODIMP CSkinMenuItem::ItemFace::SetText(BSTR value)
{
    return SkinGuard([&] { return static_cast<CSkinMenuItem *>(Owner())->SetText(value); });
}

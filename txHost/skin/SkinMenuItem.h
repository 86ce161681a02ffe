#pragma once
// CSkinMenuItem (the "item" children of "menu"): the data of one menu entry, drawn by its
// menu. Text, action, data and navigation texts and the keepselect flag.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinElement.h"

MIDL_INTERFACE("4E25F7D5-0024-49DC-BE7A-FC6D7506CE2A")
ISkinMenuItem : public ISkinElement
{
    // Slot 14: the item text becomes a copy of text (null empties it; the item's own
    // text pointer is a no-op). S_OK; E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE SetText(BSTR text) = 0;
};
__CRT_UUID_DECL(ISkinMenuItem, 0x4E25F7D5, 0x0024, 0x49DC, 0xBE, 0x7A, 0xFC, 0x6D, 0x75, 0x06, 0xCE, 0x2A)

class CSkinMenuItem : public CSkinElement
{
  public:
    // The rows of the "item" part of the menu tag; the menu's part names this class's
    // creator as the child creator.
    static const tx::skin::SkinAttrRow kRows[];
    static const size_t kRowCount;
    static HRESULT CreateForTag(ISkinElement **element) noexcept
    {
        return CreateSkinElementForTag<CSkinMenuItem>(element);
    }

    CSkinMenuItem() noexcept = default;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_itemFace;
    }
    HRESULT Clone(ISkinElement **clone) override
    {
        return CloneSkinElement(this, clone);
    }
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    HRESULT SetText(BSTR text);

    tx::skin::SkinString text;
    tx::skin::SkinString nav;
    tx::skin::SkinString data;
    uint8_t keepSelect = 0;
    tx::skin::SkinString action;

  private:
    class ItemFace final : public SkinElementFace<ISkinMenuItem>
    {
      public:
        using SkinElementFace<ISkinMenuItem>::SkinElementFace;
        STDMETHODIMP SetText(BSTR text) override;
    };

    ItemFace m_itemFace{this};
};

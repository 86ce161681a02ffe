#pragma once
// CSkinMenu (tag "menu"): a fixed grid of items from the skin, laid out column by column
// (MenuGrid), each drawn as a rounded cell with its text in the normal, chosen or focused
// look. The arrows move a cursor over the items; a selection reports the cursor item's
// action and remembers it as the chosen item.
#include "txHost/skin/MenuGeometry.h"
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinElement.h"
#include "txHost/skin/SkinMenuItem.h"

#include <vector>

struct ISkinStringTable;

MIDL_INTERFACE("549AFD7D-86E7-45F3-92A2-972FF65650C8")
ISkinMenu : public ISkinElement
{
    // Slot 14: index (clamped to the items) becomes both the cursor and the chosen item.
    // S_OK; an empty menu keeps nothing.
    virtual HRESULT STDMETHODCALLTYPE SetSelection(LONG index) = 0;
    // Slot 15: the chosen item when it has keepselect, else the cursor. E_POINTER.
    virtual HRESULT STDMETHODCALLTYPE GetSelection(LONG * index) = 0;
    // Slot 16: copies of the item's id, nav and data texts for each out argument given.
    // E_INVALIDARG for an index outside the items; E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE GetItem(LONG index, BSTR * id, BSTR * nav, BSTR * data) = 0;
    // Slot 17: the number of items. E_POINTER.
    virtual HRESULT STDMETHODCALLTYPE GetCount(LONG * count) = 0;
    // Slot 18: the text of the first item whose id equals itemId becomes stringId passed
    // through the attached text source. E_INVALIDARG when no item has that id.
    virtual HRESULT STDMETHODCALLTYPE SetItemText(BSTR itemId, BSTR stringId) = 0;
};
__CRT_UUID_DECL(ISkinMenu, 0x549AFD7D, 0x86E7, 0x45F3, 0x92, 0xA2, 0x97, 0x2F, 0xF6, 0x56, 0x50, 0xC8)

class CSkinMenu : public CSkinControlElement
{
  public:
    // The menu's own rows and the "item" part (child creator CSkinMenuItem), and its tag
    // creator.
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;
    static HRESULT CreateForTag(ISkinElement **element) noexcept
    {
        return CreateSkinElementForTag<CSkinMenu>(element);
    }

    CSkinMenu() noexcept = default;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_menuFace;
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
    // Appends an item (a CSkinMenuItem) with a reference; E_INVALIDARG for anything else.
    HRESULT AddChild(ISkinElement *child, CSkinElement *childObject) override;
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    // An empty menu cannot take the focus and has no command (GetCommand S_FALSE).
    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT Navigate(LONG direction, BOOL *used) override;
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;
    HRESULT JumpToDigit(LONG digit) override;

    HRESULT SetSelection(LONG index);
    HRESULT GetSelection(LONG *index);
    HRESULT GetItem(LONG index, BSTR *itemId, BSTR *nav, BSTR *data);
    HRESULT GetCount(LONG *count);
    HRESULT SetItemText(BSTR itemId, BSTR stringId);

    tx::skin::MenuGrid Grid() const noexcept;
    LONG Cursor() const noexcept
    {
        return m_cursor;
    }
    LONG Chosen() const noexcept
    {
        return m_chosen;
    }
    bool HasFocus() const noexcept
    {
        return m_focus;
    }
    bool IsFlashing() const noexcept
    {
        return m_flash;
    }
    CSkinMenuItem *Item(size_t index) const noexcept
    {
        return index < m_items.size() ? m_items[index].object : nullptr;
    }

    // Attribute fields.
    tx::skin::SkinPair pos;  // the first item's top-left corner
    tx::skin::SkinPair size; // one cell
    tx::skin::SkinMargin margin;
    tx::skin::SkinRectStyle rectSel;
    tx::skin::SkinRectStyle rectNosel;
    tx::skin::SkinRectStyle rectFocus;
    tx::skin::SkinStyle styleSel;
    tx::skin::SkinStyle styleNosel;
    tx::skin::SkinStyle styleFocus;
    int32_t align = 0;
    uint8_t rtlReading = 0;
    int32_t lineSpace = 0;
    int32_t menuStyle = 0; // 1: square left corners
    int32_t col = 1;
    int32_t colSpace = 0;

  protected:
    ~CSkinMenu() override;

  private:
    struct ItemEntry
    {
        ISkinElement *element; // one reference
        CSkinMenuItem *object;
    };
    class MenuFace final : public SkinElementFace<ISkinMenu>
    {
      public:
        using SkinElementFace<ISkinMenu>::SkinElementFace;
        STDMETHODIMP SetSelection(LONG index) override;
        STDMETHODIMP GetSelection(LONG *index) override;
        STDMETHODIMP GetItem(LONG index, BSTR *itemId, BSTR *nav, BSTR *data) override;
        STDMETHODIMP GetCount(LONG *count) override;
        STDMETHODIMP SetItemText(BSTR itemId, BSTR stringId) override;
    };

    HRESULT DrawItem(IOsd *osd, HDC dc, size_t index);

    MenuFace m_menuFace{this};
    std::vector<ItemEntry> m_items;
    LONG m_cursor = 0;
    LONG m_chosen = 0;
    bool m_focus = false;
    bool m_flash = false;
    HFONT m_fontSel = nullptr; // owned by the skin's font cache
    HFONT m_fontNosel = nullptr;
    HFONT m_fontFocus = nullptr;
    ISkinStringTable *m_textSource = nullptr; // one reference
};

#pragma once
// CSkinList (tag "list"): a scrolling grid of rows that a page controller fills at run
// time. Each row has a text, up to two images named by the ids of the list's "img"
// children, a sort key and a number handed back when the row is selected or activated.
// Draws its frame, row backgrounds, texts, images and, when the rows do not fit, a scroll
// bar; takes part in the page's focus movement through ISkinControl.
#include "comkit/ComPtr.h"
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinElement.h"
#include "txHost/skin/SkinListImg.h"
#include "txHost/skin/SkinListModel.h"

#include <vector>

// The rows of a list. Thread and string ownership as ISkinElement: texts passed in are
// copied; texts handed out are new BSTRs owned by the caller.
MIDL_INTERFACE("8DF65BC6-6030-40C5-B766-3AFC365816B0")
ISkinList : public ISkinElement
{
    // Slot 14: adds a row (null texts are empty), placed by the list's sort order. S_OK,
    // also when a distinct list drops a row equal to an existing one; E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE AddItem(BSTR text, BSTR key, LONG data, BSTR image1, BSTR image2) = 0;
    // Slot 15: removes every row; selection, top and the animations return to 0. S_OK.
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
    // Slot 16: the first shown row and the selected row. S_OK; null out values are skipped.
    virtual HRESULT STDMETHODCALLTYPE GetPosition(LONG * top, LONG * selection) = 0;
    // Slot 17: stores top and selection, clamped to the rows (top to a grid row's first
    // item, the selection shown). S_OK.
    virtual HRESULT STDMETHODCALLTYPE SetPosition(LONG top, LONG selection) = 0;
    // Slot 18: the number of row index. E_INVALIDARG (data untouched) when index is not a
    // row; E_POINTER.
    virtual HRESULT STDMETHODCALLTYPE GetItemData(LONG index, LONG * data) = 0;
    // Slot 19: a copy of the nav attribute. E_POINTER, E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE GetNav(BSTR * text) = 0;
    // Slot 20: the number of rows. E_POINTER.
    virtual HRESULT STDMETHODCALLTYPE GetCount(LONG * count) = 0;
};
__CRT_UUID_DECL(ISkinList, 0x8DF65BC6, 0x6030, 0x40C5, 0xB7, 0x66, 0x3A, 0xFC, 0x36, 0x58, 0x16, 0xB0)

// One row of a list.
struct SkinListItem
{
    tx::skin::SkinString image1;
    tx::skin::SkinString image2;
    tx::skin::SkinString text;
    tx::skin::SkinString key;
    LONG data = 0;
};

// The look of one row kind (sel, nosel, focus).
struct SkinListRowLook
{
    tx::skin::SkinStyle style;
    tx::skin::SkinRectStyle rect;
};

class CSkinList : public CSkinControlElement
{
  public:
    // The attribute parts of the tag: the list's own rows, the sub-tags sel, nosel and
    // focus, and the child tag img (made by CSkinListImg::CreateForTag). The tag creator.
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;
    static HRESULT CreateForTag(ISkinElement **element) noexcept
    {
        return CreateSkinElementForTag<CSkinList>(element);
    }

    CSkinList() noexcept = default;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_listFace;
    }

    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override
    {
        return CloneSkinElement(this, clone);
    }
    HRESULT Relayout(LONG delta) override;
    HRESULT Animate(BOOL *redraw) override;
    HRESULT ResetAnimation() override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    // Takes img children only (E_INVALIDARG for other classes).
    HRESULT AddChild(ISkinElement *child, CSkinElement *childObject) override;
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT Navigate(LONG direction, BOOL *used) override;
    // Without activate: S_OK with the id, the selected row's number (as first) and the
    // action; second untouched, data an empty string. With activate: S_FALSE while the
    // focus sits on the scroll bar or the repeat lock refuses, else the same and a flash.
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;
    // S_FALSE when the whole list fits; E_INVALIDARG for a digit outside 0-9.
    HRESULT JumpToDigit(LONG digit) override;

    // ISkinList (the face forwards here).
    HRESULT AddItem(const wchar_t *text, const wchar_t *key, LONG data, const wchar_t *image1, const wchar_t *image2);
    HRESULT ClearItems();
    HRESULT GetPosition(LONG *top, LONG *selection);
    HRESULT SetPosition(LONG top, LONG selection);
    HRESULT GetItemData(LONG index, LONG *data);
    HRESULT GetNav(BSTR *text);
    HRESULT GetCount(LONG *count);

    // The order of row texts and keys (CompareSkinStrings: the user's locale, ignoring case).
    // Tests that need a fixed order install their own; null restores the default.
    static void SetTextCompare(tx::skin::SkinTextCompare compare) noexcept;

    const tx::skin::SkinListLayout &Layout() const noexcept
    {
        return m_layout;
    }
    const tx::skin::SkinListCursor &Cursor() const noexcept
    {
        return m_cursor;
    }
    const std::vector<SkinListItem> &Items() const noexcept
    {
        return m_items;
    }
    bool Flashing() const noexcept
    {
        return m_flash;
    }
    size_t ImageCount() const noexcept
    {
        return m_images.size();
    }

    // Attribute fields.
    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rect;
    tx::skin::SkinMargin margin;
    int32_t height = 0;
    int32_t align = 0; // 0 left, 1 right, 2 centre
    uint8_t rtlReading = 0;
    int32_t col = 1;
    int32_t colSpace = 0;
    int32_t lineSpace = 0;
    tx::skin::SkinPair img1Pos;
    tx::skin::SkinPair img2Pos;
    tx::skin::SkinRectStyle rectScrollBack;
    tx::skin::SkinRectStyle rectScrollNosel;
    tx::skin::SkinRectStyle rectScrollFocus;
    int32_t scrollWidth = 0;
    int32_t sort = 0;
    uint8_t distinct = 0;
    tx::skin::SkinString nav;
    tx::skin::SkinString action;
    SkinListRowLook sel;
    SkinListRowLook nosel;
    SkinListRowLook focus;

  protected:
    ~CSkinList() override = default;

  private:
    class ListFace final : public SkinElementFace<ISkinList>
    {
      public:
        using SkinElementFace<ISkinList>::SkinElementFace;
        STDMETHODIMP AddItem(BSTR text, BSTR key, LONG data, BSTR image1, BSTR image2) override;
        STDMETHODIMP Clear() override;
        STDMETHODIMP GetPosition(LONG *top, LONG *selection) override;
        STDMETHODIMP SetPosition(LONG top, LONG selection) override;
        STDMETHODIMP GetItemData(LONG index, LONG *data) override;
        STDMETHODIMP GetNav(BSTR *text) override;
        STDMETHODIMP GetCount(LONG *count) override;

      private:
        CSkinList *List() const noexcept
        {
            return static_cast<CSkinList *>(Owner());
        }
    };

    // Recomputes the layout and the cursor's shape from the attributes and the rows.
    void UpdateShape() noexcept;
    HRESULT DrawList(IOsd *osd) noexcept;
    HRESULT DrawImage(IOsd *osd, const tx::skin::SkinString &imageId, int x, int y, int width) noexcept;

    ListFace m_listFace{this};
    std::vector<SkinListItem> m_items;
    std::vector<tx::ComPtr<ISkinElement>> m_imageRefs; // the img children, in document order
    std::vector<CSkinListImg *> m_images;              // their objects (kept alive by m_imageRefs)
    tx::skin::SkinListLayout m_layout;
    tx::skin::SkinListCursor m_cursor;
    bool m_flash = false;
    HFONT m_fontSel = nullptr; // owned by the skin's font cache
    HFONT m_fontNosel = nullptr;
    HFONT m_fontFocus = nullptr;
};

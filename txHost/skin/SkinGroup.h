#pragma once
// CSkinGroup (skin tag "group"): an ordered list of child elements that it draws in
// document order and among whose focusable children it moves the input focus. The root
// of every page is a group too; it knows its page (for the controller) and the page size
// (for wrap-around of focus moves).
//
// Focus moves: ordered along the group's axis (top to bottom with ver, else left to
// right; both with overlap), otherwise spatially by the nearest anchor point with the
// cross-axis distance weighted 0.1.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"

#include <vector>

class CSkinPage;
class CSkinManager;
struct IHost;
struct IHostCollection;
struct IPage;

// Reads the data text of item index of a menu element: S_OK with *data (caller frees),
// a failure past the last item, E_NOINTERFACE when element is not a menu. The default
// asks ISkinMenu; tests install their own (null restores the default).
using SkinMenuItemDataReader = HRESULT (*)(ISkinElement *element, LONG index, BSTR *data) noexcept;
void SetSkinMenuItemDataReader(SkinMenuItemDataReader reader) noexcept;

// Splits a menu item's data text into the name part (first) and the path part (second)
// of the collection filter: "a/b" gives b and a; "a/[b]", and a text without "/", go whole
// into the first part; a text beginning with "[" or "/" goes whole into the second.
void SplitMenuFilterData(const std::wstring &data, std::wstring &first, std::wstring &second);

class CSkinGroup : public CSkinControlElement
{
  public:
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    CSkinGroup() noexcept = default;

    // Appends a child (one reference taken) with its id; childGroup is the child's own
    // group object when the child is a group. E_OUTOFMEMORY (reference dropped).
    HRESULT AddGroupChild(ISkinElement *child, CSkinGroup *childGroup) noexcept;
    // Appends a focusable child's ISkinControl (one reference): the order focus moves in.
    HRESULT AddFocusable(ISkinControl *control) noexcept;

    HRESULT SetFocusById(const wchar_t *id) noexcept;
    HRESULT FocusFirst() noexcept;
    void NotifySelection() noexcept;
    // Activates the focused child: its command, a redraw, the page's program and
    // OnCommand. References to everything it calls are held across the calls, since the
    // host's program pumps messages.
    void ActivateFocused(CSkinManager *manager, IHost *host, LONG value) noexcept;
    void MoveFocusInPage(LONG direction) noexcept;
    HRESULT RegisterMenuFilters(IHostCollection *collection) noexcept;

    // CSkinElement
    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Attach(IUnknown *source, LONG_PTR value) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT Animate(BOOL *redraw) override;
    HRESULT ResetAnimation() override;
    HRESULT ReleaseResources() override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;
    ULONG GroupChildCount() const noexcept override
    {
        return static_cast<ULONG>(m_children.size());
    }
    CSkinElement *GroupChild(ULONG index) noexcept override;

    // CSkinControlElement
    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT Navigate(LONG direction, BOOL *used) override;
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;
    HRESULT JumpToDigit(LONG digit) override;

    size_t FocusableCount() const noexcept
    {
        return m_focusable.size();
    }
    LONG FocusIndex() const noexcept
    {
        return m_focusIndex;
    }
    ISkinControl *FocusedChild() const noexcept
    {
        return m_focusIndex >= 0 ? m_focusable[static_cast<size_t>(m_focusIndex)].Get() : nullptr;
    }
    void SetPage(CSkinPage *page, LONG width, LONG height) noexcept
    {
        m_page = page;
        m_pageWidth = width;
        m_pageHeight = height;
    }

    // attributes
    uint8_t ver = 0;
    uint8_t overlap = 0;

  private:
    struct Child
    {
        tx::skin::SkinString id;
        tx::ComPtr<ISkinElement> element;
        CSkinGroup *group = nullptr; // the child's own object when it is a group
    };

    HRESULT ChooseSpatially(LONG direction, LONG x, LONG y) noexcept;
    HRESULT SetFocusByIdWalk(const wchar_t *id, tx::ComPtr<ISkinControl> &taker) noexcept;
    IPage *PageController() const noexcept;

    std::vector<Child> m_children;
    std::vector<tx::ComPtr<ISkinControl>> m_focusable;
    LONG m_focusIndex = -1;
    LONG m_pageWidth = 0;
    LONG m_pageHeight = 0;
    CSkinPage *m_page = nullptr;
};

#pragma once
// Stand-ins for the element classes of the skin tags that are not built yet (image, rect,
// blockrect, slider, text, button, buttonimg, menu, list, epg, pic), so that a whole skin
// loads, lays out, takes the focus and shows something recognisable. Each reads the
// common attributes (pos, size, resize, id) and the few it draws with:
//  - shapes: `rect` (a filled, bordered rectangle);
//  - controls: `rect-nosel`, `rect-focus`, `style` / `style-nosel` / `style-focus`,
//    `align`, `action`, `data` and the element text (passed through the string table);
//    a menu's `item` children become rows that the cursor moves over.
// The real classes replace them row by row in the skin loader's tag table.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"

#include <vector>

class CSkinStandinShape : public CSkinElement
{
  public:
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rect;
};

class CSkinStandinControl : public CSkinControlElement
{
  public:
    static const SkinAttrPart kTextParts[];  // with the element text
    static const SkinAttrPart kPlainParts[]; // without it
    static const SkinAttrPart kMenuParts[];  // with `item` rows
    static const size_t kTextPartCount;
    static const size_t kPlainPartCount;
    static const size_t kMenuPartCount;

    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Attach(IUnknown *source, LONG_PTR value) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    HRESULT AddChild(ISkinElement *child, CSkinElement *childObject) override;
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT Navigate(LONG direction, BOOL *used) override;
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;

    bool Focused() const noexcept
    {
        return m_focused;
    }
    LONG Cursor() const noexcept
    {
        return m_cursor;
    }

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rectNosel;
    tx::skin::SkinRectStyle rectFocus;
    tx::skin::SkinStyle style;
    tx::skin::SkinStyle styleNosel;
    tx::skin::SkinStyle styleFocus;
    int32_t align = 0;
    int32_t lineSpace = 0;
    tx::skin::SkinString action;
    tx::skin::SkinString data;
    tx::skin::SkinString text;

  private:
    struct Row
    {
        tx::skin::SkinString text, action, data, id;
    };
    void DrawCell(IOsd *osd, const RECT &cell, const tx::skin::SkinRectStyle &frame, HFONT font, COLORREF colour,
                  const tx::skin::SkinString &caption) noexcept;
    RECT CellRect(LONG index) const noexcept;

    std::vector<Row> m_rows;
    tx::ComPtr<IUnknown> m_strings;
    HFONT m_font = nullptr;
    HFONT m_fontNosel = nullptr;
    HFONT m_fontFocus = nullptr;
    bool m_focused = false;
    LONG m_cursor = 0;
};

// A menu's `item` while it is being loaded: its attributes, read by the menu stand-in.
class CSkinStandinItem : public CSkinElement
{
  public:
    static const tx::skin::SkinAttrRow kRows[];
    static const size_t kRowCount;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;

    tx::skin::SkinString text;
    tx::skin::SkinString action;
    tx::skin::SkinString data;
};

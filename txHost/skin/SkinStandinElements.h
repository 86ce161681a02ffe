#pragma once
// A stand-in for the element classes of the skin tags "epg" and "pic", which are not
// built yet, so that skins using them load, lay out and take the focus. It reads the
// common attributes (pos, size, resize, id) and the frames `rect-nosel` and `rect-focus`,
// draws the frame of its state, and reports its id as its command. The real classes
// replace it in the skin loader's tag table.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"

class CSkinStandinControl : public CSkinControlElement
{
  public:
    static const SkinAttrPart kPlainParts[];
    static const size_t kPlainPartCount;

    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;

    HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
    HRESULT SetFocus(LONG direction, LONG x, LONG y) override;
    HRESULT GetCenter(LONG *x, LONG *y) override;
    HRESULT KillFocus() override;
    HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rectNosel;
    tx::skin::SkinRectStyle rectFocus;

  private:
    bool m_focused = false;
};

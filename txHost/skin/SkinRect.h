#pragma once
// CSkinRect (tag "rect"), one rounded rectangle, and CSkinBlockRect (tag "blockrect"), a row
// of equal rounded blocks. Both serve as bars whose length (width) the status indicators
// set through ISkinRect or ISkinBlockRect. Passive: they never take the focus. They draw in
// palette form (see SkinPaletteDraw.h).
//
// Thread: the skin manager's callers, under the skin lock (drawing also under the OSD lock).
// Strings handed out are new BSTRs owned by the caller; strings passed in stay the caller's.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"

#include <cstddef>

MIDL_INTERFACE("52C2A998-772A-47CC-8AFF-103451F1CEF9")
ISkinRect : public ISkinElement
{
    // Slot 14: sets the width. Slot 15: the width; E_POINTER. S_OK.
    virtual HRESULT STDMETHODCALLTYPE SetLength(LONG length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLength(LONG * length) = 0;
};
__CRT_UUID_DECL(ISkinRect, 0x52C2A998, 0x772A, 0x47CC, 0x8A, 0xFF, 0x10, 0x34, 0x51, 0xF1, 0xCE, 0xF9)

MIDL_INTERFACE("029A918F-65B1-42DD-83EE-D308FD74591D")
ISkinBlockRect : public ISkinElement
{
    // Slot 14: sets the width. Slot 15: the width; E_POINTER. S_OK.
    virtual HRESULT STDMETHODCALLTYPE SetLength(LONG length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLength(LONG * length) = 0;
};
__CRT_UUID_DECL(ISkinBlockRect, 0x029A918F, 0x65B1, 0x42DD, 0x83, 0xEE, 0xD3, 0x08, 0xFD, 0x74, 0x59, 0x1D)

// The face of a bar interface I (ISkinRect or ISkinBlockRect) over an element with a
// public size.a (the width).
template <class I, class Owner> class SkinBarFace final : public SkinElementFace<I>
{
  public:
    explicit SkinBarFace(Owner *owner) noexcept : SkinElementFace<I>(owner), m_bar(owner)
    {
    }
    STDMETHODIMP SetLength(LONG length) override
    {
        m_bar->size.a = length;
        return S_OK;
    }
    STDMETHODIMP GetLength(LONG *length) override
    {
        if (!length)
            return E_POINTER;
        *length = m_bar->size.a;
        return S_OK;
    }

  private:
    Owner *m_bar;
};

class CSkinRect : public CSkinElement
{
  public:
    CSkinRect() noexcept = default;

    static const tx::skin::SkinAttrRow kAttributes[];
    static const size_t kAttributeCount;
    // The attribute parts of the tag for the skin loader's tag table (the rows above).
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_face;
    }
    // Draws the rectangle; the palette's error (nothing drawn) when a colour has no index.
    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rect;

  private:
    SkinBarFace<ISkinRect, CSkinRect> m_face{this};
};

class CSkinBlockRect : public CSkinElement
{
  public:
    CSkinBlockRect() noexcept = default;

    static const tx::skin::SkinAttrRow kAttributes[];
    static const size_t kAttributeCount;
    // The attribute parts of the tag for the skin loader's tag table (the rows above).
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_face;
    }
    // Draws the blocks that end left of the right edge; at most one when itemwidth +
    // itemspace does not advance. The palette's error (nothing drawn) as for rect.
    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rect;
    int32_t itemwidth = 0;
    int32_t itemspace = 0;

  private:
    SkinBarFace<ISkinBlockRect, CSkinBlockRect> m_face{this};
};

// Creators of the tags "rect" and "blockrect" for the skin loader's tag table.
HRESULT CreateSkinRectElement(ISkinElement **element) noexcept;
HRESULT CreateSkinBlockRectElement(ISkinElement **element) noexcept;

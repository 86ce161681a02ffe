#pragma once
// CSkinImage (tag "image"): a picture scaled into the element's rectangle, optionally
// keeping its aspect ratio. Passive: it never takes the focus. Pages change the picture
// through ISkinImage.
//
// Thread: the skin manager's callers, under the skin lock (drawing also under the OSD lock).
// Strings handed out are new BSTRs owned by the caller; strings passed in stay the caller's.
#include "comkit/ComPtr.h"
#include "txHost/skin/PictureSurface.h"
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinElement.h"

#include <cstddef>

MIDL_INTERFACE("ECA8D78E-7D10-4450-9F07-5D159FB15154")
ISkinImage : public ISkinElement
{
    // Slot 14: releases the current picture and loads the file at path (full path) in
    // its place. The loader's error leaves the element without a picture. The skin's own
    // picture comes back when the skin is resolved again.
    virtual HRESULT STDMETHODCALLTYPE SetPicture(BSTR path) = 0;
};
__CRT_UUID_DECL(ISkinImage, 0xECA8D78E, 0x7D10, 0x4450, 0x9F, 0x07, 0x5D, 0x15, 0x9F, 0xB1, 0x51, 0x54)

class CSkinImage : public CSkinElement
{
  public:
    CSkinImage() noexcept = default;

    static const tx::skin::SkinAttrRow kAttributes[];
    static const size_t kAttributeCount;
    // The attribute parts of the tag for the skin loader's tag table (the rows above).
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;

    // Loads a picture file for SetPicture (a seam for tests; LoadPictureSurface by
    // default, null restores it).
    using PictureLoader = HRESULT (*)(const wchar_t *path, IPictureSurface **surface) noexcept;
    static void SetPictureLoader(PictureLoader loader) noexcept;

    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinElement *ElementFace() noexcept override
    {
        return &m_face;
    }
    // Fills the rectangle with src's premultiplied colour and scales the picture into it
    // (or into the centred part that keeps its aspect); the first error met.
    HRESULT Draw(IOsd *osd) override;
    HRESULT Clone(ISkinElement **clone) override;
    HRESULT Relayout(LONG delta) override;
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    // Takes src's picture from the skin's image cache. E_FAIL when src names no image; a
    // name the cache cannot load leaves the element without a picture (S_OK).
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    HRESULT SetPicture(BSTR path);
    IPictureSurface *Picture() const noexcept
    {
        return m_picture.Get();
    }

    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinImageRef src;
    uint8_t keepaspect = 0;

  private:
    class ImageFace final : public SkinElementFace<ISkinImage>
    {
      public:
        explicit ImageFace(CSkinImage *owner) noexcept : SkinElementFace<ISkinImage>(owner), m_image(owner)
        {
        }
        STDMETHODIMP SetPicture(BSTR path) override
        {
            return SkinGuard([&] { return m_image->SetPicture(path); });
        }

      private:
        CSkinImage *m_image;
    };

    ImageFace m_face{this};
    tx::ComPtr<IPictureSurface> m_picture;
};

// The creator of the tag "image" for the skin loader's tag table.
HRESULT CreateSkinImageElement(ISkinElement **element) noexcept;

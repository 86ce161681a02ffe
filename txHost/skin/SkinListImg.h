#pragma once
// CSkinListImg (tag "img" inside a "list"): binds an id to an image of the skin so that
// the list's rows can name their images by id. Never drawn by itself.
#include "comkit/ComPtr.h"
#include "txHost/skin/PictureSurface.h"
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinElement.h"

class CSkinListImg : public CSkinElement
{
  public:
    // The attribute rows of the tag (id, src, resize), its part and its tag creator.
    static const tx::skin::SkinAttrRow kRows[];
    static constexpr size_t kRowCount = 3;
    static const SkinAttrPart kParts[];
    static const size_t kPartCount;
    static HRESULT CreateForTag(ISkinElement **element) noexcept
    {
        return CreateSkinElementForTag<CSkinListImg>(element);
    }

    CSkinListImg() noexcept = default;

    HRESULT Clone(ISkinElement **clone) override
    {
        return CloneSkinElement(this, clone);
    }
    HRESULT CopyAttributesTo(CSkinElement *target) override;
    // The image is bound by the owning list (BindImage), not here: S_OK doing nothing.
    HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images) override;

    // Drops the earlier image and looks src up in images; an image the skin lacks leaves
    // none bound (rows naming this id then draw no image). Returns the lookup's result.
    HRESULT BindImage(tx::skin::SkinImageCache *images) noexcept;
    // The bound image, or null; no reference.
    IPictureSurface *Image() const noexcept
    {
        return m_image.Get();
    }

    tx::skin::SkinImageRef src;

  protected:
    ~CSkinListImg() override = default;

  private:
    tx::ComPtr<IPictureSurface> m_image;
};

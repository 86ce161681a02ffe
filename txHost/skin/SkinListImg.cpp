// The list image element: an id bound to a skin image.
#include "txHost/skin/SkinListImg.h"

#include "txHost/skin/SkinCaches.h"

using namespace tx::skin;

const SkinAttrRow CSkinListImg::kRows[] = {
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinListImg, id)},
    {L"src", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinListImg, src)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinListImg, resize)},
};
static_assert(std::size(CSkinListImg::kRows) == CSkinListImg::kRowCount);

const SkinAttrPart CSkinListImg::kParts[] = {{nullptr, kRows, kRowCount, nullptr}};
const size_t CSkinListImg::kPartCount = std::size(CSkinListImg::kParts);

HRESULT CSkinListImg::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    static_cast<CSkinListImg *>(target)->src = src;
    return CSkinElement::CopyAttributesTo(target);
}

HRESULT CSkinListImg::ResolveResources(IOsd *, SkinFontCache *, SkinImageCache *)
{
    return S_OK;
}

HRESULT CSkinListImg::BindImage(SkinImageCache *images) noexcept
{
    m_image.Reset();
    if (!images || src.name.empty())
        return S_FALSE;
    tx::ComPtr<IPictureSurface> image;
    HRESULT hr = images->GetImage(src.name.c_str(), image.GetAddressOf());
    if (FAILED(hr))
        return hr;
    m_image = std::move(image);
    return S_OK;
}

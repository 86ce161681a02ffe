// The image element.
#include "txHost/skin/SkinImage.h"

#include "comkit/HResult.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinPaletteDraw.h"
#include "txHost/skin/SkinShapeGeometry.h"

#include <atomic>

using namespace tx::skin;

namespace
{

std::atomic<CSkinImage::PictureLoader> g_pictureLoader{&LoadPictureSurface};

} // namespace

const SkinAttrRow CSkinImage::kAttributes[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinImage, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinImage, size)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinImage, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinImage, id)},
    {L"src", SKINATTR_IMAGE, TX_SKIN_FIELD(CSkinImage, src)},
    {L"keepaspect", SKINATTR_BOOL, TX_SKIN_FIELD(CSkinImage, keepaspect)},
};
const size_t CSkinImage::kAttributeCount = sizeof(kAttributes) / sizeof(kAttributes[0]);
const SkinAttrPart CSkinImage::kParts[] = {{nullptr, kAttributes, kAttributeCount, nullptr}};
const size_t CSkinImage::kPartCount = 1;

HRESULT CreateSkinImageElement(ISkinElement **element) noexcept
{
    return CreateSkinElementForTag<CSkinImage>(element);
}

void CSkinImage::SetPictureLoader(PictureLoader loader) noexcept
{
    g_pictureLoader = loader ? loader : &LoadPictureSurface;
}

HRESULT CSkinImage::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinImage))
    {
        *ppv = static_cast<ISkinImage *>(&m_face);
        AddRef();
        return S_OK;
    }
    return CSkinElement::QueryFace(riid, ppv);
}

HRESULT CSkinImage::SetPicture(BSTR path)
{
    m_picture.Reset();
    HRESULT hr = g_pictureLoader.load()(path ? path : L"", m_picture.GetAddressOf());
    if (FAILED(hr))
    {
        m_picture.Reset();
        tx::LogFailure(hr, L"Failed to load the picture of an image element");
    }
    return hr;
}

HRESULT CSkinImage::ResolveResources(IOsd *, SkinFontCache *, SkinImageCache *images)
{
    m_picture.Reset();
    if (src.name.empty())
        return E_FAIL;
    if (!images)
        return E_POINTER;
    tx::ComPtr<IPictureSurface> picture;
    if (SUCCEEDED(images->GetImage(src.name.c_str(), picture.GetAddressOf())))
        m_picture = std::move(picture);
    return S_OK; // an unknown image leaves the element without a picture
}

HRESULT CSkinImage::Draw(IOsd *osd)
{
    if (!osd)
        return E_POINTER;
    const COLORREF background = PremultiplySkinColour(src.key);
    HDC dc = nullptr;
    HRESULT hr = osd->GetScratchDC(&dc);
    if (SUCCEEDED(hr) && !dc)
        hr = E_FAIL;
    if (SUCCEEDED(hr))
        FillScratchRect(dc, pos.a, pos.b, size.a, size.b, background);
    if (!m_picture)
        return hr;
    if (FAILED(hr))
        return hr;

    LONG sw = 0;
    LONG sh = 0;
    hr = m_picture->GetSize(&sw, &sh);
    if (FAILED(hr))
        return hr;
    double factor = 1.0;
    if (FAILED(osd->GetFactor(&factor)))
        factor = 1.0;
    const SkinBox target = FitPictureBox({pos.a, pos.b, size.a, size.b}, sw, sh, keepaspect != 0, factor);
    if (target.w <= 0 || target.h <= 0 || sw <= 0 || sh <= 0)
        return S_OK; // nothing to show
    hr = osd->RunTransform(m_picture.Get(), target.x, target.y, target.w, target.h, sw, sh);
    if (FAILED(hr))
        return hr;
    return osd->CopyFromScratch(target.x, target.y, target.w, target.h, FALSE, TRUE, src.key != 0, DibKey(background));
}

HRESULT CSkinImage::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinImage::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinImage::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinImage *>(target);
    other->pos = pos;
    other->size = size;
    other->src = src;
    other->keepaspect = keepaspect;
    return CSkinElement::CopyAttributesTo(target);
}

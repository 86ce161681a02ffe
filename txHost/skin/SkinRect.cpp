// The rect and blockrect elements: rounded rectangles drawn in palette form.
#include "txHost/skin/SkinRect.h"

#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinPaletteDraw.h"
#include "txHost/skin/SkinShapeGeometry.h"

using namespace tx::skin;

namespace
{

// The part both classes share: indexes, the cleared area, the shapes, the palette-mode
// copy. drawShapes draws with the selected pen and brush.
template <class DrawShapes>
HRESULT DrawPaletteShapes(IOsd *osd, const SkinPair &pos, const SkinPair &size, const SkinRectStyle &style,
                          DrawShapes &&drawShapes)
{
    if (!osd)
        return E_POINTER;
    HDC dc = nullptr;
    HRESULT hr = osd->GetScratchDC(&dc);
    if (FAILED(hr))
        return hr;
    if (!dc)
        return E_FAIL;
    BYTE fill = 0;
    BYTE border = 0;
    hr = GetRectStyleIndexes(osd, style, &fill, &border);
    if (FAILED(hr))
        return hr;
    const LONG bw = style.borderWidth;
    const LONG left = pos.a - bw;
    const LONG top = pos.b - bw;
    const LONG width = size.a + 2 * bw;
    const LONG height = size.b + 2 * bw;
    // Colour 0 around the shape is the copy's key: only what the shape covers reaches the OSD.
    FillScratchRect(dc, left, top, width, height, 0);
    drawShapes(dc, fill, border);
    return osd->CopyFromScratch(left, top, width, height, TRUE, FALSE, TRUE, 0);
}

} // namespace

// ---- rect ----

const SkinAttrRow CSkinRect::kAttributes[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinRect, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinRect, size)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinRect, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinRect, id)},
    {L"rect", SKINATTR_RECT, TX_SKIN_FIELD(CSkinRect, rect)},
};
const size_t CSkinRect::kAttributeCount = sizeof(kAttributes) / sizeof(kAttributes[0]);
const SkinAttrPart CSkinRect::kParts[] = {{nullptr, kAttributes, kAttributeCount, nullptr}};
const size_t CSkinRect::kPartCount = 1;

HRESULT CreateSkinRectElement(ISkinElement **element) noexcept
{
    return CreateSkinElementForTag<CSkinRect>(element);
}

HRESULT CSkinRect::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinRect))
    {
        *ppv = static_cast<ISkinRect *>(&m_face);
        AddRef();
        return S_OK;
    }
    return CSkinElement::QueryFace(riid, ppv);
}

HRESULT CSkinRect::Draw(IOsd *osd)
{
    return DrawPaletteShapes(osd, pos, size, rect, [&](HDC dc, BYTE fill, BYTE border) {
        DrawIndexRoundRect(dc, pos.a, pos.b, pos.a + size.a, pos.b + size.b, rect, fill, border);
    });
}

HRESULT CSkinRect::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinRect::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinRect::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinRect *>(target);
    other->pos = pos;
    other->size = size;
    other->rect = rect;
    return CSkinElement::CopyAttributesTo(target);
}

// ---- blockrect ----

const SkinAttrRow CSkinBlockRect::kAttributes[] = {
    {L"pos", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinBlockRect, pos)},
    {L"size", SKINATTR_PAIR, TX_SKIN_FIELD(CSkinBlockRect, size)},
    {L"resize", SKINATTR_RESIZE, TX_SKIN_FIELD(CSkinBlockRect, resize)},
    {L"id", SKINATTR_STRING, TX_SKIN_FIELD(CSkinBlockRect, id)},
    {L"rect", SKINATTR_RECT, TX_SKIN_FIELD(CSkinBlockRect, rect)},
    {L"itemwidth", SKINATTR_INT, TX_SKIN_FIELD(CSkinBlockRect, itemwidth)},
    {L"itemspace", SKINATTR_INT, TX_SKIN_FIELD(CSkinBlockRect, itemspace)},
};
const size_t CSkinBlockRect::kAttributeCount = sizeof(kAttributes) / sizeof(kAttributes[0]);
const SkinAttrPart CSkinBlockRect::kParts[] = {{nullptr, kAttributes, kAttributeCount, nullptr}};
const size_t CSkinBlockRect::kPartCount = 1;

HRESULT CreateSkinBlockRectElement(ISkinElement **element) noexcept
{
    return CreateSkinElementForTag<CSkinBlockRect>(element);
}

HRESULT CSkinBlockRect::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinBlockRect))
    {
        *ppv = static_cast<ISkinBlockRect *>(&m_face);
        AddRef();
        return S_OK;
    }
    return CSkinElement::QueryFace(riid, ppv);
}

HRESULT CSkinBlockRect::Draw(IOsd *osd)
{
    // Blocks starting beyond the OSD's right edge cannot show; stopping there bounds the
    // loop for any width a skin gives.
    LONG osdWidth = 0;
    LONG osdHeight = 0;
    const bool bounded = osd && SUCCEEDED(osd->GetSize(&osdWidth, &osdHeight));
    return DrawPaletteShapes(osd, pos, size, rect, [&](HDC dc, BYTE fill, BYTE border) {
        const int64_t count = CountBarBlocks(size.a, itemwidth, itemspace);
        const int64_t stride = static_cast<int64_t>(itemwidth) + itemspace;
        for (int64_t i = 0; i < count; ++i)
        {
            const int64_t left = pos.a + i * stride;
            if (bounded && left >= osdWidth + rect.borderWidth)
                break;
            DrawIndexRoundRect(dc, static_cast<LONG>(left), pos.b, static_cast<LONG>(left + itemwidth), pos.b + size.b,
                               rect, fill, border);
        }
    });
}

HRESULT CSkinBlockRect::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinBlockRect::Relayout(LONG delta)
{
    RelayoutVertical(delta, resize, pos.b, size.b);
    return S_OK;
}

HRESULT CSkinBlockRect::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    auto *other = static_cast<CSkinBlockRect *>(target);
    other->pos = pos;
    other->size = size;
    other->rect = rect;
    other->itemwidth = itemwidth;
    other->itemspace = itemspace;
    return CSkinElement::CopyAttributesTo(target);
}

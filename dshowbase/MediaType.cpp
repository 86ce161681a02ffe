#include "dshowbase/MediaType.h"

#include <cstring>

namespace tx::dshow
{

void FreeMediaType(AM_MEDIA_TYPE &type) noexcept
{
    if (type.cbFormat != 0 || type.pbFormat)
        ::CoTaskMemFree(type.pbFormat);
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    if (type.pUnk)
    {
        type.pUnk->Release();
        type.pUnk = nullptr;
    }
}

void DeleteMediaType(AM_MEDIA_TYPE *type) noexcept
{
    if (!type)
        return;
    FreeMediaType(*type);
    ::CoTaskMemFree(type);
}

HRESULT CopyMediaType(AM_MEDIA_TYPE &target, const AM_MEDIA_TYPE &source) noexcept
{
    target = source;
    target.pbFormat = nullptr;
    target.cbFormat = 0;
    if (source.cbFormat != 0 && source.pbFormat)
    {
        target.pbFormat = static_cast<BYTE *>(::CoTaskMemAlloc(source.cbFormat));
        if (!target.pbFormat)
        {
            target.pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
        target.cbFormat = source.cbFormat;
    }
    if (target.pUnk)
        target.pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE *CreateMediaType(const AM_MEDIA_TYPE &source) noexcept
{
    auto *type = static_cast<AM_MEDIA_TYPE *>(::CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!type)
        return nullptr;
    if (FAILED(CopyMediaType(*type, source)))
    {
        ::CoTaskMemFree(type);
        return nullptr;
    }
    return type;
}

bool MediaTypesEqual(const AM_MEDIA_TYPE &a, const AM_MEDIA_TYPE &b) noexcept
{
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype ||
        a.cbFormat != b.cbFormat)
        return false;
    if (a.cbFormat == 0)
        return true;
    if (!a.pbFormat || !b.pbFormat)
        return a.pbFormat == b.pbFormat;
    return std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0;
}

bool MediaTypeMatchesPartial(const AM_MEDIA_TYPE &full, const AM_MEDIA_TYPE &partial) noexcept
{
    if (partial.majortype != GUID_NULL && partial.majortype != full.majortype)
        return false;
    if (partial.subtype != GUID_NULL && partial.subtype != full.subtype)
        return false;
    if (partial.formattype != GUID_NULL)
    {
        if (partial.formattype != full.formattype || partial.cbFormat != full.cbFormat)
            return false;
        if (full.cbFormat != 0 && (!full.pbFormat || !partial.pbFormat ||
                                   std::memcmp(full.pbFormat, partial.pbFormat, full.cbFormat) != 0))
            return false;
    }
    return true;
}

bool IsPartialMediaType(const AM_MEDIA_TYPE &type) noexcept
{
    return type.majortype == GUID_NULL || type.subtype == GUID_NULL;
}

CMediaType::CMediaType() noexcept : AM_MEDIA_TYPE{}
{
    Reset();
}

CMediaType::CMediaType(const GUID &majorType) noexcept : CMediaType()
{
    majortype = majorType;
}

CMediaType::CMediaType(const AM_MEDIA_TYPE &other) noexcept : CMediaType()
{
    Set(other);
}

CMediaType::CMediaType(const CMediaType &other) noexcept : CMediaType()
{
    Set(other);
}

CMediaType &CMediaType::operator=(const CMediaType &other) noexcept
{
    if (this != &other)
        Set(other);
    return *this;
}

CMediaType::~CMediaType()
{
    FreeMediaType(*this);
}

HRESULT CMediaType::Set(const AM_MEDIA_TYPE &other) noexcept
{
    if (&other == static_cast<AM_MEDIA_TYPE *>(this))
        return S_OK;
    // Copy first: other may be owned by something this type keeps alive through pUnk.
    AM_MEDIA_TYPE copy{};
    const HRESULT hr = CopyMediaType(copy, other);
    FreeMediaType(*this);
    if (FAILED(hr))
    {
        Reset();
        return hr;
    }
    static_cast<AM_MEDIA_TYPE &>(*this) = copy;
    return S_OK;
}

void CMediaType::Reset() noexcept
{
    FreeMediaType(*this);
    majortype = GUID_NULL;
    subtype = GUID_NULL;
    formattype = GUID_NULL;
    bFixedSizeSamples = TRUE;
    bTemporalCompression = FALSE;
    lSampleSize = 1;
}

BYTE *CMediaType::AllocFormatBuffer(ULONG size) noexcept
{
    if (pbFormat && cbFormat == size)
    {
        std::memset(pbFormat, 0, size);
        return pbFormat;
    }
    ::CoTaskMemFree(pbFormat);
    pbFormat = nullptr;
    cbFormat = 0;
    if (size == 0)
        return nullptr;
    pbFormat = static_cast<BYTE *>(::CoTaskMemAlloc(size));
    if (!pbFormat)
        return nullptr;
    std::memset(pbFormat, 0, size);
    cbFormat = size;
    return pbFormat;
}

bool CMediaType::SetFormat(const void *data, ULONG size) noexcept
{
    if (size == 0)
    {
        AllocFormatBuffer(0);
        return true;
    }
    BYTE *block = AllocFormatBuffer(size);
    if (!block)
        return false;
    std::memcpy(block, data, size);
    return true;
}

void CMediaType::SetSampleSize(ULONG size) noexcept
{
    if (size == 0)
    {
        bFixedSizeSamples = FALSE;
        lSampleSize = 0;
    }
    else
    {
        bFixedSizeSamples = TRUE;
        lSampleSize = size;
    }
}

} // namespace tx::dshow

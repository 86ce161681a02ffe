#include "dshowbase/EnumMediaTypes.h"

namespace tx::dshow
{

tx::ComPtr<CEnumMediaTypes> CEnumMediaTypes::Create(CBasePin *pin, ULONG position, LONG version) noexcept
{
    return tx::MakeComObject<CEnumMediaTypes>(pin, position, version);
}

CEnumMediaTypes::CEnumMediaTypes(CBasePin *pin, ULONG position, LONG version) noexcept
    : m_pin(pin), m_position(position), m_version(version)
{
}

STDMETHODIMP CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE **types, ULONG *fetched)
{
    if (!types || (count != 1 && !fetched))
        return E_POINTER;
    if (fetched)
        *fetched = 0;
    if (!InSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG done = 0;
    while (done < count)
    {
        CMediaType type;
        if (m_pin->GetMediaType(static_cast<int>(m_position), &type) != S_OK)
            break;
        AM_MEDIA_TYPE *copy = CreateMediaType(type);
        if (!copy)
        {
            for (ULONG i = 0; i < done; ++i)
            {
                DeleteMediaType(types[i]);
                types[i] = nullptr;
            }
            m_position -= done;
            if (fetched)
                *fetched = 0;
            return E_OUTOFMEMORY;
        }
        types[done++] = copy;
        ++m_position;
    }
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumMediaTypes::Skip(ULONG count)
{
    if (!InSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    for (ULONG i = 0; i < count; ++i)
    {
        CMediaType type;
        if (m_pin->GetMediaType(static_cast<int>(m_position), &type) != S_OK)
            return S_FALSE;
        ++m_position;
    }
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Reset()
{
    m_position = 0;
    m_version = m_pin->MediaTypeVersion();
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Clone(IEnumMediaTypes **clone)
{
    if (!clone)
        return E_POINTER;
    *clone = nullptr;
    if (!InSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    tx::ComPtr<CEnumMediaTypes> copy = Create(m_pin.Get(), m_position, m_version);
    if (!copy)
        return E_OUTOFMEMORY;
    *clone = copy.Detach();
    return S_OK;
}

} // namespace tx::dshow

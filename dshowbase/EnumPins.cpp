#include "dshowbase/EnumPins.h"

#include "dshowbase/BasePin.h"

namespace tx::dshow
{

tx::ComPtr<CEnumPins> CEnumPins::Create(CBaseFilter *filter, ULONG position, LONG version) noexcept
{
    return tx::MakeComObject<CEnumPins>(filter, position, version);
}

CEnumPins::CEnumPins(CBaseFilter *filter, ULONG position, LONG version) noexcept
    : m_filter(filter), m_position(position), m_version(version)
{
}

STDMETHODIMP CEnumPins::Next(ULONG count, IPin **pins, ULONG *fetched)
{
    if (!pins || (count != 1 && !fetched))
        return E_POINTER;
    if (fetched)
        *fetched = 0;
    if (!InSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG done = 0;
    while (done < count && m_position < static_cast<ULONG>(m_filter->GetPinCount()))
    {
        CBasePin *pin = m_filter->GetPin(static_cast<int>(m_position++));
        if (!pin)
            break;
        pin->AddRef();
        pins[done++] = pin;
    }
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumPins::Skip(ULONG count)
{
    if (!InSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    const ULONG total = static_cast<ULONG>(m_filter->GetPinCount());
    if (count > total - m_position)
    {
        m_position = total;
        return S_FALSE;
    }
    m_position += count;
    return S_OK;
}

STDMETHODIMP CEnumPins::Reset()
{
    m_position = 0;
    m_version = m_filter->PinVersion();
    return S_OK;
}

STDMETHODIMP CEnumPins::Clone(IEnumPins **clone)
{
    if (!clone)
        return E_POINTER;
    *clone = nullptr;
    if (!InSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    tx::ComPtr<CEnumPins> copy = Create(m_filter.Get(), m_position, m_version);
    if (!copy)
        return E_OUTOFMEMORY;
    *clone = copy.Detach();
    return S_OK;
}

} // namespace tx::dshow

#pragma once
// CEnumMediaTypes: IEnumMediaTypes over the types a CBasePin offers (its GetMediaType
// positions). It keeps the pin (and so its filter) alive and remembers the pin's type
// version; once the offered types change, Next, Skip and Clone answer
// VFW_E_ENUM_OUT_OF_SYNC until Reset. Types returned by Next belong to the caller
// (free each with DeleteMediaType).
#include "comkit/ComObject.h"
#include "dshowbase/BasePin.h"

namespace tx::dshow
{

class CEnumMediaTypes : public tx::ComObject<CEnumMediaTypes, IEnumMediaTypes>
{
  public:
    static tx::ComPtr<CEnumMediaTypes> Create(CBasePin *pin, ULONG position, LONG version) noexcept;
    CEnumMediaTypes(CBasePin *pin, ULONG position, LONG version) noexcept;

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE **types, ULONG *fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes **clone) override;

  private:
    bool InSync() const noexcept
    {
        return m_version == m_pin->MediaTypeVersion();
    }
    tx::ComPtr<CBasePin> m_pin;
    ULONG m_position;
    LONG m_version;
};

} // namespace tx::dshow

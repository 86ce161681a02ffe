#pragma once
// CEnumPins: IEnumPins over a CBaseFilter's pins. It keeps the filter alive and
// remembers the filter's pin version; once the pins change, Next, Skip and Clone
// answer VFW_E_ENUM_OUT_OF_SYNC until Reset.
#include "comkit/ComObject.h"
#include "dshowbase/BaseFilter.h"

namespace tx::dshow
{

class CEnumPins : public tx::ComObject<CEnumPins, IEnumPins>
{
  public:
    static tx::ComPtr<CEnumPins> Create(CBaseFilter *filter, ULONG position, LONG version) noexcept;
    CEnumPins(CBaseFilter *filter, ULONG position, LONG version) noexcept;

    // Next: S_OK when count pins were returned, S_FALSE when fewer (fetched may be
    // null only for a count of 1). Returned pins are AddRef'd.
    STDMETHODIMP Next(ULONG count, IPin **pins, ULONG *fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins **clone) override;

  private:
    bool InSync() const noexcept
    {
        return m_version == m_filter->PinVersion();
    }
    tx::ComPtr<CBaseFilter> m_filter;
    ULONG m_position;
    LONG m_version;
};

} // namespace tx::dshow

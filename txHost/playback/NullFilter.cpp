#include "txHost/playback/NullFilter.h"

namespace tx::playback
{

CNullFilter::CNullFilter(const wchar_t *name) noexcept : CTransInPlaceFilter(name, CLSID_NULL, true)
{
}

tx::ComPtr<CNullFilter> CreateNullFilter(const wchar_t *name, HRESULT *result) noexcept
{
    if (!result)
        return nullptr;
    tx::ComPtr<CNullFilter> filter;
    filter.Attach(new (std::nothrow) CNullFilter(name));
    *result = filter ? S_OK : E_OUTOFMEMORY;
    return filter;
}

void CNullFilter::SetHandedPin(IPin *pin) noexcept
{
    tx::CriticalSectionLock lock(FilterLock());
    m_handedPin = pin;
}

HRESULT CNullFilter::CheckInputType(const tx::dshow::CMediaType &)
{
    return S_OK;
}

HRESULT CNullFilter::CheckTransform(const tx::dshow::CMediaType &, const tx::dshow::CMediaType &)
{
    return S_OK;
}

HRESULT CNullFilter::GetMediaType(int, tx::dshow::CMediaType *)
{
    return E_UNEXPECTED;
}

HRESULT CNullFilter::Transform(IMediaSample *)
{
    return S_OK;
}

HRESULT CNullFilter::EndOfStream()
{
    tx::ComPtr<IPin> handed;
    {
        tx::CriticalSectionLock lock(FilterLock());
        handed = m_handedPin;
    }
    if (handed)
    {
        // The encoder behind the handed pin drops what it holds, so the last picture
        // does not linger when the stream ends.
        tx::ComPtr<IPin> connected;
        if (SUCCEEDED(handed->ConnectedTo(connected.GetAddressOf())) && connected)
        {
            tx::ComPtr<IPin> pin;
            if (SUCCEEDED(connected.As(&pin)))
            {
                pin->BeginFlush();
                pin->EndFlush();
            }
        }
    }
    return CTransInPlaceFilter::EndOfStream();
}

} // namespace tx::playback

#include "dshowbase/OutputPin.h"

#include "comkit/HResult.h"

namespace tx::dshow
{

CBaseOutputPin::CBaseOutputPin(CBaseFilter *filter, const wchar_t *name, const wchar_t *id) noexcept
    : CBasePin(filter, name, id, PINDIR_OUTPUT)
{
}

STDMETHODIMP CBaseOutputPin::EndOfStream()
{
    return E_UNEXPECTED;
}

STDMETHODIMP CBaseOutputPin::BeginFlush()
{
    return E_UNEXPECTED;
}

STDMETHODIMP CBaseOutputPin::EndFlush()
{
    return E_UNEXPECTED;
}

HRESULT CBaseOutputPin::CheckConnect(IPin *pin)
{
    HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr))
        return hr;
    tx::ComPtr<IMemInputPin> input;
    if (FAILED(pin->QueryInterface(IID_IMemInputPin, reinterpret_cast<void **>(input.GetAddressOf()))))
        return VFW_E_NO_TRANSPORT;
    m_input = input;
    return S_OK;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin *)
{
    tx::ComPtr<IMemAllocator> allocator;
    TX_RETURN_IF_FAILED(DecideAllocator(m_input.Get(), allocator.GetAddressOf()),
                        L"Failed to agree on an allocator");
    m_allocator = allocator;
    return S_OK;
}

HRESULT CBaseOutputPin::BreakConnect()
{
    if (m_allocator)
        m_allocator->Decommit();
    m_allocator.Reset();
    m_input.Reset();
    return S_OK;
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin *input, IMemAllocator **allocator)
{
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES wanted{};
    // The input's wishes are advice; without them DecideBufferSize decides alone.
    if (FAILED(input->GetAllocatorRequirements(&wanted)))
        wanted = ALLOCATOR_PROPERTIES{};
    if (wanted.cbAlign == 0)
        wanted.cbAlign = 1;

    tx::ComPtr<IMemAllocator> candidate;
    if (SUCCEEDED(input->GetAllocator(candidate.GetAddressOf())) && candidate)
    {
        ALLOCATOR_PROPERTIES request = wanted;
        if (SUCCEEDED(DecideBufferSize(candidate.Get(), &request)) &&
            SUCCEEDED(input->NotifyAllocator(candidate.Get(), FALSE)))
        {
            *allocator = candidate.Detach();
            return S_OK;
        }
    }

    candidate.Reset();
    HRESULT hr = InitAllocator(candidate.GetAddressOf());
    if (FAILED(hr))
        return hr;
    ALLOCATOR_PROPERTIES request = wanted;
    hr = DecideBufferSize(candidate.Get(), &request);
    if (FAILED(hr))
        return hr;
    hr = input->NotifyAllocator(candidate.Get(), FALSE);
    if (FAILED(hr))
        return hr;
    *allocator = candidate.Detach();
    return S_OK;
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator **allocator)
{
    return ::CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                              reinterpret_cast<void **>(allocator));
}

HRESULT CBaseOutputPin::Active()
{
    if (!m_allocator)
        return VFW_E_NO_ALLOCATOR;
    return m_allocator->Commit();
}

HRESULT CBaseOutputPin::Inactive()
{
    if (!m_allocator)
        return VFW_E_NO_ALLOCATOR;
    return m_allocator->Decommit();
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample **sample, REFERENCE_TIME *start, REFERENCE_TIME *stop,
                                          DWORD flags)
{
    if (!sample)
        return E_POINTER;
    *sample = nullptr;
    tx::ComPtr<IMemAllocator> allocator = m_allocator;
    if (!allocator)
        return VFW_E_NO_ALLOCATOR;
    return allocator->GetBuffer(sample, start, stop, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample *sample)
{
    tx::ComPtr<IMemInputPin> input = m_input;
    if (!input)
        return VFW_E_NOT_CONNECTED;
    return input->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream()
{
    tx::ComPtr<IPin> peer = m_connected;
    if (!peer)
        return VFW_E_NOT_CONNECTED;
    return peer->EndOfStream();
}

HRESULT CBaseOutputPin::DeliverBeginFlush()
{
    tx::ComPtr<IPin> peer = m_connected;
    if (!peer)
        return VFW_E_NOT_CONNECTED;
    return peer->BeginFlush();
}

HRESULT CBaseOutputPin::DeliverEndFlush()
{
    tx::ComPtr<IPin> peer = m_connected;
    if (!peer)
        return VFW_E_NOT_CONNECTED;
    return peer->EndFlush();
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    NewSegment(start, stop, rate);
    tx::ComPtr<IPin> peer = m_connected;
    if (!peer)
        return VFW_E_NOT_CONNECTED;
    return peer->NewSegment(start, stop, rate);
}

} // namespace tx::dshow

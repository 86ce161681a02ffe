#include "dshowbase/InputPin.h"

#include "comkit/HResult.h"

namespace tx::dshow
{

CBaseInputPin::CBaseInputPin(CBaseFilter *filter, const wchar_t *name, const wchar_t *id) noexcept
    : CBasePin(filter, name, id, PINDIR_INPUT)
{
}

HRESULT CBaseInputPin::QueryInterfaceExtra(REFIID riid, void **ppv)
{
    if (riid == IID_IMemInputPin)
    {
        *ppv = static_cast<IMemInputPin *>(this);
        return S_OK;
    }
    return CBasePin::QueryInterfaceExtra(riid, ppv);
}

STDMETHODIMP CBaseInputPin::GetAllocator(IMemAllocator **allocator)
{
    if (!allocator)
        return E_POINTER;
    *allocator = nullptr;
    CriticalSectionLock lock(m_lock);
    if (!m_allocator)
    {
        tx::ComPtr<IMemAllocator> created;
        TX_RETURN_IF_FAILED(::CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IMemAllocator, reinterpret_cast<void **>(created.GetAddressOf())),
                            L"Failed to create the memory allocator");
        m_allocator = created;
    }
    tx::ComPtr<IMemAllocator> copy = m_allocator;
    *allocator = copy.Detach();
    return S_OK;
}

STDMETHODIMP CBaseInputPin::NotifyAllocator(IMemAllocator *allocator, BOOL readOnly)
{
    if (!allocator)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    m_allocator = allocator;
    m_readOnly = readOnly != FALSE;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES *)
{
    return E_NOTIMPL;
}

HRESULT CBaseInputPin::CheckStreaming()
{
    if (!m_connected)
        return VFW_E_NOT_CONNECTED;
    if (m_filter->IsStopped())
        return VFW_E_WRONG_STATE;
    if (m_flushing)
        return S_FALSE;
    if (m_endOfStream)
        return VFW_E_SAMPLE_REJECTED_EOS;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::Receive(IMediaSample *sample)
{
    if (!sample)
        return E_POINTER;
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    AM_MEDIA_TYPE *changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed)
    {
        CMediaType type(*changed);
        DeleteMediaType(changed);
        if (!type.IsValid() || CheckMediaType(type) != S_OK)
            return VFW_E_INVALIDMEDIATYPE;
        hr = SetMediaType(type);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

STDMETHODIMP CBaseInputPin::ReceiveMultiple(IMediaSample **samples, long count, long *processed)
{
    if (!samples || !processed)
        return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count)
    {
        hr = Receive(samples[*processed]);
        if (hr != S_OK)
            break;
        ++*processed;
    }
    return hr;
}

STDMETHODIMP CBaseInputPin::ReceiveCanBlock()
{
    return S_OK;
}

STDMETHODIMP CBaseInputPin::BeginFlush()
{
    m_flushing = true;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::EndFlush()
{
    m_flushing = false;
    m_endOfStream = false;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    m_endOfStream = true;
    return S_OK;
}

HRESULT CBaseInputPin::Active()
{
    m_endOfStream = false;
    m_flushing = false;
    return S_OK;
}

HRESULT CBaseInputPin::Inactive()
{
    m_endOfStream = false;
    m_flushing = false;
    // Releases an upstream thread blocked in GetBuffer on our allocator.
    if (m_allocator)
        m_allocator->Decommit();
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect()
{
    m_allocator.Reset();
    m_readOnly = false;
    return S_OK;
}

} // namespace tx::dshow

#include "dshowbase/TransformPins.h"

#include "dshowbase/TransformFilter.h"

namespace tx::dshow
{

CTransformInputPin::CTransformInputPin(CTransformFilter *filter, const wchar_t *name, const wchar_t *id) noexcept
    : CBaseInputPin(filter, name, id), m_transform(filter)
{
}

STDMETHODIMP CTransformInputPin::Receive(IMediaSample *sample)
{
    CriticalSectionLock lock(m_transform->StreamingLock());
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK)
        return hr;
    return m_transform->Receive(sample);
}

STDMETHODIMP CTransformInputPin::EndOfStream()
{
    CriticalSectionLock lock(m_transform->StreamingLock());
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    hr = m_transform->EndOfStream();
    m_endOfStream = true;
    return hr;
}

STDMETHODIMP CTransformInputPin::BeginFlush()
{
    CriticalSectionLock lock(m_lock);
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    CBaseInputPin::BeginFlush();
    return m_transform->BeginFlush();
}

STDMETHODIMP CTransformInputPin::EndFlush()
{
    CriticalSectionLock lock(m_lock);
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    const HRESULT hr = m_transform->EndFlush();
    CBaseInputPin::EndFlush();
    return hr;
}

STDMETHODIMP CTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    CBasePin::NewSegment(start, stop, rate);
    return m_transform->NewSegment(start, stop, rate);
}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType &type)
{
    HRESULT hr = m_transform->CheckInputType(type);
    if (hr != S_OK)
        return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    CTransformOutputPin *output = m_transform->OutputPin();
    if (output && output->IsConnected())
        return m_transform->CheckTransform(type, output->CurrentMediaType());
    return S_OK;
}

HRESULT CTransformInputPin::SetMediaType(const CMediaType &type)
{
    HRESULT hr = CBaseInputPin::SetMediaType(type);
    if (FAILED(hr))
        return hr;
    return m_transform->SetMediaType(PINDIR_INPUT, type);
}

HRESULT CTransformInputPin::CheckConnect(IPin *pin)
{
    HRESULT hr = CBaseInputPin::CheckConnect(pin);
    if (FAILED(hr))
        return hr;
    return m_transform->CheckConnect(PINDIR_INPUT, pin);
}

HRESULT CTransformInputPin::CompleteConnect(IPin *receivePin)
{
    HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
    if (FAILED(hr))
        return hr;
    hr = m_transform->CompleteConnect(PINDIR_INPUT, receivePin);
    // The output now offers types derived from this connection.
    if (SUCCEEDED(hr) && m_transform->OutputPin())
        m_transform->OutputPin()->IncrementMediaTypeVersion();
    return hr;
}

HRESULT CTransformInputPin::BreakConnect()
{
    m_transform->BreakConnect(PINDIR_INPUT);
    if (m_transform->OutputPin())
        m_transform->OutputPin()->IncrementMediaTypeVersion();
    return CBaseInputPin::BreakConnect();
}

CTransformOutputPin::CTransformOutputPin(CTransformFilter *filter, CBasePin *input, const wchar_t *name,
                                         const wchar_t *id) noexcept
    : CBaseOutputPin(filter, name, id), m_transform(filter), m_position(static_cast<IPin *>(this), input)
{
}

HRESULT CTransformOutputPin::QueryInterfaceExtra(REFIID riid, void **ppv)
{
    if (m_position.Answer(riid, ppv))
        return S_OK;
    return CBaseOutputPin::QueryInterfaceExtra(riid, ppv);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType &type)
{
    CTransformInputPin *input = m_transform->InputPin();
    if (!input || !input->IsConnected())
        return E_UNEXPECTED;
    return m_transform->CheckTransform(input->CurrentMediaType(), type);
}

HRESULT CTransformOutputPin::GetMediaType(int position, CMediaType *type)
{
    return m_transform->GetMediaType(position, type);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType &type)
{
    HRESULT hr = CBaseOutputPin::SetMediaType(type);
    if (FAILED(hr))
        return hr;
    return m_transform->SetMediaType(PINDIR_OUTPUT, type);
}

HRESULT CTransformOutputPin::CheckConnect(IPin *pin)
{
    // The output's type follows from the input's: connect the input first.
    CTransformInputPin *input = m_transform->InputPin();
    if (!input || !input->IsConnected())
        return E_UNEXPECTED;
    HRESULT hr = CBaseOutputPin::CheckConnect(pin);
    if (FAILED(hr))
        return hr;
    return m_transform->CheckConnect(PINDIR_OUTPUT, pin);
}

HRESULT CTransformOutputPin::CompleteConnect(IPin *receivePin)
{
    HRESULT hr = CBaseOutputPin::CompleteConnect(receivePin);
    if (FAILED(hr))
        return hr;
    return m_transform->CompleteConnect(PINDIR_OUTPUT, receivePin);
}

HRESULT CTransformOutputPin::BreakConnect()
{
    m_transform->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request)
{
    return m_transform->DecideBufferSize(allocator, request);
}

} // namespace tx::dshow

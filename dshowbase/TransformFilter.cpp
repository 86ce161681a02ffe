#include "dshowbase/TransformFilter.h"

#include "comkit/HResult.h"

#include <new>

namespace tx::dshow
{

CTransformFilter::CTransformFilter(const wchar_t *name, const CLSID &clsid) noexcept : CBaseFilter(name, clsid)
{
}

CTransformFilter::~CTransformFilter()
{
    // The output refers to the input (seeking pass-through): destroy it first.
    m_output.reset();
    m_input.reset();
}

std::unique_ptr<CTransformInputPin> CTransformFilter::CreateInputPin()
{
    return std::unique_ptr<CTransformInputPin>(new (std::nothrow) CTransformInputPin(this));
}

std::unique_ptr<CTransformOutputPin> CTransformFilter::CreateOutputPin(CTransformInputPin *input)
{
    return std::unique_ptr<CTransformOutputPin>(new (std::nothrow) CTransformOutputPin(this, input));
}

int CTransformFilter::GetPinCount()
{
    return 2;
}

CBasePin *CTransformFilter::GetPin(int index)
{
    if (!m_input)
    {
        CriticalSectionLock lock(FilterLock());
        if (!m_input)
        {
            std::unique_ptr<CTransformInputPin> input = CreateInputPin();
            if (!input)
                return nullptr;
            std::unique_ptr<CTransformOutputPin> output = CreateOutputPin(input.get());
            if (!output)
                return nullptr;
            m_output = std::move(output);
            m_input = std::move(input);
        }
    }
    switch (index)
    {
    case 0:
        return m_input.get();
    case 1:
        return m_output.get();
    default:
        return nullptr;
    }
}

STDMETHODIMP CTransformFilter::Stop()
{
    CriticalSectionLock lock(FilterLock());
    if (m_state == State_Stopped)
        return S_OK;
    m_state = State_Stopped;
    CTransformInputPin *input = InputPin();
    CTransformOutputPin *output = OutputPin();
    if (!input || !output || !input->IsConnected() || !output->IsConnected())
    {
        if (input && input->IsConnected())
            input->Inactive();
        if (output && output->IsConnected())
            output->Inactive();
        return S_OK;
    }
    // Decommitting the input first releases an upstream thread waiting for a buffer;
    // then wait for a sample in flight before stopping the stream.
    input->Inactive();
    CriticalSectionLock streaming(m_streamingLock);
    output->Inactive();
    return StopStreaming();
}

STDMETHODIMP CTransformFilter::Pause()
{
    CriticalSectionLock lock(FilterLock());
    CTransformInputPin *input = InputPin();
    CTransformOutputPin *output = OutputPin();
    if (!input || !output)
        return E_OUTOFMEMORY;
    if (m_state == State_Stopped)
    {
        m_endOfStreamDelivered = false;
        m_sampleSkipped = false;
        m_qualityChanged = false;
        if (input->IsConnected() && output->IsConnected())
        {
            HRESULT hr = StartStreaming();
            if (FAILED(hr))
                return hr;
        }
    }
    HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr))
        return hr;
    // Nothing will ever arrive: tell downstream at once so the graph can complete.
    if (!input->IsConnected() && output->IsConnected() && !m_endOfStreamDelivered)
    {
        m_endOfStreamDelivered = true;
        output->DeliverEndOfStream();
    }
    return S_OK;
}

HRESULT CTransformFilter::SetMediaType(PIN_DIRECTION, const CMediaType &)
{
    return S_OK;
}

HRESULT CTransformFilter::CheckConnect(PIN_DIRECTION, IPin *)
{
    return S_OK;
}

HRESULT CTransformFilter::CompleteConnect(PIN_DIRECTION, IPin *)
{
    return S_OK;
}

HRESULT CTransformFilter::BreakConnect(PIN_DIRECTION)
{
    return S_OK;
}

HRESULT CTransformFilter::Transform(IMediaSample *, IMediaSample *)
{
    return E_UNEXPECTED;
}

HRESULT CTransformFilter::StartStreaming()
{
    return S_OK;
}

HRESULT CTransformFilter::StopStreaming()
{
    return S_OK;
}

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample *input, IMediaSample **output)
{
    *output = nullptr;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    const HRESULT timeResult = input->GetTime(&start, &stop);
    const bool hasTime = SUCCEEDED(timeResult);
    const bool hasStop = timeResult == S_OK;
    DWORD flags = 0;
    if (m_sampleSkipped)
        flags |= AM_GBF_PREVFRAMESKIPPED;
    if (input->IsDiscontinuity() != S_OK)
        flags |= AM_GBF_NOTASYNCPOINT;

    tx::ComPtr<IMediaSample> sample;
    HRESULT hr = OutputPin()->GetDeliveryBuffer(sample.GetAddressOf(), hasTime ? &start : nullptr,
                                                hasStop ? &stop : nullptr, flags);
    if (FAILED(hr))
        return hr;
    if (hasTime)
        sample->SetTime(&start, hasStop ? &stop : nullptr);
    else
        sample->SetTime(nullptr, nullptr);
    sample->SetSyncPoint(input->IsSyncPoint() == S_OK);
    sample->SetDiscontinuity(input->IsDiscontinuity() == S_OK || m_sampleSkipped);
    sample->SetPreroll(input->IsPreroll() == S_OK);
    LONGLONG mediaStart = 0;
    LONGLONG mediaStop = 0;
    if (SUCCEEDED(input->GetMediaTime(&mediaStart, &mediaStop)))
        sample->SetMediaTime(&mediaStart, &mediaStop);
    else
        sample->SetMediaTime(nullptr, nullptr);
    *output = sample.Detach();
    return S_OK;
}

HRESULT CTransformFilter::Receive(IMediaSample *sample)
{
    tx::ComPtr<IMediaSample> output;
    HRESULT hr = InitializeOutputSample(sample, output.GetAddressOf());
    if (FAILED(hr))
        return hr;
    hr = Transform(sample, output.Get());
    if (FAILED(hr))
        return hr;
    if (hr == S_FALSE)
    {
        // Dropped for quality: say so once, and mark the next delivery discontinuous.
        m_sampleSkipped = true;
        if (!m_qualityChanged)
        {
            m_qualityChanged = true;
            NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
        }
        return S_OK;
    }
    hr = OutputPin()->Deliver(output.Get());
    m_sampleSkipped = false;
    return hr;
}

HRESULT CTransformFilter::EndOfStream()
{
    m_endOfStreamDelivered = true;
    return OutputPin()->DeliverEndOfStream();
}

HRESULT CTransformFilter::BeginFlush()
{
    return OutputPin()->DeliverBeginFlush();
}

HRESULT CTransformFilter::EndFlush()
{
    return OutputPin()->DeliverEndFlush();
}

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return OutputPin()->DeliverNewSegment(start, stop, rate);
}

} // namespace tx::dshow

#include "dshowbase/BaseRenderer.h"

#include <new>

namespace tx::dshow
{
namespace
{

class CRendererInputPin : public CBaseInputPin
{
  public:
    explicit CRendererInputPin(CBaseRenderer *renderer) noexcept
        : CBaseInputPin(renderer, L"In", L"In"), m_renderer(renderer)
    {
    }

    STDMETHODIMP Receive(IMediaSample *sample) override
    {
        CriticalSectionLock lock(m_renderer->StreamingLock());
        const HRESULT hr = CBaseInputPin::Receive(sample);
        if (hr != S_OK)
            return hr;
        return m_renderer->Receive(sample);
    }
    STDMETHODIMP EndOfStream() override
    {
        CriticalSectionLock lock(m_renderer->StreamingLock());
        HRESULT hr = CBaseInputPin::EndOfStream();
        if (hr != S_OK)
            return hr;
        return m_renderer->EndOfStream();
    }
    STDMETHODIMP BeginFlush() override
    {
        CriticalSectionLock lock(m_lock);
        CBaseInputPin::BeginFlush();
        return m_renderer->BeginFlush();
    }
    STDMETHODIMP EndFlush() override
    {
        CriticalSectionLock lock(m_lock);
        m_renderer->EndFlush();
        return CBaseInputPin::EndFlush();
    }
    HRESULT CheckMediaType(const CMediaType &type) override
    {
        return m_renderer->CheckMediaType(type);
    }
    HRESULT SetMediaType(const CMediaType &type) override
    {
        const HRESULT hr = CBaseInputPin::SetMediaType(type);
        return FAILED(hr) ? hr : m_renderer->SetMediaType(type);
    }

  private:
    CBaseRenderer *const m_renderer;
};

HANDLE NewEvent(bool manualReset, bool signalled) noexcept
{
    return ::CreateEventW(nullptr, manualReset ? TRUE : FALSE, signalled ? TRUE : FALSE, nullptr);
}

} // namespace

CBaseRenderer::CBaseRenderer(const wchar_t *name, const CLSID &clsid) noexcept
    : CBaseFilter(name, clsid), m_input(new (std::nothrow) CRendererInputPin(this)),
      m_position(static_cast<IBaseFilter *>(this), m_input.get()), m_abortEvent(NewEvent(true, true)),
      m_runEvent(NewEvent(true, false)), m_interruptEvent(NewEvent(false, false)),
      m_adviseEvent(NewEvent(false, false)), m_readyEvent(NewEvent(true, true))
{
}

CBaseRenderer::~CBaseRenderer() = default;

CBaseInputPin *CBaseRenderer::InputPin() noexcept
{
    return m_input.get();
}

int CBaseRenderer::GetPinCount()
{
    return m_input ? 1 : 0;
}

CBasePin *CBaseRenderer::GetPin(int index)
{
    return index == 0 ? m_input.get() : nullptr;
}

HRESULT CBaseRenderer::QueryInterfaceExtra(REFIID riid, void **ppv)
{
    if (riid == IID_IAMFilterMiscFlags)
    {
        *ppv = static_cast<IAMFilterMiscFlags *>(this);
        return S_OK;
    }
    if (m_input && m_position.Answer(riid, ppv))
        return S_OK;
    return CBaseFilter::QueryInterfaceExtra(riid, ppv);
}

STDMETHODIMP_(ULONG) CBaseRenderer::GetMiscFlags()
{
    return AM_FILTER_MISC_FLAGS_IS_RENDERER;
}

HRESULT CBaseRenderer::SetMediaType(const CMediaType &)
{
    return S_OK;
}

HRESULT CBaseRenderer::OnStartStreaming()
{
    return S_OK;
}

HRESULT CBaseRenderer::OnStopStreaming()
{
    return S_OK;
}

void CBaseRenderer::SendCompleteOnce(bool &send) noexcept
{
    send = m_endOfStream && !m_completeSent;
    if (send)
        m_completeSent = true;
}

STDMETHODIMP CBaseRenderer::Stop()
{
    CriticalSectionLock lock(FilterLock());
    if (m_state == State_Stopped)
        return S_OK;
    {
        CriticalSectionLock state(m_rendererLock);
        m_state = State_Stopped;
        ::SetEvent(m_abortEvent.Get());
        ::ResetEvent(m_runEvent.Get());
        ::SetEvent(m_readyEvent.Get());
        m_endOfStream = false;
        m_completeSent = false;
    }
    if (m_input && m_input->IsConnected())
        m_input->Inactive();
    // The streaming thread leaves Receive at once now; wait for it.
    CriticalSectionLock streaming(m_streamingLock);
    return OnStopStreaming();
}

STDMETHODIMP CBaseRenderer::Pause()
{
    CriticalSectionLock lock(FilterLock());
    if (!m_input)
        return E_OUTOFMEMORY;
    const FILTER_STATE previous = m_state;
    if (previous == State_Stopped)
    {
        HRESULT hr = OnStartStreaming();
        if (FAILED(hr))
            return hr;
        hr = CBaseFilter::Pause();
        if (FAILED(hr))
            return hr;
    }
    CriticalSectionLock state(m_rendererLock);
    if (previous == State_Stopped)
    {
        m_endOfStream = false;
        m_completeSent = false;
        ::ResetEvent(m_abortEvent.Get());
        // An unconnected renderer has nothing to wait for.
        if (m_input->IsConnected())
            ::ResetEvent(m_readyEvent.Get());
        else
            ::SetEvent(m_readyEvent.Get());
    }
    else if (previous == State_Running)
    {
        ::ResetEvent(m_runEvent.Get());
        ::SetEvent(m_interruptEvent.Get());
    }
    m_state = State_Paused;
    return S_OK;
}

STDMETHODIMP CBaseRenderer::Run(REFERENCE_TIME start)
{
    CriticalSectionLock lock(FilterLock());
    if (m_state == State_Stopped)
    {
        const HRESULT hr = Pause();
        if (FAILED(hr))
            return hr;
    }
    bool send = false;
    {
        CriticalSectionLock state(m_rendererLock);
        m_start = start;
        m_state = State_Running;
        if (!m_input->IsConnected())
            m_endOfStream = true; // nothing will come: complete at once
        SendCompleteOnce(send);
        ::SetEvent(m_readyEvent.Get());
        ::SetEvent(m_runEvent.Get());
    }
    if (send)
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

STDMETHODIMP CBaseRenderer::GetState(DWORD timeoutMs, FILTER_STATE *state)
{
    if (!state)
        return E_POINTER;
    *state = m_state;
    if (*state == State_Paused && ::WaitForSingleObject(m_readyEvent.Get(), timeoutMs) != WAIT_OBJECT_0)
        return VFW_S_STATE_INTERMEDIATE;
    return S_OK;
}

HRESULT CBaseRenderer::WaitForRenderTime(IMediaSample *sample)
{
    REFERENCE_TIME sampleStart = 0;
    REFERENCE_TIME sampleStop = 0;
    const bool timed = SUCCEEDED(sample->GetTime(&sampleStart, &sampleStop));
    for (;;)
    {
        bool running = false;
        REFERENCE_TIME streamStart = 0;
        {
            CriticalSectionLock state(m_rendererLock);
            if (m_state == State_Stopped)
                return VFW_E_WRONG_STATE;
            if (::WaitForSingleObject(m_abortEvent.Get(), 0) == WAIT_OBJECT_0)
                return S_FALSE; // flushing: the sample is dropped
            running = m_state == State_Running;
            streamStart = m_start;
            if (!running)
                ::SetEvent(m_readyEvent.Get()); // the pause completes with this sample
        }
        if (!running)
        {
            HANDLE waits[2] = {m_runEvent.Get(), m_abortEvent.Get()};
            ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
            continue;
        }
        tx::ComPtr<IReferenceClock> clock = Clock();
        if (!clock || !timed)
            return S_OK;
        ::ResetEvent(m_adviseEvent.Get());
        DWORD_PTR cookie = 0;
        if (FAILED(clock->AdviseTime(streamStart, sampleStart, reinterpret_cast<HEVENT>(m_adviseEvent.Get()),
                                     &cookie)))
            return S_OK; // no pacing possible: present now
        HANDLE waits[3] = {m_adviseEvent.Get(), m_abortEvent.Get(), m_interruptEvent.Get()};
        const DWORD which = ::WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0)
            return S_OK;
        clock->Unadvise(cookie);
    }
}

HRESULT CBaseRenderer::Receive(IMediaSample *sample)
{
    const HRESULT hr = WaitForRenderTime(sample);
    if (hr != S_OK)
        return hr;
    return DoRenderSample(sample);
}

HRESULT CBaseRenderer::EndOfStream()
{
    bool send = false;
    {
        CriticalSectionLock state(m_rendererLock);
        m_endOfStream = true;
        ::SetEvent(m_readyEvent.Get());
        if (m_state == State_Running)
            SendCompleteOnce(send);
    }
    if (send)
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

HRESULT CBaseRenderer::BeginFlush()
{
    CriticalSectionLock state(m_rendererLock);
    ::SetEvent(m_abortEvent.Get());
    m_endOfStream = false;
    return S_OK;
}

HRESULT CBaseRenderer::EndFlush()
{
    CriticalSectionLock state(m_rendererLock);
    m_completeSent = false;
    if (m_state != State_Stopped)
        ::ResetEvent(m_abortEvent.Get());
    if (m_state == State_Paused)
        ::ResetEvent(m_readyEvent.Get());
    return S_OK;
}

} // namespace tx::dshow

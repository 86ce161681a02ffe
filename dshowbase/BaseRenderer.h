#pragma once
// CBaseRenderer: a sink filter with one input pin "In" (id "In") that presents each
// sample when the graph clock reaches its time stamp.
//
// Paused, Receive holds the first sample until Run (GetState says
// VFW_S_STATE_INTERMEDIATE until a sample or end of stream arrived). Running, it
// waits for stream start + sample start through IReferenceClock::AdviseTime, then
// calls DoRenderSample; samples without time stamps, or without a clock, are
// presented at once. Stop and BeginFlush release a waiting Receive. End of stream
// raises EC_COMPLETE once the filter runs (at once when it already runs).
// The filter answers IAMFilterMiscFlags (a renderer, so the graph counts its
// EC_COMPLETE) and IMediaSeeking/IMediaPosition by passing them upstream.
#include "dshowbase/InputPin.h"
#include "dshowbase/PosPassThru.h"

#include <memory>

namespace tx::dshow
{

class CBaseRenderer : public CBaseFilter, public IAMFilterMiscFlags
{
  public:
    CBaseRenderer(const wchar_t *name, const CLSID &clsid) noexcept;
    ~CBaseRenderer() override;

    TX_DSHOW_FORWARD_IUNKNOWN(CBaseFilter)

    int GetPinCount() override;
    CBasePin *GetPin(int index) override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE *state) override;
    // IAMFilterMiscFlags: AM_FILTER_MISC_FLAGS_IS_RENDERER.
    STDMETHODIMP_(ULONG) GetMiscFlags() override;

    // Hooks. CheckMediaType: S_OK takes the type (filter lock held). DoRenderSample
    // presents one sample (streaming thread); its failure goes back upstream.
    virtual HRESULT CheckMediaType(const CMediaType &type) = 0;
    virtual HRESULT DoRenderSample(IMediaSample *sample) = 0;
    virtual HRESULT SetMediaType(const CMediaType &type);
    virtual HRESULT OnStartStreaming();
    virtual HRESULT OnStopStreaming();

    // Called by the input pin (streaming thread / flushing thread).
    HRESULT Receive(IMediaSample *sample);
    HRESULT EndOfStream();
    HRESULT BeginFlush();
    HRESULT EndFlush();

    CBaseInputPin *InputPin() noexcept;
    tx::CriticalSection &StreamingLock() noexcept
    {
        return m_streamingLock;
    }

  protected:
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) override;

  private:
    // Waits until the sample is due; S_OK to present it, otherwise the Receive result.
    HRESULT WaitForRenderTime(IMediaSample *sample);
    void SendCompleteOnce(bool &send) noexcept;

    std::unique_ptr<CBaseInputPin> m_input;
    CPosPassThru m_position;
    tx::CriticalSection m_streamingLock;
    tx::CriticalSection m_rendererLock; // state as the streaming thread sees it
    tx::UniqueHandle m_abortEvent;      // manual: stopped or flushing
    tx::UniqueHandle m_runEvent;        // manual: running
    tx::UniqueHandle m_interruptEvent;  // auto: left the running state
    tx::UniqueHandle m_adviseEvent;     // auto: the clock's advise fired
    tx::UniqueHandle m_readyEvent;      // manual: the pause is complete
    bool m_endOfStream = false;
    bool m_completeSent = false;
};

} // namespace tx::dshow

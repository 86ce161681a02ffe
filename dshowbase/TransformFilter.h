#pragma once
// CTransformFilter: one input, one output; each input sample becomes one output
// sample from the output's allocator (Transform), delivered downstream.
//
// A derived filter implements the hooks below. Threads: Receive, Transform and
// EndOfStream run on the upstream streaming thread under the streaming lock;
// BeginFlush/EndFlush and the state changes on application threads; negotiation
// hooks under the filter lock.
#include "dshowbase/BaseFilter.h"
#include "dshowbase/TransformPins.h"

#include <memory>

namespace tx::dshow
{

class CTransformFilter : public CBaseFilter
{
  public:
    CTransformFilter(const wchar_t *name, const CLSID &clsid) noexcept;
    ~CTransformFilter() override;

    // Pin 0 is the input, 1 the output; created together on first use (null when
    // either cannot be made).
    int GetPinCount() override;
    CBasePin *GetPin(int index) override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;

    // Negotiation hooks (filter lock held). S_OK accepts; anything else refuses.
    virtual HRESULT CheckInputType(const CMediaType &input) = 0;
    virtual HRESULT CheckTransform(const CMediaType &input, const CMediaType &output) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request) = 0;
    // Output types by position: S_OK, VFW_S_NO_MORE_ITEMS past the end, E_INVALIDARG
    // below 0, E_UNEXPECTED while the input is not connected.
    virtual HRESULT GetMediaType(int position, CMediaType *type) = 0;
    virtual HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType &type);
    virtual HRESULT CheckConnect(PIN_DIRECTION direction, IPin *pin);
    virtual HRESULT CompleteConnect(PIN_DIRECTION direction, IPin *receivePin);
    virtual HRESULT BreakConnect(PIN_DIRECTION direction);

    // Streaming hooks (streaming thread). Transform fills output from input: S_OK
    // delivers it, S_FALSE drops it (quality), a failure stops the stream.
    virtual HRESULT Transform(IMediaSample *input, IMediaSample *output);
    virtual HRESULT Receive(IMediaSample *sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    // Runs when streaming starts (Stop -> Pause with both pins connected) and stops.
    virtual HRESULT StartStreaming();
    virtual HRESULT StopStreaming();

    CTransformInputPin *InputPin() noexcept
    {
        return GetPin(0) ? m_input.get() : nullptr;
    }
    CTransformOutputPin *OutputPin() noexcept
    {
        return GetPin(1) ? m_output.get() : nullptr;
    }
    tx::CriticalSection &StreamingLock() noexcept
    {
        return m_streamingLock;
    }

  protected:
    // Pin factories for filters with pins of their own; null when out of memory.
    virtual std::unique_ptr<CTransformInputPin> CreateInputPin();
    virtual std::unique_ptr<CTransformOutputPin> CreateOutputPin(CTransformInputPin *input);
    // An output sample from the output allocator carrying the input's times and flags.
    HRESULT InitializeOutputSample(IMediaSample *input, IMediaSample **output);

    std::unique_ptr<CTransformInputPin> m_input;
    std::unique_ptr<CTransformOutputPin> m_output;
    tx::CriticalSection m_streamingLock;
    bool m_sampleSkipped = false;  // the last input produced no output
    bool m_qualityChanged = false; // EC_QUALITY_CHANGE already sent
    bool m_endOfStreamDelivered = false;
};

} // namespace tx::dshow

#pragma once
// CBaseInputPin: an input pin with IMemInputPin (push transport).
//
// Allocator: GetAllocator offers a CLSID_MemoryAllocator of the graph's runtime (made
// on first request); the upstream output pin decides and tells us with
// NotifyAllocator, whose allocator we keep until disconnection.
//
// Receive in the base checks the streaming state only (CheckStreaming) and takes a
// changed media type carried by the sample; a derived pin does the work after it.
// Threads: Receive, EndOfStream and NewSegment arrive on the upstream streaming
// thread; BeginFlush and EndFlush on the application's (seeking) thread.
#include "dshowbase/BasePin.h"

namespace tx::dshow
{

class CBaseInputPin : public CBasePin, public IMemInputPin
{
  public:
    CBaseInputPin(CBaseFilter *filter, const wchar_t *name, const wchar_t *id) noexcept;

    TX_DSHOW_FORWARD_IUNKNOWN(CBasePin)

    // IPin
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP EndOfStream() override;

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator **allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator *allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES *props) override;
    STDMETHODIMP Receive(IMediaSample *sample) override;
    STDMETHODIMP ReceiveMultiple(IMediaSample **samples, long count, long *processed) override;
    STDMETHODIMP ReceiveCanBlock() override;

    // S_OK while samples may flow; S_FALSE while flushing; VFW_E_WRONG_STATE when
    // stopped; VFW_E_SAMPLE_REJECTED_EOS after end of stream; VFW_E_NOT_CONNECTED.
    HRESULT CheckStreaming();
    bool IsFlushing() const noexcept
    {
        return m_flushing;
    }
    bool IsReadOnly() const noexcept
    {
        return m_readOnly;
    }
    IMemAllocator *Allocator() const noexcept
    {
        return m_allocator.Get();
    }

    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT BreakConnect() override;

  protected:
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) override;

    tx::ComPtr<IMemAllocator> m_allocator;
    std::atomic<bool> m_flushing{false};
    std::atomic<bool> m_endOfStream{false};
    bool m_readOnly = false;
};

} // namespace tx::dshow

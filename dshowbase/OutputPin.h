#pragma once
// CBaseOutputPin: an output pin that delivers samples to the IMemInputPin of the pin
// it is connected to.
//
// Allocator negotiation (on CompleteConnect): the input pin's requirements, then the
// input pin's allocator, sized by DecideBufferSize and handed back with
// NotifyAllocator; when that fails, our own CLSID_MemoryAllocator the same way. The
// allocator is committed while the filter is active and decommitted when it stops.
#include "dshowbase/BasePin.h"

namespace tx::dshow
{

class CBaseOutputPin : public CBasePin
{
  public:
    CBaseOutputPin(CBaseFilter *filter, const wchar_t *name, const wchar_t *id) noexcept;

    // IPin: an output pin takes no stream control calls (E_UNEXPECTED).
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    // Sets the buffer count, size and alignment on allocator from the input's wishes
    // (request, zeroed when the input gave none); called under the filter lock.
    virtual HRESULT DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request) = 0;
    virtual HRESULT DecideAllocator(IMemInputPin *input, IMemAllocator **allocator);
    // Our own allocator, when the input's cannot be used.
    virtual HRESULT InitAllocator(IMemAllocator **allocator);

    // An empty sample from the agreed allocator (blocks until one is free).
    HRESULT GetDeliveryBuffer(IMediaSample **sample, REFERENCE_TIME *start, REFERENCE_TIME *stop, DWORD flags);
    // Hands a sample to the connected input; VFW_E_NOT_CONNECTED when unconnected.
    HRESULT Deliver(IMediaSample *sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    IMemAllocator *Allocator() const noexcept
    {
        return m_allocator.Get();
    }
    IMemInputPin *ConnectedMemInput() const noexcept
    {
        return m_input.Get();
    }

    HRESULT CheckConnect(IPin *pin) override;
    HRESULT CompleteConnect(IPin *receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

  protected:
    tx::ComPtr<IMemAllocator> m_allocator;
    tx::ComPtr<IMemInputPin> m_input;
};

} // namespace tx::dshow

#pragma once
// The pins of CTransformFilter: input "XForm In" (id "In") and output "XForm Out"
// (id "Out"). They hand every negotiation step to the filter's hooks; the output pin
// answers IMediaSeeking and IMediaPosition by passing them upstream.
#include "dshowbase/InputPin.h"
#include "dshowbase/OutputPin.h"
#include "dshowbase/PosPassThru.h"

namespace tx::dshow
{
class CTransformFilter;

class CTransformInputPin : public CBaseInputPin
{
  public:
    CTransformInputPin(CTransformFilter *filter, const wchar_t *name = L"XForm In",
                       const wchar_t *id = L"In") noexcept;

    // IPin / IMemInputPin: streaming calls go to the filter under its streaming lock.
    STDMETHODIMP Receive(IMediaSample *sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    HRESULT CheckMediaType(const CMediaType &type) override;
    HRESULT SetMediaType(const CMediaType &type) override;
    HRESULT CheckConnect(IPin *pin) override;
    HRESULT CompleteConnect(IPin *receivePin) override;
    HRESULT BreakConnect() override;

  protected:
    CTransformFilter *const m_transform;
};

class CTransformOutputPin : public CBaseOutputPin
{
  public:
    CTransformOutputPin(CTransformFilter *filter, CBasePin *input, const wchar_t *name = L"XForm Out",
                        const wchar_t *id = L"Out") noexcept;

    HRESULT CheckMediaType(const CMediaType &type) override;
    HRESULT GetMediaType(int position, CMediaType *type) override;
    HRESULT SetMediaType(const CMediaType &type) override;
    HRESULT CheckConnect(IPin *pin) override;
    HRESULT CompleteConnect(IPin *receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request) override;

  protected:
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) override;

    CTransformFilter *const m_transform;
    CPosPassThru m_position;
};

} // namespace tx::dshow

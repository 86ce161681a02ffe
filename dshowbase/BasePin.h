#pragma once
// CBasePin: IPin with connection and media-type negotiation. The reference count is
// the filter's (a pin lives exactly as long as its filter); the filter lock guards
// the connection.
//
// Connect (on the output side) tries a fully specified type as given; otherwise the
// receiving pin's types, then our own, each filtered by the partial type. A type is
// taken when CheckMediaType gives S_OK and the receiver's ReceiveConnection succeeds;
// CompleteConnect then runs on both sides (allocator negotiation on the output).
#include "dshowbase/BaseFilter.h"
#include "dshowbase/MediaType.h"

#include <string>

namespace tx::dshow
{

class CBasePin : public IPin
{
  public:
    CBasePin(CBaseFilter *filter, const wchar_t *name, const wchar_t *id, PIN_DIRECTION direction) noexcept;
    virtual ~CBasePin();
    CBasePin(const CBasePin &) = delete;
    CBasePin &operator=(const CBasePin &) = delete;

    // IUnknown: the count is the filter's; the pin's identity is its own.
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPin
    STDMETHODIMP Connect(IPin *receivePin, const AM_MEDIA_TYPE *type) override;
    STDMETHODIMP ReceiveConnection(IPin *connector, const AM_MEDIA_TYPE *type) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin **pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE *type) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO *info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION *direction) override;
    STDMETHODIMP QueryId(LPWSTR *id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE *type) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes **types) override;
    STDMETHODIMP QueryInternalConnections(IPin **pins, ULONG *count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override = 0;
    STDMETHODIMP EndFlush() override = 0;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // Negotiation hooks.
    // S_OK when the pin takes the type; anything else refuses it.
    virtual HRESULT CheckMediaType(const CMediaType &type) = 0;
    // The pin's preferred types by 0-based position: S_OK, VFW_S_NO_MORE_ITEMS past
    // the last, or a failure (E_UNEXPECTED when the pin cannot offer one yet).
    virtual HRESULT GetMediaType(int position, CMediaType *type);
    // Takes the agreed type; the base stores it as the connection type.
    virtual HRESULT SetMediaType(const CMediaType &type);
    // Checks the peer before any type is tried (direction, transport).
    virtual HRESULT CheckConnect(IPin *pin);
    // Runs once the peer agreed; a failure undoes the connection.
    virtual HRESULT CompleteConnect(IPin *receivePin);
    // Releases what the connection held; called on every disconnection.
    virtual HRESULT BreakConnect();

    // State changes from the filter (filter lock held).
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME start);

    bool IsConnected() const noexcept
    {
        return m_connected != nullptr;
    }
    IPin *GetConnected() const noexcept
    {
        return m_connected.Get();
    }
    const CMediaType &CurrentMediaType() const noexcept
    {
        return m_mediaType;
    }
    const wchar_t *Id() const noexcept
    {
        return m_id.c_str();
    }
    const wchar_t *Name() const noexcept
    {
        return m_name.c_str();
    }
    PIN_DIRECTION Direction() const noexcept
    {
        return m_direction;
    }
    CBaseFilter *Filter() const noexcept
    {
        return m_filter;
    }
    // Version that media-type enumerators compare against; bump it when the offered
    // types change (the transform output after its input connects).
    LONG MediaTypeVersion() const noexcept
    {
        return m_typeVersion;
    }
    void IncrementMediaTypeVersion() noexcept
    {
        ++m_typeVersion;
    }
    REFERENCE_TIME SegmentStart() const noexcept
    {
        return m_segmentStart;
    }
    REFERENCE_TIME SegmentStop() const noexcept
    {
        return m_segmentStop;
    }
    double SegmentRate() const noexcept
    {
        return m_segmentRate;
    }
    // Source pins are numbered by their filter ("1", "2", ...).
    void SetId(const wchar_t *id);

  protected:
    // Hook for interfaces beyond IPin (IMemInputPin, IMediaSeeking): sets *ppv
    // without AddRef and returns S_OK, or returns E_NOINTERFACE.
    virtual HRESULT QueryInterfaceExtra(REFIID riid, void **ppv);

    CBaseFilter *const m_filter;
    tx::CriticalSection &m_lock; // the filter lock
    tx::ComPtr<IPin> m_connected;
    CMediaType m_mediaType;
    REFERENCE_TIME m_segmentStart = 0;
    REFERENCE_TIME m_segmentStop = 0x7FFFFFFFFFFFFFFF;
    double m_segmentRate = 1.0;

  private:
    HRESULT AttemptConnection(IPin *receivePin, const CMediaType &type);
    HRESULT TryMediaTypes(IPin *receivePin, const AM_MEDIA_TYPE *partial, IEnumMediaTypes *types);
    HRESULT TryOwnMediaTypes(IPin *receivePin, const AM_MEDIA_TYPE *partial);
    void ClearConnection() noexcept;

    std::wstring m_name;
    std::wstring m_id;
    PIN_DIRECTION m_direction;
    std::atomic<LONG> m_typeVersion{1};
};

} // namespace tx::dshow

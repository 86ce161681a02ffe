#include "dshowbase/BasePin.h"

#include "dshowbase/EnumMediaTypes.h"

namespace tx::dshow
{

CBasePin::CBasePin(CBaseFilter *filter, const wchar_t *name, const wchar_t *id, PIN_DIRECTION direction) noexcept
    : m_filter(filter), m_lock(filter->FilterLock()), m_direction(direction)
{
    try
    {
        m_name = name ? name : L"";
        m_id = id ? id : m_name;
    }
    catch (...)
    {
    }
}

CBasePin::~CBasePin() = default;

void CBasePin::SetId(const wchar_t *id)
{
    m_id = id ? id : L"";
}

STDMETHODIMP CBasePin::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IPin)
        *ppv = static_cast<IPin *>(this);
    else
    {
        const HRESULT hr = QueryInterfaceExtra(riid, ppv);
        if (FAILED(hr))
        {
            *ppv = nullptr;
            return hr;
        }
    }
    if (!*ppv)
        return E_NOINTERFACE;
    static_cast<IUnknown *>(*ppv)->AddRef();
    return S_OK;
}

HRESULT CBasePin::QueryInterfaceExtra(REFIID, void **)
{
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBasePin::AddRef()
{
    return m_filter->AddRef();
}

STDMETHODIMP_(ULONG) CBasePin::Release()
{
    return m_filter->Release();
}

STDMETHODIMP CBasePin::Connect(IPin *receivePin, const AM_MEDIA_TYPE *type)
{
    if (!receivePin)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    if (m_connected)
        return VFW_E_ALREADY_CONNECTED;
    if (!m_filter->IsStopped())
        return VFW_E_NOT_STOPPED;

    HRESULT hr = CheckConnect(receivePin);
    if (FAILED(hr))
    {
        BreakConnect();
        return hr;
    }
    if (type && !IsPartialMediaType(*type))
    {
        CMediaType full(*type);
        if (!full.IsValid())
            return E_OUTOFMEMORY;
        hr = AttemptConnection(receivePin, full);
        return SUCCEEDED(hr) ? S_OK : hr;
    }

    // The receiver's types first (a parser knows best what it takes), then ours.
    HRESULT firstFailure = VFW_E_NO_ACCEPTABLE_TYPES;
    tx::ComPtr<IEnumMediaTypes> theirs;
    if (SUCCEEDED(receivePin->EnumMediaTypes(&theirs)) && theirs)
    {
        hr = TryMediaTypes(receivePin, type, theirs.Get());
        if (SUCCEEDED(hr))
            return S_OK;
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES)
            firstFailure = hr;
    }
    hr = TryOwnMediaTypes(receivePin, type);
    if (SUCCEEDED(hr))
        return S_OK;
    if (hr != VFW_E_NO_ACCEPTABLE_TYPES && firstFailure == VFW_E_NO_ACCEPTABLE_TYPES)
        firstFailure = hr;
    BreakConnect();
    return firstFailure;
}

HRESULT CBasePin::TryMediaTypes(IPin *receivePin, const AM_MEDIA_TYPE *partial, IEnumMediaTypes *types)
{
    HRESULT result = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;)
    {
        AM_MEDIA_TYPE *next = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &next, &fetched) != S_OK || fetched != 1 || !next)
            break;
        CMediaType candidate(*next);
        DeleteMediaType(next);
        if (!candidate.IsValid())
            continue;
        if (partial && !MediaTypeMatchesPartial(candidate, *partial))
            continue;
        const HRESULT hr = AttemptConnection(receivePin, candidate);
        if (SUCCEEDED(hr))
            return S_OK;
        // Remember a failure that says more than "no type fitted".
        if (hr != VFW_E_TYPE_NOT_ACCEPTED && result == VFW_E_NO_ACCEPTABLE_TYPES)
            result = hr;
    }
    return result;
}

HRESULT CBasePin::TryOwnMediaTypes(IPin *receivePin, const AM_MEDIA_TYPE *partial)
{
    HRESULT result = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int position = 0;; ++position)
    {
        CMediaType candidate;
        if (GetMediaType(position, &candidate) != S_OK)
            break;
        if (partial && !MediaTypeMatchesPartial(candidate, *partial))
            continue;
        const HRESULT hr = AttemptConnection(receivePin, candidate);
        if (SUCCEEDED(hr))
            return S_OK;
        if (hr != VFW_E_TYPE_NOT_ACCEPTED && result == VFW_E_NO_ACCEPTABLE_TYPES)
            result = hr;
    }
    return result;
}

HRESULT CBasePin::AttemptConnection(IPin *receivePin, const CMediaType &type)
{
    if (CheckMediaType(type) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = SetMediaType(type);
    if (FAILED(hr))
        return hr;
    m_connected = receivePin;
    hr = receivePin->ReceiveConnection(this, &type);
    if (FAILED(hr))
    {
        ClearConnection();
        return hr;
    }
    hr = CompleteConnect(receivePin);
    if (FAILED(hr))
    {
        receivePin->Disconnect();
        ClearConnection();
        BreakConnect();
        return hr;
    }
    return S_OK;
}

void CBasePin::ClearConnection() noexcept
{
    m_connected.Reset();
    m_mediaType.Reset();
}

STDMETHODIMP CBasePin::ReceiveConnection(IPin *connector, const AM_MEDIA_TYPE *type)
{
    if (!connector || !type)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    if (m_connected)
        return VFW_E_ALREADY_CONNECTED;
    if (!m_filter->IsStopped())
        return VFW_E_NOT_STOPPED;
    HRESULT hr = CheckConnect(connector);
    if (FAILED(hr))
    {
        BreakConnect();
        return hr;
    }
    CMediaType offered(*type);
    if (!offered.IsValid() || CheckMediaType(offered) != S_OK)
    {
        BreakConnect();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    hr = SetMediaType(offered);
    if (SUCCEEDED(hr))
    {
        m_connected = connector;
        hr = CompleteConnect(connector);
    }
    if (FAILED(hr))
    {
        ClearConnection();
        BreakConnect();
        return hr;
    }
    return S_OK;
}

STDMETHODIMP CBasePin::Disconnect()
{
    CriticalSectionLock lock(m_lock);
    if (!m_filter->IsStopped())
        return VFW_E_NOT_STOPPED;
    if (!m_connected)
        return S_FALSE;
    BreakConnect();
    ClearConnection();
    return S_OK;
}

STDMETHODIMP CBasePin::ConnectedTo(IPin **pin)
{
    if (!pin)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    tx::ComPtr<IPin> peer = m_connected;
    *pin = peer.Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP CBasePin::ConnectionMediaType(AM_MEDIA_TYPE *type)
{
    if (!type)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    if (!m_connected)
    {
        *type = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*type, m_mediaType);
}

STDMETHODIMP CBasePin::QueryPinInfo(PIN_INFO *info)
{
    if (!info)
        return E_POINTER;
    info->pFilter = m_filter;
    m_filter->AddRef();
    info->dir = m_direction;
    CopyToBuffer(m_name.c_str(), info->achName, MAX_PIN_NAME);
    return S_OK;
}

STDMETHODIMP CBasePin::QueryDirection(PIN_DIRECTION *direction)
{
    if (!direction)
        return E_POINTER;
    *direction = m_direction;
    return S_OK;
}

STDMETHODIMP CBasePin::QueryId(LPWSTR *id)
{
    return CopyToTaskMemory(m_id.c_str(), id);
}

STDMETHODIMP CBasePin::QueryAccept(const AM_MEDIA_TYPE *type)
{
    if (!type)
        return E_POINTER;
    CMediaType candidate(*type);
    if (!candidate.IsValid())
        return S_FALSE;
    return CheckMediaType(candidate) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP CBasePin::EnumMediaTypes(IEnumMediaTypes **types)
{
    if (!types)
        return E_POINTER;
    *types = nullptr;
    tx::ComPtr<CEnumMediaTypes> enumerator = CEnumMediaTypes::Create(this, 0, MediaTypeVersion());
    if (!enumerator)
        return E_OUTOFMEMORY;
    *types = enumerator.Detach();
    return S_OK;
}

STDMETHODIMP CBasePin::QueryInternalConnections(IPin **, ULONG *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CBasePin::EndOfStream()
{
    return S_OK;
}

STDMETHODIMP CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    m_segmentStart = start;
    m_segmentStop = stop;
    m_segmentRate = rate;
    return S_OK;
}

HRESULT CBasePin::GetMediaType(int position, CMediaType *)
{
    return position < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
}

HRESULT CBasePin::SetMediaType(const CMediaType &type)
{
    return m_mediaType.Set(type);
}

HRESULT CBasePin::CheckConnect(IPin *pin)
{
    PIN_DIRECTION peer{};
    const HRESULT hr = pin->QueryDirection(&peer);
    if (FAILED(hr))
        return hr;
    return peer == m_direction ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::CompleteConnect(IPin *)
{
    return S_OK;
}

HRESULT CBasePin::BreakConnect()
{
    return S_OK;
}

HRESULT CBasePin::Active()
{
    return S_OK;
}

HRESULT CBasePin::Inactive()
{
    return S_OK;
}

HRESULT CBasePin::Run(REFERENCE_TIME)
{
    return S_OK;
}

} // namespace tx::dshow

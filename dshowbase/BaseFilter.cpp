#include "dshowbase/BaseFilter.h"

#include "comkit/Module.h"
#include "dshowbase/BasePin.h"
#include "dshowbase/EnumPins.h"

#include "comkit/HResult.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace tx::dshow
{

HRESULT CopyToTaskMemory(const wchar_t *text, LPWSTR *out) noexcept
{
    if (!out)
        return E_POINTER;
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    if (!*out)
        return E_OUTOFMEMORY;
    std::memcpy(*out, text, bytes);
    return S_OK;
}

void CopyToBuffer(const wchar_t *text, wchar_t *buffer, size_t count) noexcept
{
    if (count == 0)
        return;
    size_t i = 0;
    for (; text && text[i] && i + 1 < count; ++i)
        buffer[i] = text[i];
    buffer[i] = L'\0';
}

CBaseFilter::CBaseFilter(const wchar_t *name, const CLSID &clsid) noexcept : m_clsid(clsid)
{
    module::AddRef();
    try
    {
        m_objectName = name ? name : L"";
    }
    catch (...)
    {
    }
}

CBaseFilter::~CBaseFilter()
{
    module::Release();
}

STDMETHODIMP CBaseFilter::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist)
        *ppv = static_cast<IBaseFilter *>(this);
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

HRESULT CBaseFilter::QueryInterfaceExtra(REFIID, void **)
{
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBaseFilter::AddRef()
{
    return ++m_refCount;
}

STDMETHODIMP_(ULONG) CBaseFilter::Release()
{
    const ULONG count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

STDMETHODIMP CBaseFilter::GetClassID(CLSID *clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = m_clsid;
    return S_OK;
}

STDMETHODIMP CBaseFilter::Stop()
{
    CriticalSectionLock lock(m_lock);
    HRESULT result = S_OK;
    if (m_state != State_Stopped)
    {
        // Stopped first, so that streaming threads see the state while pins shut down.
        m_state = State_Stopped;
        for (int i = 0; i < GetPinCount(); ++i)
        {
            CBasePin *pin = GetPin(i);
            if (pin && pin->IsConnected())
            {
                const HRESULT hr = pin->Inactive();
                if (FAILED(hr) && SUCCEEDED(result))
                    result = hr;
            }
        }
    }
    return result;
}

STDMETHODIMP CBaseFilter::Pause()
{
    CriticalSectionLock lock(m_lock);
    if (m_state == State_Stopped)
    {
        for (int i = 0; i < GetPinCount(); ++i)
        {
            CBasePin *pin = GetPin(i);
            if (pin && pin->IsConnected())
            {
                const HRESULT hr = pin->Active();
                if (FAILED(hr))
                {
                    tx::LogFailure(hr, L"Failed to activate a pin");
                    return hr;
                }
            }
        }
    }
    m_state = State_Paused;
    return S_OK;
}

STDMETHODIMP CBaseFilter::Run(REFERENCE_TIME start)
{
    CriticalSectionLock lock(m_lock);
    m_start = start;
    if (m_state == State_Stopped)
    {
        const HRESULT hr = Pause();
        if (FAILED(hr))
            return hr;
    }
    if (m_state != State_Running)
    {
        for (int i = 0; i < GetPinCount(); ++i)
        {
            CBasePin *pin = GetPin(i);
            if (pin && pin->IsConnected())
            {
                const HRESULT hr = pin->Run(start);
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    m_state = State_Running;
    return S_OK;
}

STDMETHODIMP CBaseFilter::GetState(DWORD, FILTER_STATE *state)
{
    if (!state)
        return E_POINTER;
    *state = m_state;
    return S_OK;
}

STDMETHODIMP CBaseFilter::SetSyncSource(IReferenceClock *clock)
{
    CriticalSectionLock lock(m_lock);
    m_clock = clock;
    return S_OK;
}

STDMETHODIMP CBaseFilter::GetSyncSource(IReferenceClock **clock)
{
    if (!clock)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    tx::ComPtr<IReferenceClock> copy = m_clock;
    *clock = copy.Detach();
    return S_OK;
}

tx::ComPtr<IReferenceClock> CBaseFilter::Clock()
{
    CriticalSectionLock lock(m_lock);
    return m_clock;
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME &time)
{
    tx::ComPtr<IReferenceClock> clock = Clock();
    if (!clock)
        return VFW_E_NO_CLOCK;
    REFERENCE_TIME now = 0;
    const HRESULT hr = clock->GetTime(&now);
    if (FAILED(hr))
        return hr;
    time = now - m_start;
    return S_OK;
}

STDMETHODIMP CBaseFilter::EnumPins(IEnumPins **pins)
{
    if (!pins)
        return E_POINTER;
    *pins = nullptr;
    tx::ComPtr<CEnumPins> enumerator = CEnumPins::Create(this, 0, PinVersion());
    if (!enumerator)
        return E_OUTOFMEMORY;
    *pins = enumerator.Detach();
    return S_OK;
}

STDMETHODIMP CBaseFilter::FindPin(LPCWSTR id, IPin **pin)
{
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    if (!id)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    for (int i = 0; i < GetPinCount(); ++i)
    {
        CBasePin *candidate = GetPin(i);
        if (candidate && std::wcscmp(candidate->Id(), id) == 0)
        {
            candidate->AddRef();
            *pin = candidate;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP CBaseFilter::QueryFilterInfo(FILTER_INFO *info)
{
    if (!info)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    CopyToBuffer(m_name.c_str(), info->achName, MAX_FILTER_NAME);
    info->pGraph = m_graph;
    if (m_graph)
        m_graph->AddRef();
    return S_OK;
}

STDMETHODIMP CBaseFilter::JoinFilterGraph(IFilterGraph *graph, LPCWSTR name)
{
    CriticalSectionLock lock(m_lock);
    try
    {
        m_name = (graph && name) ? name : L"";
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    m_graph = graph;
    m_eventSink = nullptr;
    if (graph)
    {
        // Kept without a reference: the graph outlives its filters' membership.
        IMediaEventSink *sink = nullptr;
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void **>(&sink))))
        {
            m_eventSink = sink;
            sink->Release();
        }
    }
    return S_OK;
}

STDMETHODIMP CBaseFilter::QueryVendorInfo(LPWSTR *info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) noexcept
{
    IMediaEventSink *sink = m_eventSink;
    if (!sink)
        return E_NOTIMPL;
    // EC_COMPLETE carries the sending filter, so the graph can count its renderers.
    if (code == EC_COMPLETE && param2 == 0)
        param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter *>(this));
    return sink->Notify(code, param1, param2);
}

} // namespace tx::dshow

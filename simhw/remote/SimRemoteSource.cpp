#include "simhw/remote/SimRemoteSource.h"

#include "comkit/HResult.h"

#include <olectl.h>

namespace tx::simhw
{
namespace
{
HMODULE g_serverModule = nullptr;

bool RegisterButtonWindowClass(WNDPROC procedure) noexcept
{
    WNDCLASSW wc = {};
    if (::GetClassInfoW(g_serverModule, kSimRemoteWindowClass, &wc))
        return true;
    wc.lpfnWndProc = procedure;
    wc.hInstance = g_serverModule;
    wc.lpszClassName = kSimRemoteWindowClass;
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
} // namespace

void SetServerModule(HMODULE module) noexcept
{
    g_serverModule = module;
}

// ---- connection point -------------------------------------------------------------

STDMETHODIMP CRemoteEventsPoint::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != __uuidof(IUnknown) && riid != __uuidof(IConnectionPoint))
        return E_NOINTERFACE;
    *ppv = static_cast<IConnectionPoint *>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CRemoteEventsPoint::AddRef()
{
    return m_owner.AddRef();
}

STDMETHODIMP_(ULONG) CRemoteEventsPoint::Release()
{
    return m_owner.Release();
}

STDMETHODIMP CRemoteEventsPoint::GetConnectionInterface(IID *iid)
{
    if (!iid)
        return E_POINTER;
    *iid = kRemoteEventsDiid;
    return S_OK;
}

STDMETHODIMP CRemoteEventsPoint::GetConnectionPointContainer(IConnectionPointContainer **container)
{
    if (!container)
        return E_POINTER;
    *container = nullptr;
    return m_owner.QueryInterface(IID_PPV_ARGS(container));
}

STDMETHODIMP CRemoteEventsPoint::Advise(IUnknown *sink, DWORD *cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    // A sink of the event dispinterface is wanted, as the real source asks for it.
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(kRemoteEventsDiid, reinterpret_cast<void **>(events.GetAddressOf()))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    try
    {
        m_sinks.push_back({++m_lastCookie, events});
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    *cookie = m_lastCookie;
    return S_OK;
}

STDMETHODIMP CRemoteEventsPoint::Unadvise(DWORD cookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it)
    {
        if (it->cookie == cookie)
        {
            // Released after the entry is gone: the sink's release may call back here.
            ComPtr<IDispatch> sink = std::move(it->sink);
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP CRemoteEventsPoint::EnumConnections(IEnumConnections **connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

HRESULT CRemoteEventsPoint::Fire(DISPID member, const VARIANT *args, UINT count) noexcept
{
    if (count && !args)
        return E_POINTER;
    std::vector<ComPtr<IDispatch>> sinks;
    std::vector<VARIANT> arguments;
    try
    {
        for (const Connection &connection : m_sinks)
            sinks.push_back(connection.sink);
        // A private copy: a sink may not change the caller's arguments.
        arguments.assign(args, args + count);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    if (sinks.empty())
        return S_FALSE;

    HRESULT result = S_OK;
    for (const ComPtr<IDispatch> &sink : sinks)
    {
        DISPPARAMS params = {arguments.empty() ? nullptr : arguments.data(), nullptr, count, 0};
        VARIANT ignored;
        ::VariantInit(&ignored);
        const HRESULT hr =
            sink->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &ignored, nullptr, nullptr);
        ::VariantClear(&ignored);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
        // Restore the shallow copies, whatever the sink did to them.
        for (UINT i = 0; i < count; ++i)
            arguments[i] = args[i];
    }
    return result;
}

// ---- source -----------------------------------------------------------------------

CSimRemoteSource::CSimRemoteSource() noexcept = default;

CSimRemoteSource::~CSimRemoteSource()
{
    if (m_buttonWindow)
    {
        ::SetWindowLongPtrW(m_buttonWindow, GWLP_USERDATA, 0);
        ::DestroyWindow(m_buttonWindow);
    }
}

HRESULT CSimRemoteSource::FinalConstruct() noexcept
{
    if (!RegisterButtonWindowClass(&CSimRemoteSource::ButtonWindowProc))
    {
        LogFailure(HResultFromLastError(), L"Failed to register the remote's button window class");
        return S_OK;
    }
    // A hidden top-level window: other processes find it by class.
    m_buttonWindow = ::CreateWindowExW(0, kSimRemoteWindowClass, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       g_serverModule, nullptr);
    if (!m_buttonWindow)
        LogFailure(HResultFromLastError(), L"Failed to create the remote's button window");
    else
        ::SetWindowLongPtrW(m_buttonWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return S_OK;
}

HRESULT CSimRemoteSource::QueryInterfaceExtra(REFIID riid, void **ppv) noexcept
{
    if (riid == __uuidof(IDispatch))
    {
        *ppv = static_cast<IDispatch *>(static_cast<ISimRemoteSource *>(this));
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP CSimRemoteSource::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CSimRemoteSource::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP CSimRemoteSource::GetIDsOfNames(REFIID, LPOLESTR *, UINT count, LCID, DISPID *ids)
{
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CSimRemoteSource::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *)
{
    return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CSimRemoteSource::EnumConnectionPoints(IEnumConnectionPoints **points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CSimRemoteSource::FindConnectionPoint(REFIID riid, IConnectionPoint **point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (riid != kRemoteEventsDiid)
        return CONNECT_E_NOCONNECTION;
    *point = &m_events;
    m_events.AddRef();
    return S_OK;
}

STDMETHODIMP CSimRemoteSource::FireButton(LONG code)
{
    VARIANT argument;
    ::VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = code;
    return m_events.Fire(kRemoteButtonDispid, &argument, 1);
}

STDMETHODIMP CSimRemoteSource::FireRaw(DISPID member, const VARIANT *args, UINT count)
{
    return m_events.Fire(member, args, count);
}

STDMETHODIMP CSimRemoteSource::GetConnectionCount(ULONG *count)
{
    if (!count)
        return E_POINTER;
    *count = m_events.ConnectionCount();
    return S_OK;
}

LRESULT CALLBACK CSimRemoteSource::ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kSimRemotePressMessage)
    {
        auto *self = reinterpret_cast<CSimRemoteSource *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self)
            return static_cast<LRESULT>(E_UNEXPECTED);
        // Held for the call: a sink may drop the last outside reference while it runs.
        ComPtr<ISimRemoteControl> keep(self);
        return static_cast<LRESULT>(self->FireButton(static_cast<LONG>(wParam)));
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tx::simhw

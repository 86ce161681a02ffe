// Bringing the host up after its construction, and the connection to the remote-control
// event source that start-up makes and shut-down undoes.
#include "txHost/core/Host.h"

#include "txHost/core/Actions.h"

using namespace tx::host;

HRESULT CHost::Init(LONG *osdFailed) noexcept
{
    // The remote control is optional: without its source the host still runs on keys,
    // text commands and the tray, so a failure here is logged and start-up goes on.
    ConnectRemoteControl();

    // Decoder tables, event sinks, OSD, decoder check and collection come later; until
    // then the host starts with nothing attached.
    if (osdFailed)
        *osdFailed = 0;
    LogMessage(L"Host initialisation is not built yet: starting without OSD, decoder and collection");
    return S_OK;
}

HRESULT CHost::ConnectRemoteControl() noexcept
{
    DisconnectRemoteControl();
    tx::ComPtr<IUnknown> source;
    HRESULT hr = ::CoCreateInstance(CLSID_RemoteControlSource, nullptr, CLSCTX_ALL, IID_RemoteControlSource,
                                    reinterpret_cast<void **>(source.GetAddressOf()));
    if (FAILED(hr))
    {
        LogHResult(hr, L"Failed to create the remote-control event source");
        return hr;
    }
    hr = m_remoteConnection.Connect(source.Get(), DIID_RemoteControlEvents, static_cast<IDispatch *>(this));
    if (FAILED(hr))
    {
        LogHResult(hr, L"Failed to connect to the remote-control event source");
        return hr;
    }
    m_remoteSource = std::move(source);
    return S_OK;
}

void CHost::DisconnectRemoteControl() noexcept
{
    m_remoteConnection.Disconnect();
    m_remoteSource.Reset();
}

// --- IDispatch: remote-control events ----------------------------------------------------

STDMETHODIMP CHost::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *, EXCEPINFO *, UINT *)
{
    // Only event member 1 with exactly one argument carries a button; anything else is
    // acknowledged and ignored, so the source never sees an error from its sink.
    if (dispid != 1 || !params || params->cArgs != 1 || !params->rgvarg)
        return S_OK;
    tx::Variant code;
    const HRESULT copied = ::VariantCopy(&code.Get(), &params->rgvarg[0]);
    if (FAILED(copied))
    {
        code.Put()->vt = VT_ERROR;
        code.Get().scode = copied;
    }
    // A string such as "154" converts as well as a number; anything else is dropped.
    if (FAILED(code.ChangeType(VT_I4)))
        return S_OK;
    ExecuteRemoteEvent(code.Get().lVal);
    return S_OK;
}

void CHost::ExecuteRemoteEvent(LONG code) noexcept
{
    // Directly, not through the message queue: even an unlisted button (ACTION_NONE)
    // reaches the executor, which wakes the host from its screen saver.
    ExecuteAction(static_cast<WPARAM>(RemoteEventAction(code)));
}

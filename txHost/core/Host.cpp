#include "txHost/core/Host.h"

#include "comkit/HResult.h"
#include "comkit/Module.h"
#include "txHost/core/Services.h"

#include <new>

namespace tx::host
{
std::atomic<CHost *> g_host{nullptr};
} // namespace tx::host

using namespace tx::host;

HRESULT CHost::Create(HWND mainWindow, CHost **host, PlaylistFactory createList) noexcept
{
    if (!host)
        return E_POINTER;
    *host = nullptr;
    CHost *object = new (std::nothrow) CHost(mainWindow, createList ? createList : &CreatePlaylist);
    if (!object)
        return E_OUTOFMEMORY;
    *host = object;
    return S_OK;
}

CHost::CHost(HWND mainWindow, PlaylistFactory createList) noexcept : m_mainWindow(mainWindow)
{
    tx::module::AddRef();
    m_log.OpenFromSettings();
    g_host.store(this);
    // The skin manager lives in the OSD member: the captions and the log's on-screen
    // mirror reach its indicators until the destructor unhooks them.
    m_statusSkin = m_osd.SkinManager().StatusFace();
    m_log.SetOsdSink(m_osd.SkinManager().LogSink());

    // The saved current-selection list becomes current when it holds anything.
    tx::ComPtr<IPlaylist> list;
    const HRESULT hr = createList(list.GetAddressOf(), nullptr, 0);
    if (SUCCEEDED(hr) && list)
    {
        LONG count = 0;
        if (SUCCEEDED(list->GetCount(&count)) && count > 0)
        {
            m_currentList = std::move(list);
            m_sourceKind = SOURCE_KIND_LIST;
        }
    }

    ReadHostSettings(m_settings);
    PublishHostGlobals(m_settings);
    const DWORD channel = ReadHostDword(L"TVChannel", 2);
    m_tvChannel = channel <= 999 ? static_cast<LONG>(channel) : 2;
    UpdateAspectRatio();
}

CHost::~CHost()
{
    // The graph-run thread goes first, while the log file still records a thread that
    // does not end in time; the wait is bounded so that exit cannot hang on it.
    m_graphThread.Stop(WorkerThread::kDestroyTimeoutMs);
    // The OSD goes before the log: no thread's log line may reach its indicators after.
    m_log.SetOsdSink(nullptr);
    m_statusSkin = nullptr;
    m_log.CloseFile();
    m_currentList.Reset();
    m_eventSinks.Clear();
    // Members go in reverse order from here: the OSD (which delivers through the card),
    // then the decoder filter and the graph interfaces, then the host lock.
    CHost *self = this;
    g_host.compare_exchange_strong(self, nullptr);
    tx::module::Release();
}

// --- IUnknown ---------------------------------------------------------------------------

STDMETHODIMP CHost::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == __uuidof(IHost) || riid == IID_IUnknown)
        *ppv = static_cast<IHost *>(this);
    else if (riid == __uuidof(IHostCollection))
        *ppv = static_cast<IHostCollection *>(this);
    else if (riid == __uuidof(IHostPictureReset))
        *ppv = static_cast<IHostPictureReset *>(this);
    else if (riid == IID_IDispatch || riid == DIID_RemoteControlEvents)
        *ppv = static_cast<IDispatch *>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CHost::AddRef()
{
    return ++m_refCount;
}

STDMETHODIMP_(ULONG) CHost::Release()
{
    const ULONG count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

// --- IDispatch: remote-control events -------------------------------------------------------

STDMETHODIMP CHost::GetTypeInfoCount(UINT *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CHost::GetTypeInfo(UINT, LCID, ITypeInfo **)
{
    return E_NOTIMPL;
}

STDMETHODIMP CHost::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

// --- IHost slots of the host object itself ------------------------------------------------

STDMETHODIMP CHost::PutAudioMode(LONG mode)
{
    const HRESULT hr = SetAudioOutputMode(mode);
    m_settings.audioMode = mode;
    WriteHostDword(L"AudioMode", static_cast<DWORD>(mode));
    return hr;
}

STDMETHODIMP CHost::GetCurrentList(IPlaylist **list)
{
    if (!list)
        return E_POINTER;
    *list = m_currentList.Get();
    if (*list)
        (*list)->AddRef();
    return S_OK;
}

STDMETHODIMP CHost::CloseAndFlag()
{
    m_shutdownAtExit = 1;
    PostToMainWindow(WM_CLOSE);
    return S_OK;
}

STDMETHODIMP CHost::Close()
{
    PostToMainWindow(WM_CLOSE);
    return S_OK;
}

STDMETHODIMP CHost::GetPlayState(LONG *sourceKind, LONG *stopped)
{
    if (!sourceKind || !stopped)
        return E_POINTER;
    *sourceKind = m_sourceKind;
    *stopped = m_stopped;
    return S_OK;
}

STDMETHODIMP CHost::GetAviDecode(LONG *aviDecode)
{
    if (!aviDecode)
        return E_POINTER;
    *aviDecode = m_settings.aviDecode;
    return S_OK;
}

STDMETHODIMP CHost::GetOsdLog(LONG *on)
{
    if (!on)
        return E_POINTER;
    *on = m_log.OsdMirror() ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CHost::PutOsdLog(LONG on)
{
    m_log.SetOsdMirror(on != 0);
    return S_OK;
}

STDMETHODIMP CHost::GetPictureOutput(IUnknown **output)
{
    if (!output)
        return E_POINTER;
    *output = m_pictureOutput.Get();
    if (*output)
        (*output)->AddRef();
    return S_OK;
}

STDMETHODIMP CHost::SelectChannel(LONG channel)
{
    if (channel >= 0)
    {
        const HRESULT hr = ChangeChannel(channel);
        if (FAILED(hr))
            return hr;
    }
    else
    {
        // A failed re-tune leaves the display alone and is the caller's answer.
        const HRESULT hr = TuneChannel(0);
        if (FAILED(hr))
            return hr;
    }
    TurnPictureTimerOffAndRedraw();
    return S_OK;
}

STDMETHODIMP CHost::GetTvChannel(LONG *channel)
{
    if (!channel)
        return E_POINTER;
    *channel = m_tvChannel;
    return S_OK;
}

// --- Further operations ---------------------------------------------------------------

void CHost::UpdateAspectRatio() noexcept
{
    if (m_videoHeight <= 0)
        return;
    const double width = m_videoWidth;
    const double height = m_videoHeight;
    m_pixelAspect = m_settings.tvAspect == 1 ? width * 9.0 / (height * 16.0) : width * 3.0 / (height * 4.0);
}

LONG CHost::MapChannelAlias(LONG index) const noexcept
{
    if (!m_settings.channelAliasing || m_channelAliases.empty())
        return index;
    const LONG last = static_cast<LONG>(m_channelAliases.size()) - 1;
    if (index < 0)
        index = 0;
    if (index > last)
        index = last;
    return m_channelAliases[static_cast<size_t>(index)].channel;
}

bool CHost::IsWebKeyMode() const noexcept
{
    // The OSD is never shown over the page until the OSD is built.
    return m_viewState == VIEW_STATE_WEB;
}

void CHost::PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (m_mainWindow)
        ::PostMessageW(m_mainWindow, message, wParam, lParam);
}

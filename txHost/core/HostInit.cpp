// Bringing the host up after its construction (with the check that the decoder card can
// be opened), what the host does when its window closes, and the connection to the
// remote-control event source that start-up makes and shut-down undoes.
#include "txHost/core/Host.h"

#include "txHost/core/Actions.h"
#include "txHost/playback/DecoderCard.h"

#include <cstdlib>
#include <ctime>

using namespace tx::host;

namespace
{
// The OSD is laid out for 480 lines; a 576-line output moves the layout down (below).
constexpr LONG kOsdWidth = 720;
constexpr LONG kOsdHeight = 480;
} // namespace

const wchar_t *tx::host::StartupFailureMessage(LONG osdFailed) noexcept
{
    return osdFailed ? L"Failed to initialize OSD or load skins."
                     : L"Failed to initialize ZIduz driver. Please do not run Qendra Player at the same time.";
}

HRESULT CHost::Init(LONG *osdFailed) noexcept
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    // Event sinks, tables and the remote control are optional: each failure is logged by
    // its own step and the host runs without the missing piece.
    m_eventSinks.Load();
    m_eventSinks.FireHostPointer(static_cast<IHost *>(this));
    LoadSoftwareDecoders();
    LoadSuffixes();
    ConnectRemoteControl();

    if (osdFailed)
        *osdFailed = 0;
    HRESULT hr = m_osd.AttachOsd(kOsdWidth, kOsdHeight, kOsdHeight, static_cast<IHost *>(this));
    if (FAILED(hr))
    {
        LogHResult(hr, L"Failed to attach OSD");
        if (osdFailed)
            *osdFailed = 1;
        return hr;
    }

    const HRESULT decoder = OpenHardwareDecoder();
    if (FAILED(decoder))
        return decoder;

    // From here on nothing stops the start-up: a missing collection, page or recorder
    // leaves the host running with less.
    RebuildCollection();
    OnPictureTimerChange(1);
    if (m_settings.preservePalOsd)
    {
        LONG width = 0;
        LONG height = 0;
        if (SUCCEEDED(GetVideoFrameSize(&width, &height)) && height > 0 && height != kOsdHeight)
            m_osd.SetLayoutHeight(height);
    }
    if (m_sourceKind == SOURCE_KIND_LIST)
    {
        tx::ComPtr<IPlaylist> list;
        if (SUCCEEDED(GetCurrentList(list.GetAddressOf())) && list)
            OpenSkinPage(L"curlist", list.Get());
    }
    m_osd.Refresh();
    InitPvrManager();
    InitScreenSaver();
    return decoder;
}

HRESULT CHost::OpenHardwareDecoder() noexcept
{
    ReleaseGraph(1);
    ReleaseDecoderFilter();
    const HRESULT hr = CreateDecoderFilter();
    ApplyPictavoSettings();
    if (m_decoderFilter)
    {
        tx::ComPtr<tx::playback::IZiduzPicture> picture;
        const HRESULT queried = m_decoderFilter.As(&picture);
        if (SUCCEEDED(queried) && picture)
        {
            LogHResult(picture->PutBrightness(m_settings.brightness), L"Failed to set decoder brightness");
            LogHResult(picture->PutSaturation(m_settings.saturation), L"Failed to set decoder saturation");
            LogHResult(picture->PutContrast(m_settings.contrast), L"Failed to set decoder contrast");
        }
        else
        {
            LogHResult(queried, L"Failed to get decoder picture interface");
        }
    }
    PutAudioMode(m_settings.audioMode);
    return hr;
}

HRESULT CHost::CreateDecoderFilter() noexcept
{
    tx::ComPtr<IBaseFilter> filter;
    HRESULT hr = m_createFilter(tx::playback::kDecoderModule, tx::playback::CLSID_ZiduzDecoder, IID_IBaseFilter,
                                reinterpret_cast<void **>(filter.GetAddressOf()));
    if (SUCCEEDED(hr) && !filter)
        hr = E_POINTER;
    if (FAILED(hr))
    {
        LogHResult(hr, L"Failed to create ZIduz decoder filter");
        return hr;
    }
    m_decoderFilter = std::move(filter);
    return hr;
}

void CHost::ReleaseDecoderFilter() noexcept
{
    m_decoderFilter.Reset();
    m_decoderExtra.Reset();
}

void CHost::OnClose() noexcept
{
    if (!m_stopped)
    {
        switch (m_sourceKind)
        {
        case SOURCE_KIND_CD_AUDIO:
            StopCdAudioPlayer();
            break;
        case SOURCE_KIND_VCD:
            StopVcdNavigator();
            break;
        case SOURCE_KIND_DVD:
            // The DVD player holds the card while it plays; afterwards the card gets a
            // fresh, idle decoder filter for the rest of the shut-down.
            CloseDvdPlayer();
            ReleaseDecoderFilter();
            m_graphControl2.Reset();
            CreateDecoderFilter();
            break;
        default:
            break;
        }
    }
    StopMedia(1, 0, 1);

    // Leave the card showing a standard-definition picture unless it is set to HDTV.
    LONG flags = 0;
    LONG standard = 0;
    if (GetVideoOutputMode(&flags, &standard))
    {
        if ((flags & 0x21) == 0)
            flags |= 0x01;
        SetVideoOutputMode(flags);
    }
    // Analog audio for whatever uses the card next, without changing the saved setting.
    SaveAudioMode(0, 0, 1);
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

#pragma once
// CHost: the one object that holds the running system. It lives from the creation of the
// main window to the end of the message loop; everything else reaches it through its
// interfaces (HostInterfaces.h). All methods run on the UI thread unless said otherwise;
// the log operations may be called from any thread.
//
// Faces in object order: the remote-control event sink (IDispatch), IVcdPlayerHost,
// ICdPlayerHost, IHost, IHostCollection, IHostPictureReset; one reference count.
#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "comkit/ConnectionPoint.h"
#include "comkit/Handles.h"
#include "txHost/core/HostEventSinks.h"
#include "txHost/core/HostInterfaces.h"
#include "txHost/core/HostLog.h"
#include "txHost/core/HostSettings.h"
#include "txHost/core/OsdStatus.h"
#include "txHost/core/WorkerThread.h"
#include "txHost/playback/FilterInstance.h"

#include <strmif.h>

#include <atomic>
#include <string>
#include <vector>

#include "txHost/skin/Osd.h"

class CHost final : public IDispatch,
                    public IVcdPlayerHost,
                    public ICdPlayerHost,
                    public IHost,
                    public IHostCollection,
                    public IHostPictureReset
{
  public:
    // Creates the default selection list for the host's constructor (a seam for tests).
    using PlaylistFactory = HRESULT (*)(IPlaylist **list, const wchar_t *name, LONG flag) noexcept;

    // Creates the host with one reference for the caller; mainWindow may be null in tests.
    static HRESULT Create(HWND mainWindow, CHost **host, PlaylistFactory createList = nullptr) noexcept;

    // IUnknown, shared by every face.
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: the remote control's events. Only Invoke is served.
    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids) override;
    // dispid 1 with one argument that converts to a 32-bit button code; always S_OK.
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params, VARIANT *result,
                        EXCEPINFO *exception, UINT *argError) override;

    // IVcdPlayerHost and ICdPlayerHost.
    STDMETHODIMP PlayVcdTrack(LONG track) override;
    STDMETHODIMP StopVcdAndRemember() override;
    STDMETHODIMP CloseVcd() override;
    STDMETHODIMP ClearNumberEntry() override;
    STDMETHODIMP ClearMediaAspect() override;
    STDMETHODIMP PlayCdTrack(LONG track) override;
    STDMETHODIMP StopCdAndRemember() override;
    STDMETHODIMP CloseCd() override;

    // IHost, every slot.
#define TX_IHOST_OVERRIDE(slot, name, params) STDMETHODIMP name params override;
    TX_IHOST_SLOTS(TX_IHOST_OVERRIDE)
#undef TX_IHOST_OVERRIDE

    // IHostCollection.
    STDMETHODIMP SelectByType(LONG mediaType) override;
    STDMETHODIMP GetCategoryValueList(BSTR category, BSTR setName, IMediaIdList **values) override;
    STDMETHODIMP NarrowByCategoryValue(BSTR category, BSTR value) override;
    STDMETHODIMP GetSelectedItemList(IMediaIdList **items) override;
    STDMETHODIMP GetSelection(LONG **ids, LONG *count) override;
    STDMETHODIMP SetSelection(const LONG *ids, LONG count) override;
    STDMETHODIMP AddCategoryName(BSTR name) override;
    STDMETHODIMP AddNamedList(BSTR path) override;
    STDMETHODIMP ReloadAll() override;
    STDMETHODIMP NarrowByNamedList(BSTR name) override;

    // IHostPictureReset.
    STDMETHODIMP ResetPictureLevels() override;

    // Lifecycle, called by WinMain and the main window.
    // Brings the system up once, before any timer runs: event sinks, tables, remote
    // control, OSD, hardware decoder, collection, first screen, TV recorder. Returns the
    // decoder's creation result; on failure *osdFailed is 1 when the OSD could not be
    // attached (the decoder was not tried), else 0 (StartupFailureMessage picks the text).
    HRESULT Init(LONG *osdFailed) noexcept;
    // Releases the graph and the decoder filter and creates the filter afresh, then gives
    // it the picture levels and the audio mode. Returns the filter's creation result.
    HRESULT OpenHardwareDecoder() noexcept;
    // WM_CLOSE, before the window goes: stops what plays (saving resume points), closes
    // the media and leaves the decoder in standard definition with analog audio.
    void OnClose() noexcept;
    void ShutdownPlayback() noexcept;
    void ShutdownTv(bool loopRan) noexcept;
    void ShutdownIfRequested() noexcept;
    void PreTranslateMessage(MSG *message) noexcept;

    // Handlers of the main window's messages and timers.
    void ExecuteAction(WPARAM action) noexcept;
    void OnGraphEvent() noexcept;
    void OnMediaArrived(DWORD unitMask) noexcept;
    void OnMediaRemoved(DWORD unitMask) noexcept;
    void ShowDecoderPropertyPages() noexcept;
    void OpenFile() noexcept;
    void ParseTextCommand(const wchar_t *command) noexcept;
    void SetWebProgress(WPARAM progress, LPARAM maximum) noexcept;
    void ShowWebProgress(WPARAM busy) noexcept;
    void OnPlayPath(const wchar_t *path, LPARAM kind) noexcept;
    LRESULT OnSetOption(WPARAM option, LPARAM value) noexcept;
    void OnPowerMessage() noexcept;
    void OnMciPollTimer() noexcept;
    void OnUpdateTimer() noexcept;
    void OnWebCursorTimer() noexcept;
    void OnIdleTimer() noexcept;
    // View state web with the OSD not shown over the page: keys go to the browser.
    bool IsWebKeyMode() const noexcept;
    // A remote-control event code, turned into an action (ACTION_NONE for an unlisted
    // code) and carried out at once on the calling thread.
    void ExecuteRemoteEvent(LONG code) noexcept;
    // Creates the remote-control event source and connects the host's event sink to it.
    // S_FALSE: no source is installed or it refused the sink; the host then runs
    // without remote-control events (logged, not an error).
    HRESULT ConnectRemoteControl() noexcept;
    // Disconnects and releases the source. The source holds a reference to the host
    // while connected, so this must run before the host's last reference goes.
    void DisconnectRemoteControl() noexcept;
    bool IsRemoteControlConnected() const noexcept
    {
        return m_remoteConnection.IsConnected();
    }

    // Operations of other subsystems on the host (TV, playback, skin manager).
    HRESULT ChangeChannel(LONG channel) noexcept;
    HRESULT TuneChannel(LONG flag) noexcept;
    HRESULT SetAudioOutputMode(LONG mode) noexcept;
    void TurnPictureTimerOffAndRedraw() noexcept;
    HRESULT ReleaseGraph(LONG flag) noexcept;
    HRESULT ApplyPictavoSettings() noexcept;
    HRESULT GetVideoFrameSize(LONG *width, LONG *height) noexcept;
    HRESULT StopMedia(LONG saveSelection, LONG continuePlay, LONG announce) noexcept;
    // True when the decoder's video-output flag word (and standard) could be read.
    bool GetVideoOutputMode(LONG *flags, LONG *standard) noexcept;
    HRESULT SetVideoOutputMode(LONG flags) noexcept;
    HRESULT SaveAudioMode(LONG mode, LONG save, LONG reseek) noexcept;
    HRESULT LoadSoftwareDecoders() noexcept;
    HRESULT LoadSuffixes() noexcept;
    HRESULT RebuildCollection() noexcept;
    HRESULT OpenSkinPage(const wchar_t *name, IUnknown *argument) noexcept;
    HRESULT InitPvrManager() noexcept;
    HRESULT InitScreenSaver() noexcept;
    HRESULT StopCdAudioPlayer() noexcept;
    HRESULT StopVcdNavigator() noexcept;
    HRESULT CloseDvdPlayer() noexcept;

    // Further operations of the host.
    // Sets the pixel-aspect factor from the output frame size and TVAspect.
    void UpdateAspectRatio() noexcept;
    double PixelAspect() const noexcept
    {
        return m_pixelAspect;
    }
    // Channel number of an alias index (ChannelAliasing on and a table present), else the index.
    LONG MapChannelAlias(LONG index) const noexcept;
    struct ChannelAlias
    {
        LONG fields[4];
        LONG channel;
        LONG reserved[3];
    };
    void SetChannelAliases(std::vector<ChannelAlias> aliases) noexcept
    {
        m_channelAliases = std::move(aliases);
    }

    // The log operations (any thread).
    void LogMessage(const wchar_t *message) noexcept
    {
        m_log.LogMessage(message);
    }
    void LogMessagePair(const wchar_t *first, const wchar_t *second) noexcept
    {
        m_log.LogMessagePair(first, second);
    }
    void LogHResult(HRESULT hr, const wchar_t *message) noexcept
    {
        m_log.LogHResult(hr, message);
    }
    void LogHResultGuid(HRESULT hr, const wchar_t *message, const GUID &guid) noexcept
    {
        m_log.LogHResultGuid(hr, message, guid);
    }
    void LogFourCC(const wchar_t *message, DWORD fourcc) noexcept
    {
        m_log.LogFourCC(message, fourcc);
    }
    void LogFourCCGuid(const wchar_t *message, DWORD fourcc, const GUID &guid) noexcept
    {
        m_log.LogFourCCGuid(message, fourcc, guid);
    }
    void LogFourCCText(const wchar_t *message, DWORD fourcc, const wchar_t *text) noexcept
    {
        m_log.LogFourCCText(message, fourcc, text);
    }
    tx::host::CHostLog &Log() noexcept
    {
        return m_log;
    }

    // State read by the shell and by tests.
    const tx::host::HostSettings &Settings() const noexcept
    {
        return m_settings;
    }
    LONG GetSourceKind() const noexcept
    {
        return m_sourceKind;
    }
    LONG GetViewState() const noexcept
    {
        return m_viewState;
    }
    CHostEventSinks &EventSinks() noexcept
    {
        return m_eventSinks;
    }
    bool ShutdownAtExit() const noexcept
    {
        return m_shutdownAtExit != 0;
    }
    // The on-screen display, embedded; it lives as long as the host.
    COsd &Osd() noexcept
    {
        return m_osd;
    }
    // The hardware decoder filter; null before OpenHardwareDecoder or when it failed.
    IBaseFilter *DecoderFilter() const noexcept
    {
        return m_decoderFilter.Get();
    }
    // The graph-run thread (started per media item by the play path).
    WorkerThread &GraphThread() noexcept
    {
        return m_graphThread;
    }
    // Test seams: how the card's filters are created (null puts back
    // tx::playback::CreateFilterInstance), and the play state that OnClose acts on.
    void SetFilterFactory(tx::playback::FilterInstanceFactory factory) noexcept
    {
        m_createFilter = factory ? factory : &tx::playback::CreateFilterInstance;
    }
    void SetPlayState(LONG sourceKind, LONG stopped) noexcept
    {
        m_sourceKind = sourceKind;
        m_stopped = stopped;
    }
    // The skin manager's side of the status captions (indicators, page refresh, picture
    // view); null until a skin runs, and the captions are then skipped. Not owned.
    void SetStatusSkin(tx::host::IOsdStatusSkin *skin) noexcept
    {
        m_statusSkin = skin;
    }

  private:
    CHost(HWND mainWindow, PlaylistFactory createList) noexcept;
    ~CHost();
    CHost(const CHost &) = delete;
    CHost &operator=(const CHost &) = delete;

    void PostToMainWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept;

    // The status captions' view of the host (OsdStatusHost.cpp).
    class StatusCaptionHost;
    // The subtitle stream state the file-subtitle caption reads.
    struct SubtitleState
    {
        bool outsideFilter = false; // the graph uses the outside subtitle filter
        LONG selected = -1;         // its selected stream (-1: none)
        LONG ordinal = 0;           // the host's subtitle ordinal
        bool off = false;           // the subtitle filter's own off flag
        LONG index = 0;             // and its current stream
        std::wstring name;
    };
    bool IsDvdCaptionAvailable() const noexcept;
    HRESULT GetDvdPlayerCaption(LONG which, BSTR *caption) noexcept;
    bool FindSubtitleState(SubtitleState *state) noexcept;
    bool GetDecoderChannelMode(LONG *mode) noexcept;
    HRESULT NextAudioStream(BSTR *caption) noexcept;
    bool GetMediaAspectOverride(double *ratio) noexcept;
    std::wstring ReadHdtvModeName(LONG option) noexcept;
    bool ReadOutputOption(LONG *option) noexcept;
    HRESULT CreateDecoderFilter() noexcept;
    void ReleaseDecoderFilter() noexcept;

    std::atomic<ULONG> m_refCount{1};
    HWND m_mainWindow;

    // locking
    tx::CriticalSection m_hostLock;
    // log (opened first, so that everything after it can log)
    tx::host::CHostLog m_log;
    tx::host::FailureLoggerScope m_failureLogger{m_log};

    // display
    LONG m_viewState = VIEW_STATE_NONE;
    tx::ComPtr<IUnknown> m_pictureOutput;
    LONG m_videoWidth = 720;
    LONG m_videoHeight = 480;
    double m_pixelAspect = 1.125;

    // source
    LONG m_sourceKind = SOURCE_KIND_NONE;
    LONG m_stopped = 1;
    tx::ComPtr<IPlaylist> m_currentList;
    LONG m_typedNumber = -1;
    tx::Bstr m_autoPlayName;
    tx::Bstr m_autoPlayPath;

    // settings
    tx::host::HostSettings m_settings;

    // remote control and events
    tx::ComPtr<IUnknown> m_remoteSource;
    tx::AdviseConnection m_remoteConnection;
    CHostEventSinks m_eventSinks{tx::host::CATID_HostEventSinks};

    // TV
    LONG m_tvChannel = 2;
    std::vector<ChannelAlias> m_channelAliases;

    // shut-down
    LONG m_shutdownAtExit = 0;

    // hardware decoder and graph (destroyed after the OSD, which delivers through the card)
    tx::playback::FilterInstanceFactory m_createFilter = &tx::playback::CreateFilterInstance;
    tx::ComPtr<IBaseFilter> m_decoderFilter;
    tx::ComPtr<IUnknown> m_decoderExtra;  // the extra filter interface the play path keeps
    tx::ComPtr<IUnknown> m_graphControl2; // the graph's second control pointer

    // on-screen display (after the log, so that it can log until it is gone)
    COsd m_osd;
    tx::host::IOsdStatusSkin *m_statusSkin = nullptr;

    // the graph-run thread: stopped in the destructor before the log file closes
    WorkerThread m_graphThread;
};

namespace tx::host
{
// The message WinMain shows when CHost::Init failed, chosen by its out flag.
const wchar_t *StartupFailureMessage(LONG osdFailed) noexcept;
} // namespace tx::host

namespace tx::host
{
// The host object while it lives (read by the web window's thread); null otherwise.
extern std::atomic<CHost *> g_host;
} // namespace tx::host

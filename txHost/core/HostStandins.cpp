// Operations of CHost whose bodies belong to subsystems or parts of the core that are not
// built yet. Each answers E_NOTIMPL with one log line (Standins.h) and changes nothing;
// the owning work replaces the body here.
#include "txHost/core/Host.h"
#include "txHost/core/Standins.h"

#include <string>

// --- IVcdPlayerHost, ICdPlayerHost (playback engine) ---------------------------------
STDMETHODIMP CHost::PlayVcdTrack(LONG) { return TX_NOT_BUILT("CHost::PlayVcdTrack"); }
STDMETHODIMP CHost::StopVcdAndRemember() { return TX_NOT_BUILT("CHost::StopVcdAndRemember"); }
STDMETHODIMP CHost::CloseVcd() { return TX_NOT_BUILT("CHost::CloseVcd"); }
STDMETHODIMP CHost::ClearNumberEntry() { return TX_NOT_BUILT("CHost::ClearNumberEntry"); }
STDMETHODIMP CHost::ClearMediaAspect() { return TX_NOT_BUILT("CHost::ClearMediaAspect"); }
STDMETHODIMP CHost::PlayCdTrack(LONG) { return TX_NOT_BUILT("CHost::PlayCdTrack"); }
STDMETHODIMP CHost::StopCdAndRemember() { return TX_NOT_BUILT("CHost::StopCdAndRemember"); }
STDMETHODIMP CHost::CloseCd() { return TX_NOT_BUILT("CHost::CloseCd"); }

// --- IHost ------------------------------------------------------------------------------
STDMETHODIMP CHost::PlayFile(BSTR, BSTR, LONG, LONG, LONG, LONG) { return TX_NOT_BUILT("CHost::PlayFile"); }
STDMETHODIMP CHost::AutoPlay(BSTR) { return TX_NOT_BUILT("CHost::AutoPlay"); }
STDMETHODIMP CHost::SetCurrentList(IPlaylist *) { return TX_NOT_BUILT("CHost::SetCurrentList"); }
STDMETHODIMP CHost::ReleaseCurrentList() { return TX_NOT_BUILT("CHost::ReleaseCurrentList"); }
STDMETHODIMP CHost::GetSaturation(LONG *) { return TX_NOT_BUILT("CHost::GetSaturation"); }
STDMETHODIMP CHost::GetContrast(LONG *) { return TX_NOT_BUILT("CHost::GetContrast"); }
STDMETHODIMP CHost::GetBrightness(LONG *) { return TX_NOT_BUILT("CHost::GetBrightness"); }
STDMETHODIMP CHost::PutSaturation(LONG) { return TX_NOT_BUILT("CHost::PutSaturation"); }
STDMETHODIMP CHost::PutContrast(LONG) { return TX_NOT_BUILT("CHost::PutContrast"); }
STDMETHODIMP CHost::PutBrightness(LONG) { return TX_NOT_BUILT("CHost::PutBrightness"); }
STDMETHODIMP CHost::GetAudioMode(LONG *) { return TX_NOT_BUILT("CHost::GetAudioMode"); }
STDMETHODIMP CHost::GetPlaylistFiles(IPlaylistFileList **) { return TX_NOT_BUILT("CHost::GetPlaylistFiles"); }
STDMETHODIMP CHost::Stop(LONG, LONG, LONG) { return TX_NOT_BUILT("CHost::Stop"); }
STDMETHODIMP CHost::Run() { return TX_NOT_BUILT("CHost::Run"); }
STDMETHODIMP CHost::Pause() { return TX_NOT_BUILT("CHost::Pause"); }
STDMETHODIMP CHost::RestartMedia() { return TX_NOT_BUILT("CHost::RestartMedia"); }
STDMETHODIMP CHost::CycleAudioMode() { return TX_NOT_BUILT("CHost::CycleAudioMode"); }
STDMETHODIMP CHost::GetDecoderAudioInfo(BSTR *) { return TX_NOT_BUILT("CHost::GetDecoderAudioInfo"); }
STDMETHODIMP CHost::VolumeUp() { return TX_NOT_BUILT("CHost::VolumeUp"); }
STDMETHODIMP CHost::VolumeDown() { return TX_NOT_BUILT("CHost::VolumeDown"); }
STDMETHODIMP CHost::PutVolume(LONG) { return TX_NOT_BUILT("CHost::PutVolume"); }
STDMETHODIMP CHost::GetVolume(LONG *) { return TX_NOT_BUILT("CHost::GetVolume"); }
STDMETHODIMP CHost::GetFileTypeFlags(BSTR, LONG *) { return TX_NOT_BUILT("CHost::GetFileTypeFlags"); }
STDMETHODIMP CHost::PlayListItem(LONG, LONG) { return TX_NOT_BUILT("CHost::PlayListItem"); }
STDMETHODIMP CHost::GetAutoPlayStrings(BSTR *, BSTR *) { return TX_NOT_BUILT("CHost::GetAutoPlayStrings"); }
STDMETHODIMP CHost::ClearSelectionList() { return TX_NOT_BUILT("CHost::ClearSelectionList"); }
STDMETHODIMP CHost::GetPositionTexts(BSTR *, BSTR *) { return TX_NOT_BUILT("CHost::GetPositionTexts"); }
STDMETHODIMP CHost::SeekToText(BSTR, BSTR) { return TX_NOT_BUILT("CHost::SeekToText"); }
STDMETHODIMP CHost::OnPictureTimerChange(LONG) { return TX_NOT_BUILT("CHost::OnPictureTimerChange"); }
STDMETHODIMP CHost::ClosePicture() { return TX_NOT_BUILT("CHost::ClosePicture"); }
STDMETHODIMP CHost::AddPicture(LONG, BSTR, BSTR) { return TX_NOT_BUILT("CHost::AddPicture"); }
STDMETHODIMP CHost::ShowPictureAt(LONG, LONG, LONG) { return TX_NOT_BUILT("CHost::ShowPictureAt"); }
STDMETHODIMP CHost::NextPicture() { return TX_NOT_BUILT("CHost::NextPicture"); }
STDMETHODIMP CHost::PreviousPicture() { return TX_NOT_BUILT("CHost::PreviousPicture"); }
STDMETHODIMP CHost::OpenWeb(LONG) { return TX_NOT_BUILT("CHost::OpenWeb"); }
STDMETHODIMP CHost::NavigateWeb(BSTR) { return TX_NOT_BUILT("CHost::NavigateWeb"); }
STDMETHODIMP CHost::WebCommand(BSTR) { return TX_NOT_BUILT("CHost::WebCommand"); }
STDMETHODIMP CHost::ToggleReencoderFlip() { return TX_NOT_BUILT("CHost::ToggleReencoderFlip"); }
STDMETHODIMP CHost::CaptureStill(BSTR, BSTR *) { return TX_NOT_BUILT("CHost::CaptureStill"); }
STDMETHODIMP CHost::PutOutputMode(LONG) { return TX_NOT_BUILT("CHost::PutOutputMode"); }
STDMETHODIMP CHost::GetOutputMode(LONG *) { return TX_NOT_BUILT("CHost::GetOutputMode"); }
STDMETHODIMP CHost::PutTvAspect(LONG) { return TX_NOT_BUILT("CHost::PutTvAspect"); }
STDMETHODIMP CHost::GetTvAspect(LONG *) { return TX_NOT_BUILT("CHost::GetTvAspect"); }
STDMETHODIMP CHost::PutAvoidVerticalScale(LONG) { return TX_NOT_BUILT("CHost::PutAvoidVerticalScale"); }
STDMETHODIMP CHost::GetAvoidVerticalScale(LONG *) { return TX_NOT_BUILT("CHost::GetAvoidVerticalScale"); }
STDMETHODIMP CHost::PutSourceAspect(LONG, double) { return TX_NOT_BUILT("CHost::PutSourceAspect"); }
STDMETHODIMP CHost::GetSourceAspect(LONG *, double *) { return TX_NOT_BUILT("CHost::GetSourceAspect"); }
STDMETHODIMP CHost::PutCustomAspect(double) { return TX_NOT_BUILT("CHost::PutCustomAspect"); }
STDMETHODIMP CHost::GetCustomAspect(double *) { return TX_NOT_BUILT("CHost::GetCustomAspect"); }
STDMETHODIMP CHost::GetPreferredAspect(double *) { return TX_NOT_BUILT("CHost::GetPreferredAspect"); }
STDMETHODIMP CHost::PutOverscan(LONG, LONG, LONG, LONG) { return TX_NOT_BUILT("CHost::PutOverscan"); }
STDMETHODIMP CHost::GetOverscan(LONG *, LONG *, LONG *, LONG *) { return TX_NOT_BUILT("CHost::GetOverscan"); }
STDMETHODIMP CHost::PutSubtitleFps(LONG, double) { return TX_NOT_BUILT("CHost::PutSubtitleFps"); }
STDMETHODIMP CHost::GetSubtitleFps(LONG *, double *) { return TX_NOT_BUILT("CHost::GetSubtitleFps"); }
STDMETHODIMP CHost::PutCustomSubtitleFps(double) { return TX_NOT_BUILT("CHost::PutCustomSubtitleFps"); }
STDMETHODIMP CHost::GetCustomSubtitleFps(double *) { return TX_NOT_BUILT("CHost::GetCustomSubtitleFps"); }
STDMETHODIMP CHost::RecordNow() { return TX_NOT_BUILT("CHost::RecordNow"); }
STDMETHODIMP CHost::StopAllRecordings() { return TX_NOT_BUILT("CHost::StopAllRecordings"); }
STDMETHODIMP CHost::CancelRecording(LONG, FILETIME, FILETIME) { return TX_NOT_BUILT("CHost::CancelRecording"); }
STDMETHODIMP CHost::IsRecordingMarked(BOOL *) { return TX_NOT_BUILT("CHost::IsRecordingMarked"); }
STDMETHODIMP CHost::IsRecordingProgramme(LONG, FILETIME, FILETIME, BOOL *)
{
    return TX_NOT_BUILT("CHost::IsRecordingProgramme");
}
STDMETHODIMP CHost::GetCdPlayer(ICdAudioDisc **) { return TX_NOT_BUILT("CHost::GetCdPlayer"); }
STDMETHODIMP CHost::LoadPlaylist(BSTR) { return TX_NOT_BUILT("CHost::LoadPlaylist"); }
STDMETHODIMP CHost::RunProgramAndWait(BSTR, BSTR) { return TX_NOT_BUILT("CHost::RunProgramAndWait"); }
STDMETHODIMP CHost::SuspendSystem() { return TX_NOT_BUILT("CHost::SuspendSystem"); }

// --- IHostCollection (media library) ---------------------------------------------------
STDMETHODIMP CHost::SelectByType(LONG) { return TX_NOT_BUILT("CHost::SelectByType"); }
STDMETHODIMP CHost::GetCategoryValueList(BSTR, BSTR, IMediaIdList **)
{
    return TX_NOT_BUILT("CHost::GetCategoryValueList");
}
STDMETHODIMP CHost::NarrowByCategoryValue(BSTR, BSTR) { return TX_NOT_BUILT("CHost::NarrowByCategoryValue"); }
STDMETHODIMP CHost::GetSelectedItemList(IMediaIdList **) { return TX_NOT_BUILT("CHost::GetSelectedItemList"); }
STDMETHODIMP CHost::GetSelection(LONG **, LONG *) { return TX_NOT_BUILT("CHost::GetSelection"); }
STDMETHODIMP CHost::SetSelection(const LONG *, LONG) { return TX_NOT_BUILT("CHost::SetSelection"); }
STDMETHODIMP CHost::AddCategoryName(BSTR) { return TX_NOT_BUILT("CHost::AddCategoryName"); }
STDMETHODIMP CHost::AddNamedList(BSTR) { return TX_NOT_BUILT("CHost::AddNamedList"); }
STDMETHODIMP CHost::ReloadAll() { return TX_NOT_BUILT("CHost::ReloadAll"); }
STDMETHODIMP CHost::NarrowByNamedList(BSTR) { return TX_NOT_BUILT("CHost::NarrowByNamedList"); }

// --- IHostPictureReset (playback engine) ------------------------------------------------
STDMETHODIMP CHost::ResetPictureLevels() { return TX_NOT_BUILT("CHost::ResetPictureLevels"); }

// --- Lifecycle ----------------------------------------------------------------------------

void CHost::ShutdownPlayback() noexcept { TX_NOT_BUILT("CHost::ShutdownPlayback"); }

void CHost::ShutdownTv(bool) noexcept
{
    TX_NOT_BUILT("CHost::ShutdownTv");
    // The event sinks and the OSD must let the host go even before the TV part is built.
    m_eventSinks.FireHostReleased();
    m_osd.Shutdown();
}

void CHost::ShutdownIfRequested() noexcept
{
    if (m_shutdownAtExit)
        TX_NOT_BUILT("CHost::ShutdownIfRequested");
}

void CHost::PreTranslateMessage(MSG *) noexcept {}

// --- Handlers of the main window ---------------------------------------------------------

void CHost::ExecuteAction(WPARAM action) noexcept
{
    try
    {
        const std::wstring message =
            L"Failed to run CHost::ExecuteAction " + std::to_wstring(static_cast<unsigned long long>(action)) +
            L": not built yet";
        tx::host::NotBuilt(message.c_str());
    }
    catch (...)
    {
    }
}

void CHost::OnGraphEvent() noexcept { TX_NOT_BUILT("CHost::OnGraphEvent"); }
void CHost::OnMediaArrived(DWORD) noexcept { TX_NOT_BUILT("CHost::OnMediaArrived"); }
void CHost::OnMediaRemoved(DWORD) noexcept { TX_NOT_BUILT("CHost::OnMediaRemoved"); }
void CHost::ShowDecoderPropertyPages() noexcept { TX_NOT_BUILT("CHost::ShowDecoderPropertyPages"); }
void CHost::OpenFile() noexcept { TX_NOT_BUILT("CHost::OpenFile"); }
void CHost::ParseTextCommand(const wchar_t *) noexcept { TX_NOT_BUILT("CHost::ParseTextCommand"); }
void CHost::SetWebProgress(WPARAM, LPARAM) noexcept { TX_NOT_BUILT("CHost::SetWebProgress"); }
void CHost::ShowWebProgress(WPARAM) noexcept { TX_NOT_BUILT("CHost::ShowWebProgress"); }
void CHost::OnPlayPath(const wchar_t *, LPARAM) noexcept { TX_NOT_BUILT("CHost::OnPlayPath"); }

LRESULT CHost::OnSetOption(WPARAM, LPARAM) noexcept
{
    TX_NOT_BUILT("CHost::OnSetOption");
    return 0;
}

void CHost::OnPowerMessage() noexcept { TX_NOT_BUILT("CHost::OnPowerMessage"); }
void CHost::OnMciPollTimer() noexcept { TX_NOT_BUILT_ONCE("CHost::OnMciPollTimer"); }
void CHost::OnUpdateTimer() noexcept
{
    // The skin manager's 100 ms tick (indicator time-outs, clock, animations, the page's
    // timer); it refreshes the OSD itself when something changed. The playback
    // information and buffering updates of this tick are not built yet.
    m_osd.Tick(0);
    TX_NOT_BUILT_ONCE("CHost::OnUpdateTimer playback information");
}
void CHost::OnWebCursorTimer() noexcept { TX_NOT_BUILT_ONCE("CHost::OnWebCursorTimer"); }
void CHost::OnIdleTimer() noexcept { TX_NOT_BUILT_ONCE("CHost::OnIdleTimer"); }

// --- Operations of other subsystems on the host ------------------------------------------
HRESULT CHost::ChangeChannel(LONG) noexcept { return TX_NOT_BUILT("CHost::ChangeChannel"); }
HRESULT CHost::TuneChannel(LONG) noexcept { return TX_NOT_BUILT("CHost::TuneChannel"); }
HRESULT CHost::SetAudioOutputMode(LONG) noexcept { return TX_NOT_BUILT("CHost::SetAudioOutputMode"); }
void CHost::TurnPictureTimerOffAndRedraw() noexcept { TX_NOT_BUILT("CHost::TurnPictureTimerOffAndRedraw"); }
HRESULT CHost::ReleaseGraph(LONG) noexcept { return TX_NOT_BUILT("CHost::ReleaseGraph"); }
HRESULT CHost::ApplyPictavoSettings() noexcept { return TX_NOT_BUILT("CHost::ApplyPictavoSettings"); }
HRESULT CHost::GetVideoFrameSize(LONG *, LONG *) noexcept { return TX_NOT_BUILT("CHost::GetVideoFrameSize"); }
HRESULT CHost::StopMedia(LONG, LONG, LONG) noexcept { return TX_NOT_BUILT("CHost::StopMedia"); }
HRESULT CHost::SetVideoOutputMode(LONG) noexcept { return TX_NOT_BUILT("CHost::SetVideoOutputMode"); }
HRESULT CHost::SaveAudioMode(LONG, LONG, LONG) noexcept { return TX_NOT_BUILT("CHost::SaveAudioMode"); }
HRESULT CHost::LoadSoftwareDecoders() noexcept { return TX_NOT_BUILT("CHost::LoadSoftwareDecoders"); }
HRESULT CHost::LoadSuffixes() noexcept { return TX_NOT_BUILT("LoadSuffixes"); }
HRESULT CHost::RebuildCollection() noexcept { return TX_NOT_BUILT("RebuildCollection"); }
HRESULT CHost::InitPvrManager() noexcept { return TX_NOT_BUILT("CPvrManager::Init"); }
HRESULT CHost::InitScreenSaver() noexcept { return TX_NOT_BUILT("CScreenSaver::Init"); }
HRESULT CHost::StopCdAudioPlayer() noexcept { return TX_NOT_BUILT("CCdAudioDisc::Stop"); }
HRESULT CHost::StopVcdNavigator() noexcept { return TX_NOT_BUILT("CVcdNavigator::Stop"); }
HRESULT CHost::CloseDvdPlayer() noexcept { return TX_NOT_BUILT("CDvdMciPlayer::Close"); }

bool CHost::GetVideoOutputMode(LONG *, LONG *) noexcept
{
    TX_NOT_BUILT("CHost::GetVideoOutputMode");
    return false;
}

HRESULT CHost::OpenSkinPage(const wchar_t *name, IUnknown *) noexcept
{
    try
    {
        const std::wstring message =
            L"Failed to run ISkinManager::OpenPage " + std::wstring(name ? name : L"") + L": not built yet";
        return tx::host::NotBuilt(message.c_str());
    }
    catch (...)
    {
        return E_NOTIMPL;
    }
}

#include "txHost/core/OsdStatus.h"

#include <cstdio>

namespace tx::host
{

namespace
{

// Codes 3, 4 and 12 hand the screen back to the pages (or the web page).
void ReturnToPages(int32_t code, IOsdStatusHost &host, IOsdStatusSkin &skin, tx::skin::StatusIndicators *indicators)
{
    if (indicators)
        indicators->SetBuffering(100);
    if (host.WebViewShown() && code != OSD_STATUS_AUDIO_STARTED)
    {
        host.OnPictureTimerChange(true);
        host.OpenWeb();
        return;
    }
    // The OSD display flag is the picture timer's running flag.
    const bool osdShown = indicators && indicators->Picture().running;
    if (!osdShown && code == OSD_STATUS_AUDIO_STARTED)
        return;
    const int32_t timeOut = host.OsdTimeOut();
    if (timeOut != 0 && indicators)
        indicators->StartPictureTimer(timeOut, code != OSD_STATUS_AUDIO_STARTED);
    skin.SetPictureView(true);
}

const wchar_t *DvdVcdKey(int32_t code)
{
    switch (code)
    {
    case OSD_STATUS_PLAYING_DVD:
        return L"$PlayingDVD$";
    case OSD_STATUS_PLAYING_VCD:
        return L"$PlayingVCD$";
    case OSD_STATUS_MOUNTING_DRIVE:
        return L"$MountingDrive$";
    case OSD_STATUS_RECORDING_STARTED:
        return L"$StartRecordingMessage$";
    case OSD_STATUS_RECORDING_STOPPED:
        return L"$StopRecordingMessage$";
    case OSD_STATUS_RECORDING_IN_PROGRESS:
        return L"$RecordingInProgressMessage$";
    case OSD_STATUS_LOW_DISK_SPACE:
        return L"$LowDiskspaceMessage$";
    case OSD_STATUS_PLAYING_CD:
        return L"$PlayingCD$";
    case OSD_STATUS_DVD_REGION_ERROR:
        return L"$DVDRegionError$";
    case OSD_STATUS_INVALID_PATH:
        return L"$InvalidPath$";
    case OSD_STATUS_INVALID_RECORDING_TIME:
        return L"$InvalidRecordingTime$";
    default:
        return nullptr;
    }
}

} // namespace

std::wstring AudioChannelText(int32_t mode)
{
    switch (mode)
    {
    case 0:
        return L"Stereo";
    case 1:
        return L"Left";
    case 2:
        return L"Right";
    default:
        return std::wstring();
    }
}

std::wstring TvStandardText(const VideoOutputState &state, int32_t outputMode, bool autoFreq,
                            const std::wstring &hdtvName)
{
    if (outputMode == 4)
        return L"VGA";
    if (state.flags & 0x20)
        return L"HDTV(" + hdtvName + L")";
    const wchar_t *chosen = state.standard == 1 ? L" (NTSC)" : (state.standard == 2 ? L" (PAL)" : L"");
    if (autoFreq)
        return std::wstring(L"AutoFreq") +
               (state.standard == 1 ? L" (PAL60)" : (state.standard == 2 ? L" (PAL)" : L""));
    if (state.flags & 0x10)
        return std::wstring(L"Auto") + chosen;
    if (state.flags & 0x02)
        return L"PAL";
    if (state.flags & 0x08)
        return L"PAL60";
    return L"NTSC";
}

std::wstring AspectText(double ratio)
{
    wchar_t text[64] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%.2f", ratio);
    return text;
}

std::wstring FilterSubtitleCaption(bool off, int32_t index, const std::wstring &name)
{
    if (off)
        return L"SUBTITLE OFF";
    return std::to_wstring(int64_t(index) + 1) + L". " + name + L" SUBTITLE";
}

std::wstring OutsideSubtitleCaption(int32_t selectedIndex, int32_t ordinal, const std::wstring &name)
{
    if (selectedIndex == -1)
        return L"SUBTITLE OFF";
    if (name.empty())
        return std::wstring();
    return std::to_wstring(int64_t(ordinal) + 1) + L". " + name;
}

void ApplyOsdStatus(int32_t code, IOsdStatusHost &host, IOsdStatusSkin &skin)
{
    // Without a skin the captions are skipped while the page and picture-view parts run.
    tx::skin::StatusIndicators *ind = skin.Indicators();
    switch (code)
    {
    case OSD_STATUS_PAUSED:
    case OSD_STATUS_PAUSE_TIMED:
        if (!host.CleanPause() && ind)
            ind->SetPauseIndicator(L"PAUSE", code == OSD_STATUS_PAUSE_TIMED);
        break;
    case OSD_STATUS_CLEAR_PAUSE:
        if (ind)
            ind->SetPauseIndicator(L"", false);
        break;
    case OSD_STATUS_REFRESH_PAGE:
        skin.RefreshPage();
        break;
    case OSD_STATUS_MEDIA_CLOSED:
    case OSD_STATUS_STOPPED:
    case OSD_STATUS_AUDIO_STARTED:
        ReturnToPages(code, host, skin, ind);
        break;
    case OSD_STATUS_MUTE_ON:
    case OSD_STATUS_MUTE_OFF:
        if (ind)
            ind->SetMute(code == OSD_STATUS_MUTE_ON);
        break;
    case OSD_STATUS_AUDIO_CHANNEL: {
        int32_t mode = 0;
        if (host.GetDecoderChannelMode(&mode) && ind)
            ind->ShowAudioInfo(AudioChannelText(mode));
        break;
    }
    case OSD_STATUS_VOLUME: {
        const int32_t volume = host.GetVolume();
        if (ind)
            ind->SetVolume(volume);
        break;
    }
    case OSD_STATUS_PLAYING_DVD:
    case OSD_STATUS_PLAYING_VCD:
    case OSD_STATUS_MOUNTING_DRIVE:
    case OSD_STATUS_RECORDING_STARTED:
    case OSD_STATUS_RECORDING_STOPPED:
    case OSD_STATUS_RECORDING_IN_PROGRESS:
    case OSD_STATUS_LOW_DISK_SPACE:
    case OSD_STATUS_PLAYING_CD:
        if (ind)
            ind->ShowDvdVcdText(DvdVcdKey(code));
        break;
    case OSD_STATUS_DVD_REGION_ERROR:
    case OSD_STATUS_INVALID_PATH:
    case OSD_STATUS_INVALID_RECORDING_TIME:
        if (ind)
            ind->ShowDvdVcdTextHeld(DvdVcdKey(code), 3);
        break;
    case OSD_STATUS_VIDEO_STARTED:
        skin.SetSlideInterval(host.OsdTimeOut());
        skin.SetPictureView(false);
        break;
    case OSD_STATUS_CLEAR_NUMBER:
        if (ind)
            ind->ShowNumber(-1);
        break;
    case OSD_STATUS_DVD_TRICK_PLAY: {
        const std::wstring caption = host.DvdTrickCaption();
        if (ind)
            ind->SetPauseIndicator(caption, false);
        break;
    }
    case OSD_STATUS_PREVIOUS:
        if (ind)
            ind->SetPauseIndicator(L"PREV", true);
        break;
    case OSD_STATUS_NEXT:
        if (ind)
            ind->SetPauseIndicator(L"NEXT", true);
        break;
    case OSD_STATUS_PLAY_TIMED:
        if (ind)
            ind->SetPauseIndicator(L"PLAY", true);
        break;
    case OSD_STATUS_DVD_SUBTITLE: {
        const std::wstring caption = host.DvdSubtitleCaption();
        if (ind)
            ind->ShowDvdIndicator(caption, tx::skin::DVD_INDICATOR_SUBTITLE);
        break;
    }
    case OSD_STATUS_DVD_ANGLE: {
        const std::wstring caption = host.DvdAngleCaption();
        if (ind)
            ind->ShowDvdIndicator(caption, tx::skin::DVD_INDICATOR_ANGLE);
        break;
    }
    case OSD_STATUS_AUDIO_STREAM: {
        const std::wstring caption = host.AudioStreamCaption();
        if (ind)
            ind->ShowDvdIndicator(caption, tx::skin::DVD_INDICATOR_AUDIO_STREAM);
        break;
    }
    case OSD_STATUS_FILE_SUBTITLE: {
        const std::wstring caption = host.FileSubtitleCaption();
        if (ind)
            ind->ShowDvdIndicator(caption, tx::skin::DVD_INDICATOR_FILE_SUBTITLE);
        break;
    }
    case OSD_STATUS_TV_STANDARD: {
        VideoOutputState state;
        if (!host.GetVideoOutput(&state))
            break;
        const int32_t outputMode = host.OutputMode();
        const std::wstring hdtv = (outputMode != 4 && (state.flags & 0x20)) ? host.HdtvModeName(state.option) : L"";
        if (ind)
            ind->ShowTvStandard(TvStandardText(state, outputMode, host.AutoFreq(), hdtv));
        break;
    }
    case OSD_STATUS_ASPECT: {
        int32_t type = 2;
        double ratio = 1.0;
        host.GetSourceAspect(&type, &ratio);
        double overrideRatio = 0.0;
        if (host.GetAspectOverride(&overrideRatio))
            ratio = overrideRatio;
        if (ind)
            ind->ShowTvStandard(AspectText(ratio));
        break;
    }
    default:
        break;
    }
}

} // namespace tx::host

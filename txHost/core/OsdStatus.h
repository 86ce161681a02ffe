#pragma once
// Status codes of CHost::ShowOsdStatus and how each becomes a caption on the status
// indicators. Portable: the host's state and queries come through IOsdStatusHost, the
// skin manager through IOsdStatusSkin, so the whole table runs under tests with fakes.
// Thread: the UI thread.
#include "txHost/skin/StatusIndicators.h"

#include <cstdint>
#include <string>

namespace tx::host
{

enum OsdStatusCode : int32_t
{
    OSD_STATUS_PAUSED = 0,
    OSD_STATUS_CLEAR_PAUSE = 1,
    OSD_STATUS_REFRESH_PAGE = 2,
    OSD_STATUS_MEDIA_CLOSED = 3,
    OSD_STATUS_STOPPED = 4,
    OSD_STATUS_MUTE_ON = 5,
    OSD_STATUS_MUTE_OFF = 6,
    OSD_STATUS_AUDIO_CHANNEL = 7,
    OSD_STATUS_VOLUME = 8,
    OSD_STATUS_PLAYING_DVD = 9,
    OSD_STATUS_PLAYING_VCD = 10,
    OSD_STATUS_VIDEO_STARTED = 11,
    OSD_STATUS_AUDIO_STARTED = 12,
    OSD_STATUS_CLEAR_NUMBER = 13,
    OSD_STATUS_DVD_TRICK_PLAY = 14,
    OSD_STATUS_PREVIOUS = 15,
    OSD_STATUS_NEXT = 16,
    OSD_STATUS_DVD_SUBTITLE = 17,
    OSD_STATUS_DVD_ANGLE = 18,
    OSD_STATUS_AUDIO_STREAM = 19,
    OSD_STATUS_FILE_SUBTITLE = 20,
    OSD_STATUS_PAUSE_TIMED = 21,
    OSD_STATUS_PLAY_TIMED = 22,
    OSD_STATUS_TV_STANDARD = 23,
    OSD_STATUS_MOUNTING_DRIVE = 24,
    OSD_STATUS_RECORDING_STARTED = 25,
    OSD_STATUS_RECORDING_STOPPED = 26,
    OSD_STATUS_RECORDING_IN_PROGRESS = 27,
    OSD_STATUS_LOW_DISK_SPACE = 28,
    OSD_STATUS_PLAYING_CD = 29,
    OSD_STATUS_ASPECT = 30,
    OSD_STATUS_DVD_REGION_ERROR = 31,
    OSD_STATUS_INVALID_PATH = 32,
    OSD_STATUS_INVALID_RECORDING_TIME = 33,
};

// The decoder's video output as the TV-standard caption reads it.
struct VideoOutputState
{
    int32_t flags = 0;    // 0x02 PAL, 0x08 PAL60, 0x10 automatic, 0x20 HDTV
    int32_t standard = 0; // 1 or 2: the standard an automatic output chose
    int32_t option = 0;   // the output option value (names the HDTV mode)
};

// What the captions read of the host. Each query that cannot be answered says so and
// the caption then follows its failure rule.
class IOsdStatusHost
{
  public:
    virtual bool CleanPause() = 0;
    virtual int32_t OsdTimeOut() = 0; // seconds
    virtual bool WebViewShown() = 0;
    // The decoder's channel mode (0 stereo, 1 left, 2 right); false when the query failed.
    virtual bool GetDecoderChannelMode(int32_t *mode) = 0;
    virtual int32_t GetVolume() = 0; // percent
    // Caption queries; an empty text when the query does not apply.
    virtual std::wstring DvdTrickCaption() = 0;
    virtual std::wstring DvdSubtitleCaption() = 0;
    virtual std::wstring DvdAngleCaption() = 0;
    virtual std::wstring AudioStreamCaption() = 0;
    virtual std::wstring FileSubtitleCaption() = 0;
    // The TV standard: false when the decoder's output could not be read.
    virtual bool GetVideoOutput(VideoOutputState *state) = 0;
    virtual int32_t OutputMode() = 0;
    virtual bool AutoFreq() = 0;
    virtual std::wstring HdtvModeName(int32_t option) = 0;
    // The source aspect ratio (preset by the caller); the per-media override when set.
    virtual void GetSourceAspect(int32_t *type, double *ratio) = 0;
    virtual bool GetAspectOverride(double *ratio) = 0;
    // Back to the web page.
    virtual void OnPictureTimerChange(bool on) = 0;
    virtual void OpenWeb() = 0;
};

// What the captions drive of the skin manager besides the indicators.
class IOsdStatusSkin
{
  public:
    // Null when no skin is loaded: the captions are skipped, the rest still runs.
    virtual tx::skin::StatusIndicators *Indicators() = 0;
    virtual void RefreshPage() = 0;
    virtual void SetSlideInterval(int32_t seconds) = 0;
    virtual void SetPictureView(bool on) = 0;
};

// Shows one status code (codes above 33 and below 0 do nothing here). The caller then
// refreshes the OSD and fires the status event, whatever the code.
void ApplyOsdStatus(int32_t code, IOsdStatusHost &host, IOsdStatusSkin &skin);

// The caption texts.
std::wstring AudioChannelText(int32_t mode);
std::wstring TvStandardText(const VideoOutputState &state, int32_t outputMode, bool autoFreq,
                            const std::wstring &hdtvName);
std::wstring AspectText(double ratio);
// "SUBTITLE OFF", or "<index + 1>. <name> SUBTITLE" from the subtitle filter's own state.
std::wstring FilterSubtitleCaption(bool off, int32_t index, const std::wstring &name);
// The outside subtitle filter: "SUBTITLE OFF" for index -1, else "<ordinal + 1>. <name>";
// empty when the stream has no name.
std::wstring OutsideSubtitleCaption(int32_t selectedIndex, int32_t ordinal, const std::wstring &name);

} // namespace tx::host

#pragma once
// The status indicators drawn over every page: pause and trick-play caption, TV standard,
// volume bar and mute sign, disc messages, free messages, the typed number, progress
// texts, the web-page and buffering bars, the DVD caption, the programme box with its
// clock, and the diagnostic log text. The indicators are ordinary skin elements of the
// skin's "status" page (the log text lives in the "log" page), found by id at every call;
// a missing element is skipped while counters and flags still change.
//
// Portable: the elements are reached through IStatusElements and the local time through
// IStatusClock, so the state machine runs the same under tests and in the skin manager.
// Thread: every operation runs on the UI thread under the skin lock, except ShowLogLine,
// which any thread may call (it only queues; FlushLogLines appends on the UI thread).
// No operation redraws: the caller refreshes the OSD when "changed" or after a show.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace tx::skin
{

// The element operations the indicators use, by element id. Each answers false when the
// page lacks the element or the element lacks the face (text, bar) the operation needs;
// out values are then untouched.
class IStatusElements
{
  public:
    virtual bool SetVisible(std::wstring_view id, bool visible) = 0;
    virtual bool GetVisible(std::wstring_view id, bool *visible) = 0;
    // Text elements. SetText passes string-table keys ("$Key$") through the language table.
    virtual bool SetText(std::wstring_view id, std::wstring_view text) = 0;
    virtual bool GetText(std::wstring_view id, std::wstring *text) = 0;
    virtual bool AppendText(std::wstring_view id, std::wstring_view text) = 0;
    virtual bool SetPosition(std::wstring_view id, int32_t x, int32_t y) = 0;
    // The skin's alignment codes: 0 left, 1 right, 2 centre.
    virtual bool SetAlign(std::wstring_view id, int32_t align) = 0;
    // Bars (rect and blockrect): the length in pixels.
    virtual bool GetLength(std::wstring_view id, int32_t *length) = 0;
    virtual bool SetLength(std::wstring_view id, int32_t length) = 0;

  protected:
    ~IStatusElements() = default;
};

// Local time to the minute, as the clock compares it.
struct StatusClockTime
{
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    bool operator==(const StatusClockTime &) const = default;
};

// The local time and its formatting with the skin's date and time pictures.
class IStatusClock
{
  public:
    virtual StatusClockTime Now() = 0;
    virtual std::wstring FormatDate(const StatusClockTime &time, const std::wstring &picture) = 0;
    virtual std::wstring FormatTime(const StatusClockTime &time, const std::wstring &picture) = 0;

  protected:
    ~IStatusClock() = default;
};

// Display times in ticks of the 100 ms host timer.
inline constexpr int32_t kPauseTicks = 15;
inline constexpr int32_t kTvStandardTicks = 15;
inline constexpr int32_t kDvdTicks = 15;
inline constexpr int32_t kDvdVcdTicks = 30;
inline constexpr int32_t kAudioTicks = 35;
inline constexpr int32_t kVolumeTicks = 35;
inline constexpr int32_t kGuideTicks = 300;
// The log element keeps at most this many characters; older lines go from the front.
inline constexpr size_t kLogTextChars = 32 * 1024;
// Lines queued between two ticks beyond this are dropped with one marker line.
inline constexpr size_t kLogQueueChars = 64 * 1024;

// Kinds of the text last shown in "dvd".
enum DvdIndicatorKind : int32_t
{
    DVD_INDICATOR_SUBTITLE = 1,
    DVD_INDICATOR_ANGLE = 2,
    DVD_INDICATOR_AUDIO_STREAM = 3,
    DVD_INDICATOR_FILE_SUBTITLE = 4,
};

// base x numerator / denominator without 32-bit overflow, truncated and kept in the
// 32-bit range; 0 for a zero denominator.
int32_t ScaleBarLength(int32_t base, uint64_t numerator, uint64_t denominator) noexcept;

// Seconds of a display time as ticks, clamped: negative seconds give 0 (no time-out).
int32_t SecondsToTicks(int64_t seconds) noexcept;

class StatusIndicators
{
  public:
    // The picture timer, shared with the skin manager's picture-view operations. "running"
    // is also the OSD display flag the host reads.
    struct PictureTimer
    {
        bool running = false;
        int32_t countdown = 0; // ticks
        bool autoAdvance = false;
    };

    // The display counters, in ticks; 0: no time-out runs.
    struct Counters
    {
        int32_t pause = 0;
        int32_t tvStandard = 0;
        int32_t dvdVcd = 0;
        int32_t message = 0;
        int32_t audio = 0;
        int32_t dvd = 0;
        int32_t volume = 0;
        int32_t epg = 0;
    };

    explicit StatusIndicators(IStatusClock &clock) noexcept : m_clock(clock)
    {
    }
    StatusIndicators(const StatusIndicators &) = delete;
    StatusIndicators &operator=(const StatusIndicators &) = delete;

    // The pages of the loaded skin (either may be null: its operations then change only
    // the state). The pages must outlive their use; set them again after every skin load.
    void SetPages(IStatusElements *statusPage, IStatusElements *logPage) noexcept;
    // The skin's date and time pictures, taken from the "date" and "time" texts at load.
    void SetClockPictures(std::wstring timePicture, std::wstring datePicture);

    void HideIndicators() noexcept;
    void SetPauseIndicator(std::wstring_view text, bool timed) noexcept;
    void ShowTvStandard(std::wstring_view text) noexcept;
    void SetProgress(std::wstring_view text, bool visible) noexcept;
    void UpdateClock(bool *changed) noexcept;
    void SetMute(bool muted) noexcept;
    void ShowDvdVcdText(std::wstring_view text) noexcept;
    void ShowDvdVcdTextHeld(std::wstring_view text, int64_t seconds) noexcept;
    // align in the skin's codes: 0 left, 1 right, 2 centre. 0 seconds: stays up.
    void ShowMessage(std::wstring_view text, int32_t x, int32_t y, int32_t align, int64_t seconds) noexcept;
    void StartPictureTimer(int64_t seconds, bool hideDvdVcd) noexcept;
    void ShowNumber(int32_t number) noexcept;
    bool IsElementShowingText(std::wstring_view id) noexcept;
    bool IsAudioShown() noexcept
    {
        return IsElementShowingText(L"audio");
    }
    bool IsTvStandardShown() noexcept
    {
        return IsElementShowingText(L"tvstandard");
    }
    // "dvd" shows a text of that kind (1 to 4).
    bool IsDvdIndicatorKind(int32_t kind) noexcept;
    void ShowAudioInfo(std::wstring_view text) noexcept;
    void SetVolume(int32_t percent) noexcept;
    void SetWebProgress(int32_t progress, int32_t maximum) noexcept;
    void HideWebProgress(bool hide) noexcept;
    void SetBuffering(uint32_t percent) noexcept;
    void ShowDvdIndicator(std::wstring_view text, int32_t kind) noexcept;
    void ShowGuideInfo(bool show, std::wstring_view channel, std::wstring_view title, std::wstring_view time,
                       std::wstring_view description) noexcept;

    // Once a tick: counters in the order pause, dvdvcd, audio, dvd, volume, tvstandard,
    // epg, message; the clock while the programme box is up; the picture countdown. At
    // its end with auto-advance on, onPictureTimer is asked (it answers whether the page
    // handled it; empty: not handled). Sets *changed when something must be redrawn.
    void TickIndicators(bool *changed, const std::function<bool()> &onPictureTimer = {}) noexcept;

    // Any thread: queues a piece of log text for the "log" element.
    void ShowLogLine(std::wstring_view text) noexcept;
    // UI thread: appends the queued pieces to "log"; sets *changed when any were appended.
    void FlushLogLines(bool *changed) noexcept;

    PictureTimer &Picture() noexcept
    {
        return m_picture;
    }
    const Counters &DisplayCounters() const noexcept
    {
        return m_counters;
    }
    int32_t DvdIndicatorKind() const noexcept
    {
        return m_dvdKind;
    }
    bool DvdVcdHeld() const noexcept
    {
        return m_dvdVcdHeld;
    }

  private:
    void Show(std::wstring_view id, std::wstring_view text) noexcept;
    void Hide(std::wstring_view id) noexcept;
    void SetBar(std::wstring_view on, std::wstring_view base, uint64_t numerator, uint64_t denominator) noexcept;

    IStatusClock &m_clock;
    IStatusElements *m_status = nullptr;
    IStatusElements *m_log = nullptr;

    Counters m_counters;
    int32_t m_dvdKind = 0;
    bool m_dvdVcdHeld = false;
    PictureTimer m_picture;

    bool m_clockShown = false;
    StatusClockTime m_clockTime;
    std::wstring m_timePicture;
    std::wstring m_datePicture;

    std::mutex m_logQueueLock;
    std::wstring m_logQueue;
    bool m_logQueueOverflow = false;
    std::wstring m_logTail; // what "log" shows, kept to trim it without reading it back
};

} // namespace tx::skin

#include "txHost/skin/StatusIndicators.h"

#include <limits>

namespace tx::skin
{

int32_t ScaleBarLength(int32_t base, uint64_t numerator, uint64_t denominator) noexcept
{
    if (denominator == 0)
        return 0;
    // A base of up to 2^31 times a progress of up to 2^32 does not fit 32 bits; the
    // product fits 64 bits whenever the numerator does, and larger numerators are first
    // brought under the denominator's scale.
    const bool negative = base < 0;
    const uint64_t magnitude = negative ? uint64_t(-int64_t(base)) : uint64_t(base);
    uint64_t length;
    if (numerator <= (std::numeric_limits<uint64_t>::max)() / (magnitude ? magnitude : 1))
        length = magnitude * numerator / denominator;
    else
        length = magnitude * (numerator / denominator) + magnitude * (numerator % denominator) / denominator;
    const uint64_t limit = negative ? uint64_t(1) << 31 : uint64_t((std::numeric_limits<int32_t>::max)());
    if (length > limit)
        length = limit;
    return negative ? int32_t(-int64_t(length)) : int32_t(length);
}

int32_t SecondsToTicks(int64_t seconds) noexcept
{
    if (seconds <= 0)
        return 0;
    constexpr int64_t maxTicks = (std::numeric_limits<int32_t>::max)();
    return seconds >= maxTicks / 10 ? int32_t(maxTicks) : int32_t(seconds * 10);
}

void StatusIndicators::SetPages(IStatusElements *statusPage, IStatusElements *logPage) noexcept
{
    m_status = statusPage;
    m_log = logPage;
    // A new log element starts empty: what the old one showed is gone with it.
    m_logTail.clear();
}

void StatusIndicators::SetClockPictures(std::wstring timePicture, std::wstring datePicture)
{
    m_timePicture = std::move(timePicture);
    m_datePicture = std::move(datePicture);
    m_clockShown = false;
}

void StatusIndicators::Show(std::wstring_view id, std::wstring_view text) noexcept
{
    if (!m_status)
        return;
    m_status->SetText(id, text);
    m_status->SetVisible(id, true);
}

void StatusIndicators::Hide(std::wstring_view id) noexcept
{
    if (m_status)
        m_status->SetVisible(id, false);
}

void StatusIndicators::HideIndicators() noexcept
{
    for (const wchar_t *id : {L"dvd", L"pause", L"volume", L"webprog", L"buffering", L"audio", L"mute", L"progress",
                              L"progressBack", L"epg"})
        Hide(id);
}

void StatusIndicators::SetPauseIndicator(std::wstring_view text, bool timed) noexcept
{
    Show(L"pause", text);
    m_counters.pause = timed ? kPauseTicks : 0;
}

void StatusIndicators::ShowTvStandard(std::wstring_view text) noexcept
{
    Show(L"tvstandard", text);
    m_counters.tvStandard = kTvStandardTicks;
}

void StatusIndicators::SetProgress(std::wstring_view text, bool visible) noexcept
{
    if (!m_status)
        return;
    m_status->SetText(L"progress", text);
    m_status->SetVisible(L"progress", visible);
    m_status->SetVisible(L"progressBack", visible);
}

void StatusIndicators::UpdateClock(bool *changed) noexcept
{
    const StatusClockTime now = m_clock.Now();
    // Seconds are not compared: the texts change at most once a minute.
    if (m_clockShown && now == m_clockTime)
        return;
    m_clockShown = true;
    m_clockTime = now;
    if (m_status)
    {
        try
        {
            m_status->SetText(L"date", m_clock.FormatDate(now, m_datePicture));
            m_status->SetText(L"time", m_clock.FormatTime(now, m_timePicture));
        }
        catch (...)
        {
            // Out of memory while formatting: the old texts stay; the next minute retries.
            m_clockShown = false;
        }
    }
    if (changed)
        *changed = true;
}

void StatusIndicators::SetMute(bool muted) noexcept
{
    if (!m_status)
        return;
    m_status->SetVisible(L"mute", muted);
    if (muted)
        m_status->SetVisible(L"volume", false);
}

void StatusIndicators::ShowDvdVcdText(std::wstring_view text) noexcept
{
    m_dvdVcdHeld = false;
    Show(L"dvdvcd", text);
    m_counters.dvdVcd = kDvdVcdTicks;
}

void StatusIndicators::ShowDvdVcdTextHeld(std::wstring_view text, int64_t seconds) noexcept
{
    m_dvdVcdHeld = true;
    Show(L"dvdvcd", text);
    m_counters.dvdVcd = SecondsToTicks(seconds);
}

void StatusIndicators::ShowMessage(std::wstring_view text, int32_t x, int32_t y, int32_t align,
                                   int64_t seconds) noexcept
{
    if (m_status)
    {
        m_status->SetPosition(L"message", x, y);
        m_status->SetAlign(L"message", align);
        Show(L"message", text);
    }
    m_counters.message = SecondsToTicks(seconds);
}

void StatusIndicators::StartPictureTimer(int64_t seconds, bool hideDvdVcd) noexcept
{
    if (hideDvdVcd && !m_dvdVcdHeld)
        Hide(L"dvdvcd");
    m_picture.autoAdvance = false;
    if (!m_picture.running)
    {
        m_picture.running = true;
        if (seconds != 0)
            m_picture.countdown = SecondsToTicks(seconds);
    }
}

void StatusIndicators::ShowNumber(int32_t number) noexcept
{
    try
    {
        Show(L"num", number < 0 ? std::wstring() : std::to_wstring(number));
    }
    catch (...)
    {
    }
}

bool StatusIndicators::IsElementShowingText(std::wstring_view id) noexcept
{
    bool visible = false;
    if (!m_status || !m_status->GetVisible(id, &visible) || !visible)
        return false;
    try
    {
        std::wstring text;
        return m_status->GetText(id, &text) && !text.empty();
    }
    catch (...)
    {
        return false;
    }
}

bool StatusIndicators::IsDvdIndicatorKind(int32_t kind) noexcept
{
    return m_dvdKind == kind && IsElementShowingText(L"dvd");
}

void StatusIndicators::ShowAudioInfo(std::wstring_view text) noexcept
{
    Show(L"audio", text);
    m_counters.audio = kAudioTicks;
}

void StatusIndicators::SetBar(std::wstring_view on, std::wstring_view base, uint64_t numerator,
                              uint64_t denominator) noexcept
{
    int32_t baseLength = 0;
    if (m_status && m_status->GetLength(base, &baseLength))
        m_status->SetLength(on, ScaleBarLength(baseLength, numerator, denominator));
}

void StatusIndicators::SetVolume(int32_t percent) noexcept
{
    // The volume is 0..100; anything outside would draw past the base or backwards.
    const int32_t clamped = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    SetBar(L"volumeOn", L"volumeBase", uint64_t(clamped), 100);
    if (m_status)
        m_status->SetVisible(L"volume", true);
    m_counters.volume = kVolumeTicks;
}

void StatusIndicators::SetWebProgress(int32_t progress, int32_t maximum) noexcept
{
    if (progress < 0 || maximum <= 0)
        return;
    SetBar(L"webprogOn", L"webprogBase", uint64_t(progress > maximum ? maximum : progress), uint64_t(maximum));
}

void StatusIndicators::HideWebProgress(bool hide) noexcept
{
    if (m_status)
        m_status->SetVisible(L"webprog", !hide);
}

void StatusIndicators::SetBuffering(uint32_t percent) noexcept
{
    if (percent >= 100)
    {
        Hide(L"buffering");
        return;
    }
    SetBar(L"bufferingOn", L"bufferingBase", percent, 100);
    if (m_status)
        m_status->SetVisible(L"buffering", true);
}

void StatusIndicators::ShowDvdIndicator(std::wstring_view text, int32_t kind) noexcept
{
    Show(L"dvd", text);
    m_counters.dvd = kDvdTicks;
    m_dvdKind = kind;
}

void StatusIndicators::ShowGuideInfo(bool show, std::wstring_view channel, std::wstring_view title,
                                     std::wstring_view time, std::wstring_view description) noexcept
{
    if (m_status)
    {
        m_status->SetText(L"channel", channel);
        m_status->SetText(L"title", title);
        m_status->SetText(L"timeinfo", time);
        m_status->SetText(L"desc", description);
        m_status->SetVisible(L"epg", show);
    }
    if (show)
    {
        UpdateClock(nullptr);
        m_counters.epg = kGuideTicks;
    }
    else
    {
        m_counters.epg = 0;
    }
}

void StatusIndicators::TickIndicators(bool *changed, const std::function<bool()> &onPictureTimer) noexcept
{
    bool redraw = false;
    const struct
    {
        int32_t *counter;
        const wchar_t *id;
    } timed[] = {{&m_counters.pause, L"pause"},   {&m_counters.dvdVcd, L"dvdvcd"},
                 {&m_counters.audio, L"audio"},   {&m_counters.dvd, L"dvd"},
                 {&m_counters.volume, L"volume"}, {&m_counters.tvStandard, L"tvstandard"},
                 {&m_counters.epg, L"epg"},       {&m_counters.message, L"message"}};
    for (const auto &entry : timed)
    {
        if (*entry.counter == 0)
            continue;
        if (--*entry.counter == 0)
        {
            // Expiry only hides: the element keeps its text.
            Hide(entry.id);
            redraw = true;
        }
    }

    if (m_counters.epg != 0)
        UpdateClock(&redraw);

    if (m_picture.countdown != 0 && --m_picture.countdown == 0 && m_picture.autoAdvance)
    {
        bool handled = false;
        if (onPictureTimer)
        {
            try
            {
                handled = onPictureTimer();
            }
            catch (...)
            {
                handled = false;
            }
        }
        if (!handled)
        {
            m_picture.running = false;
            redraw = true;
        }
    }

    if (redraw && changed)
        *changed = true;
}

void StatusIndicators::ShowLogLine(std::wstring_view text) noexcept
{
    std::lock_guard<std::mutex> lock(m_logQueueLock);
    if (m_logQueueOverflow)
        return;
    if (m_logQueue.size() + text.size() > kLogQueueChars)
    {
        // The UI thread has not caught up; dropping beats growing without bound.
        m_logQueueOverflow = true;
        return;
    }
    try
    {
        m_logQueue.append(text);
    }
    catch (...)
    {
        m_logQueueOverflow = true;
    }
}

void StatusIndicators::FlushLogLines(bool *changed) noexcept
{
    std::wstring pending;
    bool overflow = false;
    {
        std::lock_guard<std::mutex> lock(m_logQueueLock);
        pending.swap(m_logQueue);
        overflow = m_logQueueOverflow;
        m_logQueueOverflow = false;
    }
    if (pending.empty() && !overflow)
        return;
    try
    {
        if (overflow)
            pending += L"-(log lines dropped)\n";
        if (m_logTail.size() + pending.size() <= kLogTextChars)
        {
            m_logTail += pending;
            if (m_log)
                m_log->AppendText(L"log", pending);
        }
        else
        {
            // Keep the newest whole lines only: the element re-measures all of its text.
            m_logTail += pending;
            size_t cut = m_logTail.size() - kLogTextChars;
            const size_t lineEnd = m_logTail.find(L'\n', cut);
            cut = lineEnd == std::wstring::npos ? cut : lineEnd + 1;
            m_logTail.erase(0, cut);
            if (m_log)
                m_log->SetText(L"log", m_logTail);
        }
    }
    catch (...)
    {
        return;
    }
    if (changed)
        *changed = true;
}

} // namespace tx::skin

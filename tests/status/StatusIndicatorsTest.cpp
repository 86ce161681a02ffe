#include "tests/status/FakeStatusPage.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

using tx::skin::StatusIndicators;
using tx::test::FakeClock;
using tx::test::FakeStatusPage;

namespace
{

class StatusIndicatorsTest : public ::testing::Test
{
  protected:
    StatusIndicatorsTest()
    {
        indicators.SetPages(&page, &logPage);
        indicators.SetClockPictures(L"HH:mm", L"dd.MM.yyyy");
    }

    // Ticks n times; returns on which tick (1-based) "changed" was first set, 0 for none.
    int Tick(int n)
    {
        int first = 0;
        for (int i = 1; i <= n; ++i)
        {
            bool changed = false;
            indicators.TickIndicators(&changed);
            if (changed && !first)
                first = i;
        }
        return first;
    }

    FakeClock clock;
    FakeStatusPage page = FakeStatusPage::Full();
    FakeStatusPage logPage = FakeStatusPage::Full();
    StatusIndicators indicators{clock};
};

TEST_F(StatusIndicatorsTest, TimedIndicatorsHideOnTheirLastTickAndKeepTheirText)
{
    struct Case
    {
        const wchar_t *id;
        std::function<void(StatusIndicators &)> show;
        int ticks;
    } cases[] = {
        {L"pause", [](StatusIndicators &s) { s.SetPauseIndicator(L"PREV", true); }, 15},
        {L"tvstandard", [](StatusIndicators &s) { s.ShowTvStandard(L"PAL"); }, 15},
        {L"dvd", [](StatusIndicators &s) { s.ShowDvdIndicator(L"1. English", 1); }, 15},
        {L"dvdvcd", [](StatusIndicators &s) { s.ShowDvdVcdText(L"$PlayingDVD$"); }, 30},
        {L"dvdvcd", [](StatusIndicators &s) { s.ShowDvdVcdTextHeld(L"$InvalidPath$", 3); }, 30},
        {L"audio", [](StatusIndicators &s) { s.ShowAudioInfo(L"Stereo"); }, 35},
        {L"volume", [](StatusIndicators &s) { s.SetVolume(40); }, 35},
        {L"message", [](StatusIndicators &s) { s.ShowMessage(L"Hello", 10, 20, 2, 7); }, 70},
        {L"epg", [](StatusIndicators &s) { s.ShowGuideInfo(true, L"CH2", L"News", L"20:00-20:15", L"d"); }, 300},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(testing::Message() << "id " << std::string(c.id, c.id + wcslen(c.id)) << ", " << c.ticks);
        c.show(indicators);
        ASSERT_TRUE(page[c.id].visible);
        const std::wstring text = page[c.id].text;
        Tick(c.ticks - 1);
        EXPECT_TRUE(page[c.id].visible);
        bool changed = false;
        indicators.TickIndicators(&changed);
        EXPECT_TRUE(changed);
        EXPECT_FALSE(page[c.id].visible);
        EXPECT_EQ(page[c.id].text, text);
        // A counter at 0 leaves its element alone.
        page[c.id].visible = true;
        Tick(400);
        EXPECT_TRUE(page[c.id].visible);
        page[c.id].visible = false;
    }
}

TEST_F(StatusIndicatorsTest, UntimedAndZeroSecondIndicatorsStayAndShowingAgainRestartsTheTime)
{
    indicators.SetPauseIndicator(L"PAUSE", false);
    indicators.ShowMessage(L"Stay", 5, 6, 1, 0);
    indicators.ShowMessage(L"Stay", 5, 6, 1, -4); // a negative time never runs down
    EXPECT_EQ(Tick(1000), 0);
    EXPECT_TRUE(page[L"pause"].visible);
    EXPECT_TRUE(page[L"message"].visible);
    EXPECT_EQ(page[L"message"].x, 5);
    EXPECT_EQ(page[L"message"].y, 6);
    EXPECT_EQ(page[L"message"].align, 1); // the skin's code 1: right

    indicators.ShowAudioInfo(L"Left");
    Tick(30);
    indicators.ShowAudioInfo(L"Right");
    Tick(34);
    EXPECT_TRUE(page[L"audio"].visible);
    Tick(1);
    EXPECT_FALSE(page[L"audio"].visible);
}

TEST_F(StatusIndicatorsTest, BarsScaleTheBaseLengthWithoutOverflow)
{
    indicators.SetVolume(50);
    EXPECT_EQ(page[L"volumeOn"].length, 100); // 201 x 50 / 100, truncated
    indicators.SetBuffering(99);
    EXPECT_EQ(page[L"bufferingOn"].length, 396);
    EXPECT_TRUE(page[L"buffering"].visible);
    for (uint32_t hide : {100u, 4000000000u})
    {
        page[L"buffering"].visible = true;
        indicators.SetBuffering(hide);
        EXPECT_FALSE(page[L"buffering"].visible);
    }

    indicators.SetWebProgress(50, 200);
    EXPECT_EQ(page[L"webprogOn"].length, 75);
    indicators.SetWebProgress(-1, 100);
    indicators.SetWebProgress(10, 0);
    EXPECT_EQ(page[L"webprogOn"].length, 75);
    indicators.SetWebProgress(150, 100);
    EXPECT_EQ(page[L"webprogOn"].length, 300);
    // A product far beyond 32 bits: 300 x 2,000,000,000 / 2,100,000,000.
    indicators.SetWebProgress(2000000000, 2100000000);
    EXPECT_EQ(page[L"webprogOn"].length, 285);
    EXPECT_FALSE(page[L"webprog"].visible); // the length never touches visibility
    indicators.HideWebProgress(false);
    EXPECT_TRUE(page[L"webprog"].visible);

    struct Row
    {
        int32_t base;
        uint64_t numerator, denominator;
        int32_t expected;
    } rows[] = {
        {2147483647, 4000000000u, 4000000000u, 2147483647},
        {100000, 3000000000u, 4000000000u, 75000},
        {2147483647, ~0ull, ~0ull, 2147483647},
        {2147483647, ~0ull, 1, 2147483647}, // clamped, not wrapped
        {-50, 1, 2, -25},
        {300, 7, 0, 0},
    };
    for (const Row &r : rows)
        EXPECT_EQ(tx::skin::ScaleBarLength(r.base, r.numerator, r.denominator), r.expected) << r.base;
}

TEST_F(StatusIndicatorsTest, MuteHidesTheVolumeBarAndHideIndicatorsHidesTheSet)
{
    indicators.SetVolume(30);
    indicators.SetMute(true);
    EXPECT_TRUE(page[L"mute"].visible);
    EXPECT_FALSE(page[L"volume"].visible);
    indicators.SetMute(false);
    EXPECT_FALSE(page[L"mute"].visible);

    for (auto &[id, element] : page.elements)
        element.visible = true;
    indicators.HideIndicators();
    for (const wchar_t *id : {L"dvd", L"pause", L"volume", L"webprog", L"buffering", L"audio", L"mute", L"progress",
                              L"progressBack", L"epg"})
        EXPECT_FALSE(page[id].visible);
    for (const wchar_t *id : {L"tvstandard", L"dvdvcd", L"message", L"num", L"time", L"date"})
        EXPECT_TRUE(page[id].visible);
}

TEST_F(StatusIndicatorsTest, HeldDiscMessageSurvivesThePictureTimer)
{
    indicators.ShowDvdVcdTextHeld(L"$DVDRegionError$", 3);
    indicators.StartPictureTimer(15, true);
    EXPECT_TRUE(page[L"dvdvcd"].visible);
    EXPECT_TRUE(indicators.Picture().running);
    EXPECT_EQ(indicators.Picture().countdown, 150);

    indicators.ShowDvdVcdText(L"$PlayingDVD$");
    indicators.StartPictureTimer(5, true);
    EXPECT_FALSE(page[L"dvdvcd"].visible);
    EXPECT_EQ(indicators.DisplayCounters().dvdVcd, 30); // hiding leaves the counter alone
    EXPECT_EQ(indicators.Picture().countdown, 150);     // already running: unchanged
}

TEST_F(StatusIndicatorsTest, PictureCountdownAsksThePageOnlyWithAutoAdvance)
{
    indicators.StartPictureTimer(1, false);
    int asked = 0;
    auto page = [&] { return ++asked, true; };
    bool changed = false;
    for (int i = 0; i < 10; ++i)
        indicators.TickIndicators(&changed, page);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(indicators.Picture().running); // without auto-advance the timer stays marked

    indicators.Picture().autoAdvance = true;
    indicators.Picture().countdown = 2;
    indicators.TickIndicators(&changed, page);
    indicators.TickIndicators(&changed, page);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(indicators.Picture().running); // handled by the page

    indicators.Picture().countdown = 1;
    changed = false;
    indicators.TickIndicators(&changed, [] { return false; });
    EXPECT_FALSE(indicators.Picture().running);
    EXPECT_TRUE(changed);
}

TEST_F(StatusIndicatorsTest, NumberQueriesAndKinds)
{
    indicators.ShowNumber(123);
    EXPECT_EQ(page[L"num"].text, L"123");
    indicators.ShowNumber(-1);
    EXPECT_TRUE(page[L"num"].visible);
    EXPECT_EQ(page[L"num"].text, L"");

    EXPECT_FALSE(indicators.IsAudioShown());
    indicators.ShowAudioInfo(L"");
    EXPECT_FALSE(indicators.IsAudioShown()); // visible but empty
    indicators.ShowAudioInfo(L"Stereo");
    EXPECT_TRUE(indicators.IsAudioShown());

    indicators.ShowDvdIndicator(L"Angle 2", 2);
    EXPECT_TRUE(indicators.IsDvdIndicatorKind(2));
    EXPECT_FALSE(indicators.IsDvdIndicatorKind(1));
    Tick(15);
    EXPECT_FALSE(indicators.IsDvdIndicatorKind(2));
}

TEST_F(StatusIndicatorsTest, ClockRunsOnlyWhileTheProgrammeBoxIsUpAndOncePerMinute)
{
    Tick(50);
    EXPECT_EQ(clock.reads, 0);
    EXPECT_EQ(page[L"time"].setTexts, 0);

    indicators.ShowGuideInfo(true, L"CH2", L"News", L"20:00-20:15", L"Today");
    EXPECT_EQ(page[L"time"].text, L"T:22:30/HH:mm");
    EXPECT_EQ(page[L"date"].text, L"D:2026-12-9/dd.MM.yyyy");
    EXPECT_EQ(page[L"channel"].text, L"CH2");
    EXPECT_EQ(page[L"desc"].text, L"Today");

    EXPECT_EQ(Tick(10), 0); // same minute: nothing to redraw
    EXPECT_EQ(page[L"time"].setTexts, 1);
    clock.now.minute = 31;
    EXPECT_EQ(Tick(1), 1);
    EXPECT_EQ(page[L"time"].text, L"T:22:31/HH:mm");

    indicators.ShowGuideInfo(false, L"", L"", L"", L"");
    EXPECT_FALSE(page[L"epg"].visible);
    clock.now.minute = 40;
    const int reads = clock.reads;
    Tick(20);
    EXPECT_EQ(clock.reads, reads);
    EXPECT_EQ(page[L"time"].text, L"T:22:31/HH:mm");
}

TEST_F(StatusIndicatorsTest, WithoutPagesOnlyTheStateChanges)
{
    indicators.SetPages(nullptr, nullptr);
    indicators.SetPauseIndicator(L"PAUSE", true);
    indicators.ShowDvdIndicator(L"x", 4);
    indicators.ShowDvdVcdTextHeld(L"y", 2);
    indicators.SetVolume(70);
    indicators.ShowLogLine(L"-line\n");
    bool changed = false;
    indicators.FlushLogLines(&changed);
    EXPECT_EQ(indicators.DisplayCounters().pause, 15);
    EXPECT_EQ(indicators.DisplayCounters().dvdVcd, 20);
    EXPECT_EQ(indicators.DvdIndicatorKind(), 4);
    EXPECT_TRUE(indicators.DvdVcdHeld());
    EXPECT_FALSE(indicators.IsDvdIndicatorKind(4));
    Tick(20);
    EXPECT_EQ(indicators.DisplayCounters().pause, 0);
    for (auto &[id, element] : page.elements)
        EXPECT_FALSE(element.visible);
}

TEST_F(StatusIndicatorsTest, LogLinesFromOtherThreadsReachTheElementOnlyWhenFlushed)
{
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([this, t] {
            for (int i = 0; i < 100; ++i)
                indicators.ShowLogLine(L"-w" + std::to_wstring(t) + L"\n");
        });
    for (auto &w : writers)
        w.join();
    EXPECT_EQ(logPage[L"log"].text, L""); // nothing drawn from the logging threads

    bool changed = false;
    indicators.FlushLogLines(&changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(logPage[L"log"].appends, 1);
    EXPECT_EQ(logPage[L"log"].text.size(), 400u * 4u);
    EXPECT_EQ(page[L"log"].text, L""); // the log page, not the status page

    changed = false;
    indicators.FlushLogLines(&changed);
    EXPECT_FALSE(changed);
}

TEST_F(StatusIndicatorsTest, LogTextKeepsTheNewestWholeLinesWithinItsCap)
{
    const std::wstring line = L"-" + std::wstring(98, L'x') + L"\n"; // 100 characters
    bool changed = false;
    for (int i = 0; i < 400; ++i)
    {
        indicators.ShowLogLine(line);
        indicators.FlushLogLines(&changed);
    }
    const std::wstring &text = logPage[L"log"].text;
    EXPECT_LE(text.size(), tx::skin::kLogTextChars);
    EXPECT_GT(text.size(), tx::skin::kLogTextChars - 200);
    EXPECT_EQ(text.front(), L'-');
    EXPECT_EQ(text.size() % 100, 0u);
}

} // namespace

#include "tests/status/FakeStatusPage.h"
#include "txHost/core/OsdStatus.h"

#include <gtest/gtest.h>

using namespace tx::host;
using tx::skin::StatusIndicators;
using tx::test::FakeClock;
using tx::test::FakeStatusPage;

namespace
{

class FakeHost final : public IOsdStatusHost
{
  public:
    bool CleanPause() override
    {
        return cleanPause;
    }
    int32_t OsdTimeOut() override
    {
        return osdTimeOut;
    }
    bool WebViewShown() override
    {
        return webView;
    }
    bool GetDecoderChannelMode(int32_t *mode) override
    {
        *mode = channelMode;
        return channelOk;
    }
    int32_t GetVolume() override
    {
        return volume;
    }
    std::wstring DvdTrickCaption() override
    {
        return L"FF X2";
    }
    std::wstring DvdSubtitleCaption() override
    {
        return L"1. English";
    }
    std::wstring DvdAngleCaption() override
    {
        return L"Angle 2";
    }
    std::wstring AudioStreamCaption() override
    {
        return L"AC3 5.1";
    }
    std::wstring FileSubtitleCaption() override
    {
        return L"SUBTITLE OFF";
    }
    bool GetVideoOutput(VideoOutputState *state) override
    {
        *state = video;
        return videoOk;
    }
    int32_t OutputMode() override
    {
        return outputMode;
    }
    bool AutoFreq() override
    {
        return autoFreq;
    }
    std::wstring HdtvModeName(int32_t option) override
    {
        return L"mode" + std::to_wstring(option);
    }
    void GetSourceAspect(int32_t *type, double *ratio) override
    {
        if (aspectKnown)
            *type = 0, *ratio = 16.0 / 9.0;
        (void)type;
    }
    bool GetAspectOverride(double *ratio) override
    {
        if (aspectOverride > 0)
            *ratio = aspectOverride;
        return aspectOverride > 0;
    }
    void OnPictureTimerChange(bool on) override
    {
        calls += on ? L"PictureTimerChange(1);" : L"PictureTimerChange(0);";
    }
    void OpenWeb() override
    {
        calls += L"OpenWeb;";
    }

    bool cleanPause = false;
    int32_t osdTimeOut = 15;
    bool webView = false;
    int32_t channelMode = 1;
    bool channelOk = true;
    int32_t volume = 50;
    VideoOutputState video{0x02, 0, 0};
    bool videoOk = true;
    int32_t outputMode = 0;
    bool autoFreq = false;
    bool aspectKnown = true;
    double aspectOverride = 0;
    std::wstring calls;
};

class FakeSkin final : public IOsdStatusSkin
{
  public:
    explicit FakeSkin(StatusIndicators *indicators) : m_indicators(indicators)
    {
    }
    StatusIndicators *Indicators() override
    {
        return m_indicators;
    }
    void RefreshPage() override
    {
        calls += L"RefreshPage;";
    }
    void SetSlideInterval(int32_t seconds) override
    {
        calls += L"SlideInterval(" + std::to_wstring(seconds) + L");";
    }
    void SetPictureView(bool on) override
    {
        calls += on ? L"PictureView(1);" : L"PictureView(0);";
    }
    std::wstring calls;

  private:
    StatusIndicators *m_indicators;
};

class OsdStatusTest : public ::testing::Test
{
  protected:
    OsdStatusTest()
    {
        indicators.SetPages(&page, nullptr);
    }
    int32_t Counter(const wchar_t *id) const
    {
        const auto &c = indicators.DisplayCounters();
        const std::wstring s = id;
        if (s == L"pause")
            return c.pause;
        if (s == L"tvstandard")
            return c.tvStandard;
        if (s == L"dvdvcd")
            return c.dvdVcd;
        if (s == L"audio")
            return c.audio;
        if (s == L"dvd")
            return c.dvd;
        if (s == L"volume")
            return c.volume;
        return -1;
    }

    FakeClock clock;
    FakeStatusPage page = FakeStatusPage::Full();
    StatusIndicators indicators{clock};
    FakeHost host;
    FakeSkin skin{&indicators};
};

// Every status code: the element it shows, its text and display time in ticks (-1: the
// element has no counter), and the calls it makes into the skin manager and the host.
TEST_F(OsdStatusTest, EveryCodeShowsItsCaption)
{
    struct Row
    {
        int32_t code;
        const wchar_t *id;
        const wchar_t *text;
        int32_t ticks;
        const wchar_t *skinCalls;
        const wchar_t *hostCalls;
        int32_t dvdKind;
    } rows[] = {
        {0, L"pause", L"PAUSE", 0, L"", L"", 0},
        {1, L"pause", L"", 0, L"", L"", 0},
        {2, nullptr, nullptr, 0, L"RefreshPage;", L"", 0},
        {3, nullptr, nullptr, 0, L"PictureView(1);", L"", 0},
        {4, nullptr, nullptr, 0, L"PictureView(1);", L"", 0},
        {5, L"mute", nullptr, -1, L"", L"", 0},
        {6, nullptr, nullptr, 0, L"", L"", 0},
        {7, L"audio", L"Left", 35, L"", L"", 0},
        {8, L"volume", nullptr, 35, L"", L"", 0},
        {9, L"dvdvcd", L"$PlayingDVD$", 30, L"", L"", 0},
        {10, L"dvdvcd", L"$PlayingVCD$", 30, L"", L"", 0},
        {11, nullptr, nullptr, 0, L"SlideInterval(15);PictureView(0);", L"", 0},
        {12, nullptr, nullptr, 0, L"", L"", 0}, // the OSD is not shown: only the buffering bar
        {13, L"num", L"", -1, L"", L"", 0},
        {14, L"pause", L"FF X2", 0, L"", L"", 0},
        {15, L"pause", L"PREV", 15, L"", L"", 0},
        {16, L"pause", L"NEXT", 15, L"", L"", 0},
        {17, L"dvd", L"1. English", 15, L"", L"", 1},
        {18, L"dvd", L"Angle 2", 15, L"", L"", 2},
        {19, L"dvd", L"AC3 5.1", 15, L"", L"", 3},
        {20, L"dvd", L"SUBTITLE OFF", 15, L"", L"", 4},
        {21, L"pause", L"PAUSE", 15, L"", L"", 0},
        {22, L"pause", L"PLAY", 15, L"", L"", 0},
        {23, L"tvstandard", L"PAL", 15, L"", L"", 0},
        {24, L"dvdvcd", L"$MountingDrive$", 30, L"", L"", 0},
        {25, L"dvdvcd", L"$StartRecordingMessage$", 30, L"", L"", 0},
        {26, L"dvdvcd", L"$StopRecordingMessage$", 30, L"", L"", 0},
        {27, L"dvdvcd", L"$RecordingInProgressMessage$", 30, L"", L"", 0},
        {28, L"dvdvcd", L"$LowDiskspaceMessage$", 30, L"", L"", 0},
        {29, L"dvdvcd", L"$PlayingCD$", 30, L"", L"", 0},
        {30, L"tvstandard", L"1.78", 15, L"", L"", 0},
        {31, L"dvdvcd", L"$DVDRegionError$", 30, L"", L"", 0},
        {32, L"dvdvcd", L"$InvalidPath$", 30, L"", L"", 0},
        {33, L"dvdvcd", L"$InvalidRecordingTime$", 30, L"", L"", 0},
        {34, nullptr, nullptr, 0, L"", L"", 0},
        {-1, nullptr, nullptr, 0, L"", L"", 0},
    };
    for (const Row &r : rows)
    {
        SCOPED_TRACE(r.code);
        FakeClock rowClock;
        FakeStatusPage rowPage = FakeStatusPage::Full();
        StatusIndicators rowIndicators{rowClock};
        rowIndicators.SetPages(&rowPage, nullptr);
        FakeHost rowHost;
        FakeSkin rowSkin{&rowIndicators};
        rowPage[L"buffering"].visible = true;
        const FakeStatusPage before = rowPage;

        ApplyOsdStatus(r.code, rowHost, rowSkin);

        EXPECT_EQ(rowSkin.calls, r.skinCalls);
        EXPECT_EQ(rowHost.calls, r.hostCalls);
        const bool returnsToPages = r.code == 3 || r.code == 4 || r.code == 12;
        EXPECT_EQ(rowPage[L"buffering"].visible, !returnsToPages);
        for (auto &[id, element] : rowPage.elements)
        {
            if (id == L"buffering" || (r.id && id == r.id))
                continue;
            if (r.code == 8 && id == L"volumeOn")
                continue;
            EXPECT_EQ(element.visible, before.elements.at(id).visible) << std::string(id.begin(), id.end());
        }
        if (r.id)
        {
            EXPECT_TRUE(rowPage[r.id].visible);
            if (r.text)
            {
                EXPECT_EQ(rowPage[r.id].text, r.text);
            }
            if (r.ticks >= 0)
            {
                const auto &c = rowIndicators.DisplayCounters();
                const std::wstring id = r.id;
                const int32_t counter = id == L"pause"        ? c.pause
                                        : id == L"tvstandard" ? c.tvStandard
                                        : id == L"dvdvcd"     ? c.dvdVcd
                                        : id == L"audio"      ? c.audio
                                        : id == L"dvd"        ? c.dvd
                                                              : c.volume;
                EXPECT_EQ(counter, r.ticks);
            }
        }
        if (r.dvdKind)
        {
            EXPECT_EQ(rowIndicators.DvdIndicatorKind(), r.dvdKind);
        }
        EXPECT_EQ(rowIndicators.DvdVcdHeld(), r.code >= 31 && r.code <= 33);
        if (r.code == 3 || r.code == 4)
        {
            EXPECT_TRUE(rowIndicators.Picture().running);
            EXPECT_EQ(rowIndicators.Picture().countdown, 150);
        }
    }
}

TEST_F(OsdStatusTest, PauseCaptionsRespectCleanPause)
{
    host.cleanPause = true;
    ApplyOsdStatus(OSD_STATUS_PAUSED, host, skin);
    ApplyOsdStatus(OSD_STATUS_PAUSE_TIMED, host, skin);
    EXPECT_FALSE(page[L"pause"].visible);
    ApplyOsdStatus(OSD_STATUS_PLAY_TIMED, host, skin);
    EXPECT_EQ(page[L"pause"].text, L"PLAY");
}

TEST_F(OsdStatusTest, AudioChannelFollowsTheQuery)
{
    host.channelOk = false;
    ApplyOsdStatus(OSD_STATUS_AUDIO_CHANNEL, host, skin);
    EXPECT_FALSE(page[L"audio"].visible);
    EXPECT_EQ(indicators.DisplayCounters().audio, 0);

    host.channelOk = true;
    host.channelMode = 3;
    ApplyOsdStatus(OSD_STATUS_AUDIO_CHANNEL, host, skin);
    EXPECT_TRUE(page[L"audio"].visible);
    EXPECT_EQ(page[L"audio"].text, L"");
    EXPECT_EQ(indicators.DisplayCounters().audio, 35);
    for (auto [mode, text] : {std::pair{0, L"Stereo"}, {1, L"Left"}, {2, L"Right"}})
        EXPECT_EQ(AudioChannelText(mode), text);
}

TEST_F(OsdStatusTest, ReturnToPagesFollowsTheWebViewTheOsdFlagAndTheTimeOut)
{
    host.webView = true;
    ApplyOsdStatus(OSD_STATUS_MEDIA_CLOSED, host, skin);
    EXPECT_EQ(host.calls, L"PictureTimerChange(1);OpenWeb;");
    EXPECT_EQ(skin.calls, L"");
    EXPECT_FALSE(indicators.Picture().running);

    // Code 12 ignores the web view; with the OSD shown it starts nothing new but keeps
    // "dvdvcd" up and turns the picture view on.
    host.calls.clear();
    indicators.Picture().running = true;
    indicators.ShowDvdVcdText(L"$PlayingCD$");
    ApplyOsdStatus(OSD_STATUS_AUDIO_STARTED, host, skin);
    EXPECT_EQ(host.calls, L"");
    EXPECT_EQ(skin.calls, L"PictureView(1);");
    EXPECT_TRUE(page[L"dvdvcd"].visible);

    host.webView = false;
    host.osdTimeOut = 0;
    indicators.Picture().running = false;
    skin.calls.clear();
    ApplyOsdStatus(OSD_STATUS_STOPPED, host, skin);
    EXPECT_FALSE(indicators.Picture().running); // no time-out: the timer is not started
    EXPECT_TRUE(page[L"dvdvcd"].visible);
    EXPECT_EQ(skin.calls, L"PictureView(1);");

    host.osdTimeOut = 20;
    ApplyOsdStatus(OSD_STATUS_STOPPED, host, skin);
    EXPECT_FALSE(page[L"dvdvcd"].visible);
    EXPECT_EQ(indicators.Picture().countdown, 200);
}

TEST_F(OsdStatusTest, TvStandardAndAspectTexts)
{
    struct Row
    {
        int32_t flags, standard, outputMode;
        bool autoFreq;
        const wchar_t *text;
    } rows[] = {
        {0x20, 1, 4, true, L"VGA"},
        {0x20, 1, 0, true, L"HDTV(mode7)"},
        {0x10, 1, 0, true, L"AutoFreq (PAL60)"},
        {0x10, 2, 0, true, L"AutoFreq (PAL)"},
        {0x10, 1, 0, false, L"Auto (NTSC)"},
        {0x10, 2, 0, false, L"Auto (PAL)"},
        {0x02, 0, 0, false, L"PAL"},
        {0x08, 0, 0, false, L"PAL60"},
        {0x00, 0, 0, false, L"NTSC"},
    };
    for (const Row &r : rows)
    {
        host.video = {r.flags, r.standard, 7};
        host.outputMode = r.outputMode;
        host.autoFreq = r.autoFreq;
        ApplyOsdStatus(OSD_STATUS_TV_STANDARD, host, skin);
        EXPECT_EQ(page[L"tvstandard"].text, r.text);
    }

    page[L"tvstandard"].visible = false;
    host.videoOk = false;
    ApplyOsdStatus(OSD_STATUS_TV_STANDARD, host, skin);
    EXPECT_FALSE(page[L"tvstandard"].visible);

    host.aspectOverride = 1.3333;
    ApplyOsdStatus(OSD_STATUS_ASPECT, host, skin);
    EXPECT_EQ(page[L"tvstandard"].text, L"1.33");
    host.aspectOverride = 0;
    host.aspectKnown = false;
    ApplyOsdStatus(OSD_STATUS_ASPECT, host, skin);
    EXPECT_EQ(page[L"tvstandard"].text, L"1.00");
}

TEST_F(OsdStatusTest, SubtitleCaptionTexts)
{
    EXPECT_EQ(FilterSubtitleCaption(true, 3, L"English"), L"SUBTITLE OFF");
    EXPECT_EQ(FilterSubtitleCaption(false, 0, L"English"), L"1. English SUBTITLE");
    EXPECT_EQ(OutsideSubtitleCaption(-1, 0, L"x"), L"SUBTITLE OFF");
    EXPECT_EQ(OutsideSubtitleCaption(2, 1, L"Deutsch"), L"2. Deutsch");
    EXPECT_EQ(OutsideSubtitleCaption(2, 1, L""), L"");
}

TEST_F(OsdStatusTest, WithoutASkinThePageCallsStillRun)
{
    FakeSkin noSkin{nullptr};
    for (int32_t code = 0; code <= 34; ++code)
        ApplyOsdStatus(code, host, noSkin);
    EXPECT_EQ(noSkin.calls, L"RefreshPage;PictureView(1);PictureView(1);SlideInterval(15);PictureView(0);");
}

} // namespace

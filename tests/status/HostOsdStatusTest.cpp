// CHost::ShowOsdStatus as the host runs it: the caption reaches the skin's indicators,
// every code (also unknown ones) ends with the status event, and the caption queries
// leave their out text alone when they do not apply.
#include "comkit/ComObject.h"
#include "tests/status/FakeStatusPage.h"
#include "tests/support/RegistrySandbox.h"
#include "txHost/core/Host.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

class RecordingSink : public tx::ComObject<RecordingSink, IHostEvents>
{
  public:
    STDMETHODIMP OnStatusText(LONG code) override
    {
        codes.push_back(code);
        return S_OK;
    }
    STDMETHODIMP OnNumber(LONG) override
    {
        return S_OK;
    }
    STDMETHODIMP OnHostPointer(IHost *) override
    {
        return S_OK;
    }
    std::vector<LONG> codes;
};

class FakeSkin final : public tx::host::IOsdStatusSkin
{
  public:
    explicit FakeSkin(tx::skin::StatusIndicators &indicators) : m_indicators(indicators)
    {
    }
    tx::skin::StatusIndicators *Indicators() override
    {
        return &m_indicators;
    }
    void RefreshPage() override
    {
        ++refreshes;
    }
    void SetSlideInterval(int32_t seconds) override
    {
        slideInterval = seconds;
    }
    void SetPictureView(bool on) override
    {
        pictureView = on;
    }
    int refreshes = 0;
    int32_t slideInterval = -1;
    bool pictureView = false;

  private:
    tx::skin::StatusIndicators &m_indicators;
};

HRESULT EmptyList(IPlaylist **list, const wchar_t *, LONG) noexcept
{
    *list = nullptr;
    return E_FAIL;
}

class HostOsdStatusTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        indicators.SetPages(&page, nullptr);
    }
    CHost *MakeHost()
    {
        CHost *host = nullptr;
        EXPECT_EQ(CHost::Create(nullptr, &host, &EmptyList), S_OK);
        return host;
    }
    void SetHostDword(const wchar_t *name, DWORD value)
    {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Vorn\\Tessaronix\\2.0\\TXHost", name, REG_DWORD,
                                    &value, sizeof(value)),
                  ERROR_SUCCESS);
    }

    tx::test::RegistrySandbox m_sandbox;
    tx::test::FakeClock clock;
    tx::test::FakeStatusPage page = tx::test::FakeStatusPage::Full();
    tx::skin::StatusIndicators indicators{clock};
    FakeSkin skin{indicators};
};

TEST_F(HostOsdStatusTest, EveryCodeEndsWithTheStatusEvent)
{
    CHost *host = MakeHost();
    ASSERT_NE(host, nullptr);
    auto sink = tx::MakeComObject<RecordingSink>();
    ASSERT_EQ(host->EventSinks().Add(sink.Get()), S_OK);

    // Without a skin nothing is shown, but the event still follows.
    EXPECT_EQ(host->ShowOsdStatus(9), S_OK);
    EXPECT_FALSE(page[L"dvdvcd"].visible);

    host->SetStatusSkin(&skin);
    std::vector<LONG> expected{9};
    for (LONG code = 0; code <= 35; ++code)
    {
        EXPECT_EQ(host->ShowOsdStatus(code), S_OK) << code;
        expected.push_back(code);
    }
    EXPECT_EQ(host->ShowOsdStatus(-5), S_OK);
    expected.push_back(-5);
    EXPECT_EQ(sink->codes, expected);

    // A few captions, to show the table is wired to the host's state and settings.
    EXPECT_EQ(skin.refreshes, 1);
    EXPECT_EQ(skin.slideInterval, 15); // OSDTimeOut's default
    EXPECT_EQ(page[L"dvdvcd"].text, L"$InvalidRecordingTime$");
    EXPECT_TRUE(indicators.DvdVcdHeld());
    EXPECT_EQ(page[L"pause"].text, L"PLAY");
    EXPECT_TRUE(page[L"mute"].visible == false); // 5 then 6
    // The DVD captions do not apply while stopped: "dvd" shows an empty text.
    EXPECT_EQ(page[L"dvd"].text, L"");
    EXPECT_EQ(indicators.DvdIndicatorKind(), 4);

    host->SetStatusSkin(nullptr);
    host->EventSinks().Clear();
    EXPECT_EQ(static_cast<IHost *>(host)->Release(), 0u);
}

TEST_F(HostOsdStatusTest, CleanPauseHidesOnlyThePauseCaption)
{
    SetHostDword(L"CleanPause", 1);
    CHost *host = MakeHost();
    ASSERT_NE(host, nullptr);
    host->SetStatusSkin(&skin);
    host->ShowOsdStatus(0);
    host->ShowOsdStatus(21);
    EXPECT_FALSE(page[L"pause"].visible);
    host->ShowOsdStatus(15);
    EXPECT_EQ(page[L"pause"].text, L"PREV");
    host->SetStatusSkin(nullptr);
    EXPECT_EQ(static_cast<IHost *>(host)->Release(), 0u);
}

TEST_F(HostOsdStatusTest, CaptionQueriesLeaveTheTextAloneWhenTheyDoNotApply)
{
    CHost *host = MakeHost();
    ASSERT_NE(host, nullptr);
    using Query = HRESULT (STDMETHODCALLTYPE IHost::*)(BSTR *);
    const Query queries[] = {&IHost::GetDvdTrickCaption, &IHost::GetDvdSubtitleCaption, &IHost::GetDvdAngleCaption,
                             &IHost::GetDvdAudioCaption, &IHost::GetSubtitleCaption};
    IHost *face = host;
    struct State
    {
        LONG kind, stopped;
    } states[] = {{SOURCE_KIND_DVD, 1}, {SOURCE_KIND_LIST, 1}, {SOURCE_KIND_TV, 0}, {SOURCE_KIND_LIST, 0}};
    for (const State &s : states)
    {
        host->SetPlayState(s.kind, s.stopped);
        for (Query query : queries)
        {
            BSTR sentinel = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x1234));
            BSTR caption = sentinel;
            EXPECT_EQ((face->*query)(&caption), S_OK);
            EXPECT_EQ(caption, sentinel); // nothing of the players is built: no caption
        }
    }
    for (Query query : queries)
        EXPECT_EQ((face->*query)(nullptr), E_POINTER);
    EXPECT_EQ(face->Release(), 0u);
}

} // namespace

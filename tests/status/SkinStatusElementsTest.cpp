// The indicators over COM skin elements: found by id at each call, reached through their
// text and bar faces, and released afterwards (every element ends at one reference).
#include "comkit/Bstr.h"
#include "comkit/ComObject.h"
#include "tests/status/FakeStatusPage.h"
#include "txHost/skin/SkinRect.h"
#include "txHost/skin/SkinStatusElements.h"
#include "txHost/skin/SkinText.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{

ULONG RefCount(IUnknown *object)
{
    object->AddRef();
    return object->Release();
}

// The ISkinElement part every fake shares.
#define TX_FAKE_ELEMENT_BODY                                                                                           \
    STDMETHODIMP Reserved(LONG_PTR) override                                                                           \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }                                                                                                                  \
    STDMETHODIMP Draw(IOsd *) override                                                                                 \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }                                                                                                                  \
    STDMETHODIMP SetVisible(BOOL v) override                                                                           \
    {                                                                                                                  \
        visible = v != FALSE;                                                                                          \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP GetVisible(BOOL *v) override                                                                          \
    {                                                                                                                  \
        *v = visible;                                                                                                  \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP Clone(ISkinElement **) override                                                                       \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }                                                                                                                  \
    STDMETHODIMP Attach(IUnknown *, LONG_PTR) override                                                                 \
    {                                                                                                                  \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP Relayout(LONG) override                                                                               \
    {                                                                                                                  \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP GetId(BSTR *) override                                                                                \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }                                                                                                                  \
    STDMETHODIMP Animate(BOOL *) override                                                                              \
    {                                                                                                                  \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP ResetAnimation() override                                                                             \
    {                                                                                                                  \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP ReleaseResources() override                                                                           \
    {                                                                                                                  \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    bool visible = false;

class FakeText : public tx::ComObject<FakeText, ISkinText>
{
  public:
    TX_FAKE_ELEMENT_BODY
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) noexcept
    {
        if (riid != __uuidof(ISkinElement))
            return E_NOINTERFACE;
        *ppv = static_cast<ISkinText *>(this);
        return S_OK;
    }
    STDMETHODIMP SetText(BSTR value) override
    {
        text = value ? value : L"";
        return S_OK;
    }
    STDMETHODIMP GetText(BSTR *value) override
    {
        *value = ::SysAllocString(text.c_str());
        return S_OK;
    }
    STDMETHODIMP AppendText(BSTR s) override
    {
        text += s ? s : L"";
        return S_OK;
    }
    STDMETHODIMP GetData(BSTR *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetPosition(LONG px, LONG py) override
    {
        x = px, y = py;
        return S_OK;
    }
    STDMETHODIMP SetAlign(LONG a) override
    {
        align = a;
        return S_OK;
    }
    std::wstring text;
    LONG x = 0, y = 0, align = -1;
};

template <class Face> class FakeBar : public tx::ComObject<FakeBar<Face>, Face>
{
  public:
    TX_FAKE_ELEMENT_BODY
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) noexcept
    {
        if (riid != __uuidof(ISkinElement))
            return E_NOINTERFACE;
        *ppv = static_cast<Face *>(this);
        return S_OK;
    }
    STDMETHODIMP SetLength(LONG l) override
    {
        length = l;
        return S_OK;
    }
    STDMETHODIMP GetLength(LONG *l) override
    {
        *l = length;
        return S_OK;
    }
    LONG length = 0;
};

class FakeGroup : public tx::ComObject<FakeGroup, ISkinElement>
{
  public:
    TX_FAKE_ELEMENT_BODY
};

class FakeLookup final : public tx::skin::ISkinElementLookup
{
  public:
    HRESULT FindElement(const wchar_t *id, ISkinElement **element) override
    {
        ++finds;
        auto it = elements.find(id);
        if (it == elements.end())
            return E_FAIL;
        return it->second->QueryInterface(__uuidof(ISkinElement), reinterpret_cast<void **>(element));
    }
    std::map<std::wstring, IUnknown *> elements;
    int finds = 0;
};

TEST(SkinStatusElementsTest, IndicatorsDriveTextAndBarElements)
{
    auto pause = tx::MakeComObject<FakeText>();
    auto message = tx::MakeComObject<FakeText>();
    auto volume = tx::MakeComObject<FakeGroup>();
    auto volumeOn = tx::MakeComObject<FakeBar<ISkinBlockRect>>();
    auto volumeBase = tx::MakeComObject<FakeBar<ISkinBlockRect>>();
    auto bufferingOn = tx::MakeComObject<FakeBar<ISkinRect>>();
    auto bufferingBase = tx::MakeComObject<FakeBar<ISkinRect>>();
    auto buffering = tx::MakeComObject<FakeGroup>();
    volumeBase->length = 201;
    bufferingBase->length = 400;

    FakeLookup lookup;
    lookup.elements = {{L"pause", pause.Get()},
                       {L"message", message.Get()},
                       {L"volume", volume.Get()},
                       {L"volumeOn", volumeOn.Get()},
                       {L"volumeBase", volumeBase.Get()},
                       {L"buffering", buffering.Get()},
                       {L"bufferingOn", bufferingOn.Get()},
                       {L"bufferingBase", bufferingBase.Get()}};
    tx::skin::SkinStatusElements page(&lookup);
    tx::test::FakeClock clock;
    tx::skin::StatusIndicators indicators(clock);
    indicators.SetPages(&page, nullptr);

    indicators.SetPauseIndicator(L"PAUSE", true);
    EXPECT_EQ(pause->text, L"PAUSE");
    EXPECT_TRUE(pause->visible);
    indicators.ShowMessage(L"$Hello$", 40, 50, 2, 3);
    EXPECT_EQ(message->text, L"$Hello$");
    EXPECT_EQ(message->x, 40);
    EXPECT_EQ(message->align, 2);
    indicators.SetVolume(50);
    EXPECT_EQ(volumeOn->length, 100);
    EXPECT_TRUE(volume->visible);
    indicators.SetBuffering(25);
    EXPECT_EQ(bufferingOn->length, 100);
    EXPECT_TRUE(buffering->visible);

    // Missing elements and elements without the needed face are skipped.
    indicators.ShowDvdIndicator(L"x", 1);
    EXPECT_FALSE(page.SetText(L"volume", L"not a text"));
    int32_t length = 7;
    EXPECT_FALSE(page.GetLength(L"pause", &length));
    EXPECT_EQ(length, 7);
    EXPECT_TRUE(indicators.IsElementShowingText(L"pause"));
    EXPECT_FALSE(indicators.IsElementShowingText(L"volume"));

    for (int i = 0; i < 15; ++i)
        indicators.TickIndicators(nullptr);
    EXPECT_FALSE(pause->visible);

    // Found afresh at every call, nothing kept.
    EXPECT_GT(lookup.finds, 10);
    for (IUnknown *element :
         {static_cast<IUnknown *>(static_cast<ISkinText *>(pause.Get())),
          static_cast<IUnknown *>(static_cast<ISkinText *>(message.Get())), static_cast<IUnknown *>(volume.Get()),
          static_cast<IUnknown *>(static_cast<ISkinBlockRect *>(volumeOn.Get())),
          static_cast<IUnknown *>(static_cast<ISkinRect *>(bufferingOn.Get()))})
        EXPECT_EQ(RefCount(element), 1u);
}

TEST(SkinStatusElementsTest, WithoutALookupEveryElementIsMissing)
{
    tx::skin::SkinStatusElements page(nullptr);
    bool visible = true;
    EXPECT_FALSE(page.SetVisible(L"pause", true));
    EXPECT_FALSE(page.GetVisible(L"pause", &visible));
    EXPECT_TRUE(visible);
    tx::skin::SkinRootLookup noRoot(nullptr);
    tx::skin::SkinStatusElements rootless(&noRoot);
    EXPECT_FALSE(rootless.AppendText(L"log", L"-x\n"));
}

} // namespace

namespace
{

TEST(SystemStatusClockTest, FormatsWithTheSkinsPictures)
{
    tx::skin::SystemStatusClock clock;
    const tx::skin::StatusClockTime time{2026, 3, 7, 9, 5};
    EXPECT_EQ(clock.FormatDate(time, L"dd'.'MM'.'yyyy"), L"07.03.2026");
    EXPECT_EQ(clock.FormatTime(time, L"HH':'mm"), L"09:05");
    const tx::skin::StatusClockTime now = clock.Now();
    EXPECT_GE(now.year, 2000);
    EXPECT_GE(now.month, 1);
}

} // namespace

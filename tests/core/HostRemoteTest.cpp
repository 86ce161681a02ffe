// The host as the remote control's event sink, with the simulated source in this
// process: button codes through the event table to the executor, arguments of other
// shapes, and the connection made at start-up and undone at shut-down.
#include "comkit/Bstr.h"
#include "comkit/ConnectionPoint.h"
#include "simhw/remote/SimRemote.h"
#include "tests/support/RegistrySandbox.h"
#include "txHost/core/Host.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <string>

namespace
{
HRESULT NoList(IPlaylist **list, const wchar_t *, LONG) noexcept
{
    *list = nullptr;
    return E_FAIL;
}

class HostRemoteTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        ASSERT_HRESULT_SUCCEEDED(::OleInitialize(nullptr));
        ASSERT_EQ(CHost::Create(nullptr, &m_host, &NoList), S_OK);
        m_host->PutOsdLog(1);
    }
    void TearDown() override
    {
        if (m_host)
        {
            EXPECT_EQ(m_host->Release(), 0u);
        }
        ::OleUninitialize();
    }
    // The log lines written since the last call.
    std::wstring NewLines()
    {
        const std::wstring text = m_host->Log().OsdText();
        const std::wstring fresh = text.size() > m_seen ? text.substr(m_seen) : std::wstring();
        m_seen = text.size();
        return fresh;
    }
    static std::wstring ExecutedLine(int action)
    {
        return L"CHost::ExecuteAction " + std::to_wstring(action) + L": not built yet";
    }
    tx::test::RegistrySandbox m_sandbox;
    CHost *m_host = nullptr;
    size_t m_seen = 0;
};
} // namespace

TEST_F(HostRemoteTest, ButtonCodesReachTheExecutorThroughTheTable)
{
    tx::ComPtr<IUnknown> source;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(tx::simhw::kSimRemoteClsid, nullptr, CLSCTX_ALL,
                                                __uuidof(ISimRemoteSource),
                                                reinterpret_cast<void **>(source.GetAddressOf())))
        << "the simulated remote is registered by winerun.sh --prepare";
    tx::ComPtr<ISimRemoteControl> control;
    ASSERT_HRESULT_SUCCEEDED(source.As(&control));
    tx::AdviseConnection connection;
    ASSERT_EQ(connection.Connect(source.Get(), tx::simhw::kRemoteEventsDiid, static_cast<IDispatch *>(m_host)), S_OK);
    NewLines();

    const struct
    {
        LONG code;
        int action;
    } buttons[] = {{25, 26}, {37, 25}, {170, 0}, {154, 14}, {141, 1}, {33, 37}};
    for (const auto &b : buttons)
    {
        EXPECT_EQ(control->FireButton(b.code), S_OK);
        const std::wstring lines = NewLines();
        EXPECT_NE(lines.find(ExecutedLine(b.action)), std::wstring::npos) << b.code << ": " << lines.c_str();
    }

    // Arguments of other shapes: a string that reads as a number is accepted, the rest
    // is acknowledged and ignored.
    tx::Variant text(L"154"), word(L"abc"), number(LONG{37}), other(LONG{25});
    VARIANT two[2] = {number.Get(), other.Get()};
    const struct
    {
        const char *what;
        DISPID member;
        const VARIANT *args;
        UINT count;
        int action; // -1: nothing executed
    } events[] = {
        {"the string 154", 1, &text.Get(), 1, 14},
        {"a string that is no number", 1, &word.Get(), 1, -1},
        {"another member", 2, &number.Get(), 1, -1},
        {"no argument", 1, nullptr, 0, -1},
        {"two arguments", 1, two, 2, -1},
    };
    for (const auto &e : events)
    {
        EXPECT_EQ(control->FireRaw(e.member, e.args, e.count), S_OK) << e.what;
        const std::wstring lines = NewLines();
        if (e.action >= 0)
            EXPECT_NE(lines.find(ExecutedLine(e.action)), std::wstring::npos) << e.what;
        else
            EXPECT_EQ(lines.find(L"CHost::ExecuteAction"), std::wstring::npos) << e.what;
    }

    connection.Disconnect();
}

TEST_F(HostRemoteTest, StartUpConnectsTheSourceAndShutDownLetsItGo)
{
    LONG osdFailed = 1;
    ASSERT_EQ(m_host->Init(&osdFailed), S_OK);
    EXPECT_EQ(osdFailed, 0);
    ASSERT_TRUE(m_host->IsRemoteControlConnected()) << "the simulated remote is registered by winerun.sh --prepare";
    NewLines();

    // The source's window lives on this thread: the press is fired before it returns.
    EXPECT_EQ(tx::simhw::SimRemotePressButton(37), S_OK);
    EXPECT_NE(NewLines().find(ExecutedLine(25)), std::wstring::npos);

    m_host->DisconnectRemoteControl();
    EXPECT_FALSE(m_host->IsRemoteControlConnected());
    EXPECT_EQ(tx::simhw::SimRemotePressButton(37), S_FALSE); // the source is gone with its window
    EXPECT_EQ(NewLines().find(L"CHost::ExecuteAction"), std::wstring::npos);
    // As at the end of WinMain: the OSD lets the host go.
    m_host->ShutdownTv(false);
}

TEST_F(HostRemoteTest, TheSinkIgnoresMalformedCallsDirectly)
{
    IDispatch *sink = static_cast<IDispatch *>(m_host);
    VARIANT broken;
    ::VariantInit(&broken);
    broken.vt = VT_BSTR | VT_ARRAY; // no array behind it: the copy fails
    broken.parray = nullptr;
    DISPPARAMS params = {&broken, nullptr, 1, 0};
    DISPPARAMS noArray = {nullptr, nullptr, 1, 0};
    NewLines();
    EXPECT_EQ(sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &noArray, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(NewLines().find(L"CHost::ExecuteAction"), std::wstring::npos);
}

// The host object: its faces and one count, the slot order of IHost, the default list
// and the source kind, the event sinks, and the operations of the object itself.
#include "comkit/ComObject.h"
#include "comkit/Module.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include "txHost/core/Host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace tx::host;

namespace
{
ULONG RefCount(IUnknown *object)
{
    object->AddRef();
    return object->Release();
}

// A list with a fixed count that reports its own destruction.
class FakePlaylist : public tx::ComObject<FakePlaylist, IPlaylist>
{
  public:
    FakePlaylist(LONG count, bool *destroyed) : m_count(count), m_destroyed(destroyed)
    {
    }
    ~FakePlaylist() override
    {
        *m_destroyed = true;
    }
    STDMETHODIMP GetName(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP GetCount(LONG *count) override
    {
        *count = m_count;
        return S_OK;
    }
    STDMETHODIMP GetItem(LONG, IPlaylistItem **) override { return E_NOTIMPL; }
    STDMETHODIMP GetItemName(LONG, BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveItem(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP MoveItem(LONG, LONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetPosition(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP Save() override { return E_NOTIMPL; }
    STDMETHODIMP InsertItem(LONG, BSTR, BSTR, LONG, LONG, LONG) override { return E_NOTIMPL; }
    STDMETHODIMP IsModified(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP SetPosition(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP Shuffle() override { return E_NOTIMPL; }
    STDMETHODIMP NewPlaylistName() override { return E_NOTIMPL; }
    STDMETHODIMP Clear() override { return E_NOTIMPL; }
    STDMETHODIMP GetPath(BSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP SetItemAviDecode(LONG, LONG) override { return E_NOTIMPL; }

  private:
    LONG m_count;
    bool *m_destroyed;
};

LONG g_listCount = 0;
bool g_listDestroyed = false;
HRESULT MakeFakeList(IPlaylist **list, const wchar_t *, LONG) noexcept
{
    auto fake = tx::MakeComObject<FakePlaylist>(g_listCount, &g_listDestroyed);
    *list = fake.Detach();
    return S_OK;
}
HRESULT FailList(IPlaylist **list, const wchar_t *, LONG) noexcept
{
    *list = nullptr;
    return E_FAIL;
}

class RecordingSink : public tx::ComObject<RecordingSink, IHostEvents>
{
  public:
    STDMETHODIMP OnStatusText(LONG code) override
    {
        codes.push_back(code);
        return S_OK;
    }
    STDMETHODIMP OnNumber(LONG number) override
    {
        numbers.push_back(number);
        return S_OK;
    }
    STDMETHODIMP OnHostPointer(IHost *host) override
    {
        hosts.push_back(host);
        return S_OK;
    }
    std::vector<LONG> codes;
    std::vector<LONG> numbers;
    std::vector<IHost *> hosts;
};

class NotASink : public tx::ComObject<NotASink, IPersist>
{
  public:
    STDMETHODIMP GetClassID(CLSID *) override { return E_NOTIMPL; }
};

class HostObjectTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        m_locksBefore = tx::module::LockCount();
        g_listCount = 0;
        g_listDestroyed = false;
    }
    void TearDown() override
    {
        EXPECT_EQ(tx::module::LockCount(), m_locksBefore);
    }
    CHost *MakeHost(CHost::PlaylistFactory factory = &MakeFakeList, HWND window = nullptr)
    {
        CHost *host = nullptr;
        EXPECT_EQ(CHost::Create(window, &host, factory), S_OK);
        return host;
    }
    tx::test::RegistrySandbox m_sandbox;
    LONG m_locksBefore = 0;
};

std::string ReadFileBytes(const std::wstring &path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
} // namespace

TEST_F(HostObjectTest, QueryInterfaceMatrixSharesOneCount)
{
    CHost *host = MakeHost();
    ASSERT_NE(host, nullptr);
    IHost *asHost = static_cast<IHost *>(host);

    const struct
    {
        IID iid;
        void *expected;
    } supported[] = {
        {IID_IUnknown, static_cast<IHost *>(host)},
        {__uuidof(IHost), static_cast<IHost *>(host)},
        {__uuidof(IHostCollection), static_cast<IHostCollection *>(host)},
        {__uuidof(IHostPictureReset), static_cast<IHostPictureReset *>(host)},
        {IID_IDispatch, static_cast<IDispatch *>(host)},
        {DIID_RemoteControlEvents, static_cast<IDispatch *>(host)},
    };
    ULONG expectedCount = 1;
    std::vector<IUnknown *> held;
    for (const auto &row : supported)
    {
        void *face = nullptr;
        ASSERT_EQ(asHost->QueryInterface(row.iid, &face), S_OK);
        EXPECT_EQ(face, row.expected);
        held.push_back(static_cast<IUnknown *>(face));
        ++expectedCount;
        EXPECT_EQ(RefCount(asHost), expectedCount); // every face counts on the one object
    }
    const IID unsupported[] = {IID_IClassFactory, __uuidof(IHostEvents), IID_IPersist, __uuidof(IPlaylist)};
    for (const IID &iid : unsupported)
    {
        void *face = reinterpret_cast<void *>(1);
        EXPECT_EQ(asHost->QueryInterface(iid, &face), E_NOINTERFACE);
        EXPECT_EQ(face, nullptr);
    }
    EXPECT_EQ(asHost->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    for (IUnknown *face : held)
        face->Release(); // released through whichever face it came from
    EXPECT_EQ(asHost->Release(), 0u);
}

TEST_F(HostObjectTest, SlotNumbersAreTheRealVtableSlots)
{
    WriteHostDword(L"AVIDecode", 2);
    WriteHostDword(L"TVChannel", 17);
    CHost *host = MakeHost();
    IHost *asHost = static_cast<IHost *>(host);
    void **vtable = *reinterpret_cast<void ***>(asHost);
    using Getter = HRESULT(STDMETHODCALLTYPE *)(IHost *, LONG *);
    using Setter = HRESULT(STDMETHODCALLTYPE *)(IHost *, LONG);
    LONG value = -1;
    EXPECT_EQ(reinterpret_cast<Getter>(vtable[37])(asHost, &value), S_OK); // GetAviDecode
    EXPECT_EQ(value, 2);
    EXPECT_EQ(reinterpret_cast<Getter>(vtable[74])(asHost, &value), S_OK); // GetTvChannel
    EXPECT_EQ(value, 17);
    EXPECT_EQ(reinterpret_cast<Setter>(vtable[43])(asHost, 1), S_OK); // PutOsdLog
    EXPECT_EQ(reinterpret_cast<Getter>(vtable[42])(asHost, &value), S_OK); // GetOsdLog
    EXPECT_EQ(value, 1);
    LONG kind = -1, stopped = -1;
    using PlayState = HRESULT(STDMETHODCALLTYPE *)(IHost *, LONG *, LONG *);
    EXPECT_EQ(reinterpret_cast<PlayState>(vtable[17])(asHost, &kind, &stopped), S_OK); // GetPlayState
    EXPECT_EQ(kind, SOURCE_KIND_NONE);
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(asHost->Release(), 0u);
}

TEST_F(HostObjectTest, TheDefaultListSetsTheSourceKind)
{
    g_listCount = 3;
    CHost *host = MakeHost();
    EXPECT_EQ(host->GetSourceKind(), SOURCE_KIND_LIST);
    EXPECT_FALSE(g_listDestroyed); // kept as the current list
    static_cast<IHost *>(host)->Release();
    EXPECT_TRUE(g_listDestroyed);

    g_listCount = 0;
    g_listDestroyed = false;
    host = MakeHost();
    EXPECT_EQ(host->GetSourceKind(), SOURCE_KIND_NONE);
    EXPECT_TRUE(g_listDestroyed); // an empty list is released at once
    static_cast<IHost *>(host)->Release();

    host = MakeHost(&FailList);
    EXPECT_EQ(host->GetSourceKind(), SOURCE_KIND_NONE);
    static_cast<IHost *>(host)->Release();
}

TEST_F(HostObjectTest, EventsReachOnlySinksThatAnswerIHostEvents)
{
    CHost *host = MakeHost();
    CHostEventSinks &sinks = host->EventSinks();
    sinks.FireStatusText(1); // empty list: nothing to do
    auto sink = tx::MakeComObject<RecordingSink>();
    auto other = tx::MakeComObject<NotASink>();
    ASSERT_EQ(sinks.Add(other.Get()), S_OK);
    ASSERT_EQ(sinks.Add(nullptr), S_OK);
    ASSERT_EQ(sinks.Add(sink.Get()), S_OK);
    sinks.FireStatusText(14);
    sinks.FireNumber(7);
    sinks.FireHostPointer(static_cast<IHost *>(host));
    sinks.FireHostReleased();
    EXPECT_EQ(sink->codes, std::vector<LONG>{14});
    EXPECT_EQ(sink->numbers, std::vector<LONG>{7});
    EXPECT_EQ(sink->hosts, (std::vector<IHost *>{static_cast<IHost *>(host), nullptr}));
    sinks.Clear();
    EXPECT_EQ(RefCount(sink.Get()), 1u);
    EXPECT_EQ(static_cast<IHost *>(host)->Release(), 0u);
}

TEST_F(HostObjectTest, RemoteEventsAreAcknowledgedWhateverTheyCarry)
{
    CHost *host = MakeHost();
    IDispatch *sink = static_cast<IDispatch *>(host);
    tx::Variant code(L"154");
    DISPPARAMS params = {&code.Get(), nullptr, 1, 0};
    EXPECT_EQ(sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->GetTypeInfoCount(nullptr), E_NOTIMPL);
    EXPECT_EQ(sink->Release(), 0u);
}

TEST_F(HostObjectTest, OperationsOfTheHostItself)
{
    const std::wstring folder = tx::test::MakeScratchFolder(L"hostobject");
    const std::wstring logPath = folder + L"\\host.log";
    WriteHostString(L"Log", logPath.c_str());
    WriteHostDword(L"TVAspect", 1);

    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    CHost *host = MakeHost(&MakeFakeList, window);
    EXPECT_DOUBLE_EQ(host->PixelAspect(), 0.84375);

    // A failed re-tune is the answer and leaves the page alone.
    EXPECT_EQ(host->SelectChannel(-1), E_NOTIMPL);
    // The audio mode is stored and saved even while the decoder cannot take it.
    EXPECT_EQ(host->PutAudioMode(2), E_NOTIMPL);
    EXPECT_EQ(ReadHostDword(L"AudioMode", 0), 2u);

    EXPECT_EQ(host->MapChannelAlias(5), 5);
    IUnknown *output = reinterpret_cast<IUnknown *>(1);
    EXPECT_EQ(host->GetPictureOutput(&output), S_OK);
    EXPECT_EQ(output, nullptr);

    EXPECT_EQ(host->Close(), S_OK);
    EXPECT_FALSE(host->ShutdownAtExit());
    EXPECT_EQ(host->CloseAndFlag(), S_OK);
    EXPECT_TRUE(host->ShutdownAtExit());
    MSG message;
    int closes = 0;
    while (::PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        ++closes;
    EXPECT_EQ(closes, 2);

    EXPECT_EQ(static_cast<IHost *>(host)->Release(), 0u);
    ::DestroyWindow(window);

    const std::string log = ReadFileBytes(logPath);
    EXPECT_NE(log.find("-Failed to run CHost::TuneChannel: not built yet, 0x80004001\r\n"), std::string::npos);
    EXPECT_EQ(log.find("TurnPictureTimerOffAndRedraw"), std::string::npos);
    tx::test::RemoveFolder(folder);
}

TEST_F(HostObjectTest, PixelAspectFollowsTheTvAspect)
{
    CHost *host = MakeHost();
    EXPECT_DOUBLE_EQ(host->PixelAspect(), 1.125);
    static_cast<IHost *>(host)->Release();
}

// Start-up of the host object in this process, against a decoder card of the test's own:
// the order of the initialisation steps, the two start-up failures and their messages,
// what closing the window does for each kind of media, the order of destruction, the
// worker thread's bounded stop, and where the card's companion module may come from.
#include "comkit/ComObject.h"
#include "tests/skinosd/FakeCard.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include "txHost/core/Host.h"
#include "txHost/core/MainWindow.h"
#include "txHost/core/WorkerThread.h"
#include "txHost/playback/DecoderCard.h"
#include "txHost/playback/FilterInstance.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using tx::playback::IZiduzPicture;

namespace
{
// Everything the fakes saw, in order.
std::vector<std::wstring> g_events;
tx::test::FakeCardState *g_card = nullptr;
HRESULT g_graphResult = S_OK;
HRESULT g_decoderResult = S_OK;
int g_decodersCreated = 0;
int g_decodersAlive = 0;
LONG g_listCount = 0;

class FakeDecoder final : public tx::ComObject<FakeDecoder, IBaseFilter, IZiduzPicture>
{
  public:
    FakeDecoder()
    {
        ++g_decodersAlive;
    }
    ~FakeDecoder() override
    {
        --g_decodersAlive;
        g_events.push_back(L"decoder released, card objects alive " + std::to_wstring(g_card->liveObjects.load()));
    }
    // IPersist, IMediaFilter, IBaseFilter: the host only holds the filter here.
    STDMETHODIMP GetClassID(CLSID *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Stop() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Pause() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Run(REFERENCE_TIME) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetState(DWORD, FILTER_STATE *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetSyncSource(IReferenceClock *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSyncSource(IReferenceClock **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumPins(IEnumPins **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP FindPin(LPCWSTR, IPin **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP QueryFilterInfo(FILTER_INFO *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP JoinFilterGraph(IFilterGraph *, LPCWSTR) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP QueryVendorInfo(LPWSTR *) override
    {
        return E_NOTIMPL;
    }
    // IZiduzPicture
    STDMETHODIMP PutBrightness(LONG value) override
    {
        return Put(L"brightness", value);
    }
    STDMETHODIMP GetBrightness(LONG *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP PutSaturation(LONG value) override
    {
        return Put(L"saturation", value);
    }
    STDMETHODIMP GetSaturation(LONG *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP PutContrast(LONG value) override
    {
        return Put(L"contrast", value);
    }
    STDMETHODIMP GetContrast(LONG *) override
    {
        return E_NOTIMPL;
    }

  private:
    HRESULT Put(const wchar_t *what, LONG value)
    {
        g_events.push_back(std::wstring(what) + L" " + std::to_wstring(value));
        return S_OK;
    }
};

HRESULT CreateFakeGraph(IZCardGraph **graph) noexcept
{
    *graph = nullptr;
    g_events.push_back(L"card graph");
    if (FAILED(g_graphResult))
        return g_graphResult;
    *graph = tx::MakeComObject<tx::test::CFakeCardGraph>(*g_card).Detach();
    return *graph ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateFakeFilter(const wchar_t *, REFCLSID clsid, REFIID riid, void **ppv)
{
    *ppv = nullptr;
    // The OSD is attached (its buffer allocated) before the decoder is tried.
    g_events.push_back(L"decoder created, OSD buffer " + std::to_wstring(g_card->allocatedSize));
    if (clsid != tx::playback::CLSID_ZiduzDecoder)
        return REGDB_E_CLASSNOTREG;
    if (FAILED(g_decoderResult))
        return g_decoderResult;
    ++g_decodersCreated;
    auto decoder = tx::MakeComObject<FakeDecoder>();
    return decoder ? decoder->QueryInterface(riid, ppv) : E_OUTOFMEMORY;
}

class FakePlaylist final : public tx::ComObject<FakePlaylist, IPlaylist>
{
  public:
    STDMETHODIMP GetName(BSTR *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetCount(LONG *count) override
    {
        *count = g_listCount;
        return S_OK;
    }
    STDMETHODIMP GetItem(LONG, IPlaylistItem **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetItemName(LONG, BSTR *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP RemoveItem(LONG) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP MoveItem(LONG, LONG) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetPosition(LONG *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Save() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP InsertItem(LONG, BSTR, BSTR, LONG, LONG, LONG) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsModified(LONG *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetPosition(LONG) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Shuffle() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP NewPlaylistName() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Clear() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetPath(BSTR *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetItemAviDecode(LONG, LONG) override
    {
        return E_NOTIMPL;
    }
};

HRESULT MakeList(IPlaylist **list, const wchar_t *, LONG) noexcept
{
    *list = tx::MakeComObject<FakePlaylist>().Detach();
    return *list ? S_OK : E_OUTOFMEMORY;
}

// Writes into the host's log, so that its place among the host's own lines shows.
class LoggingSink final : public tx::ComObject<LoggingSink, IHostEvents>
{
  public:
    STDMETHODIMP OnStatusText(LONG) override
    {
        return S_OK;
    }
    STDMETHODIMP OnNumber(LONG) override
    {
        return S_OK;
    }
    STDMETHODIMP OnHostPointer(IHost *host) override
    {
        if (host)
            tx::host::g_host.load()->LogMessage(L"sink: host pointer");
        return S_OK;
    }
};

std::string ReadFileBytes(const std::wstring &path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class HostInitTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        ASSERT_HRESULT_SUCCEEDED(::OleInitialize(nullptr));
        g_card = &m_card;
        g_events.clear();
        g_graphResult = S_OK;
        g_decoderResult = S_OK;
        g_decodersCreated = 0;
        g_listCount = 0;
    }
    void TearDown() override
    {
        if (m_host)
            Destroy();
        EXPECT_EQ(g_decodersAlive, 0);
        EXPECT_EQ(m_card.liveObjects.load(), 0);
        ::OleUninitialize();
    }
    void MakeHost()
    {
        ASSERT_EQ(CHost::Create(nullptr, &m_host, &MakeList), S_OK);
        m_host->PutOsdLog(1);
        m_host->Osd().SetDriverPath(false);
        m_host->Osd().SetGraphFactory(&CreateFakeGraph);
        m_host->SetFilterFactory(&CreateFakeFilter);
    }
    // As at the end of WinMain.
    void Destroy()
    {
        m_host->ShutdownTv(false);
        m_host->DisconnectRemoteControl();
        EXPECT_EQ(m_host->Release(), 0u);
        m_host = nullptr;
    }
    std::wstring Log() const
    {
        return m_host->Log().OsdText();
    }
    // Positions of the texts in the log, each after the previous one; npos when missing.
    static void ExpectInOrder(const std::wstring &log, const std::vector<std::wstring> &texts)
    {
        size_t at = 0;
        for (const auto &text : texts)
        {
            const size_t found = log.find(text, at);
            ASSERT_NE(found, std::wstring::npos)
                << "missing or out of order: " << std::string(text.begin(), text.end()) << "\n"
                << std::string(log.begin(), log.end());
            at = found + text.size();
        }
    }

    tx::test::RegistrySandbox m_sandbox;
    tx::test::FakeCardState m_card;
    CHost *m_host = nullptr;
};
} // namespace

TEST_F(HostInitTest, InitRunsItsStepsInOrderAndGivesTheDecoderItsSettings)
{
    tx::host::WriteHostDword(L"Brightness", 100);
    tx::host::WriteHostDword(L"Saturation", 200);
    tx::host::WriteHostDword(L"Contrast", 300);
    tx::host::WriteHostDword(L"PreservePALOSD", 1);
    g_listCount = 3; // a saved current list: the host starts on the "curlist" page
    MakeHost();
    ASSERT_EQ(m_host->GetSourceKind(), SOURCE_KIND_LIST);
    ASSERT_HRESULT_SUCCEEDED(m_host->EventSinks().Add(tx::MakeComObject<LoggingSink>().Get()));

    LONG osdFailed = 7;
    EXPECT_EQ(m_host->Init(&osdFailed), S_OK);
    EXPECT_EQ(osdFailed, 0);
    ExpectInOrder(Log(), {L"sink: host pointer", L"CHost::LoadSoftwareDecoders", L"LoadSuffixes",
                          L"CHost::ReleaseGraph", L"CHost::ApplyPictavoSettings", L"CHost::SetAudioOutputMode",
                          L"RebuildCollection", L"CHost::OnPictureTimerChange", L"CHost::GetVideoFrameSize",
                          L"ISkinManager::OpenPage curlist", L"CPvrManager::Init", L"CScreenSaver::Init"});
    // The OSD attached (pin found, buffer allocated) before the decoder was created,
    // which then got the picture levels; the first screen was delivered.
    const std::vector<std::wstring> expected = {L"card graph", L"decoder created, OSD buffer 346632", L"brightness 100",
                                                L"saturation 200", L"contrast 300"};
    EXPECT_EQ(g_events, expected);
    EXPECT_NE(m_host->DecoderFilter(), nullptr);
    // Two screens: the skin's first refresh once it has started, then the host's.
    EXPECT_EQ(m_card.frames.size(), 2u);
}

TEST_F(HostInitTest, WithoutAListOrPalOsdThoseStepsAreSkipped)
{
    MakeHost();
    LONG osdFailed = 7;
    EXPECT_EQ(m_host->Init(&osdFailed), S_OK);
    EXPECT_EQ(osdFailed, 0);
    const std::wstring log = Log();
    EXPECT_EQ(log.find(L"GetVideoFrameSize"), std::wstring::npos);
    EXPECT_EQ(log.find(L"ISkinManager::OpenPage"), std::wstring::npos);
    ExpectInOrder(log, {L"CHost::OnPictureTimerChange", L"CPvrManager::Init"});
}

TEST_F(HostInitTest, StartUpFailuresChooseTheirMessage)
{
    const struct
    {
        const char *what;
        HRESULT graph;
        HRESULT decoder;
        LONG osdFailed;
        int decodersTried;
        const char *message;
    } cases[] = {
        {"no card: the OSD fails first", REGDB_E_CLASSNOTREG, REGDB_E_CLASSNOTREG, 1, 0,
         "Failed to initialize OSD or load skins.\r\n"},
        {"card in use: the OSD attaches, the decoder fails", S_OK, E_ACCESSDENIED, 0, 1,
         "Failed to initialize ZIduz driver. Please do not run Qendra Player at the same time.\r\n"},
    };
    const std::wstring folder = tx::test::MakeScratchFolder(L"hostinit");
    const std::wstring boxes = folder + L"\\boxes.txt";
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.what);
        g_events.clear();
        g_graphResult = c.graph;
        g_decoderResult = c.decoder;
        MakeHost();
        LONG osdFailed = 7;
        const HRESULT hr = m_host->Init(&osdFailed);
        EXPECT_EQ(hr, c.osdFailed ? c.graph : c.decoder);
        EXPECT_EQ(osdFailed, c.osdFailed);
        size_t tried = 0;
        for (const auto &event : g_events)
            tried += event.rfind(L"decoder created", 0) == 0;
        EXPECT_EQ(tried, static_cast<size_t>(c.decodersTried));
        EXPECT_EQ(m_host->DecoderFilter(), nullptr);
        // Nothing after the failed step ran.
        EXPECT_EQ(Log().find(L"RebuildCollection"), std::wstring::npos);

        // WinMain shows the chosen text through its message-box seam.
        ::DeleteFileW(boxes.c_str());
        tx::host::SetMessageLog(boxes.c_str());
        tx::host::ShowHostMessage(tx::host::StartupFailureMessage(osdFailed));
        tx::host::SetMessageLog(L"");
        EXPECT_EQ(ReadFileBytes(boxes), c.message);
        Destroy();
    }
    tx::test::RemoveFolder(folder);
}

TEST_F(HostInitTest, ClosingStopsWhatPlaysThenClosesTheMedia)
{
    const struct
    {
        const char *what;
        LONG kind;
        LONG stopped;
        const wchar_t *stopLine; // nullptr: no stop of a player
        bool decoderRecreated;
    } cases[] = {
        {"DVD playing", SOURCE_KIND_DVD, 0, L"CDvdMciPlayer::Close", true},
        {"VCD playing", SOURCE_KIND_VCD, 0, L"CVcdNavigator::Stop", false},
        {"CD audio playing", SOURCE_KIND_CD_AUDIO, 0, L"CCdAudioDisc::Stop", false},
        {"DVD stopped", SOURCE_KIND_DVD, 1, nullptr, false},
        {"list", SOURCE_KIND_LIST, 0, nullptr, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.what);
        MakeHost();
        ASSERT_EQ(m_host->Init(nullptr), S_OK);
        IBaseFilter *before = m_host->DecoderFilter();
        const int created = g_decodersCreated;
        const size_t seen = Log().size();
        m_host->SetPlayState(c.kind, c.stopped);

        m_host->OnClose();
        const std::wstring log = Log().substr(seen);
        for (const wchar_t *player : {L"CDvdMciPlayer::Close", L"CVcdNavigator::Stop", L"CCdAudioDisc::Stop"})
            EXPECT_EQ(log.find(player) != std::wstring::npos, c.stopLine && std::wstring(player) == c.stopLine);
        // Steps 2-4 run in every case; the output flags cannot be read without the
        // playback engine, so nothing is written back.
        ExpectInOrder(log, {L"CHost::StopMedia", L"CHost::GetVideoOutputMode", L"CHost::SaveAudioMode"});
        EXPECT_EQ(log.find(L"SetVideoOutputMode"), std::wstring::npos);
        EXPECT_EQ(g_decodersCreated - created, c.decoderRecreated ? 1 : 0);
        EXPECT_NE(m_host->DecoderFilter(), nullptr);
        if (c.decoderRecreated)
            EXPECT_EQ(g_decodersAlive, 1); // the old filter is gone, a fresh one waits
        else
            EXPECT_EQ(m_host->DecoderFilter(), before);
        Destroy();
    }
}

namespace
{
DWORD WINAPI PumpUntilQuit(void *) noexcept
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
    }
    g_events.push_back(L"graph thread ended");
    return 0;
}

DWORD WINAPI WaitForEvent(void *event) noexcept
{
    ::WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}
} // namespace

TEST_F(HostInitTest, DestructionEndsTheThreadThenTheOsdThenTheDecoder)
{
    const std::wstring folder = tx::test::MakeScratchFolder(L"hostinit");
    const std::wstring logPath = folder + L"\\host.log";
    MakeHost();
    ASSERT_TRUE(m_host->Log().OpenFile(logPath.c_str()));
    ASSERT_EQ(m_host->Init(nullptr), S_OK);
    ASSERT_EQ(m_host->GraphThread().Start(&PumpUntilQuit, nullptr), S_OK);
    // Give the thread its message queue, so that WM_QUIT reaches it.
    while (!::PostThreadMessageW(m_host->GraphThread().ThreadId(), WM_NULL, 0, 0))
        ::Sleep(1);
    g_events.clear();

    Destroy();
    const std::vector<std::wstring> expected = {L"graph thread ended", L"decoder released, card objects alive 0"};
    EXPECT_EQ(g_events, expected);
    // The log file is closed: it can be opened without sharing.
    HANDLE file = ::CreateFileW(logPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    tx::test::RemoveFolder(folder);
}

TEST_F(HostInitTest, AWorkerThreadThatDoesNotEndIsGivenUpAfterTheBound)
{
    MakeHost(); // its log receives the failure lines
    tx::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(release);
    HANDLE stuck = nullptr;
    {
        WorkerThread thread(100);
        EXPECT_EQ(thread.Stop(100), S_OK); // nothing held
        ASSERT_EQ(thread.Start(&WaitForEvent, release.Get()), S_OK);
        EXPECT_NE(thread.ThreadId(), 0u);
        ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), thread.ThreadHandle(), ::GetCurrentProcess(), &stuck,
                                      SYNCHRONIZE, FALSE, 0));
        EXPECT_EQ(thread.Stop(100), HRESULT_FROM_WIN32(ERROR_TIMEOUT));
        EXPECT_EQ(thread.ThreadId(), 0u);
        EXPECT_EQ(thread.ThreadHandle(), nullptr);
        ASSERT_EQ(thread.Start(&WaitForEvent, release.Get()), S_OK);
    } // the destructor gives up after 100 ms as well
    const std::wstring log = Log();
    size_t lines = 0;
    for (size_t at = log.find(L"Failed to stop worker thread"); at != std::wstring::npos;
         at = log.find(L"Failed to stop worker thread", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u);
    ::SetEvent(release.Get());
    EXPECT_EQ(::WaitForSingleObject(stuck, 10000), WAIT_OBJECT_0);
    ::CloseHandle(stuck);

    // A thread that ends on WM_QUIT is waited for and its slot cleared.
    WorkerThread pumping;
    ASSERT_EQ(pumping.Start(&PumpUntilQuit, nullptr), S_OK);
    while (!::PostThreadMessageW(pumping.ThreadId(), WM_NULL, 0, 0))
        ::Sleep(1);
    EXPECT_EQ(pumping.Stop(INFINITE), S_OK);
    EXPECT_EQ(pumping.ThreadHandle(), nullptr);
}

namespace
{
std::vector<DWORD> g_pauses;
void RecordPause(DWORD milliseconds)
{
    g_pauses.push_back(milliseconds);
}

void SetCardSoftwarePath(const std::wstring &folder)
{
    ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, tx::playback::kCardSoftwareKey, L"Path", REG_SZ, folder.c_str(),
                                static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}
} // namespace

TEST_F(HostInitTest, TheCompanionModuleComesOnlyFromTheRegisteredFolder)
{
    // A planted copy in the current folder, and one in the card software's folder.
    const std::wstring planted = tx::test::MakeScratchFolder(L"planted");
    const std::wstring card = tx::test::MakeScratchFolder(L"cardsoft");
    const std::wstring source = tx::test::ExecutableFolder() + L"txSimRemote.dll";
    const std::filesystem::path name = L"ZuduDOR.exe";
    ASSERT_TRUE(::CopyFileW(source.c_str(), (std::filesystem::path(planted) / name).c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(source.c_str(), (std::filesystem::path(card) / name).c_str(), FALSE));
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(planted.c_str()));

    EXPECT_EQ(tx::playback::LoadCardCompanionModule(), nullptr); // no value
    SetCardSoftwarePath(L"cardsoft");                            // relative: would search
    EXPECT_EQ(tx::playback::LoadCardCompanionModule(), nullptr);
    SetCardSoftwarePath((std::filesystem::path(planted) / L"missing").wstring());
    EXPECT_EQ(tx::playback::LoadCardCompanionModule(), nullptr);
    EXPECT_EQ(::GetModuleHandleW(L"ZuduDOR.exe"), nullptr);

    SetCardSoftwarePath(card);
    HMODULE module = tx::playback::LoadCardCompanionModule();
    ASSERT_NE(module, nullptr);
    wchar_t loaded[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(module, loaded, MAX_PATH), 0u);
    std::error_code error;
    EXPECT_TRUE(
        std::filesystem::equivalent(std::filesystem::path(loaded), std::filesystem::path(card) / L"ZuduDOR.exe", error))
        << std::filesystem::path(loaded).string();
    ::SetCurrentDirectoryW(previous);
    tx::test::RemoveFolder(planted);
    // The card folder stays: the module is kept loaded for the life of the process.
}

TEST_F(HostInitTest, OnWindows9xOnlyTheDecoderWaitsBeforeItsCreation)
{
    g_pauses.clear();
    tx::playback::SetFilterCreationPlatform(true, &RecordPause);
    tx::ComPtr<IUnknown> filter;
    const CLSID other = {0x0b1d0a7e, 0x1c2b, 0x4e4f, {0x9a, 0x11, 0x5e, 0x0c, 0x1d, 0x2e, 0x3f, 0x40}};
    EXPECT_EQ(tx::playback::CreateFilterInstance(L"none.ax", other, IID_IUnknown,
                                                 reinterpret_cast<void **>(filter.GetAddressOf())),
              REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(g_pauses.empty());
    tx::playback::CreateFilterInstance(tx::playback::kDecoderModule, tx::playback::CLSID_ZiduzDecoder, IID_IUnknown,
                                       reinterpret_cast<void **>(filter.GetAddressOf()));
    filter.Reset();
    EXPECT_EQ(g_pauses, std::vector<DWORD>{50});

    tx::playback::SetFilterCreationPlatform(false, nullptr);
    tx::playback::CreateFilterInstance(tx::playback::kDecoderModule, tx::playback::CLSID_ZiduzDecoder, IID_IUnknown,
                                       reinterpret_cast<void **>(filter.GetAddressOf()));
    filter.Reset();
    EXPECT_EQ(g_pauses.size(), 1u);
}

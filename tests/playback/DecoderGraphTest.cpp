// The decoder graph: graph and decoder creation, the video window and the graph's
// event notification, and running the graph on the graph thread.
#include "tests/playback/PlaybackTestSupport.h"

#include "simhw/decoder/SimDecoderFilter.h"
#include "txHost/playback/DecoderCard.h"
#include "txHost/playback/DecoderGraph.h"
#include "txHost/core/AppMessages.h"

#include "comkit/Bstr.h"
#include "comkit/ComObject.h"

#include <evcode.h>
#include <uuids.h>

#include <atomic>

namespace tx::test
{
namespace
{

using namespace tx::playback;

struct Ole
{
    Ole()
    {
        ::OleInitialize(nullptr);
    }
    ~Ole()
    {
        ::OleUninitialize();
    }
};

static_assert(kGraphEventMessage == tx::host::APPMSG_GRAPH_EVENT);

std::atomic<int> g_created{0};

HRESULT CreateSimDecoder(const wchar_t *module, REFCLSID clsid, REFIID riid, void **ppv)
{
    EXPECT_STREQ(module, L"rmmpeg2.ax");
    EXPECT_EQ(clsid, CLSID_ZiduzDecoder);
    ++g_created;
    return tx::simhw::CSimDecoderFilter::Create(riid, ppv);
}

HRESULT NoDecoderInstalled(const wchar_t *, REFCLSID, REFIID, void **ppv)
{
    *ppv = nullptr;
    return REGDB_E_CLASSNOTREG;
}

std::wstring DecoderLog(IBaseFilter *decoder)
{
    tx::ComPtr<tx::simhw::ISimDecoderControl> control;
    decoder->QueryInterface(__uuidof(tx::simhw::ISimDecoderControl), reinterpret_cast<void **>(control.GetAddressOf()));
    tx::Bstr log;
    control->GetCallLog(log.Put());
    return log.Get() ? log.Get() : L"";
}

class TestWindow
{
  public:
    TestWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TxPlaybackTestWindow";
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(0, wc.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 400, nullptr,
                                     nullptr, wc.hInstance, nullptr);
    }
    ~TestWindow()
    {
        ::DestroyWindow(m_window);
    }
    HWND Get() const
    {
        return m_window;
    }
    // True when a graph-event message reached the window within timeoutMs.
    bool WaitForGraphEvent(DWORD timeoutMs)
    {
        const DWORD start = ::GetTickCount();
        do
        {
            MSG msg;
            while (::PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE))
            {
                if (msg.message == kGraphEventMessage && msg.lParam == 0)
                    return true;
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        } while (::GetTickCount() - start < timeoutMs);
        return false;
    }

  private:
    HWND m_window = nullptr;
};

// A media control whose Run answers a chosen result.
class FakeControl final : public tx::ComObject<FakeControl, IMediaControl>
{
  public:
    explicit FakeControl(HRESULT run) : m_run(run)
    {
    }
    STDMETHODIMP GetTypeInfoCount(UINT *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Run() override
    {
        ++runs;
        runThread = ::GetCurrentThreadId();
        return m_run;
    }
    STDMETHODIMP Pause() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Stop() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetState(LONG, OAFilterState *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP RenderFile(BSTR) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP AddSourceFilter(BSTR, IDispatch **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_FilterCollection(IDispatch **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_RegFilterCollection(IDispatch **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP StopWhenReady() override
    {
        return E_NOTIMPL;
    }
    int runs = 0;
    DWORD runThread = 0;

  private:
    HRESULT m_run;
};

bool InGraph(IGraphBuilder *graph, IBaseFilter *filter, const wchar_t *name)
{
    tx::ComPtr<IBaseFilter> found;
    return SUCCEEDED(graph->FindFilterByName(name, found.GetAddressOf())) && found.Get() == filter;
}

TEST(DecoderGraph, GraphThenDecoderAndTwoPlaysNeverShareThem)
{
    Ole ole;
    RecordingLog log;
    g_created = 0;
    DecoderGraph first;
    EXPECT_EQ(CreateFilterGraph(first, &log), S_OK);
    ASSERT_TRUE(first.graph && first.control && first.videoWindow && first.events && first.seeking);
    EXPECT_FALSE(first.decoder);
    EXPECT_EQ(CreateZiduzDecoder(first, &log, &CreateSimDecoder), S_OK);
    ASSERT_TRUE(first.decoder);
    EXPECT_TRUE(InGraph(first.graph.Get(), first.decoder.Get(), L"Osterlund Hardware Decoder"));
    // A decoder that exists is kept.
    IBaseFilter *const decoder = first.decoder.Get();
    EXPECT_EQ(CreateZiduzDecoder(first, &log, &CreateSimDecoder), S_OK);
    EXPECT_EQ(first.decoder.Get(), decoder);
    EXPECT_EQ(g_created.load(), 1);
    // Refreshing the interfaces keeps the graph.
    IGraphBuilder *const graph = first.graph.Get();
    EXPECT_EQ(CreateFilterGraph(first, &log), S_OK);
    EXPECT_EQ(first.graph.Get(), graph);

    // The next play releases graph and decoder first, so it makes new ones.
    tx::ComPtr<IBaseFilter> oldDecoder = first.decoder;
    tx::ComPtr<IGraphBuilder> oldGraph = first.graph;
    first = DecoderGraph{};
    EXPECT_EQ(CreateFilterGraph(first, &log), S_OK);
    EXPECT_EQ(CreateZiduzDecoder(first, &log, &CreateSimDecoder), S_OK);
    EXPECT_NE(first.graph.Get(), oldGraph.Get());
    EXPECT_NE(first.decoder.Get(), oldDecoder.Get());
    EXPECT_EQ(g_created.load(), 2);
    EXPECT_TRUE(log.lines.empty());

    // A decoder made before the graph joins it when the graph is created.
    DecoderGraph early;
    EXPECT_EQ(CreateZiduzDecoder(early, &log, &CreateSimDecoder), S_OK);
    EXPECT_EQ(CreateFilterGraph(early, &log), S_OK);
    EXPECT_TRUE(InGraph(early.graph.Get(), early.decoder.Get(), kDecoderGraphName));

    oldGraph.Reset();
    EXPECT_EQ(RefCountOf(oldDecoder.Get()), 1u);
}

TEST(DecoderGraph, MissingDecoderIsLoggedAndFails)
{
    Ole ole;
    RecordingLog log;
    DecoderGraph state;
    ASSERT_EQ(CreateFilterGraph(state, &log), S_OK);
    EXPECT_EQ(CreateZiduzDecoder(state, &log, &NoDecoderInstalled), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(state.decoder);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].first, L"Failed to CoCreate ZIduz decoder");
    EXPECT_EQ(log.lines[0].second, REGDB_E_CLASSNOTREG);

    // The real creation of an unregistered class answers the same.
    const CLSID unknown = {0x1b2c3d4e, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
    tx::ComPtr<IBaseFilter> filter;
    EXPECT_EQ(
        CreateFilterInstance(L"nothing.ax", unknown, IID_IBaseFilter, reinterpret_cast<void **>(filter.GetAddressOf())),
        REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(filter);
}

TEST(DecoderGraph, RegisteredCardFiltersAreCreatedByClassId)
{
    Ole ole;
    // Registered by scripts/prefix.d/30-simdecoder.sh (winerun.sh --prepare).
    tx::ComPtr<IBaseFilter> decoder;
    ASSERT_EQ(CreateFilterInstance(kDecoderModule, CLSID_ZiduzDecoder, IID_IBaseFilter,
                                   reinterpret_cast<void **>(decoder.GetAddressOf())),
              S_OK)
        << "run scripts/winerun.sh --prepare on the build folder";
    CLSID clsid{};
    tx::ComPtr<IPersist> persist;
    decoder->QueryInterface(IID_IPersist, reinterpret_cast<void **>(persist.GetAddressOf()));
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_ZiduzDecoder);
    persist.Reset();
    tx::ComPtr<IBaseFilter> swapper;
    ASSERT_EQ(CreateFilterInstance(kSwapperModule, CLSID_ZiduzPcmSwapper, IID_IBaseFilter,
                                   reinterpret_cast<void **>(swapper.GetAddressOf())),
              S_OK);
    tx::ComPtr<IPin> pin;
    EXPECT_EQ(swapper->FindPin(kSwapperIn, pin.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(swapper->FindPin(kSwapperOut, pin.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(decoder->FindPin(kDecoderVideoIn, pin.ReleaseAndGetAddressOf()), S_OK);
    pin.Reset();
    EXPECT_EQ(RefCountOf(decoder.Get()), 1u);
    EXPECT_EQ(RefCountOf(swapper.Get()), 1u);
}

TEST(DecoderGraph, VideoWindowFillsTheMainWindowAndEventsReachIt)
{
    Ole ole;
    TestWindow window;
    ASSERT_TRUE(window.Get());
    RECT client{};
    ::GetClientRect(window.Get(), &client);
    RecordingLog log;
    DecoderGraph state;
    ASSERT_EQ(CreateFilterGraph(state, &log), S_OK);
    ASSERT_EQ(CreateZiduzDecoder(state, &log, &CreateSimDecoder), S_OK);
    EXPECT_EQ(SetUpVideoWindow(state, &log, window.Get(), true), S_OK);
    EXPECT_TRUE(log.lines.empty());
    const std::wstring calls = DecoderLog(state.decoder.Get());
    for (const std::wstring &line :
         {std::wstring(L"put_Owner window\n"), std::wstring(L"put_WindowStyle 0x44000000\n"),
          L"SetWindowPosition 0 0 " + std::to_wstring(client.right) + L" " + std::to_wstring(client.bottom) + L"\n"})
        EXPECT_NE(calls.find(line), std::wstring::npos) << line;
    // Owner first, then style, then position.
    EXPECT_LT(calls.find(L"put_Owner"), calls.find(L"put_WindowStyle"));
    EXPECT_LT(calls.find(L"put_WindowStyle"), calls.find(L"SetWindowPosition"));

    // The graph hands the card's audio and picture interfaces on to the decoder too.
    tx::ComPtr<IBasicAudio> audio;
    ASSERT_EQ(state.graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void **>(audio.GetAddressOf())), S_OK);
    EXPECT_EQ(audio->put_Volume(-600), S_OK);
    EXPECT_NE(DecoderLog(state.decoder.Get()).find(L"put_Volume -600\n"), std::wstring::npos);
    tx::ComPtr<IBasicVideo2> video;
    ASSERT_EQ(state.graph->QueryInterface(IID_IBasicVideo2, reinterpret_cast<void **>(video.GetAddressOf())), S_OK);
    LONG width = 0, height = 0;
    EXPECT_EQ(video->GetVideoSize(&width, &height), S_OK);
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 480);

    // The graph's events now come to the window as kGraphEventMessage.
    tx::ComPtr<IMediaEventSink> sink;
    ASSERT_EQ(state.graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void **>(sink.GetAddressOf())), S_OK);
    EXPECT_EQ(sink->Notify(EC_USER + 5, 1, 2), S_OK);
    EXPECT_TRUE(window.WaitForGraphEvent(2000));
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    EXPECT_EQ(state.events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_USER + 5);
    state.events->FreeEventParams(code, p1, p2);
    state.events->SetNotifyWindow(0, 0, 0);
}

TEST(DecoderGraph, AudioOnlyLeavesTheVideoWindowAloneButSetsTheNotifyWindow)
{
    Ole ole;
    TestWindow window;
    RecordingLog log;
    DecoderGraph state;
    ASSERT_EQ(CreateFilterGraph(state, &log), S_OK);
    ASSERT_EQ(CreateZiduzDecoder(state, &log, &CreateSimDecoder), S_OK);
    EXPECT_EQ(SetUpVideoWindow(state, &log, window.Get(), false), S_OK);
    const std::wstring calls = DecoderLog(state.decoder.Get());
    EXPECT_EQ(calls.find(L"put_Owner"), std::wstring::npos);
    EXPECT_EQ(calls.find(L"SetWindowPosition"), std::wstring::npos);
    tx::ComPtr<IMediaEventSink> sink;
    state.graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void **>(sink.GetAddressOf()));
    sink->Notify(EC_USER, 0, 0);
    EXPECT_TRUE(window.WaitForGraphEvent(2000));
    EXPECT_TRUE(log.lines.empty());
    state.events->SetNotifyWindow(0, 0, 0);
}

TEST(DecoderGraph, GraphWithoutAVideoRendererFailsAtTheVideoWindow)
{
    Ole ole;
    TestWindow window;
    RecordingLog log;
    DecoderGraph state;
    ASSERT_EQ(CreateFilterGraph(state, &log), S_OK);
    // No decoder in the graph: nothing answers IVideoWindow.
    const HRESULT hr = SetUpVideoWindow(state, &log, window.Get(), true);
    EXPECT_TRUE(FAILED(hr));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].first, L"Failed to get video window");
    EXPECT_EQ(log.lines[0].second, hr);
    // The notify window was not set.
    tx::ComPtr<IMediaEventSink> sink;
    state.graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void **>(sink.GetAddressOf()));
    sink->Notify(EC_USER, 0, 0);
    EXPECT_FALSE(window.WaitForGraphEvent(200));

    // Without interfaces at all nothing is touched.
    DecoderGraph none;
    EXPECT_EQ(SetUpVideoWindow(none, &log, window.Get(), true), S_OK);
}

TEST(DecoderGraph, GraphThreadRunsOnceAndReleasesItsControl)
{
    Ole ole;
    const struct
    {
        HRESULT run;
        size_t lines;
    } cases[] = {{S_OK, 0}, {S_FALSE, 0}, {E_FAIL, 1}};
    for (const auto &c : cases)
    {
        RecordingLog log;
        DecoderGraph state;
        tx::ComPtr<FakeControl> control = tx::MakeComObject<FakeControl>(c.run);
        state.threadControl = control;
        GraphThreadContext context{&state, &log};
        HANDLE thread = ::CreateThread(nullptr, 0, &GraphThreadProc, &context, 0, nullptr);
        ASSERT_TRUE(thread);
        EXPECT_EQ(::WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        ::GetExitCodeThread(thread, &exitCode);
        const DWORD threadId = ::GetThreadId(thread);
        ::CloseHandle(thread);
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(control->runs, 1);
        EXPECT_EQ(control->runThread, threadId);
        EXPECT_FALSE(state.threadControl);
        ASSERT_EQ(log.lines.size(), c.lines);
        if (c.lines)
        {
            EXPECT_EQ(log.lines[0].first, L"Failed to run filter graph");
            EXPECT_EQ(log.lines[0].second, c.run);
        }
        // Without a control the run is a no-op.
        RunGraph(state, &log);
        EXPECT_EQ(control->runs, 1);
        EXPECT_EQ(RefCountOf(control.Get()), 1u);
    }
}

TEST(DecoderGraph, RunGraphStartsARealGraph)
{
    Ole ole;
    RecordingLog log;
    DecoderGraph state;
    ASSERT_EQ(CreateFilterGraph(state, &log), S_OK);
    ASSERT_EQ(CreateZiduzDecoder(state, &log, &CreateSimDecoder), S_OK);
    state.threadControl = state.control;
    RunGraph(state, &log);
    EXPECT_FALSE(state.threadControl);
    EXPECT_NE(DecoderLog(state.decoder.Get()).find(L"Run\n"), std::wstring::npos);
    state.control->Stop();
    EXPECT_TRUE(log.lines.empty());
}

} // namespace
} // namespace tx::test

// Taking a play's graph apart: only the decoder stays, unconnected, or nothing.
#include "tests/playback/PlaybackTestSupport.h"

#include "simhw/decoder/SimDecoderFilter.h"
#include "txHost/playback/DecoderCard.h"
#include "txHost/playback/EmptyGraph.h"

#include <control.h>
#include <uuids.h>

#include <tuple>

namespace tx::test
{
namespace
{

using namespace tx::playback;

struct Com
{
    Com()
    {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    }
    ~Com()
    {
        ::CoUninitialize();
    }
};

tx::ComPtr<IPin> PinOf(IBaseFilter *filter, const wchar_t *id)
{
    tx::ComPtr<IPin> pin;
    filter->FindPin(id, pin.GetAddressOf());
    return pin;
}

std::vector<std::wstring> FilterNames(IGraphBuilder *graph)
{
    std::vector<std::wstring> names;
    tx::ComPtr<IEnumFilters> filters;
    graph->EnumFilters(filters.GetAddressOf());
    for (;;)
    {
        tx::ComPtr<IBaseFilter> filter;
        if (filters->Next(1, filter.GetAddressOf(), nullptr) != S_OK)
            break;
        FILTER_INFO info{};
        filter->QueryFilterInfo(&info);
        names.emplace_back(info.achName);
        if (info.pGraph)
            info.pGraph->Release();
    }
    return names;
}

bool Connected(IPin *pin)
{
    tx::ComPtr<IPin> peer;
    return pin->ConnectedTo(peer.GetAddressOf()) == S_OK;
}

// source -> splitter -> software decoder -> txencoder -> decoder "Video In", and the
// splitter's audio -> decoder "Audio In", running.
struct PlayGraph
{
    PlayGraph()
    {
        ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                           reinterpret_cast<void **>(graph.GetAddressOf()));
        tx::simhw::CSimDecoderFilter::Create(IID_IBaseFilter, reinterpret_cast<void **>(decoder.GetAddressOf()));
        const GUID mpeg4 = FourccSubtype("XVID");
        source->Add(L"out", PINDIR_OUTPUT, {MakeType(MEDIATYPE_Stream, MEDIASUBTYPE_Avi)});
        splitter->Add(L"in", PINDIR_INPUT);
        splitter->Add(L"video", PINDIR_OUTPUT, {MakeType(MEDIATYPE_Video, FourccSubtype("H264"))});
        splitter->Add(L"audio", PINDIR_OUTPUT, {MakePcm(2, 48000)});
        software->Add(L"In", PINDIR_INPUT);
        software->Add(L"Out", PINDIR_OUTPUT, {MakeType(MEDIATYPE_Video, MEDIASUBTYPE_RGB32)});
        encoder->Add(L"In", PINDIR_INPUT);
        encoder->Add(L"Out", PINDIR_OUTPUT, {MakeType(MEDIATYPE_Video, mpeg4)});
        const std::pair<IBaseFilter *, const wchar_t *> filters[] = {{source.Get(), L"file"},
                                                                     {splitter.Get(), L"splitter"},
                                                                     {software.Get(), L"Software Decoder"},
                                                                     {encoder.Get(), L"txencoder"},
                                                                     {decoder.Get(), kDecoderGraphName}};
        for (const auto &[filter, name] : filters)
            EXPECT_EQ(graph->AddFilter(filter, name), S_OK);
        const std::tuple<IBaseFilter *, const wchar_t *, IBaseFilter *, const wchar_t *> links[] = {
            {source.Get(), L"out", splitter.Get(), L"in"},
            {splitter.Get(), L"video", software.Get(), L"In"},
            {software.Get(), L"Out", encoder.Get(), L"In"},
            {encoder.Get(), L"Out", decoder.Get(), kDecoderVideoIn},
            {splitter.Get(), L"audio", decoder.Get(), kDecoderAudioIn}};
        for (const auto &[from, out, to, in] : links)
            EXPECT_EQ(graph->ConnectDirect(PinOf(from, out).Get(), PinOf(to, in).Get(), nullptr), S_OK);
        tx::ComPtr<IMediaControl> control;
        graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(control.GetAddressOf()));
        EXPECT_TRUE(SUCCEEDED(control->Run()));
    }
    void ExpectReleased()
    {
        graph.Reset();
        IBaseFilter *const filters[] = {source.Get(), splitter.Get(), software.Get(), encoder.Get(), decoder.Get()};
        for (IBaseFilter *filter : filters)
            EXPECT_EQ(RefCountOf(filter), 1u);
    }
    tx::ComPtr<IGraphBuilder> graph;
    tx::ComPtr<IBaseFilter> decoder;
    tx::ComPtr<TestPinFilter> source = MakeTestPinFilter();
    tx::ComPtr<TestPinFilter> splitter = MakeTestPinFilter();
    tx::ComPtr<TestPinFilter> software = MakeTestPinFilter();
    tx::ComPtr<TestPinFilter> encoder = MakeTestPinFilter();
};

TEST(EmptyGraph, KeepsOnlyTheDecoderUnconnected)
{
    Com com;
    PlayGraph play;
    ASSERT_EQ(FilterNames(play.graph.Get()).size(), 5u);
    EmptyGraph(play.graph.Get(), play.decoder.Get(), false);

    EXPECT_EQ(FilterNames(play.graph.Get()), std::vector<std::wstring>{kDecoderGraphName});
    EXPECT_FALSE(Connected(PinOf(play.decoder.Get(), kDecoderVideoIn).Get()));
    EXPECT_FALSE(Connected(PinOf(play.decoder.Get(), kDecoderAudioIn).Get()));
    // The removed filters were taken out whole: no pin is left half-connected.
    EXPECT_FALSE(Connected(PinOf(play.encoder.Get(), L"Out").Get()));
    EXPECT_FALSE(Connected(PinOf(play.splitter.Get(), L"audio").Get()));
    FILTER_STATE state{};
    EXPECT_EQ(play.decoder->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    // The kept decoder takes a new play.
    tx::ComPtr<TestPinFilter> next = MakeTestPinFilter();
    next->Add(L"out", PINDIR_OUTPUT, {MakePcm(2, 44100)});
    ASSERT_EQ(play.graph->AddFilter(next.Get(), L"file"), S_OK);
    EXPECT_EQ(play.graph->ConnectDirect(PinOf(next.Get(), L"out").Get(),
                                        PinOf(play.decoder.Get(), kDecoderAudioIn).Get(), nullptr),
              S_OK);
    EmptyGraph(play.graph.Get(), play.decoder.Get(), false);
    EXPECT_EQ(RefCountOf(next.Get()), 1u);
    play.ExpectReleased();
}

TEST(EmptyGraph, ReleaseAllEmptiesTheGraph)
{
    Com com;
    for (bool withDecoder : {true, false})
    {
        PlayGraph play;
        // Without a decoder to recognise, every filter goes as well.
        EmptyGraph(play.graph.Get(), withDecoder ? play.decoder.Get() : nullptr, withDecoder);
        EXPECT_TRUE(FilterNames(play.graph.Get()).empty()) << withDecoder;
        play.ExpectReleased();
    }
}

TEST(EmptyGraph, NoGraphReturnsAtOnce)
{
    Com com;
    tx::ComPtr<IBaseFilter> decoder;
    tx::simhw::CSimDecoderFilter::Create(IID_IBaseFilter, reinterpret_cast<void **>(decoder.GetAddressOf()));
    EmptyGraph(nullptr, decoder.Get(), false);
    EmptyGraph(nullptr, nullptr, true);
    EXPECT_EQ(RefCountOf(decoder.Get()), 1u);
}

} // namespace
} // namespace tx::test

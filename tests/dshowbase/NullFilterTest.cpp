// The Null filter: pass-through of any type byte for byte, its creation, and the
// flush of the pin behind a handed pin at end of stream.
#include "DShowTestSupport.h"
#include "TestFilters.h"
#include "txHost/playback/NullFilter.h"

#include <evcode.h>

using namespace tx::dshow;
using tx::ComPtr;
using tx::playback::CNullFilter;
using tx::playback::CreateNullFilter;

namespace tx::test
{
namespace
{

TEST(NullFilter, CreationNeedsAResultPointer)
{
    ComScope com;
    EXPECT_FALSE(CreateNullFilter(L"null", nullptr));
    HRESULT hr = E_FAIL;
    ComPtr<CNullFilter> filter = CreateNullFilter(L"null", &hr);
    ASSERT_TRUE(filter);
    EXPECT_EQ(hr, S_OK);
    CLSID clsid{};
    EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_NULL);
    EXPECT_TRUE(filter->ModifiesData());
    EXPECT_EQ(filter.Detach()->Release(), 0u);
}

TEST(NullFilter, AcceptsEveryTypeAndProposesNone)
{
    ComScope com;
    HRESULT hr = E_FAIL;
    ComPtr<CNullFilter> filter = CreateNullFilter(L"null", &hr);
    CMediaType video(MEDIATYPE_Video);
    video.SetSubtype(MEDIASUBTYPE_RGB32);
    CMediaType stream(MEDIATYPE_Stream);
    for (const CMediaType *type : {&video, &stream})
    {
        EXPECT_EQ(filter->CheckInputType(*type), S_OK);
        EXPECT_EQ(filter->CheckTransform(*type, video), S_OK);
        EXPECT_EQ(FindPin(filter.Get(), L"In")->QueryAccept(type), S_OK);
    }
    CMediaType proposed;
    for (int position : {-1, 0, 1})
        EXPECT_EQ(filter->GetMediaType(position, &proposed), E_UNEXPECTED);
    EXPECT_EQ(filter.Detach()->Release(), 0u);
}

struct NullGraph
{
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    std::vector<ComPtr<IBaseFilter>> filters;

    void Add(IBaseFilter *filter, const wchar_t *name)
    {
        filters.emplace_back(filter);
        ASSERT_EQ(graph->AddFilter(filter, name), S_OK);
    }
    void Connect(IBaseFilter *from, const wchar_t *out, IBaseFilter *to, const wchar_t *in)
    {
        ASSERT_EQ(graph->ConnectDirect(FindPin(from, out).Get(), FindPin(to, in).Get(), nullptr), S_OK);
    }
    void RunToCompletion()
    {
        ASSERT_EQ(graph.As(&control), S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void **>(events.ReleaseAndGetAddressOf())),
                  S_OK);
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        long code = 0;
        EXPECT_EQ(events->WaitForCompletion(10000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        EXPECT_EQ(control->Stop(), S_OK);
    }
    void TearDown()
    {
        control.Reset();
        events.Reset();
        if (graph)
        {
            EXPECT_EQ(graph.Detach()->Release(), 0u);
        }
        for (auto &filter : filters)
            EXPECT_EQ(filter.Detach()->Release(), 0u);
    }
};

TEST(NullFilter, PassesAudioThroughByteForByte)
{
    ComScope com;
    NullGraph g;
    g.graph = MakeGraph();
    ASSERT_TRUE(g.graph);
    HRESULT hr = E_FAIL;
    ComPtr<TestSource> source = tx::MakeComObject<TestSource>(6, 4000, 100000);
    ComPtr<CNullFilter> null = CreateNullFilter(L"null", &hr);
    ComPtr<TestSink> sink = tx::MakeComObject<TestSink>();
    g.Add(source.Get(), L"source");
    g.Add(null.Get(), L"null");
    g.Add(sink.Get(), L"sink");
    g.Connect(source.Get(), L"1", null.Get(), L"In");
    g.Connect(null.Get(), L"Out", sink.Get(), L"In");
    g.RunToCompletion();
    const auto samples = sink->Samples();
    ASSERT_EQ(samples.size(), 6u);
    for (int i = 0; i < 6; ++i)
    {
        const auto &bytes = samples[static_cast<size_t>(i)].bytes;
        ASSERT_EQ(bytes.size(), 4000u);
        bool same = true;
        for (long b = 0; b < 4000; ++b)
            same = same && bytes[static_cast<size_t>(b)] == PatternByte(i, b);
        EXPECT_TRUE(same) << "sample " << i;
        EXPECT_EQ(samples[static_cast<size_t>(i)].start, i * 100000);
    }
    source.Reset();
    null.Reset();
    sink.Reset();
    g.TearDown();
}

// At end of stream the pin connected to the handed pin (an encoder's input) is
// flushed once: BeginFlush then EndFlush. The picture chain here ends (one sample)
// well before the audio does, so both renderers complete.
TEST(NullFilter, EndOfStreamFlushesThePinBehindTheHandedPin)
{
    ComScope com;
    NullGraph g;
    g.graph = MakeGraph();
    ASSERT_TRUE(g.graph);
    HRESULT hr = E_FAIL;
    ComPtr<TestSource> audio = tx::MakeComObject<TestSource>(5, 256, 200000);
    ComPtr<CNullFilter> null = CreateNullFilter(L"null", &hr);
    ComPtr<TestSink> audioSink = tx::MakeComObject<TestSink>();
    ComPtr<TestSource> pictures = tx::MakeComObject<TestSource>(1, 256, 100000);
    ComPtr<TestCopyTransform> encoder = tx::MakeComObject<TestCopyTransform>();
    ComPtr<TestSink> pictureSink = tx::MakeComObject<TestSink>();
    g.Add(audio.Get(), L"source");
    g.Add(null.Get(), L"null");
    g.Add(audioSink.Get(), L"sink");
    g.Add(pictures.Get(), L"pictures");
    g.Add(encoder.Get(), L"txencoder2");
    g.Add(pictureSink.Get(), L"picture sink");
    g.Connect(audio.Get(), L"1", null.Get(), L"In");
    g.Connect(null.Get(), L"Out", audioSink.Get(), L"In");
    g.Connect(pictures.Get(), L"1", encoder.Get(), L"In");
    g.Connect(encoder.Get(), L"Out", pictureSink.Get(), L"In");
    null->SetHandedPin(FindPin(pictures.Get(), L"1").Get());
    g.RunToCompletion();
    EXPECT_EQ(encoder->beginFlushes, 1);
    EXPECT_EQ(encoder->endFlushes, 1);
    EXPECT_EQ(audioSink->Samples().size(), 5u);

    // Without a handed pin nothing is flushed.
    null->SetHandedPin(nullptr);
    g.RunToCompletion();
    EXPECT_EQ(encoder->beginFlushes, 1);

    audio.Reset();
    null.Reset();
    audioSink.Reset();
    pictures.Reset();
    encoder.Reset();
    pictureSink.Reset();
    g.TearDown();
}

} // namespace
} // namespace tx::test

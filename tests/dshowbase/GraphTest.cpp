// Our filters in Wine's filter graph manager: connection, allocator negotiation,
// pacing against the graph clock, end of stream and the connected state walk.
#include "DShowTestSupport.h"
#include "TestFilters.h"

#include <evcode.h>

using namespace tx::dshow;
using tx::ComPtr;

namespace tx::test
{
namespace
{

constexpr REFERENCE_TIME kFrame = 200000; // 20 ms
constexpr int kSamples = 10;
constexpr long kSampleSize = 1024;

struct PassThroughGraph
{
    ComPtr<IGraphBuilder> graph;
    ComPtr<TestSource> source;
    ComPtr<TestInPlace> inPlace;
    ComPtr<TestCopyTransform> transform;
    ComPtr<TestSink> sink;

    // source -> in place -> transform -> sink, connected directly.
    void Build()
    {
        graph = MakeGraph();
        ASSERT_TRUE(graph);
        source = tx::MakeComObject<TestSource>(kSamples, kSampleSize, kFrame);
        inPlace = tx::MakeComObject<TestInPlace>();
        transform = tx::MakeComObject<TestCopyTransform>();
        sink = tx::MakeComObject<TestSink>();
        ASSERT_EQ(graph->AddFilter(source.Get(), L"source"), S_OK);
        ASSERT_EQ(graph->AddFilter(inPlace.Get(), L"passthrough"), S_OK);
        ASSERT_EQ(graph->AddFilter(transform.Get(), L"copy"), S_OK);
        ASSERT_EQ(graph->AddFilter(sink.Get(), L"sink"), S_OK);
        ASSERT_EQ(graph->ConnectDirect(FindPin(source.Get(), L"1").Get(), FindPin(inPlace.Get(), L"In").Get(),
                                       nullptr),
                  S_OK);
        ASSERT_EQ(graph->ConnectDirect(FindPin(inPlace.Get(), L"Out").Get(),
                                       FindPin(transform.Get(), L"In").Get(), nullptr),
                  S_OK);
        ASSERT_EQ(graph->ConnectDirect(FindPin(transform.Get(), L"Out").Get(), FindPin(sink.Get(), L"In").Get(),
                                       nullptr),
                  S_OK);
    }

    // Releases the graph first, then checks that each filter of ours goes to zero.
    void TearDown()
    {
        if (graph)
        {
            ComPtr<IMediaControl> control;
            if (SUCCEEDED(graph.As(&control)))
                control->Stop();
            control.Reset();
            EXPECT_EQ(graph.Detach()->Release(), 0u);
        }
        if (source)
        {
            EXPECT_EQ(source.Detach()->Release(), 0u);
        }
        if (inPlace)
        {
            EXPECT_EQ(inPlace.Detach()->Release(), 0u);
        }
        if (transform)
        {
            EXPECT_EQ(transform.Detach()->Release(), 0u);
        }
        if (sink)
        {
            EXPECT_EQ(sink.Detach()->Release(), 0u);
        }
    }
};

TEST(DShowGraph, PassThroughChainConnectsWithTheSourceType)
{
    ComScope com;
    PassThroughGraph g;
    g.Build();
    if (HasFatalFailure())
        return g.TearDown();
    const CMediaType pcm = MakePcmType();
    for (IBaseFilter *filter : {static_cast<IBaseFilter *>(g.inPlace.Get()), static_cast<IBaseFilter *>(g.sink.Get())})
    {
        AM_MEDIA_TYPE type{};
        ASSERT_EQ(FindPin(filter, L"In")->ConnectionMediaType(&type), S_OK);
        EXPECT_TRUE(MediaTypesEqual(type, pcm));
        FreeMediaType(type);
    }
    // The in-place filter hands the upstream allocator on downstream; the copying
    // transform has one allocator on each side.
    EXPECT_EQ(g.inPlace->InputPin()->Allocator(), g.inPlace->OutputPin()->Allocator());
    EXPECT_NE(g.transform->InputPin()->Allocator(), g.transform->OutputPin()->Allocator());

    ComPtr<IPin> sourceOut = FindPin(g.source.Get(), L"1");
    EXPECT_EQ(sourceOut->Connect(FindPin(g.sink.Get(), L"In").Get(), nullptr), VFW_E_ALREADY_CONNECTED);
    ComPtr<IPin> peer;
    EXPECT_EQ(sourceOut->ConnectedTo(peer.GetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), FindPin(g.inPlace.Get(), L"In").Get());
    // Seeking asked of the transform's output travels upstream to a source without
    // IMediaSeeking.
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(FindPin(g.transform.Get(), L"Out").As(&seeking), S_OK);
    LONGLONG duration = 0;
    EXPECT_EQ(seeking->GetDuration(&duration), E_NOTIMPL);
    seeking.Reset();
    sourceOut.Reset();
    peer.Reset();
    g.TearDown();
}

TEST(DShowGraph, RunsPacedAndDeliversEverySampleThenCompletes)
{
    ComScope com;
    PassThroughGraph g;
    g.Build();
    if (HasFatalFailure())
        return g.TearDown();
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(g.graph.As(&control), S_OK);
    ASSERT_EQ(g.graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void **>(events.GetAddressOf())), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    long code = 0;
    EXPECT_EQ(events->WaitForCompletion(10000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);

    const std::vector<RenderedSample> samples = g.sink->Samples();
    ASSERT_EQ(samples.size(), static_cast<size_t>(kSamples));
    for (int i = 0; i < kSamples; ++i)
    {
        SCOPED_TRACE(i);
        const RenderedSample &s = samples[static_cast<size_t>(i)];
        ASSERT_TRUE(s.timed);
        EXPECT_EQ(s.start, i * kFrame);
        EXPECT_EQ(s.stop, (i + 1) * kFrame);
        // Presented no earlier than its time on the graph clock.
        EXPECT_GE(s.streamTimeAtRender, s.start);
        ASSERT_EQ(s.bytes.size(), static_cast<size_t>(kSampleSize));
        for (long b = 0; b < kSampleSize; ++b)
            if (s.bytes[static_cast<size_t>(b)] != PatternByte(i, b))
            {
                ADD_FAILURE() << "byte " << b << " differs";
                break;
            }
    }
    EXPECT_EQ(g.inPlace->transformed, kSamples);
    EXPECT_EQ(g.inPlace->shared, kSamples);
    EXPECT_EQ(g.transform->transformed, kSamples);
    control.Reset();
    events.Reset();
    g.TearDown();
}

// Every filter of ours walks Stop -> Pause -> Run -> Pause -> Stop in a connected
// graph, driven by the graph manager; a run after the stop plays everything again.
TEST(DShowGraph, ConnectedStateWalkAndRestart)
{
    ComScope com;
    PassThroughGraph g;
    g.Build();
    if (HasFatalFailure())
        return g.TearDown();
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(g.graph.As(&control), S_OK);
    ASSERT_EQ(g.graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void **>(events.GetAddressOf())), S_OK);
    IBaseFilter *ours[] = {g.source.Get(), g.inPlace.Get(), g.transform.Get(), g.sink.Get()};
    auto expectAll = [&](FILTER_STATE expected) {
        for (IBaseFilter *filter : ours)
        {
            FILTER_STATE state{};
            EXPECT_EQ(filter->GetState(5000, &state), S_OK);
            EXPECT_EQ(state, expected);
        }
    };

    OAFilterState graphState = 0;
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    EXPECT_EQ(control->GetState(5000, &graphState), S_OK); // the sink holds its first sample
    EXPECT_EQ(graphState, State_Paused);
    expectAll(State_Paused);
    EXPECT_EQ(g.sink->Samples().size(), 0u);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    expectAll(State_Running);
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    expectAll(State_Paused);
    ASSERT_EQ(control->Stop(), S_OK);
    expectAll(State_Stopped);

    // After a stop the stream starts again from its beginning.
    const size_t before = g.sink->Samples().size();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    long code = 0;
    EXPECT_EQ(events->WaitForCompletion(10000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    const std::vector<RenderedSample> samples = g.sink->Samples();
    ASSERT_EQ(samples.size(), before + kSamples);
    EXPECT_EQ(samples[before].start, 0);
    ASSERT_EQ(control->Stop(), S_OK);
    control.Reset();
    events.Reset();
    g.TearDown();
}

} // namespace
} // namespace tx::test

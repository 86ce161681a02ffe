// The simulated decoder card's filters on their own and in Wine's filter graph.
#include "tests/playback/PlaybackTestSupport.h"

#include "simhw/decoder/SimDecoderFilter.h"
#include "simhw/decoder/SimSwapperFilter.h"
#include "txHost/playback/DecoderCard.h"

#include "comkit/Bstr.h"

#include <control.h>
#include <evcode.h>
#include <uuids.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace tx::test
{
namespace
{

using tx::playback::kDecoderAudioIn;
using tx::playback::kDecoderVideoIn;
using tx::simhw::ISimDecoderControl;
using tx::simhw::SimStreamSummary;

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

tx::ComPtr<IBaseFilter> MakeDecoder()
{
    tx::ComPtr<IBaseFilter> decoder;
    EXPECT_EQ(tx::simhw::CSimDecoderFilter::Create(IID_IBaseFilter, reinterpret_cast<void **>(decoder.GetAddressOf())),
              S_OK);
    return decoder;
}

tx::ComPtr<ISimDecoderControl> Control(IBaseFilter *decoder)
{
    tx::ComPtr<ISimDecoderControl> control;
    decoder->QueryInterface(__uuidof(ISimDecoderControl), reinterpret_cast<void **>(control.GetAddressOf()));
    return control;
}

tx::ComPtr<IPin> Pin(IBaseFilter *filter, const wchar_t *id)
{
    tx::ComPtr<IPin> pin;
    filter->FindPin(id, pin.GetAddressOf());
    return pin;
}

std::wstring CallLog(ISimDecoderControl *control)
{
    tx::Bstr log;
    EXPECT_EQ(control->GetCallLog(log.Put()), S_OK);
    return log.Get() ? std::wstring(log.Get()) : std::wstring();
}

SimStreamSummary Summary(ISimDecoderControl *control, LONG input)
{
    SimStreamSummary summary{};
    EXPECT_EQ(control->GetStreamSummary(input, &summary), S_OK);
    return summary;
}

// Samples of our own for pushing by hand into a decoder input.
class SamplePusher
{
  public:
    explicit SamplePusher(IPin *input)
    {
        input->QueryInterface(IID_IMemInputPin, reinterpret_cast<void **>(m_input.GetAddressOf()));
        ::CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                           reinterpret_cast<void **>(m_allocator.GetAddressOf()));
        ALLOCATOR_PROPERTIES request{4, 4096, 1, 0}, actual{};
        EXPECT_EQ(m_allocator->SetProperties(&request, &actual), S_OK);
        EXPECT_EQ(m_allocator->Commit(), S_OK);
        EXPECT_EQ(m_input->NotifyAllocator(m_allocator.Get(), FALSE), S_OK);
    }
    ~SamplePusher()
    {
        m_allocator->Decommit();
    }
    // Pushes size bytes of pattern seed stamped [start, start + 10 ms); adds them to checksum.
    HRESULT Push(long size, BYTE seed, REFERENCE_TIME start, ULONGLONG *checksum = nullptr)
    {
        tx::ComPtr<IMediaSample> sample;
        HRESULT hr = m_allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0);
        if (FAILED(hr))
            return hr;
        BYTE *data = nullptr;
        sample->GetPointer(&data);
        for (long i = 0; i < size; ++i)
            data[i] = static_cast<BYTE>(seed + i * 7);
        sample->SetActualDataLength(size);
        REFERENCE_TIME stop = start + 100000;
        sample->SetTime(&start, &stop);
        if (checksum)
            *checksum = tx::simhw::SimChecksum(*checksum, data, static_cast<size_t>(size));
        return m_input->Receive(sample.Get());
    }

  private:
    tx::ComPtr<IMemInputPin> m_input;
    tx::ComPtr<IMemAllocator> m_allocator;
};

// A graph of a test source with one output pin of each given type, joined directly
// to the decoder's inputs in order ("Video In", "Audio In").
struct DecoderBench
{
    explicit DecoderBench(std::vector<std::pair<const wchar_t *, dshow::CMediaType>> outputs)
    {
        graph = [] {
            tx::ComPtr<IGraphBuilder> g;
            ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               reinterpret_cast<void **>(g.GetAddressOf()));
            return g;
        }();
        decoder = MakeDecoder();
        control = Control(decoder.Get());
        control->SetRealTimePacing(FALSE);
        source = MakeTestPinFilter();
        EXPECT_EQ(graph->AddFilter(source.Get(), L"source"), S_OK);
        EXPECT_EQ(graph->AddFilter(decoder.Get(), tx::playback::kDecoderGraphName), S_OK);
        int n = 0;
        for (auto &[target, type] : outputs)
        {
            const std::wstring id = L"out" + std::to_wstring(n++);
            TestPin *out = source->Add(id.c_str(), PINDIR_OUTPUT, {type});
            EXPECT_EQ(graph->ConnectDirect(out, Pin(decoder.Get(), target).Get(), nullptr), S_OK);
        }
        graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(media.GetAddressOf()));
        graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void **>(events.GetAddressOf()));
    }
    ~DecoderBench()
    {
        if (media)
            media->Stop();
    }
    tx::ComPtr<IGraphBuilder> graph;
    tx::ComPtr<IBaseFilter> decoder;
    tx::ComPtr<ISimDecoderControl> control;
    tx::ComPtr<TestPinFilter> source;
    tx::ComPtr<IMediaControl> media;
    tx::ComPtr<IMediaEvent> events;
};

TEST(SimDecoder, PinsByIdInterfacesAndRelease)
{
    Com com;
    tx::ComPtr<IBaseFilter> decoder = MakeDecoder();
    ASSERT_TRUE(decoder);
    for (const wchar_t *id : {kDecoderVideoIn, kDecoderAudioIn})
    {
        tx::ComPtr<IPin> pin = Pin(decoder.Get(), id);
        ASSERT_TRUE(pin) << id;
        PIN_INFO info{};
        ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
        EXPECT_STREQ(info.achName, id);
        EXPECT_EQ(info.dir, PINDIR_INPUT);
        info.pFilter->Release();
    }
    tx::ComPtr<IPin> missing;
    EXPECT_EQ(decoder->FindPin(L"In", missing.GetAddressOf()), VFW_E_NOT_FOUND);

    const std::pair<const IID *, bool> table[] = {
        {&IID_IVideoWindow, true},
        {&IID_IBasicVideo, true},
        {&IID_IBasicVideo2, true},
        {&IID_IBasicAudio, true},
        {&IID_IMediaSeeking, true},
        {&IID_IMediaPosition, true},
        {&IID_IAMFilterMiscFlags, true},
        {&__uuidof(ISimDecoderControl), true},
        {&__uuidof(tx::playback::IZiduzPicture), true},
        {&__uuidof(tx::playback::IZiduzAudio), true},
        {&__uuidof(tx::playback::IZiduzVideoOutput), true},
        {&IID_IFileSourceFilter, false},
        {&IID_IMemInputPin, false},
    };
    for (const auto &[iid, expected] : table)
    {
        tx::ComPtr<IUnknown> answer;
        EXPECT_EQ(SUCCEEDED(decoder->QueryInterface(*iid, reinterpret_cast<void **>(answer.GetAddressOf()))), expected);
        if (answer)
        {
            // Every part shares the filter's identity.
            tx::ComPtr<IUnknown> identity;
            answer->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(identity.GetAddressOf()));
            tx::ComPtr<IUnknown> filterIdentity;
            decoder->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(filterIdentity.GetAddressOf()));
            EXPECT_EQ(identity.Get(), filterIdentity.Get());
        }
    }
    tx::ComPtr<IAMFilterMiscFlags> flags;
    decoder->QueryInterface(IID_IAMFilterMiscFlags, reinterpret_cast<void **>(flags.GetAddressOf()));
    EXPECT_EQ(flags->GetMiscFlags(), static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_RENDERER));
    flags.Reset();
    EXPECT_EQ(RefCountOf(decoder.Get()), 1u);
}

TEST(SimDecoder, AcceptsTheCardsTypesOnTheRightInput)
{
    Com com;
    tx::ComPtr<IBaseFilter> decoder = MakeDecoder();
    tx::ComPtr<IPin> video = Pin(decoder.Get(), kDecoderVideoIn);
    tx::ComPtr<IPin> audio = Pin(decoder.Get(), kDecoderAudioIn);
    const GUID mpeg2Video = {0xe06d8026, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
    const GUID mpeg2Audio = {0xe06d802b, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
    const GUID ac3 = {0xe06d802c, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
    const GUID dts = {0xe06d8033, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
    struct Case
    {
        const char *what;
        dshow::CMediaType type;
        bool video;
        bool audio;
    } cases[] = {
        {"MPEG-1 video", MakeType(MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload), true, false},
        {"MPEG-1 packet video", MakeType(MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Packet), true, false},
        {"MPEG-2 video", MakeType(MEDIATYPE_Video, mpeg2Video), true, false},
        {"RMP4", MakeType(MEDIATYPE_Video, tx::playback::MEDIASUBTYPE_RMP4), true, false},
        {"XVID", MakeType(MEDIATYPE_Video, FourccSubtype("XVID")), true, false},
        {"divx lower case", MakeType(MEDIATYPE_Video, FourccSubtype("divx")), true, false},
        {"MP4V", MakeType(MEDIATYPE_Video, FourccSubtype("MP4V")), true, false},
        {"RGB32 pictures", MakeType(MEDIATYPE_Video, MEDIASUBTYPE_RGB32), false, false},
        {"H264", MakeType(MEDIATYPE_Video, FourccSubtype("H264")), false, false},
        {"MPEG-1 audio", MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload), false, true},
        {"MPEG-1 audio packet", MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Packet), false, true},
        {"MPEG-2 audio", MakeType(MEDIATYPE_Audio, mpeg2Audio), false, true},
        {"AC3", MakeType(MEDIATYPE_Audio, ac3), false, true},
        {"DTS", MakeType(MEDIATYPE_Audio, dts), false, true},
        {"PCM", MakePcm(2, 48000), false, true},
        {"MP3 (decoded first)", MakeType(MEDIATYPE_Audio, FourccSubtype("U\0\0\0")), false, false},
        {"MPEG-2 video on a stream major type", MakeType(MEDIATYPE_Stream, mpeg2Video), false, false},
    };
    for (const Case &c : cases)
    {
        EXPECT_EQ(video->QueryAccept(&c.type) == S_OK, c.video) << c.what;
        EXPECT_EQ(audio->QueryAccept(&c.type) == S_OK, c.audio) << c.what;
    }
    // The AC3 and DTS wave tags as FOURCC subtypes.
    GUID tag = FourccSubtype("MP4V");
    for (DWORD value : {0x2000u, 0x2001u, 0x0050u})
    {
        tag.Data1 = value;
        const dshow::CMediaType type = MakeType(MEDIATYPE_Audio, tag);
        EXPECT_EQ(audio->QueryAccept(&type), S_OK) << value;
    }
}

TEST(SimDecoder, RecordsSamplesAndCompletesWhenEveryConnectedInputEnded)
{
    Com com;
    {
        const GUID mpeg2Video = {0xe06d8026, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
        DecoderBench bench({{kDecoderVideoIn, MakeVideo(mpeg2Video, FORMAT_MPEG2Video, 400000, 704, 576)},
                            {kDecoderAudioIn, MakePcm(2, 48000)}});
        ASSERT_EQ(bench.media->Run(), S_OK);
        tx::ComPtr<IPin> audio = Pin(bench.decoder.Get(), kDecoderAudioIn);
        tx::ComPtr<IPin> video = Pin(bench.decoder.Get(), kDecoderVideoIn);
        ULONGLONG checksum = tx::simhw::kSimChecksumSeed;
        {
            SamplePusher pusher(audio.Get());
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(pusher.Push(1000 + i, static_cast<BYTE>(i), i * 100000, &checksum), S_OK);
        }
        EXPECT_EQ(audio->EndOfStream(), S_OK);
        ULONG completions = 9;
        bench.control->GetCompletions(&completions);
        EXPECT_EQ(completions, 0u) << "video has not ended yet";
        EXPECT_EQ(video->EndOfStream(), S_OK);
        bench.control->GetCompletions(&completions);
        EXPECT_EQ(completions, 1u);
        long code = 0;
        EXPECT_EQ(bench.events->WaitForCompletion(5000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);

        const SimStreamSummary a = Summary(bench.control.Get(), tx::simhw::SIM_INPUT_AUDIO);
        EXPECT_TRUE(a.connected);
        EXPECT_EQ(a.subtype, MEDIASUBTYPE_PCM);
        EXPECT_EQ(a.samples, 3u);
        EXPECT_EQ(a.bytes, 3003u);
        EXPECT_EQ(a.checksum, checksum);
        EXPECT_EQ(a.timedSamples, 3u);
        EXPECT_EQ(a.firstStart, 0);
        EXPECT_EQ(a.lastStart, 200000);
        EXPECT_EQ(a.endOfStreams, 1u);
        const SimStreamSummary v = Summary(bench.control.Get(), tx::simhw::SIM_INPUT_VIDEO);
        EXPECT_EQ(v.samples, 0u);
        EXPECT_EQ(v.formatType, FORMAT_MPEG2Video);

        // The position is that of the last sample consumed.
        tx::ComPtr<IMediaSeeking> seeking;
        bench.decoder->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void **>(seeking.GetAddressOf()));
        LONGLONG position = -1;
        EXPECT_EQ(seeking->GetCurrentPosition(&position), S_OK);
        EXPECT_EQ(position, 200000);
        seeking.Reset();

        // The video size and frame time come from the connected format.
        tx::ComPtr<IBasicVideo2> basic;
        bench.decoder->QueryInterface(IID_IBasicVideo2, reinterpret_cast<void **>(basic.GetAddressOf()));
        LONG width = 0, height = 0;
        EXPECT_EQ(basic->GetVideoSize(&width, &height), S_OK);
        EXPECT_EQ(width, 704);
        EXPECT_EQ(height, 576);
        REFTIME frame = 0;
        EXPECT_EQ(basic->get_AvgTimePerFrame(&frame), S_OK);
        EXPECT_DOUBLE_EQ(frame, 0.04);

        // A flush takes the end back; a new end completes again.
        EXPECT_EQ(audio->BeginFlush(), S_OK);
        EXPECT_EQ(audio->EndFlush(), S_OK);
        EXPECT_EQ(audio->EndOfStream(), S_OK);
        bench.control->GetCompletions(&completions);
        EXPECT_EQ(completions, 2u);

        tx::Bstr text;
        EXPECT_EQ(bench.control->GetPlayingText(text.Put()), S_OK);
        EXPECT_NE(std::wstring(text.Get()).find(L"Audio In: PCM, 3 samples, 3003 bytes"), std::wstring::npos);
        const std::wstring log = CallLog(bench.control.Get());
        for (const wchar_t *line : {L"JoinFilterGraph Osterlund Hardware Decoder\n", L"Connect Audio In PCM\n",
                                    L"Connect Video In MPEG-2 video\n", L"Run\n", L"EndOfStream Audio In\n",
                                    L"EC_COMPLETE\n", L"BeginFlush Audio In\n"})
            EXPECT_NE(log.find(line), std::wstring::npos) << line;
        bench.media->Stop();
        basic.Reset();
        EXPECT_EQ(bench.graph->RemoveFilter(bench.decoder.Get()), S_OK);
        tx::ComPtr<IPin> peer;
        EXPECT_EQ(audio->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
        EXPECT_EQ(video->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
        audio.Reset();
        video.Reset();
        bench.control.Reset();
        EXPECT_EQ(RefCountOf(bench.decoder.Get()), 1u);
    }
}

TEST(SimDecoder, StopPauseRunWalkAndEndOfStreamWhilePaused)
{
    Com com;
    DecoderBench bench({{kDecoderAudioIn, MakePcm(2, 44100)}});
    tx::ComPtr<IPin> audio = Pin(bench.decoder.Get(), kDecoderAudioIn);
    const struct
    {
        HRESULT (IMediaControl::*call)();
        FILTER_STATE state;
    } walk[] = {{&IMediaControl::Pause, State_Paused}, {&IMediaControl::Run, State_Running},
                {&IMediaControl::Pause, State_Paused}, {&IMediaControl::Stop, State_Stopped},
                {&IMediaControl::Run, State_Running},  {&IMediaControl::Stop, State_Stopped}};
    for (const auto &step : walk)
    {
        EXPECT_TRUE(SUCCEEDED((bench.media.Get()->*step.call)()));
        FILTER_STATE state{};
        EXPECT_EQ(bench.decoder->GetState(1000, &state), S_OK);
        EXPECT_EQ(state, step.state);
    }
    // Samples are refused when stopped; an end of stream while paused completes on Run.
    {
        SamplePusher pusher(audio.Get());
        EXPECT_EQ(pusher.Push(16, 1, 0), VFW_E_WRONG_STATE);
    }
    ASSERT_EQ(bench.media->Pause(), S_OK);
    EXPECT_EQ(audio->EndOfStream(), S_OK);
    ULONG completions = 9;
    bench.control->GetCompletions(&completions);
    EXPECT_EQ(completions, 0u);
    ASSERT_EQ(bench.media->Run(), S_OK);
    bench.control->GetCompletions(&completions);
    EXPECT_EQ(completions, 1u);
    // After Stop the end of stream is forgotten: a new run does not complete again.
    bench.media->Stop();
    bench.media->Run();
    bench.control->GetCompletions(&completions);
    EXPECT_EQ(completions, 1u);
    bench.media->Stop();
}

TEST(SimDecoder, PacedReceiveWaitsWhilePausedAndStopReleasesIt)
{
    Com com;
    DecoderBench bench({{kDecoderAudioIn, MakePcm(2, 44100)}});
    bench.control->SetRealTimePacing(TRUE);
    tx::ComPtr<IPin> audio = Pin(bench.decoder.Get(), kDecoderAudioIn);
    ASSERT_EQ(bench.media->Pause(), S_OK);
    SamplePusher pusher(audio.Get());
    std::atomic<HRESULT> result{E_PENDING};
    std::thread streaming([&] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        result = pusher.Push(64, 3, 0);
        ::CoUninitialize();
    });
    ::Sleep(150);
    EXPECT_EQ(result.load(), E_PENDING) << "a paused card holds the sample";
    bench.media->Stop();
    streaming.join();
    EXPECT_EQ(result.load(), VFW_E_WRONG_STATE);
    EXPECT_EQ(Summary(bench.control.Get(), tx::simhw::SIM_INPUT_AUDIO).samples, 0u);
}

TEST(SimDecoder, VendorInterfacesKeepTheirValues)
{
    Com com;
    tx::ComPtr<IBaseFilter> decoder = MakeDecoder();
    tx::ComPtr<tx::playback::IZiduzPicture> picture;
    decoder->QueryInterface(__uuidof(tx::playback::IZiduzPicture), reinterpret_cast<void **>(picture.GetAddressOf()));
    ASSERT_TRUE(picture);
    const struct
    {
        LONG put;
        LONG expected;
    } levels[] = {{0, 0}, {1000, 1000}, {1200, 1000}, {-5, 0}, {333, 333}};
    for (const auto &level : levels)
    {
        LONG value = -1;
        EXPECT_EQ(picture->PutContrast(level.put), S_OK);
        EXPECT_EQ(picture->GetContrast(&value), S_OK);
        EXPECT_EQ(value, level.expected) << level.put;
    }
    tx::ComPtr<tx::playback::IZiduzVideoOutput> output;
    decoder->QueryInterface(__uuidof(tx::playback::IZiduzVideoOutput),
                            reinterpret_cast<void **>(output.GetAddressOf()));
    LONG standard = 0;
    EXPECT_EQ(output->PutOutputFlags(0x02 | 0x10), S_OK);
    EXPECT_EQ(output->GetStandard(&standard), S_OK);
    EXPECT_EQ(standard, 2);
    tx::ComPtr<IBasicAudio> basicAudio;
    decoder->QueryInterface(IID_IBasicAudio, reinterpret_cast<void **>(basicAudio.GetAddressOf()));
    EXPECT_EQ(basicAudio->put_Volume(-600), S_OK);
    EXPECT_EQ(basicAudio->put_Volume(1), E_INVALIDARG);
    long volume = 0;
    EXPECT_EQ(basicAudio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -600);
    EXPECT_EQ(Control(decoder.Get())->GetStreamSummary(2, nullptr), E_POINTER);
    SimStreamSummary summary{};
    EXPECT_EQ(Control(decoder.Get())->GetStreamSummary(2, &summary), E_INVALIDARG);
}

TEST(SimSwapper, PinsAndTypes)
{
    Com com;
    tx::ComPtr<IBaseFilter> swapper;
    ASSERT_EQ(tx::simhw::CSimSwapperFilter::Create(IID_IBaseFilter, reinterpret_cast<void **>(swapper.GetAddressOf())),
              S_OK);
    tx::ComPtr<IPin> input = Pin(swapper.Get(), tx::playback::kSwapperIn);
    tx::ComPtr<IPin> output = Pin(swapper.Get(), tx::playback::kSwapperOut);
    ASSERT_TRUE(input);
    ASSERT_TRUE(output);
    const struct
    {
        const char *what;
        dshow::CMediaType type;
        bool accepted;
    } cases[] = {
        {"16-bit stereo PCM", MakePcm(2, 48000, 16), true},
        {"16-bit mono PCM", MakePcm(1, 22050, 16), true},
        {"8-bit PCM", MakePcm(2, 48000, 8), false},
        {"MPEG audio", MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload), false},
        {"PCM without a format block", MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(input->QueryAccept(&c.type) == S_OK, c.accepted) << c.what;
    input.Reset();
    output.Reset();
    EXPECT_EQ(RefCountOf(swapper.Get()), 1u);
}

} // namespace
} // namespace tx::test

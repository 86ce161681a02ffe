// The graph-building helpers over filters whose pins offer chosen types.
#include "tests/playback/PlaybackTestSupport.h"

#include "txHost/playback/GraphHelpers.h"

#include <uuids.h>

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

std::wstring IdOf(IPin *pin)
{
    if (!pin)
        return L"(none)";
    LPWSTR id = nullptr;
    pin->QueryId(&id);
    std::wstring text = id ? id : L"";
    ::CoTaskMemFree(id);
    return text;
}

const dshow::CMediaType kAudio = MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM);
const dshow::CMediaType kMp3 = MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_Mp3);
const dshow::CMediaType kVorbis = MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_Vorbis);
const dshow::CMediaType kVideo = MakeType(MEDIATYPE_Video, MEDIASUBTYPE_RGB24);
const dshow::CMediaType kText = MakeType(MEDIATYPE_Text, GUID_NULL);
const dshow::CMediaType kSubtitle = MakeType(MEDIATYPE_Subtitle, GUID_NULL);
const dshow::CMediaType kStream = MakeType(MEDIATYPE_Stream, MEDIASUBTYPE_Avi);

TEST(GraphHelpers, PinKindIsTheFirstOfferedType)
{
    Com com;
    const struct
    {
        const char *what;
        std::vector<dshow::CMediaType> types;
        PinMediaKind kind;
    } cases[] = {
        {"audio", {kAudio}, PIN_KIND_AUDIO},
        {"video", {kVideo}, PIN_KIND_VIDEO},
        {"text", {kText}, PIN_KIND_TEXT},
        {"subtitle", {kSubtitle}, PIN_KIND_SUBTITLE},
        {"stream", {kStream}, PIN_KIND_OTHER},
        {"no types", {}, PIN_KIND_OTHER},
        {"video then audio", {kVideo, kAudio}, PIN_KIND_VIDEO},
        {"stream then audio", {kStream, kAudio}, PIN_KIND_OTHER},
    };
    auto filter = MakeTestPinFilter();
    for (const auto &c : cases)
    {
        TestPin *pin = filter->Add(L"p", PINDIR_OUTPUT, c.types);
        EXPECT_EQ(GetPinMediaKind(pin), c.kind) << c.what;
    }
    TestPin *failing = filter->Add(L"f", PINDIR_OUTPUT, {kAudio});
    failing->failEnumeration = true;
    EXPECT_EQ(GetPinMediaKind(failing), PIN_KIND_OTHER);
    EXPECT_EQ(GetPinMediaKind(nullptr), PIN_KIND_OTHER);
}

TEST(GraphHelpers, AudioClassificationLooksAtEveryType)
{
    Com com;
    const struct
    {
        const char *what;
        std::vector<dshow::CMediaType> types;
        bool mp3;
        bool vorbis;
    } cases[] = {
        {"PCM only", {kAudio}, false, false},
        {"MP3 second", {kAudio, kMp3}, true, false},
        {"Vorbis", {kVorbis}, false, true},
        {"both", {kVorbis, kAudio, kMp3}, true, true},
        {"MP3 subtype under video", {MakeType(MEDIATYPE_Video, MEDIASUBTYPE_Mp3)}, false, false},
        {"none", {}, false, false},
    };
    auto filter = MakeTestPinFilter();
    for (const auto &c : cases)
    {
        TestPin *pin = filter->Add(L"p", PINDIR_OUTPUT, c.types);
        RecordingLog log;
        EXPECT_EQ(PinOffersMp3Audio(&log, pin), c.mp3) << c.what;
        BOOL mp3 = FALSE, vorbis = FALSE;
        ClassifyAudioPin(&log, pin, &mp3, &vorbis);
        EXPECT_EQ(mp3 != FALSE, c.mp3) << c.what;
        EXPECT_EQ(vorbis != FALSE, c.vorbis) << c.what;
        // Flags are only ever set, never cleared.
        mp3 = vorbis = TRUE;
        ClassifyAudioPin(&log, pin, &mp3, &vorbis);
        EXPECT_TRUE(mp3 && vorbis) << c.what;
        ClassifyAudioPin(&log, pin, nullptr, nullptr);
        EXPECT_TRUE(log.lines.empty());
    }
    TestPin *failing = filter->Add(L"f", PINDIR_OUTPUT, {kMp3});
    failing->failEnumeration = true;
    RecordingLog log;
    EXPECT_FALSE(PinOffersMp3Audio(&log, failing));
    BOOL mp3 = FALSE;
    ClassifyAudioPin(&log, failing, &mp3, nullptr);
    EXPECT_FALSE(mp3);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0].first, L"Failed to enumerate media types from audio pin");
    EXPECT_EQ(log.lines[0].second, E_UNEXPECTED);
}

TEST(GraphHelpers, FrameDurationOfTheFirstVideoFormatWithABlock)
{
    Com com;
    const GUID mpeg2 = {0xe06d8026, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
    const struct
    {
        const char *what;
        std::vector<dshow::CMediaType> types;
        LONGLONG duration;
    } cases[] = {
        {"VideoInfo", {MakeVideo(MEDIASUBTYPE_RGB24, FORMAT_VideoInfo, 400000)}, 400000},
        {"VideoInfo2", {MakeVideo(MEDIASUBTYPE_RGB24, FORMAT_VideoInfo2, 333667)}, 333667},
        {"MPEGVideo", {MakeVideo(MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo, 400000)}, 400000},
        {"MPEG2Video", {MakeVideo(mpeg2, FORMAT_MPEG2Video, 417083)}, 417083},
        {"no format block", {MakeType(MEDIATYPE_Video, MEDIASUBTYPE_RGB24, FORMAT_VideoInfo)}, kDefaultFrameDuration},
        {"short block", {MakeType(MEDIATYPE_Video, MEDIASUBTYPE_RGB24, FORMAT_VideoInfo, 40)}, kDefaultFrameDuration},
        {"other format", {MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, 18)}, kDefaultFrameDuration},
        {"block-less first, then one with a block",
         {MakeType(MEDIATYPE_Video, MEDIASUBTYPE_RGB24, FORMAT_VideoInfo),
          MakeVideo(MEDIASUBTYPE_RGB24, FORMAT_VideoInfo, 200000), MakeVideo(MEDIASUBTYPE_RGB24, FORMAT_VideoInfo, 1)},
         200000},
        {"no types", {}, kDefaultFrameDuration},
    };
    auto filter = MakeTestPinFilter();
    for (const auto &c : cases)
    {
        RecordingLog log;
        EXPECT_EQ(GetPinFrameDuration(&log, filter->Add(L"p", PINDIR_OUTPUT, c.types)), c.duration) << c.what;
        EXPECT_TRUE(log.lines.empty());
    }
    TestPin *failing = filter->Add(L"f", PINDIR_OUTPUT, {MakeVideo(MEDIASUBTYPE_RGB24, FORMAT_VideoInfo, 5)});
    failing->failEnumeration = true;
    RecordingLog log;
    EXPECT_EQ(GetPinFrameDuration(&log, failing), kDefaultFrameDuration);
    EXPECT_TRUE(log.Has(L"Failed to enumerate media types from pin"));
}

TEST(GraphHelpers, PinSearchesByDirectionKindAndConnection)
{
    Com com;
    auto splitter = MakeTestPinFilter();
    splitter->Add(L"in1", PINDIR_INPUT);
    splitter->Add(L"in2", PINDIR_INPUT);
    splitter->Add(L"in3", PINDIR_INPUT);
    splitter->Add(L"text", PINDIR_OUTPUT, {kText});
    splitter->Add(L"audio1", PINDIR_OUTPUT, {kAudio});
    splitter->Add(L"video1", PINDIR_OUTPUT, {kVideo, kAudio});
    splitter->Add(L"audio2", PINDIR_OUTPUT, {kMp3});
    splitter->Add(L"video2", PINDIR_OUTPUT, {kVideo});
    // in1 is connected to an upstream output; the first free input is in2.
    auto upstream = MakeTestPinFilter();
    TestPin *out = upstream->Add(L"out", PINDIR_OUTPUT, {kStream});
    tx::ComPtr<IPin> in1;
    splitter->FindPin(L"in1", in1.GetAddressOf());
    ASSERT_EQ(out->Connect(in1.Get(), nullptr), S_OK);

    RecordingLog log;
    {
        tx::ComPtr<IPin> free;
        EXPECT_EQ(FindFreeInputPin(&log, splitter.Get(), free.GetAddressOf()), S_OK);
        EXPECT_EQ(IdOf(free.Get()), L"in2");
        // A pin already in the out parameter is kept.
        EXPECT_EQ(FindFreeInputPin(&log, splitter.Get(), free.GetAddressOf()), S_OK);
        EXPECT_EQ(IdOf(free.Get()), L"in2");
        EXPECT_EQ(FindFreeInputPin(&log, splitter.Get(), nullptr), S_OK);
    }
    {
        tx::ComPtr<IPin> video, audio;
        EXPECT_EQ(FindMediaOutputPins(&log, splitter.Get(), video.GetAddressOf(), audio.GetAddressOf()), S_OK);
        EXPECT_EQ(IdOf(video.Get()), L"video1");
        EXPECT_EQ(IdOf(audio.Get()), L"audio1");
        tx::ComPtr<IPin> onlyAudio;
        EXPECT_EQ(FindMediaOutputPins(&log, splitter.Get(), nullptr, onlyAudio.GetAddressOf()), S_OK);
        EXPECT_EQ(IdOf(onlyAudio.Get()), L"audio1");
    }
    {
        tx::ComPtr<IPin> input, output;
        EXPECT_EQ(FindFirstPins(&log, splitter.Get(), input.GetAddressOf(), output.GetAddressOf()), S_OK);
        EXPECT_EQ(IdOf(input.Get()), L"in1");
        EXPECT_EQ(IdOf(output.Get()), L"text");
        EXPECT_EQ(FindFirstPins(&log, splitter.Get(), nullptr, nullptr), S_OK);
    }
    {
        // One-sided filters: E_FAIL, yet the pin that exists is handed out.
        tx::ComPtr<IPin> input, output;
        EXPECT_EQ(FindFirstPins(&log, upstream.Get(), input.GetAddressOf(), output.GetAddressOf()), E_FAIL);
        EXPECT_FALSE(input);
        EXPECT_EQ(IdOf(output.Get()), L"out");
        auto empty = MakeTestPinFilter();
        tx::ComPtr<IPin> none, video, audio;
        EXPECT_EQ(FindFirstPins(&log, empty.Get(), none.GetAddressOf(), nullptr), E_FAIL);
        EXPECT_EQ(FindFreeInputPin(&log, empty.Get(), none.GetAddressOf()), S_OK);
        EXPECT_FALSE(none);
        EXPECT_EQ(FindMediaOutputPins(&log, empty.Get(), video.GetAddressOf(), audio.GetAddressOf()), S_OK);
        EXPECT_FALSE(video || audio);
    }
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(FindFreeInputPin(&log, nullptr, nullptr), S_OK);
    EXPECT_TRUE(log.Has(L"Failed to enum pins"));

    out->Disconnect();
    in1->Disconnect();
    in1.Reset();
    EXPECT_EQ(RefCountOf(splitter.Get()), 1u);
    EXPECT_EQ(RefCountOf(upstream.Get()), 1u);
}

TEST(GraphHelpers, RegisteredFiltersForTypesAndForPins)
{
    Com com;
    RecordingLog log;
    // The system's AVI splitter takes MEDIATYPE_Stream/MEDIASUBTYPE_Avi at normal merit.
    const MediaTypePair avi{MEDIATYPE_Stream, MEDIASUBTYPE_Avi};
    tx::ComPtr<IEnumMoniker> found;
    ASSERT_EQ(FindFiltersForTypes(&log, &avi, 1, found.GetAddressOf()), S_OK);
    ASSERT_TRUE(found);
    ULONG count = 0;
    for (;;)
    {
        tx::ComPtr<IMoniker> moniker;
        if (found->Next(1, moniker.GetAddressOf(), nullptr) != S_OK)
            break;
        ++count;
    }
    EXPECT_GE(count, 1u);

    auto filter = MakeTestPinFilter();
    {
        tx::ComPtr<IEnumMoniker> forPin;
        EXPECT_EQ(FindFiltersForPin(&log, filter->Add(L"avi", PINDIR_OUTPUT, {kStream}), forPin.GetAddressOf()), S_OK);
        EXPECT_TRUE(forPin);
    }
    {
        // No types: S_OK without an enumerator.
        tx::ComPtr<IEnumMoniker> forPin;
        EXPECT_EQ(FindFiltersForPin(&log, filter->Add(L"none", PINDIR_OUTPUT, {}), forPin.GetAddressOf()), S_OK);
        EXPECT_FALSE(forPin);
    }
    EXPECT_TRUE(log.lines.empty());
    {
        TestPin *failing = filter->Add(L"f", PINDIR_OUTPUT, {kStream});
        failing->failEnumeration = true;
        tx::ComPtr<IEnumMoniker> forPin;
        EXPECT_EQ(FindFiltersForPin(&log, failing, forPin.GetAddressOf()), E_UNEXPECTED);
        EXPECT_FALSE(forPin);
        EXPECT_TRUE(log.Has(L"Failed to enumerate media types input pin"));
    }
    {
        // Types that grow between the count and the copy: the copy stops at the count,
        // so the AVI type that appeared later is not searched for.
        TestPin *growing = filter->Add(L"g", PINDIR_OUTPUT, {MakeType(MEDIATYPE_Stream, FourccSubtype("ZZZZ"))});
        growing->laterTypes = {kStream, kStream, kStream};
        tx::ComPtr<IEnumMoniker> forPin;
        EXPECT_EQ(FindFiltersForPin(&log, growing, forPin.GetAddressOf()), S_OK);
        ASSERT_TRUE(forPin);
        tx::ComPtr<IMoniker> moniker;
        EXPECT_EQ(forPin->Next(1, moniker.GetAddressOf(), nullptr), S_FALSE);
    }
    EXPECT_EQ(FindFiltersForTypes(&log, nullptr, 1, found.ReleaseAndGetAddressOf()), E_POINTER);
}

} // namespace
} // namespace tx::test

// Whole plays under Wine: the system's async file source and parsers feed the card's
// registered decoder (and PCM swapper) through our pass-through; the end of the media
// reaches a window as the graph-event message, and the card received the file's
// payload byte for byte. Fixtures are written at run time.
#include "tests/playback/PlaybackTestSupport.h"

#include "comkit/Bstr.h"
#include "comkit/Handles.h"
#include "simhw/decoder/SimDecoder.h"
#include "tests/support/TestPaths.h"
#include "txHost/playback/DecoderCard.h"
#include "txHost/playback/DecoderGraph.h"
#include "txHost/playback/GraphHelpers.h"
#include "txHost/playback/NullFilter.h"

#include <evcode.h>
#include <uuids.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tx::test
{
namespace
{

using namespace tx::playback;
using tx::simhw::ISimDecoderControl;
using tx::simhw::SimStreamSummary;

const CLSID kWaveParser = {0xd51bd5a1, 0x7548, 0x11cf, {0xa5, 0x20, 0x00, 0x80, 0xc7, 0x7e, 0xf5, 0x8a}};

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

void Put32(std::vector<BYTE> &out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
}
void Put16(std::vector<BYTE> &out, uint16_t value)
{
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}
void PutTag(std::vector<BYTE> &out, const char *tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(tag[i]));
}

// A 16-bit stereo 44.1 kHz WAV of frames sample frames, with a chunk before the data
// that the parser must skip. The payload goes to *payload.
std::vector<BYTE> MakeWav(uint32_t frames, std::vector<BYTE> *payload)
{
    payload->clear();
    for (uint32_t i = 0; i < frames * 4; ++i)
        payload->push_back(static_cast<BYTE>((i * 31 + (i >> 8)) & 0xFF));
    std::vector<BYTE> body;
    PutTag(body, "WAVE");
    PutTag(body, "fmt ");
    Put32(body, 16);
    Put16(body, 1);
    Put16(body, 2);
    Put32(body, 44100);
    Put32(body, 44100 * 4);
    Put16(body, 4);
    Put16(body, 16);
    PutTag(body, "LIST");
    Put32(body, 12);
    PutTag(body, "INFO");
    PutTag(body, "ISFT");
    Put32(body, 0);
    PutTag(body, "data");
    Put32(body, static_cast<uint32_t>(payload->size()));
    for (BYTE b : *payload)
        body.push_back(b);
    std::vector<BYTE> file;
    PutTag(file, "RIFF");
    Put32(file, static_cast<uint32_t>(body.size()));
    for (BYTE b : body)
        file.push_back(b);
    return file;
}

// count MPEG-1 layer II frames (128 kbit/s, 48 kHz, stereo, no CRC: 384 bytes each)
// with patterned contents that never form a sync word.
std::vector<BYTE> MakeMp2(int count)
{
    const int size = 144 * 128000 / 48000;
    std::vector<BYTE> file;
    for (int n = 0; n < count; ++n)
    {
        for (BYTE b : {0xFF, 0xFD, 0x84, 0x04})
            file.push_back(b);
        for (int i = 4; i < size; ++i)
            file.push_back(static_cast<BYTE>((i * 13 + n) % 251));
    }
    return file;
}

std::wstring WriteFixture(const std::wstring &folder, const wchar_t *name, const std::vector<BYTE> &bytes)
{
    const std::wstring path = folder + L"\\" + name;
    FILE *out = _wfopen(path.c_str(), L"wb");
    EXPECT_TRUE(out);
    if (out)
    {
        EXPECT_EQ(fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
        fclose(out);
    }
    return path;
}

class EventWindow
{
  public:
    EventWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TxPlaybackEventWindow";
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(0, wc.lpszClassName, L"events", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr,
                                     nullptr, wc.hInstance, nullptr);
    }
    ~EventWindow()
    {
        ::DestroyWindow(m_window);
    }
    HWND Get() const
    {
        return m_window;
    }

  private:
    HWND m_window = nullptr;
};

// Pumps the window's messages; on each graph-event message drains the graph's events.
// True when EC_COMPLETE arrived that way within timeoutMs.
bool WaitForCompleteMessage(HWND window, IMediaEventEx *events, DWORD timeoutMs, int *messages)
{
    const DWORD start = ::GetTickCount();
    do
    {
        MSG msg;
        while (::PeekMessageW(&msg, window, 0, 0, PM_REMOVE))
        {
            if (msg.message != kGraphEventMessage)
            {
                ::DispatchMessageW(&msg);
                continue;
            }
            ++*messages;
            long code = 0;
            LONG_PTR p1 = 0, p2 = 0;
            bool complete = false;
            while (events->GetEvent(&code, &p1, &p2, 0) == S_OK)
            {
                complete = complete || code == EC_COMPLETE;
                events->FreeEventParams(code, p1, p2);
            }
            if (complete)
                return true;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    } while (::GetTickCount() - start < timeoutMs);
    return false;
}

tx::ComPtr<IBaseFilter> AddSystemFilter(IGraphBuilder *graph, REFCLSID clsid, const wchar_t *name)
{
    tx::ComPtr<IBaseFilter> filter;
    EXPECT_EQ(CreateFilterInstance(L"", clsid, IID_IBaseFilter, reinterpret_cast<void **>(filter.GetAddressOf())),
              S_OK);
    if (filter)
    {
        EXPECT_EQ(graph->AddFilter(filter.Get(), name), S_OK);
    }
    return filter;
}

tx::ComPtr<IPin> PinOf(IBaseFilter *filter, const wchar_t *id)
{
    tx::ComPtr<IPin> pin;
    if (filter)
        filter->FindPin(id, pin.GetAddressOf());
    return pin;
}

enum class Route
{
    PcmThroughNull,           // parser -> null -> decoder
    PcmThroughSwapperAndNull, // parser -> swapper -> null -> decoder
    Mpeg1Audio,               // MPEG-1 splitter -> decoder
};

struct Play
{
    std::vector<BYTE> file;
    std::vector<BYTE> expected; // what the card must receive
    bool realTime = true;
};

// Builds and runs one play; returns what the card's audio input received.
SimStreamSummary RunPlay(Route route, const Play &play, ULONG *completions, std::wstring *text)
{
    SimStreamSummary summary{};
    const std::wstring folder = MakeScratchFolder(L"txplay");
    const std::wstring path = WriteFixture(folder, route == Route::Mpeg1Audio ? L"audio.mp2" : L"tone.wav", play.file);
    {
        EventWindow window;
        RecordingLog log;
        DecoderGraph state;
        EXPECT_EQ(CreateFilterGraph(state, &log), S_OK);
        EXPECT_EQ(CreateZiduzDecoder(state, &log), S_OK) << "run scripts/winerun.sh --prepare on the build folder";
        if (!state.decoder)
            return summary;
        tx::ComPtr<ISimDecoderControl> card;
        state.decoder->QueryInterface(__uuidof(ISimDecoderControl), reinterpret_cast<void **>(card.GetAddressOf()));
        card->SetRealTimePacing(play.realTime ? TRUE : FALSE);

        tx::ComPtr<IBaseFilter> source = AddSystemFilter(state.graph.Get(), CLSID_AsyncReader, L"file");
        tx::ComPtr<IFileSourceFilter> file;
        source->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void **>(file.GetAddressOf()));
        EXPECT_EQ(file->Load(path.c_str(), nullptr), S_OK);
        tx::ComPtr<IPin> sourceOut;
        FindFirstPins(&log, source.Get(), nullptr, sourceOut.GetAddressOf());
        EXPECT_TRUE(sourceOut);

        tx::ComPtr<IPin> audio;
        tx::ComPtr<IBaseFilter> parser, swapper;
        tx::ComPtr<CNullFilter> null;
        IGraphBuilder *graph = state.graph.Get();
        if (route == Route::Mpeg1Audio)
        {
            parser = AddSystemFilter(graph, CLSID_MPEG1Splitter, L"splitter");
            EXPECT_EQ(graph->ConnectDirect(sourceOut.Get(), PinOf(parser.Get(), L"Input").Get(), nullptr), S_OK);
            FindMediaOutputPins(&log, parser.Get(), nullptr, audio.GetAddressOf());
            EXPECT_EQ(graph->ConnectDirect(audio.Get(), PinOf(state.decoder.Get(), kDecoderAudioIn).Get(), nullptr),
                      S_OK);
        }
        else
        {
            parser = AddSystemFilter(graph, kWaveParser, L"parser");
            EXPECT_EQ(graph->ConnectDirect(sourceOut.Get(), PinOf(parser.Get(), L"input pin").Get(), nullptr), S_OK);
            FindMediaOutputPins(&log, parser.Get(), nullptr, audio.GetAddressOf());
            EXPECT_TRUE(audio);
            HRESULT created = E_FAIL;
            null = CreateNullFilter(L"null", &created);
            EXPECT_EQ(graph->AddFilter(null.Get(), L"null"), S_OK);
            tx::ComPtr<IPin> toNull = audio;
            if (route == Route::PcmThroughSwapperAndNull)
            {
                swapper = AddSystemFilter(graph, CLSID_ZiduzPcmSwapper, L"swapper");
                EXPECT_EQ(graph->Connect(audio.Get(), PinOf(swapper.Get(), kSwapperIn).Get()), S_OK);
                toNull = PinOf(swapper.Get(), kSwapperOut);
            }
            EXPECT_EQ(graph->ConnectDirect(toNull.Get(), PinOf(null.Get(), L"In").Get(), nullptr), S_OK);
            EXPECT_EQ(graph->ConnectDirect(PinOf(null.Get(), L"Out").Get(),
                                           PinOf(state.decoder.Get(), kDecoderAudioIn).Get(), nullptr),
                      S_OK);
        }
        EXPECT_EQ(SetUpVideoWindow(state, &log, window.Get(), false), S_OK);
        state.threadControl = state.control;
        RunGraph(state, &log);
        int messages = 0;
        EXPECT_TRUE(WaitForCompleteMessage(window.Get(), state.events.Get(), 15000, &messages));
        EXPECT_GE(messages, 1);
        state.control->Stop();
        card->GetStreamSummary(tx::simhw::SIM_INPUT_AUDIO, &summary);
        card->GetCompletions(completions);
        tx::Bstr playing;
        card->GetPlayingText(playing.Put());
        *text = playing.Get() ? playing.Get() : L"";
        // The simulated card's TV picture reads the same text through the module's export.
        using GetPlayingTextFn = HRESULT(WINAPI *)(BSTR *);
        const HMODULE module = ::GetModuleHandleW(L"rmmpeg2.ax");
        const auto exported =
            module ? tx::GetProcAddressAs<GetPlayingTextFn>(module, "SimDecoderGetPlayingText") : nullptr;
        EXPECT_NE(exported, nullptr);
        if (exported)
        {
            tx::Bstr shown;
            EXPECT_EQ(exported(shown.Put()), S_OK);
            EXPECT_EQ(std::wstring(shown.c_str()), *text);
        }
        EXPECT_TRUE(log.lines.empty());
        state.events->SetNotifyWindow(0, 0, 0);
        card.Reset();
        file.Reset();
    }
    RemoveFolder(folder);
    return summary;
}

ULONGLONG Checksum(const std::vector<BYTE> &bytes)
{
    return tx::simhw::SimChecksum(tx::simhw::kSimChecksumSeed, bytes.data(), bytes.size());
}

TEST(EndToEnd, WavPlaysToTheCardAtItsPaceAndCompletes)
{
    Ole ole;
    Play play;
    play.file = MakeWav(11025, &play.expected); // 0.25 s
    ULONG completions = 0;
    std::wstring text;
    const SimStreamSummary audio = RunPlay(Route::PcmThroughNull, play, &completions, &text);
    EXPECT_EQ(audio.subtype, MEDIASUBTYPE_PCM);
    EXPECT_EQ(audio.bytes, play.expected.size());
    EXPECT_EQ(audio.checksum, Checksum(play.expected));
    EXPECT_GE(audio.samples, 1u);
    EXPECT_EQ(audio.endOfStreams, 1u);
    EXPECT_EQ(completions, 1u);
    EXPECT_NE(text.find(L"Audio In: PCM"), std::wstring::npos);
}

TEST(EndToEnd, PcmThroughTheSwapperArrivesByteSwapped)
{
    Ole ole;
    Play play;
    std::vector<BYTE> payload;
    play.file = MakeWav(4410, &payload);
    play.realTime = false;
    play.expected = payload;
    for (size_t i = 0; i + 1 < play.expected.size(); i += 2)
        std::swap(play.expected[i], play.expected[i + 1]);
    ULONG completions = 0;
    std::wstring text;
    const SimStreamSummary audio = RunPlay(Route::PcmThroughSwapperAndNull, play, &completions, &text);
    EXPECT_EQ(audio.bytes, play.expected.size());
    EXPECT_EQ(audio.checksum, Checksum(play.expected));
    EXPECT_EQ(completions, 1u);
}

TEST(EndToEnd, Mpeg1AudioGoesToTheCardCompressed)
{
    Ole ole;
    Play play;
    play.file = MakeMp2(40);
    play.expected = play.file;
    play.realTime = false;
    ULONG completions = 0;
    std::wstring text;
    const SimStreamSummary audio = RunPlay(Route::Mpeg1Audio, play, &completions, &text);
    EXPECT_EQ(audio.subtype, MEDIASUBTYPE_MPEG1AudioPayload);
    EXPECT_EQ(audio.samples, 40u);
    EXPECT_EQ(audio.bytes, play.expected.size());
    EXPECT_EQ(audio.checksum, Checksum(play.expected));
    EXPECT_EQ(completions, 1u);
}

} // namespace
} // namespace tx::test

#include "simhw/decoder/SimDecoderFilter.h"

#include <dvdmedia.h>
#include <oleauto.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <new>
#include <vector>

namespace tx::simhw
{

using tx::dshow::CMediaType;

namespace
{

constexpr GUID kFourccBase = {0x00000000, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kMpeg2Video = {0xe06d8026, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
constexpr GUID kMpeg2Audio = {0xe06d802b, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
constexpr GUID kDolbyAc3 = {0xe06d802c, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
constexpr GUID kDts = {0xe06d8033, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
constexpr GUID kMpeg1Packet = {0xe436eb80, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
constexpr GUID kMpeg1Payload = {0xe436eb81, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
constexpr GUID kMpeg1Video = {0xe436eb86, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};

// True when subtype is a FOURCC subtype; the FOURCC (first character lowest) goes out.
bool FourccOf(const GUID &subtype, DWORD &fourcc)
{
    GUID base = subtype;
    base.Data1 = 0;
    if (base != kFourccBase)
        return false;
    fourcc = subtype.Data1;
    return true;
}

DWORD UpperFourcc(DWORD fourcc)
{
    DWORD upper = 0;
    for (int i = 0; i < 4; ++i)
    {
        unsigned char c = static_cast<unsigned char>(fourcc >> (8 * i));
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        upper |= static_cast<DWORD>(c) << (8 * i);
    }
    return upper;
}

constexpr DWORD Fourcc(const char (&text)[5])
{
    return static_cast<DWORD>(static_cast<unsigned char>(text[0])) |
           (static_cast<DWORD>(static_cast<unsigned char>(text[1])) << 8) |
           (static_cast<DWORD>(static_cast<unsigned char>(text[2])) << 16) |
           (static_cast<DWORD>(static_cast<unsigned char>(text[3])) << 24);
}

// The MPEG-4 FOURCCs the card decodes (compared in upper case), and its own RMP4.
constexpr DWORD kVideoFourccs[] = {Fourcc("RMP4"), Fourcc("DIVX"), Fourcc("DX50"), Fourcc("XVID"), Fourcc("MP4V"),
                                   Fourcc("MP4S"), Fourcc("M4S2"), Fourcc("FMP4"), Fourcc("3IV2"), Fourcc("DIV5")};

// Audio format tags the card takes as FOURCC-style subtypes: PCM, MPEG-1 audio,
// AC3 and DTS by their wave tags.
constexpr DWORD kAudioTags[] = {0x0001, 0x0050, 0x2000, 0x2001};

const wchar_t *SubtypeName(const GUID &subtype)
{
    DWORD fourcc = 0;
    if (subtype == kMpeg2Video)
        return L"MPEG-2 video";
    if (subtype == kMpeg2Audio)
        return L"MPEG-2 audio";
    if (subtype == kDolbyAc3)
        return L"AC3";
    if (subtype == kDts)
        return L"DTS";
    if (subtype == kMpeg1Packet || subtype == kMpeg1Payload || subtype == kMpeg1Video)
        return L"MPEG-1";
    if (FourccOf(subtype, fourcc))
    {
        switch (fourcc)
        {
        case 0x0001:
            return L"PCM";
        case 0x0050:
            return L"MPEG-1 audio";
        case 0x2000:
            return L"AC3";
        case 0x2001:
            return L"DTS";
        default:
            return L"MPEG-4";
        }
    }
    return L"unknown";
}

const wchar_t *InputName(SimDecoderInput input)
{
    return input == SIM_INPUT_VIDEO ? tx::playback::kDecoderVideoIn : tx::playback::kDecoderAudioIn;
}

} // namespace

// ---- CSimDecoderInputPin ----

CSimDecoderInputPin::CSimDecoderInputPin(CSimDecoderFilter *filter, const wchar_t *name, SimDecoderInput input) noexcept
    : CBaseInputPin(filter, name, name), m_input(input)
{
}

CSimDecoderFilter *CSimDecoderInputPin::Owner() const noexcept
{
    return static_cast<CSimDecoderFilter *>(m_filter);
}

HRESULT CSimDecoderInputPin::CheckMediaType(const CMediaType &type)
{
    DWORD fourcc = 0;
    if (m_input == SIM_INPUT_VIDEO)
    {
        if (type.majortype != MEDIATYPE_Video)
            return VFW_E_TYPE_NOT_ACCEPTED;
        if (type.subtype == kMpeg1Packet || type.subtype == kMpeg1Payload || type.subtype == kMpeg1Video ||
            type.subtype == kMpeg2Video)
            return S_OK;
        if (FourccOf(type.subtype, fourcc) && std::find(std::begin(kVideoFourccs), std::end(kVideoFourccs),
                                                        UpperFourcc(fourcc)) != std::end(kVideoFourccs))
            return S_OK;
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (type.majortype != MEDIATYPE_Audio)
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (type.subtype == kMpeg1Packet || type.subtype == kMpeg1Payload || type.subtype == kMpeg2Audio ||
        type.subtype == kDolbyAc3 || type.subtype == kDts)
        return S_OK;
    if (FourccOf(type.subtype, fourcc) &&
        std::find(std::begin(kAudioTags), std::end(kAudioTags), fourcc) != std::end(kAudioTags))
        return S_OK;
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSimDecoderInputPin::SetMediaType(const CMediaType &type)
{
    const HRESULT hr = CBaseInputPin::SetMediaType(type);
    if (SUCCEEDED(hr))
        Owner()->OnConnected(m_input, type);
    return hr;
}

HRESULT CSimDecoderInputPin::BreakConnect()
{
    Owner()->OnDisconnected(m_input);
    return CBaseInputPin::BreakConnect();
}

STDMETHODIMP CSimDecoderInputPin::Receive(IMediaSample *sample)
{
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK)
        return hr;
    return Owner()->Consume(m_input, sample);
}

STDMETHODIMP CSimDecoderInputPin::EndOfStream()
{
    const HRESULT hr = CBaseInputPin::EndOfStream();
    if (hr == S_OK)
        Owner()->OnEndOfStream(m_input);
    return hr;
}

STDMETHODIMP CSimDecoderInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    Owner()->OnBeginFlush(m_input);
    return S_OK;
}

STDMETHODIMP CSimDecoderInputPin::EndFlush()
{
    CBaseInputPin::EndFlush();
    Owner()->OnEndFlush(m_input);
    return S_OK;
}

STDMETHODIMP CSimDecoderInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    CBaseInputPin::NewSegment(start, stop, rate);
    Owner()->OnNewSegment(m_input);
    return S_OK;
}

// ---- CSimSeeking ----

CSimSeeking::CSimSeeking(CSimDecoderFilter *owner, tx::dshow::CBasePin *input) noexcept
    : CPosPassThru(static_cast<IBaseFilter *>(owner), input), m_decoder(owner)
{
}

STDMETHODIMP CSimSeeking::GetCurrentPosition(LONGLONG *current)
{
    if (!current)
        return E_POINTER;
    *current = m_decoder->ConsumedPosition();
    return S_OK;
}

// ---- CSimDecoderFilter ----

CSimDecoderFilter::CSimDecoderFilter() noexcept
    : CBaseFilter(L"Simulated Pictavo decoder", tx::playback::CLSID_ZiduzDecoder)
{
    m_video.reset(new (std::nothrow) CSimDecoderInputPin(this, tx::playback::kDecoderVideoIn, SIM_INPUT_VIDEO));
    m_audio.reset(new (std::nothrow) CSimDecoderInputPin(this, tx::playback::kDecoderAudioIn, SIM_INPUT_AUDIO));
    if (m_video)
        m_videoSeeking.reset(new (std::nothrow) CSimSeeking(this, m_video.get()));
    if (m_audio)
        m_audioSeeking.reset(new (std::nothrow) CSimSeeking(this, m_audio.get()));
    m_videoWindow.reset(new (std::nothrow) CSimVideoWindow(this));
    m_basicVideo.reset(new (std::nothrow) CSimBasicVideo(this));
    for (auto &input : m_inputs)
        input.summary.checksum = kSimChecksumSeed;
    try
    {
        std::lock_guard lock(LiveDecodersMutex());
        LiveDecoders().push_back(this);
    }
    catch (...)
    {
        // Not listed: the TV picture simply does not describe this decoder.
    }
}

CSimDecoderFilter::~CSimDecoderFilter()
{
    std::lock_guard lock(LiveDecodersMutex());
    auto &live = LiveDecoders();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

std::mutex &CSimDecoderFilter::LiveDecodersMutex() noexcept
{
    static std::mutex mutex;
    return mutex;
}

std::vector<CSimDecoderFilter *> &CSimDecoderFilter::LiveDecoders() noexcept
{
    static std::vector<CSimDecoderFilter *> live;
    return live;
}

HRESULT CSimDecoderFilter::GetNewestPlayingText(BSTR *text) noexcept
{
    if (!text)
        return E_POINTER;
    *text = nullptr;
    std::lock_guard lock(LiveDecodersMutex());
    const auto &live = LiveDecoders();
    if (live.empty())
        return S_FALSE;
    return live.back()->GetPlayingText(text);
}

HRESULT CSimDecoderFilter::Create(REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    auto *filter = new (std::nothrow) CSimDecoderFilter();
    if (!filter)
        return E_OUTOFMEMORY;
    HRESULT hr = E_OUTOFMEMORY;
    if (filter->m_video && filter->m_audio && filter->m_videoSeeking && filter->m_audioSeeking &&
        filter->m_videoWindow && filter->m_basicVideo)
        hr = filter->QueryInterface(riid, ppv);
    filter->Release();
    return hr;
}

int CSimDecoderFilter::GetPinCount()
{
    return 2;
}

tx::dshow::CBasePin *CSimDecoderFilter::GetPin(int index)
{
    if (index == 0)
        return m_video.get();
    if (index == 1)
        return m_audio.get();
    return nullptr;
}

CSimDecoderInputPin *CSimDecoderFilter::Pin(SimDecoderInput input) noexcept
{
    return input == SIM_INPUT_VIDEO ? m_video.get() : m_audio.get();
}

HRESULT CSimDecoderFilter::QueryInterfaceExtra(REFIID riid, void **ppv)
{
    if (riid == IID_IAMFilterMiscFlags)
        *ppv = static_cast<IAMFilterMiscFlags *>(this);
    else if (riid == IID_IBasicAudio)
        *ppv = static_cast<IBasicAudio *>(this);
    else if (riid == IID_IVideoWindow)
        *ppv = static_cast<IVideoWindow *>(m_videoWindow.get());
    else if (riid == IID_IBasicVideo || riid == IID_IBasicVideo2)
        *ppv = static_cast<IBasicVideo2 *>(m_basicVideo.get());
    else if (riid == __uuidof(ISimDecoderControl))
        *ppv = static_cast<ISimDecoderControl *>(this);
    else if (riid == __uuidof(tx::playback::IZiduzPicture))
        *ppv = static_cast<tx::playback::IZiduzPicture *>(this);
    else if (riid == __uuidof(tx::playback::IZiduzAudio))
        *ppv = static_cast<tx::playback::IZiduzAudio *>(this);
    else if (riid == __uuidof(tx::playback::IZiduzVideoOutput))
        *ppv = static_cast<tx::playback::IZiduzVideoOutput *>(this);
    else if (riid == IID_IMediaSeeking || riid == IID_IMediaPosition)
    {
        // Seeking goes up the video stream when there is one, else up the audio.
        CSimSeeking *seeking = m_video->IsConnected() ? m_videoSeeking.get() : m_audioSeeking.get();
        if (!seeking->Answer(riid, ppv))
            return E_NOINTERFACE;
    }
    else
        return CBaseFilter::QueryInterfaceExtra(riid, ppv);
    return S_OK;
}

void CSimDecoderFilter::Record(const std::wstring &call)
{
    std::lock_guard lock(m_mutex);
    m_log += call;
    m_log += L"\n";
}

STDMETHODIMP CSimDecoderFilter::JoinFilterGraph(IFilterGraph *graph, LPCWSTR name)
{
    const HRESULT hr = CBaseFilter::JoinFilterGraph(graph, name);
    if (SUCCEEDED(hr))
        Record(graph ? std::wstring(L"JoinFilterGraph ") + (name ? name : L"") : std::wstring(L"LeaveFilterGraph"));
    return hr;
}

STDMETHODIMP CSimDecoderFilter::Stop()
{
    const HRESULT hr = CBaseFilter::Stop();
    {
        std::lock_guard lock(m_mutex);
        for (auto &input : m_inputs)
            input.ended = false;
        m_completeSent = false;
        m_log += L"Stop\n";
    }
    m_wake.notify_all();
    return hr;
}

STDMETHODIMP CSimDecoderFilter::Pause()
{
    const HRESULT hr = CBaseFilter::Pause();
    Record(L"Pause");
    m_wake.notify_all();
    return hr;
}

STDMETHODIMP CSimDecoderFilter::Run(REFERENCE_TIME start)
{
    const HRESULT hr = CBaseFilter::Run(start);
    Record(L"Run");
    m_wake.notify_all();
    if (SUCCEEDED(hr))
        CheckComplete(); // an end of stream that came while paused
    return hr;
}

bool CSimDecoderFilter::WaitForPresentation(SimDecoderInput input, IMediaSample *sample)
{
    REFERENCE_TIME start = 0, stop = 0;
    if (FAILED(sample->GetTime(&start, &stop)))
        return true; // untimed samples are consumed at once
    for (;;)
    {
        if (Pin(input)->IsFlushing() || State() == State_Stopped)
            return false;
        std::chrono::milliseconds wait(20);
        if (State() == State_Running)
        {
            tx::ComPtr<IReferenceClock> clock = Clock();
            REFERENCE_TIME now = 0;
            if (!clock || FAILED(clock->GetTime(&now)))
                return true;
            const REFERENCE_TIME due = StartTime() + start;
            if (now >= due)
                return true;
            wait = std::min(wait, std::chrono::milliseconds((due - now) / 10000 + 1));
        }
        // Bounded waits: a state change or flush wakes us early, a missed wake-up costs
        // at most one period.
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, wait);
    }
}

HRESULT CSimDecoderFilter::Consume(SimDecoderInput input, IMediaSample *sample)
{
    bool realTime;
    {
        std::lock_guard lock(m_mutex);
        realTime = m_realTime;
    }
    if (realTime && !WaitForPresentation(input, sample))
        return Pin(input)->IsFlushing() ? S_FALSE : VFW_E_WRONG_STATE;

    BYTE *data = nullptr;
    const long length = sample->GetActualDataLength();
    if (length > 0 && FAILED(sample->GetPointer(&data)))
        return E_POINTER;
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timeResult = sample->GetTime(&start, &stop);
    const REFERENCE_TIME segmentStart = Pin(input)->SegmentStart();

    std::lock_guard lock(m_mutex);
    SimStreamSummary &summary = m_inputs[input].summary;
    ++summary.samples;
    if (length > 0 && data)
    {
        summary.bytes += static_cast<ULONGLONG>(length);
        summary.checksum = SimChecksum(summary.checksum, data, static_cast<size_t>(length));
    }
    if (SUCCEEDED(timeResult))
    {
        if (summary.timedSamples++ == 0)
            summary.firstStart = start;
        summary.lastStart = start;
        if (timeResult == S_OK)
            summary.lastStop = stop;
        m_position = segmentStart + start;
    }
    if (sample->IsDiscontinuity() == S_OK)
        ++summary.discontinuities;
    return S_OK;
}

void CSimDecoderFilter::OnEndOfStream(SimDecoderInput input)
{
    {
        std::lock_guard lock(m_mutex);
        m_inputs[input].ended = true;
        ++m_inputs[input].summary.endOfStreams;
        m_log += std::wstring(L"EndOfStream ") + InputName(input) + L"\n";
    }
    CheckComplete();
}

void CSimDecoderFilter::CheckComplete()
{
    {
        std::lock_guard lock(m_mutex);
        if (State() != State_Running || m_completeSent)
            return;
        bool anyConnected = false;
        for (const auto &input : m_inputs)
        {
            if (!input.summary.connected)
                continue;
            anyConnected = true;
            if (!input.ended)
                return;
        }
        if (!anyConnected)
            return;
        m_completeSent = true;
        ++m_completions;
        m_log += L"EC_COMPLETE\n";
    }
    NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(BaseFilterInterface()));
}

void CSimDecoderFilter::OnBeginFlush(SimDecoderInput input)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_inputs[input].summary.flushes;
        m_inputs[input].ended = false;
        m_completeSent = false;
        m_log += std::wstring(L"BeginFlush ") + InputName(input) + L"\n";
    }
    m_wake.notify_all();
}

void CSimDecoderFilter::OnEndFlush(SimDecoderInput input)
{
    Record(std::wstring(L"EndFlush ") + InputName(input));
}

void CSimDecoderFilter::OnNewSegment(SimDecoderInput input)
{
    std::lock_guard lock(m_mutex);
    ++m_inputs[input].summary.newSegments;
}

void CSimDecoderFilter::OnConnected(SimDecoderInput input, const AM_MEDIA_TYPE &type)
{
    std::lock_guard lock(m_mutex);
    SimStreamSummary &summary = m_inputs[input].summary;
    if (!summary.connected)
    {
        summary.connected = TRUE;
        ++summary.connections;
        m_log += std::wstring(L"Connect ") + InputName(input) + L" " + SubtypeName(type.subtype) + L"\n";
    }
    summary.majorType = type.majortype;
    summary.subtype = type.subtype;
    summary.formatType = type.formattype;
    summary.formatSize = type.cbFormat;
}

void CSimDecoderFilter::OnDisconnected(SimDecoderInput input)
{
    std::lock_guard lock(m_mutex);
    if (m_inputs[input].summary.connected)
        m_log += std::wstring(L"Disconnect ") + InputName(input) + L"\n";
    m_inputs[input].summary.connected = FALSE;
    m_inputs[input].ended = false;
}

LONGLONG CSimDecoderFilter::ConsumedPosition()
{
    std::lock_guard lock(m_mutex);
    return m_position;
}

bool CSimDecoderFilter::VideoSize(long &width, long &height, REFERENCE_TIME &frameTime)
{
    tx::CriticalSectionLock lock(FilterLock());
    if (!m_video->IsConnected())
        return false;
    const CMediaType &type = m_video->CurrentMediaType();
    // VIDEOINFOHEADER, VIDEOINFOHEADER2 and the MPEG variants all start with the
    // rectangles and AvgTimePerFrame; the bitmap header follows at a per-format place.
    const BITMAPINFOHEADER *header = nullptr;
    if ((type.formattype == FORMAT_VideoInfo || type.formattype == FORMAT_MPEGVideo) &&
        type.cbFormat >= sizeof(VIDEOINFOHEADER) && type.pbFormat)
        header = &reinterpret_cast<const VIDEOINFOHEADER *>(type.pbFormat)->bmiHeader;
    else if ((type.formattype == FORMAT_VideoInfo2 || type.formattype == FORMAT_MPEG2Video) &&
             type.cbFormat >= sizeof(VIDEOINFOHEADER2) && type.pbFormat)
        header = &reinterpret_cast<const VIDEOINFOHEADER2 *>(type.pbFormat)->bmiHeader;
    if (!header)
    {
        width = 720;
        height = 480;
        frameTime = 0;
        return true;
    }
    width = header->biWidth;
    height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    frameTime = reinterpret_cast<const VIDEOINFOHEADER *>(type.pbFormat)->AvgTimePerFrame;
    return true;
}

STDMETHODIMP_(ULONG) CSimDecoderFilter::GetMiscFlags()
{
    return AM_FILTER_MISC_FLAGS_IS_RENDERER;
}

STDMETHODIMP CSimDecoderFilter::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::GetTypeInfo(UINT, LCID, ITypeInfo **)
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimDecoderFilter::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimDecoderFilter::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CSimDecoderFilter::put_Volume(long volume)
{
    if (volume < -10000 || volume > 0)
        return E_INVALIDARG;
    {
        std::lock_guard lock(m_mutex);
        m_volume = volume;
    }
    Record(L"put_Volume " + std::to_wstring(volume));
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::get_Volume(long *volume)
{
    if (!volume)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *volume = m_volume;
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::put_Balance(long balance)
{
    if (balance < -10000 || balance > 10000)
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    m_balance = balance;
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::get_Balance(long *balance)
{
    if (!balance)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *balance = m_balance;
    return S_OK;
}

STDMETHODIMP CSimDecoderFilter::SetRealTimePacing(BOOL on)
{
    {
        std::lock_guard lock(m_mutex);
        m_realTime = on != FALSE;
    }
    m_wake.notify_all();
    return S_OK;
}

STDMETHODIMP CSimDecoderFilter::GetStreamSummary(LONG input, SimStreamSummary *summary)
{
    if (!summary)
        return E_POINTER;
    if (input != SIM_INPUT_VIDEO && input != SIM_INPUT_AUDIO)
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    *summary = m_inputs[input].summary;
    return S_OK;
}

STDMETHODIMP CSimDecoderFilter::GetCallLog(BSTR *log)
{
    if (!log)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *log = ::SysAllocStringLen(m_log.data(), static_cast<UINT>(m_log.size()));
    return *log ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CSimDecoderFilter::GetPlayingText(BSTR *text)
{
    if (!text)
        return E_POINTER;
    std::wstring lines;
    {
        std::lock_guard lock(m_mutex);
        for (int i = 0; i < 2; ++i)
        {
            const SimStreamSummary &summary = m_inputs[i].summary;
            if (!summary.connected)
                continue;
            lines += std::wstring(InputName(static_cast<SimDecoderInput>(i))) + L": " + SubtypeName(summary.subtype) +
                     L", " + std::to_wstring(summary.samples) + L" samples, " + std::to_wstring(summary.bytes) +
                     L" bytes\n";
        }
    }
    *text = ::SysAllocStringLen(lines.data(), static_cast<UINT>(lines.size()));
    return *text ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CSimDecoderFilter::GetCompletions(ULONG *count)
{
    if (!count)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *count = m_completions;
    return S_OK;
}

STDMETHODIMP CSimDecoderFilter::ResetRecord()
{
    std::lock_guard lock(m_mutex);
    for (auto &input : m_inputs)
    {
        SimStreamSummary kept = input.summary;
        input.summary = SimStreamSummary{};
        input.summary.connected = kept.connected;
        input.summary.majorType = kept.majorType;
        input.summary.subtype = kept.subtype;
        input.summary.formatType = kept.formatType;
        input.summary.formatSize = kept.formatSize;
        input.summary.checksum = kSimChecksumSeed;
    }
    m_log.clear();
    m_completions = 0;
    return S_OK;
}

// The card's levels are clamped to its range, as the hardware does.
#define TX_SIM_LEVEL(Name, field)                                                                                      \
    STDMETHODIMP CSimDecoderFilter::Put##Name(LONG value)                                                              \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        field = std::clamp<LONG>(value, 0, 1000);                                                                      \
        m_log += L"Put" #Name L" " + std::to_wstring(field) + L"\n";                                                   \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP CSimDecoderFilter::Get##Name(LONG *value)                                                             \
    {                                                                                                                  \
        if (!value)                                                                                                    \
            return E_POINTER;                                                                                          \
        std::lock_guard lock(m_mutex);                                                                                 \
        *value = field;                                                                                                \
        return S_OK;                                                                                                   \
    }
TX_SIM_LEVEL(Brightness, m_brightness)
TX_SIM_LEVEL(Saturation, m_saturation)
TX_SIM_LEVEL(Contrast, m_contrast)
#undef TX_SIM_LEVEL

STDMETHODIMP CSimDecoderFilter::GetAudioOutput(LONG *value)
{
    if (!value)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *value = m_audioOutput;
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::PutAudioOutput(LONG value)
{
    std::lock_guard lock(m_mutex);
    m_audioOutput = value;
    m_log += L"PutAudioOutput " + std::to_wstring(value) + L"\n";
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::GetAudioInformation(BSTR *text)
{
    if (!text)
        return E_POINTER;
    std::wstring info;
    {
        std::lock_guard lock(m_mutex);
        const SimStreamSummary &audio = m_inputs[SIM_INPUT_AUDIO].summary;
        info = audio.connected ? SubtypeName(audio.subtype) : L"No audio";
    }
    *text = ::SysAllocString(info.c_str());
    return *text ? S_OK : E_OUTOFMEMORY;
}
STDMETHODIMP CSimDecoderFilter::PutAudioMode(LONG mode)
{
    std::lock_guard lock(m_mutex);
    m_audioMode = mode;
    m_log += L"PutAudioMode " + std::to_wstring(mode) + L"\n";
    return S_OK;
}

STDMETHODIMP CSimDecoderFilter::GetOutputFlags(LONG *flags)
{
    if (!flags)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *flags = m_outputFlags;
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::PutOutputFlags(LONG flags)
{
    std::lock_guard lock(m_mutex);
    m_outputFlags = flags;
    m_log += L"PutOutputFlags " + std::to_wstring(flags) + L"\n";
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::GetStandard(LONG *standard)
{
    if (!standard)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *standard = (m_outputFlags & 0x02) ? 2 : 1; // 2 for PAL, 1 for NTSC
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::GetOutputOption(LONG *option)
{
    if (!option)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *option = m_outputOption;
    return S_OK;
}
STDMETHODIMP CSimDecoderFilter::PutOutputOption(LONG option)
{
    std::lock_guard lock(m_mutex);
    m_outputOption = option;
    m_log += L"PutOutputOption " + std::to_wstring(option) + L"\n";
    return S_OK;
}

} // namespace tx::simhw

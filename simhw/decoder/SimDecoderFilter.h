#pragma once
// CSimDecoderFilter: the simulated Pictavo decoder filter. A sink with the inputs
// "Video In" and "Audio In" that takes what the card takes (MPEG-1/2 video and audio,
// AC3, DTS, PCM, MPEG-4 FOURCCs and RMP4), consumes samples at the pace of their time
// stamps, and raises EC_COMPLETE once every connected input has ended while running.
// It answers what the graph and the host ask of the real card: IVideoWindow,
// IBasicVideo2, IBasicAudio, IMediaSeeking (passed upstream), IAMFilterMiscFlags
// (a renderer), the card's picture, audio and video-output interfaces, and the test
// control ISimDecoderControl.
#include "simhw/decoder/SimDecoder.h"
#include "simhw/decoder/SimVideoParts.h"
#include "txHost/playback/DecoderCard.h"

#include "dshowbase/InputPin.h"
#include "dshowbase/PosPassThru.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>
#include <string>

namespace tx::simhw
{

class CSimDecoderFilter;

class CSimDecoderInputPin final : public tx::dshow::CBaseInputPin
{
  public:
    CSimDecoderInputPin(CSimDecoderFilter *filter, const wchar_t *name, SimDecoderInput input) noexcept;

    STDMETHODIMP Receive(IMediaSample *sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT CheckMediaType(const tx::dshow::CMediaType &type) override;
    HRESULT SetMediaType(const tx::dshow::CMediaType &type) override;
    HRESULT BreakConnect() override;

  private:
    CSimDecoderFilter *Owner() const noexcept;
    const SimDecoderInput m_input;
};

// Forwards seeking upstream of one input; the current position is what was consumed.
class CSimSeeking final : public tx::dshow::CPosPassThru
{
  public:
    CSimSeeking(CSimDecoderFilter *owner, tx::dshow::CBasePin *input) noexcept;
    STDMETHODIMP GetCurrentPosition(LONGLONG *current) override;

  private:
    CSimDecoderFilter *m_decoder;
};

class CSimDecoderFilter final : public tx::dshow::CBaseFilter,
                                public IAMFilterMiscFlags,
                                public IBasicAudio,
                                public ISimDecoderControl,
                                public tx::playback::IZiduzPicture,
                                public tx::playback::IZiduzAudio,
                                public tx::playback::IZiduzVideoOutput
{
  public:
    CSimDecoderFilter() noexcept;
    ~CSimDecoderFilter() override;
    TX_DSHOW_FORWARD_IUNKNOWN(CBaseFilter)

    // Class factory entry: creates the filter for riid.
    static HRESULT Create(REFIID riid, void **ppv) noexcept;

    int GetPinCount() override;
    tx::dshow::CBasePin *GetPin(int index) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph *graph, LPCWSTR name) override;

    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() override;
    // IDispatch of IBasicAudio (no type information)
    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override;
    // IBasicAudio: volume -10000..0, balance -10000..10000.
    STDMETHODIMP put_Volume(long volume) override;
    STDMETHODIMP get_Volume(long *volume) override;
    STDMETHODIMP put_Balance(long balance) override;
    STDMETHODIMP get_Balance(long *balance) override;
    // ISimDecoderControl
    STDMETHODIMP SetRealTimePacing(BOOL on) override;
    STDMETHODIMP GetStreamSummary(LONG input, SimStreamSummary *summary) override;
    STDMETHODIMP GetCallLog(BSTR *log) override;
    STDMETHODIMP GetPlayingText(BSTR *text) override;

    // The text of the decoder created last among those alive in this process, for the
    // simulated television picture; S_FALSE when there is none.
    static HRESULT GetNewestPlayingText(BSTR *text) noexcept;
    STDMETHODIMP GetCompletions(ULONG *count) override;
    STDMETHODIMP ResetRecord() override;
    // IZiduzPicture
    STDMETHODIMP PutBrightness(LONG value) override;
    STDMETHODIMP GetBrightness(LONG *value) override;
    STDMETHODIMP PutSaturation(LONG value) override;
    STDMETHODIMP GetSaturation(LONG *value) override;
    STDMETHODIMP PutContrast(LONG value) override;
    STDMETHODIMP GetContrast(LONG *value) override;
    // IZiduzAudio
    STDMETHODIMP GetAudioOutput(LONG *value) override;
    STDMETHODIMP PutAudioOutput(LONG value) override;
    STDMETHODIMP GetAudioInformation(BSTR *text) override;
    STDMETHODIMP PutAudioMode(LONG mode) override;
    // IZiduzVideoOutput
    STDMETHODIMP GetOutputFlags(LONG *flags) override;
    STDMETHODIMP PutOutputFlags(LONG flags) override;
    STDMETHODIMP GetStandard(LONG *standard) override;
    STDMETHODIMP GetOutputOption(LONG *option) override;
    STDMETHODIMP PutOutputOption(LONG option) override;

    // From the pins (streaming or flushing threads; no filter lock held).
    HRESULT Consume(SimDecoderInput input, IMediaSample *sample);
    void OnEndOfStream(SimDecoderInput input);
    void OnBeginFlush(SimDecoderInput input);
    void OnEndFlush(SimDecoderInput input);
    void OnNewSegment(SimDecoderInput input);
    void OnConnected(SimDecoderInput input, const AM_MEDIA_TYPE &type);
    void OnDisconnected(SimDecoderInput input);
    // Adds a line to the call log (any thread).
    void Record(const std::wstring &call);
    // Stream time of the last consumed sample, for seeking.
    LONGLONG ConsumedPosition();
    // The connected video format, for IBasicVideo2: false when none.
    bool VideoSize(long &width, long &height, REFERENCE_TIME &frameTime);

  protected:
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) override;

  private:
    struct InputState
    {
        SimStreamSummary summary{};
        bool ended = false;
    };
    // Raises EC_COMPLETE when due; call without m_mutex held.
    void CheckComplete();
    // Waits until the sample's time under the clock; false when the wait was ended by
    // a flush or a stop (the sample is then dropped).
    bool WaitForPresentation(SimDecoderInput input, IMediaSample *sample);
    CSimDecoderInputPin *Pin(SimDecoderInput input) noexcept;

    std::unique_ptr<CSimDecoderInputPin> m_video;
    std::unique_ptr<CSimDecoderInputPin> m_audio;
    std::unique_ptr<CSimSeeking> m_videoSeeking;
    std::unique_ptr<CSimSeeking> m_audioSeeking;
    std::unique_ptr<CSimVideoWindow> m_videoWindow;
    std::unique_ptr<CSimBasicVideo> m_basicVideo;

    std::mutex m_mutex; // guards everything below; never held while calling out
    std::condition_variable m_wake;
    InputState m_inputs[2];
    bool m_realTime = true;
    bool m_completeSent = false;
    ULONG m_completions = 0;
    LONGLONG m_position = 0;
    std::wstring m_log;
    long m_volume = 0;
    long m_balance = 0;
    LONG m_brightness = 500;
    LONG m_saturation = 500;
    LONG m_contrast = 500;
    LONG m_audioOutput = 0;
    LONG m_audioMode = 0;
    LONG m_outputFlags = 0x01;
    LONG m_outputOption = 0;

  private:
    static std::mutex &LiveDecodersMutex() noexcept;
    static std::vector<CSimDecoderFilter *> &LiveDecoders() noexcept;
};

} // namespace tx::simhw

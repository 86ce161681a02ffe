#pragma once
// The Osterlund Pictavo card's DirectShow side as the host sees it: the class ids and
// module names of its decoder filter and PCM swapper, the decoder's pin ids, and the
// vendor interfaces that its decoder filter answers.
//
// Every vendor interface is obtained by QueryInterface on the decoder filter and used
// on the UI thread; values are 32-bit. S_OK means the card took or gave the value;
// a failure leaves the card as it was.
#include <windows.h>
#include <unknwn.h>

namespace tx::playback
{

// {4e3abd41-458e-11d1-917e-00001b4f006f}
inline constexpr CLSID CLSID_ZiduzDecoder = {
    0x4e3abd41, 0x458e, 0x11d1, {0x91, 0x7e, 0x00, 0x00, 0x1b, 0x4f, 0x00, 0x6f}};
// {1236f6af-1a72-4a62-9b2b-c5f7b62c6b1c}
inline constexpr CLSID CLSID_ZiduzPcmSwapper = {
    0x1236f6af, 0x1a72, 0x4a62, {0x9b, 0x2b, 0xc5, 0xf7, 0xb6, 0x2c, 0x6b, 0x1c}};

inline constexpr wchar_t kDecoderModule[] = L"rmmpeg2.ax";
inline constexpr wchar_t kSwapperModule[] = L"rmswap.ax";
// Name under which the decoder joins every graph.
inline constexpr wchar_t kDecoderGraphName[] = L"Osterlund Hardware Decoder";
// Pin ids (equal to the pin names) of the decoder and of the swapper.
inline constexpr wchar_t kDecoderVideoIn[] = L"Video In";
inline constexpr wchar_t kDecoderAudioIn[] = L"Audio In";
inline constexpr wchar_t kSwapperIn[] = L"Input";
inline constexpr wchar_t kSwapperOut[] = L"Output";

// The card's own video subtype: FOURCC "RMP4", an intra-only MPEG-4 elementary stream.
// {34504D52-0000-0010-8000-00AA00389B71}
inline constexpr GUID MEDIASUBTYPE_RMP4 = {
    0x34504D52, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Picture levels, each 0..1000.
MIDL_INTERFACE("6eb47900-4815-11d2-93dc-0080adb67301")
IZiduzPicture : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE PutBrightness(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBrightness(LONG * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutSaturation(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSaturation(LONG * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutContrast(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetContrast(LONG * value) = 0;
};

// Audio output and mode. GetAudioInformation hands out a BSTR the caller frees.
MIDL_INTERFACE("aeb23da0-54bb-11d2-bd98-0080adb67301")
IZiduzAudio : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetAudioOutput(LONG * value) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutAudioOutput(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAudioInformation(BSTR * text) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutAudioMode(LONG mode) = 0;
};

// TV output. Flag bits: 0x01 standard definition, 0x02 PAL, 0x08 60 Hz, 0x10
// automatic, 0x20 HDTV, 0x40/0x80 shut-down state. The standard is 1 or 2.
MIDL_INTERFACE("0229d3e0-162e-11d5-9e5f-0090272cfcc9")
IZiduzVideoOutput : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetOutputFlags(LONG * flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutOutputFlags(LONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStandard(LONG * standard) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOutputOption(LONG * option) = 0;
    virtual HRESULT STDMETHODCALLTYPE PutOutputOption(LONG option) = 0;
};

} // namespace tx::playback

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(tx::playback::IZiduzPicture, 0x6eb47900, 0x4815, 0x11d2, 0x93, 0xdc, 0x00, 0x80, 0xad, 0xb6, 0x73, 0x01)
__CRT_UUID_DECL(tx::playback::IZiduzAudio, 0xaeb23da0, 0x54bb, 0x11d2, 0xbd, 0x98, 0x00, 0x80, 0xad, 0xb6, 0x73, 0x01)
__CRT_UUID_DECL(tx::playback::IZiduzVideoOutput, 0x0229d3e0, 0x162e, 0x11d5, 0x9e, 0x5f, 0x00, 0x90, 0x27, 0x2c, 0xfc,
                0xc9)
#endif

#pragma once
// The simulated decoder card's test control interface. The simulated decoder filter
// (rmmpeg2.ax, class CLSID_ZiduzDecoder) answers ISimDecoderControl besides the
// interfaces of the real card; tests use it to pace the filter and to read what it
// received. The card does not decode: each sample is consumed (at its time stamp, or
// at once when pacing is off), counted and folded into a checksum.
//
// Every method may be called on any thread; the summary is a consistent snapshot.
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <cstdint>

namespace tx::simhw
{

// Which input a summary describes.
enum SimDecoderInput : LONG
{
    SIM_INPUT_VIDEO = 0, // "Video In"
    SIM_INPUT_AUDIO = 1, // "Audio In"
};

// What one input pin received since the filter was created or last reset.
struct SimStreamSummary
{
    BOOL connected; // connected now
    GUID majorType; // of the connection (GUID_NULL when never connected)
    GUID subtype;
    GUID formatType;
    ULONG formatSize;      // bytes of the format block
    ULONG connections;     // connections made
    ULONG samples;         // samples consumed
    ULONGLONG bytes;       // payload bytes consumed
    ULONGLONG checksum;    // SimChecksum over the payloads in arrival order
    ULONG timedSamples;    // samples that carried a start time
    LONGLONG firstStart;   // start time of the first timed sample (100 ns), else 0
    LONGLONG lastStart;    // start time of the last timed sample
    LONGLONG lastStop;     // stop time of the last sample with both times
    ULONG discontinuities; // samples flagged as discontinuities
    ULONG flushes;         // BeginFlush calls
    ULONG endOfStreams;    // EndOfStream calls
    ULONG newSegments;     // NewSegment calls
};

// Payload checksum: 64-bit FNV-1a, continued across samples (start with kSimChecksumSeed).
inline constexpr ULONGLONG kSimChecksumSeed = 0xcbf29ce484222325ull;
inline ULONGLONG SimChecksum(ULONGLONG hash, const BYTE *data, size_t size) noexcept
{
    for (size_t i = 0; i < size; ++i)
    {
        hash ^= data[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// {8d3f5a10-6c2e-4b7a-9e41-2f6a0c9d7b31}
MIDL_INTERFACE("8d3f5a10-6c2e-4b7a-9e41-2f6a0c9d7b31")
ISimDecoderControl : public IUnknown
{
    // On (the default): samples are consumed when the graph clock reaches their start
    // time, and a paused filter holds them. Off: each sample is consumed at once.
    virtual HRESULT STDMETHODCALLTYPE SetRealTimePacing(BOOL on) = 0;
    // Copies the summary of one input; E_INVALIDARG for an unknown input, E_POINTER.
    virtual HRESULT STDMETHODCALLTYPE GetStreamSummary(LONG input, SimStreamSummary * summary) = 0;
    // The calls the filter received from the graph and the host, one per line
    // ("Pause", "Run", "Stop", "put_Owner", "EndOfStream Audio In", ...). The caller
    // frees the BSTR.
    virtual HRESULT STDMETHODCALLTYPE GetCallLog(BSTR * log) = 0;
    // A short text of what plays ("Audio In: 12 samples, 4096 bytes, PCM"), one line per
    // connected input: what the on-screen display shows later. The caller frees it.
    virtual HRESULT STDMETHODCALLTYPE GetPlayingText(BSTR * text) = 0;
    // Number of EC_COMPLETE events sent.
    virtual HRESULT STDMETHODCALLTYPE GetCompletions(ULONG * count) = 0;
    // Clears the summaries (except the connection state) and the call log.
    virtual HRESULT STDMETHODCALLTYPE ResetRecord() = 0;
};

// {5b0e2c47-93a1-4f6d-8c15-7e4d2a6b9f02}
MIDL_INTERFACE("5b0e2c47-93a1-4f6d-8c15-7e4d2a6b9f02")
ISimSwapperControl : public IUnknown
{
    // Samples and bytes that the swapper turned round.
    virtual HRESULT STDMETHODCALLTYPE GetSwapped(ULONG * samples, ULONGLONG * bytes) = 0;
};

} // namespace tx::simhw

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(tx::simhw::ISimDecoderControl, 0x8d3f5a10, 0x6c2e, 0x4b7a, 0x9e, 0x41, 0x2f, 0x6a, 0x0c, 0x9d, 0x7b,
                0x31)
__CRT_UUID_DECL(tx::simhw::ISimSwapperControl, 0x5b0e2c47, 0x93a1, 0x4f6d, 0x8c, 0x15, 0x7e, 0x4d, 0x2a, 0x6b, 0x9f,
                0x02)
#endif

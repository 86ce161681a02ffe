#pragma once
// Small filters built on our base classes for the tests: a push source of numbered
// PCM-typed samples, a copying transform, a pass-through in-place filter and a sink
// that records what it presents and when.
#include "dshowbase/BaseRenderer.h"
#include "dshowbase/SourceFilter.h"
#include "dshowbase/SourceStream.h"
#include "dshowbase/TransInPlaceFilter.h"
#include "dshowbase/TransformFilter.h"

#include <mutex>
#include <vector>

namespace tx::test
{

// The byte at offset i of sample n.
inline BYTE PatternByte(int sample, long offset)
{
    return static_cast<BYTE>((sample * 7 + offset * 13) & 0xFF);
}

// A PCM audio type (48 kHz, stereo, 16 bits) with its WAVEFORMATEX block.
dshow::CMediaType MakePcmType();

class TestSourcePin : public dshow::CSourceStream
{
  public:
    TestSourcePin(dshow::CSource *filter, int count, long size, REFERENCE_TIME duration) noexcept;
    HRESULT GetMediaType(int position, dshow::CMediaType *type) override;
    HRESULT DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request) override;
    HRESULT FillBuffer(IMediaSample *sample) override;

  protected:
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadStartPlay() override;

  private:
    const int m_count;
    const long m_size;
    const REFERENCE_TIME m_duration;
    int m_next = 0;
};

class TestSource : public dshow::CSource
{
  public:
    TestSource(int count, long size, REFERENCE_TIME duration) noexcept;
    // Adds a further pin (to change the pin version under an enumerator).
    void AddExtraPin() noexcept;

  private:
    const int m_count;
    const long m_size;
    const REFERENCE_TIME m_duration;
};

struct RenderedSample
{
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool timed = false;
    REFERENCE_TIME streamTimeAtRender = 0; // graph clock minus stream start
    std::vector<BYTE> bytes;
};

class TestSink : public dshow::CBaseRenderer
{
  public:
    TestSink() noexcept;
    HRESULT CheckMediaType(const dshow::CMediaType &type) override;
    HRESULT DoRenderSample(IMediaSample *sample) override;
    std::vector<RenderedSample> Samples();

  private:
    std::mutex m_mutex;
    std::vector<RenderedSample> m_samples;
};

// Copies every sample into its output; counts flushes.
class TestCopyTransform : public dshow::CTransformFilter
{
  public:
    TestCopyTransform() noexcept;
    HRESULT CheckInputType(const dshow::CMediaType &input) override;
    HRESULT CheckTransform(const dshow::CMediaType &input, const dshow::CMediaType &output) override;
    HRESULT DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request) override;
    HRESULT GetMediaType(int position, dshow::CMediaType *type) override;
    HRESULT Transform(IMediaSample *input, IMediaSample *output) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    int beginFlushes = 0;
    int endFlushes = 0;
    int transformed = 0;
};

class TestInPlace : public dshow::CTransInPlaceFilter
{
  public:
    TestInPlace() noexcept;
    HRESULT CheckInputType(const dshow::CMediaType &input) override;
    HRESULT CheckTransform(const dshow::CMediaType &input, const dshow::CMediaType &output) override;
    HRESULT Transform(IMediaSample *sample) override;
    int transformed = 0;
    int shared = 0;
};

} // namespace tx::test

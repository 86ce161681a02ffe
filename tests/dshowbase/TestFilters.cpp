#include "TestFilters.h"

#include <mmreg.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace tx::test
{

dshow::CMediaType MakePcmType()
{
    dshow::CMediaType type(MEDIATYPE_Audio);
    type.SetSubtype(MEDIASUBTYPE_PCM);
    type.SetFormatType(FORMAT_WaveFormatEx);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 48000;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 48000 * 4;
    type.SetFormat(&format, sizeof(format));
    type.SetSampleSize(4);
    return type;
}

TestSourcePin::TestSourcePin(dshow::CSource *filter, int count, long size, REFERENCE_TIME duration) noexcept
    : CSourceStream(filter, L"Output"), m_count(count), m_size(size), m_duration(duration)
{
}

HRESULT TestSourcePin::GetMediaType(int position, dshow::CMediaType *type)
{
    if (position < 0)
        return E_INVALIDARG;
    if (position > 0)
        return VFW_S_NO_MORE_ITEMS;
    return type->Set(MakePcmType());
}

HRESULT TestSourcePin::DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request)
{
    request->cBuffers = std::max<long>(request->cBuffers, 2);
    request->cbBuffer = std::max(request->cbBuffer, m_size);
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < m_size ? E_FAIL : S_OK;
}

HRESULT TestSourcePin::OnThreadCreate()
{
    m_next = 0;
    return S_OK;
}

HRESULT TestSourcePin::OnThreadStartPlay()
{
    DeliverNewSegment(0, m_count * m_duration, 1.0);
    return S_OK;
}

HRESULT TestSourcePin::FillBuffer(IMediaSample *sample)
{
    if (m_next >= m_count)
        return S_FALSE;
    BYTE *data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr))
        return hr;
    for (long i = 0; i < m_size; ++i)
        data[i] = PatternByte(m_next, i);
    sample->SetActualDataLength(m_size);
    REFERENCE_TIME start = m_next * m_duration;
    REFERENCE_TIME stop = start + m_duration;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(m_next == 0);
    ++m_next;
    return S_OK;
}

TestSource::TestSource(int count, long size, REFERENCE_TIME duration) noexcept
    : CSource(L"Test Source", CLSID_NULL), m_count(count), m_size(size), m_duration(duration)
{
    new (std::nothrow) TestSourcePin(this, count, size, duration);
}

void TestSource::AddExtraPin() noexcept
{
    new (std::nothrow) TestSourcePin(this, m_count, m_size, m_duration);
}

TestSink::TestSink() noexcept : CBaseRenderer(L"Test Sink", CLSID_NULL)
{
}

HRESULT TestSink::CheckMediaType(const dshow::CMediaType &type)
{
    return type.majortype == MEDIATYPE_Audio ? S_OK : S_FALSE;
}

HRESULT TestSink::DoRenderSample(IMediaSample *sample)
{
    RenderedSample rendered;
    rendered.timed = SUCCEEDED(sample->GetTime(&rendered.start, &rendered.stop));
    StreamTime(rendered.streamTimeAtRender);
    BYTE *data = nullptr;
    if (SUCCEEDED(sample->GetPointer(&data)))
        rendered.bytes.assign(data, data + sample->GetActualDataLength());
    std::lock_guard<std::mutex> lock(m_mutex);
    m_samples.push_back(std::move(rendered));
    return S_OK;
}

std::vector<RenderedSample> TestSink::Samples()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_samples;
}

TestCopyTransform::TestCopyTransform() noexcept : CTransformFilter(L"Test Copy", CLSID_NULL)
{
}

HRESULT TestCopyTransform::CheckInputType(const dshow::CMediaType &input)
{
    return input.majortype == MEDIATYPE_Audio ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TestCopyTransform::CheckTransform(const dshow::CMediaType &input, const dshow::CMediaType &output)
{
    return input == output ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TestCopyTransform::DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request)
{
    ALLOCATOR_PROPERTIES upstream{};
    if (!InputPin()->IsConnected())
        return E_UNEXPECTED;
    if (InputPin()->Allocator())
        InputPin()->Allocator()->GetProperties(&upstream);
    request->cBuffers = std::max<long>(request->cBuffers, 1);
    request->cbBuffer = std::max<long>({request->cbBuffer, upstream.cbBuffer, 4096});
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

HRESULT TestCopyTransform::GetMediaType(int position, dshow::CMediaType *type)
{
    if (!InputPin()->IsConnected())
        return E_UNEXPECTED;
    if (position < 0)
        return E_INVALIDARG;
    if (position > 0)
        return VFW_S_NO_MORE_ITEMS;
    return type->Set(InputPin()->CurrentMediaType());
}

HRESULT TestCopyTransform::Transform(IMediaSample *input, IMediaSample *output)
{
    BYTE *source = nullptr;
    BYTE *target = nullptr;
    HRESULT hr = input->GetPointer(&source);
    if (SUCCEEDED(hr))
        hr = output->GetPointer(&target);
    if (FAILED(hr))
        return hr;
    const long length = input->GetActualDataLength();
    if (length > output->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(target, source, static_cast<size_t>(length));
    output->SetActualDataLength(length);
    ++transformed;
    return S_OK;
}

HRESULT TestCopyTransform::BeginFlush()
{
    ++beginFlushes;
    return CTransformFilter::BeginFlush();
}

HRESULT TestCopyTransform::EndFlush()
{
    ++endFlushes;
    return CTransformFilter::EndFlush();
}

TestInPlace::TestInPlace() noexcept : CTransInPlaceFilter(L"Test In Place", CLSID_NULL, false)
{
}

HRESULT TestInPlace::CheckInputType(const dshow::CMediaType &input)
{
    return input.majortype == MEDIATYPE_Audio ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TestInPlace::CheckTransform(const dshow::CMediaType &, const dshow::CMediaType &)
{
    return S_OK;
}

HRESULT TestInPlace::Transform(IMediaSample *)
{
    ++transformed;
    if (LastSampleShared())
        ++shared;
    return S_OK;
}

} // namespace tx::test

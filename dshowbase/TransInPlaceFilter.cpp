#include "dshowbase/TransInPlaceFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tx::dshow
{
namespace
{

class CTransInPlaceInputPin : public CTransformInputPin
{
  public:
    explicit CTransInPlaceInputPin(CTransInPlaceFilter *filter) noexcept : CTransformInputPin(filter)
    {
    }

    // With the output connected, upstream gets downstream's allocator, so the same
    // buffers serve both connections.
    STDMETHODIMP GetAllocator(IMemAllocator **allocator) override
    {
        if (!allocator)
            return E_POINTER;
        *allocator = nullptr;
        CTransformOutputPin *output = m_transform->OutputPin();
        if (output && output->ConnectedMemInput())
        {
            const HRESULT hr = output->ConnectedMemInput()->GetAllocator(allocator);
            if (SUCCEEDED(hr))
                return hr;
        }
        return CTransformInputPin::GetAllocator(allocator);
    }

    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES *props) override
    {
        CTransformOutputPin *output = m_transform->OutputPin();
        if (output && output->ConnectedMemInput())
            return output->ConnectedMemInput()->GetAllocatorRequirements(props);
        return CTransformInputPin::GetAllocatorRequirements(props);
    }

    // Downstream must take the same type, since it passes through unchanged.
    HRESULT CheckMediaType(const CMediaType &type) override
    {
        HRESULT hr = m_transform->CheckInputType(type);
        if (hr != S_OK)
            return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
        CTransformOutputPin *output = m_transform->OutputPin();
        if (output && output->IsConnected())
        {
            if (output->GetConnected()->QueryAccept(&type) != S_OK)
                return VFW_E_TYPE_NOT_ACCEPTED;
        }
        return S_OK;
    }

    HRESULT GetMediaType(int position, CMediaType *type) override
    {
        if (position < 0)
            return E_INVALIDARG;
        CTransformOutputPin *output = m_transform->OutputPin();
        if (position > 0 || !output || !output->IsConnected())
            return VFW_S_NO_MORE_ITEMS;
        return type->Set(output->CurrentMediaType());
    }
};

class CTransInPlaceOutputPin : public CTransformOutputPin
{
  public:
    CTransInPlaceOutputPin(CTransInPlaceFilter *filter, CTransformInputPin *input) noexcept
        : CTransformOutputPin(filter, input)
    {
    }

    HRESULT CheckMediaType(const CMediaType &type) override
    {
        CTransformInputPin *input = m_transform->InputPin();
        if (!input || !input->IsConnected())
            return E_UNEXPECTED;
        if (!(type == input->CurrentMediaType()))
            return VFW_E_TYPE_NOT_ACCEPTED;
        return m_transform->CheckTransform(input->CurrentMediaType(), type);
    }

    HRESULT GetMediaType(int position, CMediaType *type) override
    {
        if (position < 0)
            return E_INVALIDARG;
        CTransformInputPin *input = m_transform->InputPin();
        if (position > 0 || !input || !input->IsConnected())
            return VFW_S_NO_MORE_ITEMS;
        return type->Set(input->CurrentMediaType());
    }

    // Offers downstream the allocator the input already uses (no copy); otherwise
    // the usual negotiation.
    HRESULT DecideAllocator(IMemInputPin *downstream, IMemAllocator **allocator) override
    {
        *allocator = nullptr;
        CTransformInputPin *input = m_transform->InputPin();
        IMemAllocator *shared = input ? input->Allocator() : nullptr;
        if (shared && SUCCEEDED(downstream->NotifyAllocator(shared, input->IsReadOnly() ? TRUE : FALSE)))
        {
            shared->AddRef();
            *allocator = shared;
            return S_OK;
        }
        return CTransformOutputPin::DecideAllocator(downstream, allocator);
    }
};

} // namespace

CTransInPlaceFilter::CTransInPlaceFilter(const wchar_t *name, const CLSID &clsid, bool modifiesData) noexcept
    : CTransformFilter(name, clsid), m_modifiesData(modifiesData)
{
}

std::unique_ptr<CTransformInputPin> CTransInPlaceFilter::CreateInputPin()
{
    return std::unique_ptr<CTransformInputPin>(new (std::nothrow) CTransInPlaceInputPin(this));
}

std::unique_ptr<CTransformOutputPin> CTransInPlaceFilter::CreateOutputPin(CTransformInputPin *input)
{
    return std::unique_ptr<CTransformOutputPin>(new (std::nothrow) CTransInPlaceOutputPin(this, input));
}

HRESULT CTransInPlaceFilter::GetMediaType(int, CMediaType *)
{
    return E_UNEXPECTED;
}

HRESULT CTransInPlaceFilter::DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request)
{
    ALLOCATOR_PROPERTIES wanted = *request;
    CTransformInputPin *input = InputPin();
    if (input && input->Allocator())
    {
        ALLOCATOR_PROPERTIES upstream{};
        if (SUCCEEDED(input->Allocator()->GetProperties(&upstream)))
        {
            wanted.cBuffers = std::max(wanted.cBuffers, upstream.cBuffers);
            wanted.cbBuffer = std::max(wanted.cbBuffer, upstream.cbBuffer);
            wanted.cbAlign = std::max(wanted.cbAlign, upstream.cbAlign);
            wanted.cbPrefix = std::max(wanted.cbPrefix, upstream.cbPrefix);
        }
    }
    if (input && input->IsConnected())
        wanted.cbBuffer = std::max<long>(wanted.cbBuffer, static_cast<long>(input->CurrentMediaType().lSampleSize));
    wanted.cBuffers = std::max<long>(wanted.cBuffers, 1);
    wanted.cbBuffer = std::max<long>(wanted.cbBuffer, 1);
    wanted.cbAlign = std::max<long>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return (actual.cBuffers < wanted.cBuffers || actual.cbBuffer < wanted.cbBuffer) ? E_FAIL : S_OK;
}

HRESULT CTransInPlaceFilter::Copy(IMediaSample *sample, IMediaSample **copy)
{
    tx::ComPtr<IMediaSample> output;
    HRESULT hr = InitializeOutputSample(sample, output.GetAddressOf());
    if (FAILED(hr))
        return hr;
    BYTE *source = nullptr;
    BYTE *target = nullptr;
    if (FAILED(hr = sample->GetPointer(&source)) || FAILED(hr = output->GetPointer(&target)))
        return hr;
    const long length = sample->GetActualDataLength();
    if (length < 0 || length > output->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(target, source, static_cast<size_t>(length));
    hr = output->SetActualDataLength(length);
    if (FAILED(hr))
        return hr;
    AM_MEDIA_TYPE *type = nullptr;
    if (sample->GetMediaType(&type) == S_OK && type)
    {
        output->SetMediaType(type);
        DeleteMediaType(type);
    }
    *copy = output.Detach();
    return S_OK;
}

HRESULT CTransInPlaceFilter::Receive(IMediaSample *sample)
{
    CTransformInputPin *input = InputPin();
    CTransformOutputPin *output = OutputPin();
    const bool sameAllocator = input->Allocator() && input->Allocator() == output->Allocator();
    const bool shared = sameAllocator && !(m_modifiesData && input->IsReadOnly());
    m_lastShared = shared;

    tx::ComPtr<IMediaSample> working;
    if (shared)
        working = sample;
    else
    {
        HRESULT hr = Copy(sample, working.GetAddressOf());
        if (FAILED(hr))
            return hr;
    }
    HRESULT hr = Transform(working.Get());
    if (FAILED(hr))
        return hr;
    if (hr == S_FALSE)
    {
        m_sampleSkipped = true;
        if (!m_qualityChanged)
        {
            m_qualityChanged = true;
            NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
        }
        return S_OK;
    }
    hr = output->Deliver(working.Get());
    m_sampleSkipped = false;
    return hr;
}

} // namespace tx::dshow

#include "simhw/decoder/SimSwapperFilter.h"
#include "txHost/playback/DecoderCard.h"

#include <mmreg.h>

#include <new>

namespace tx::simhw
{

CSimSwapperFilter::CSimSwapperFilter() noexcept
    : CTransInPlaceFilter(L"Simulated Pictavo PCM swapper", tx::playback::CLSID_ZiduzPcmSwapper, true)
{
}

HRESULT CSimSwapperFilter::Create(REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    auto *filter = new (std::nothrow) CSimSwapperFilter();
    if (!filter)
        return E_OUTOFMEMORY;
    const HRESULT hr = filter->QueryInterface(riid, ppv);
    filter->Release();
    return hr;
}

std::unique_ptr<tx::dshow::CTransformInputPin> CSimSwapperFilter::CreateInputPin()
{
    auto pin = CTransInPlaceFilter::CreateInputPin();
    if (pin)
        pin->SetId(tx::playback::kSwapperIn);
    return pin;
}

std::unique_ptr<tx::dshow::CTransformOutputPin> CSimSwapperFilter::CreateOutputPin(tx::dshow::CTransformInputPin *input)
{
    auto pin = CTransInPlaceFilter::CreateOutputPin(input);
    if (pin)
        pin->SetId(tx::playback::kSwapperOut);
    return pin;
}

HRESULT CSimSwapperFilter::QueryInterfaceExtra(REFIID riid, void **ppv)
{
    if (riid == __uuidof(ISimSwapperControl))
    {
        *ppv = static_cast<ISimSwapperControl *>(this);
        return S_OK;
    }
    return CTransInPlaceFilter::QueryInterfaceExtra(riid, ppv);
}

HRESULT CSimSwapperFilter::CheckInputType(const tx::dshow::CMediaType &input)
{
    if (input.majortype != MEDIATYPE_Audio || input.subtype != MEDIASUBTYPE_PCM)
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (input.formattype != FORMAT_WaveFormatEx || !input.pbFormat || input.cbFormat < sizeof(WAVEFORMAT) + 2)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const auto *format = reinterpret_cast<const PCMWAVEFORMAT *>(input.pbFormat);
    return format->wBitsPerSample == 16 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSimSwapperFilter::CheckTransform(const tx::dshow::CMediaType &input, const tx::dshow::CMediaType &output)
{
    if (CheckInputType(input) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return input == output ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSimSwapperFilter::Transform(IMediaSample *sample)
{
    BYTE *data = nullptr;
    const long length = sample->GetActualDataLength();
    if (length <= 0)
        return S_OK;
    if (FAILED(sample->GetPointer(&data)) || !data)
        return E_POINTER;
    // An odd trailing byte (a sample cut by the source) is left as it is.
    for (long i = 0; i + 1 < length; i += 2)
    {
        const BYTE low = data[i];
        data[i] = data[i + 1];
        data[i + 1] = low;
    }
    ++m_samples;
    m_bytes += static_cast<ULONGLONG>(length);
    return S_OK;
}

STDMETHODIMP CSimSwapperFilter::GetSwapped(ULONG *samples, ULONGLONG *bytes)
{
    if (!samples || !bytes)
        return E_POINTER;
    *samples = m_samples;
    *bytes = m_bytes;
    return S_OK;
}

} // namespace tx::simhw

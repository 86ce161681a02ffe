#pragma once
// CSimSwapperFilter: the simulated card's PCM swapper (rmswap.ax). The card plays PCM
// in big-endian byte order; the swapper turns each 16-bit sample of little-endian PCM
// round in place. Pins "Input" and "Output" (ids equal to names' lookups).
#include "simhw/decoder/SimDecoder.h"

#include "dshowbase/TransInPlaceFilter.h"

#include <atomic>

namespace tx::simhw
{

class CSimSwapperFilter final : public tx::dshow::CTransInPlaceFilter, public ISimSwapperControl
{
  public:
    CSimSwapperFilter() noexcept;
    TX_DSHOW_FORWARD_IUNKNOWN(CTransInPlaceFilter)

    // Class factory entry: creates the filter for riid.
    static HRESULT Create(REFIID riid, void **ppv) noexcept;

    // 16-bit PCM only (a WAVEFORMATEX block with wBitsPerSample 16).
    HRESULT CheckInputType(const tx::dshow::CMediaType &input) override;
    HRESULT CheckTransform(const tx::dshow::CMediaType &input, const tx::dshow::CMediaType &output) override;
    HRESULT Transform(IMediaSample *sample) override;

    // ISimSwapperControl
    STDMETHODIMP GetSwapped(ULONG *samples, ULONGLONG *bytes) override;

  protected:
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) override;
    std::unique_ptr<tx::dshow::CTransformInputPin> CreateInputPin() override;
    std::unique_ptr<tx::dshow::CTransformOutputPin> CreateOutputPin(tx::dshow::CTransformInputPin *input) override;

  private:
    std::atomic<ULONG> m_samples{0};
    std::atomic<ULONGLONG> m_bytes{0};
};

} // namespace tx::simhw

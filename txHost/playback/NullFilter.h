#pragma once
// CNullFilter: an in-place filter that passes every sample through unchanged. The
// audio path puts it between the PCM swapper and the decoder's audio input ("null"),
// and the picture graph uses its end of stream to flush the encoder behind a handed
// pin.
//
// Pins "In" and "Out" (the in-place base's); every media type is accepted. Declared
// as modifying data, so it always works on writable samples.
#include "dshowbase/TransInPlaceFilter.h"

namespace tx::playback
{

class CNullFilter : public tx::dshow::CTransInPlaceFilter
{
  public:
    explicit CNullFilter(const wchar_t *name) noexcept;

    // Hands the filter an output pin of another filter (or null to forget it). At end
    // of stream the pin connected to it is flushed (BeginFlush, EndFlush) before the
    // end of stream goes on. The filter keeps a reference until replaced or destroyed.
    // Call while the graph is stopped.
    void SetHandedPin(IPin *pin) noexcept;

    HRESULT CheckInputType(const tx::dshow::CMediaType &input) override;
    HRESULT CheckTransform(const tx::dshow::CMediaType &input, const tx::dshow::CMediaType &output) override;
    HRESULT GetMediaType(int position, tx::dshow::CMediaType *type) override;
    HRESULT Transform(IMediaSample *sample) override;
    HRESULT EndOfStream() override;

  private:
    tx::ComPtr<IPin> m_handedPin;
};

// Creates a Null filter named name with one reference for the caller. Null when
// result is null (nothing is created); with E_OUTOFMEMORY in *result when it cannot
// be allocated, S_OK otherwise.
tx::ComPtr<CNullFilter> CreateNullFilter(const wchar_t *name, HRESULT *result) noexcept;

} // namespace tx::playback

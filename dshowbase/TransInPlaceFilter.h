#pragma once
// CTransInPlaceFilter: a transform whose output type is its input type and which
// works on the samples themselves (Transform(sample)).
//
// Allocators: the input's allocator is handed on downstream when downstream takes
// it, so samples pass through without a copy. Otherwise (or when the filter modifies
// data and upstream delivers read-only samples) each sample is copied into a buffer
// of the output's allocator first. The pins keep the transform ids "In" and "Out".
// The filter proposes no type of its own: its pins offer the type of the other side.
#include "dshowbase/TransformFilter.h"

namespace tx::dshow
{

class CTransInPlaceFilter : public CTransformFilter
{
  public:
    // modifiesData: Transform writes into the sample, so it needs writable buffers.
    CTransInPlaceFilter(const wchar_t *name, const CLSID &clsid, bool modifiesData) noexcept;

    // In-place hook (streaming thread): S_OK delivers the sample, S_FALSE drops it,
    // a failure stops the stream.
    virtual HRESULT Transform(IMediaSample *sample) = 0;

    // E_UNEXPECTED: types come from the other pin's connection, not the filter.
    HRESULT GetMediaType(int position, CMediaType *type) override;
    // Buffers of our own allocator: as many and as large as the input's, at least one
    // of the connection's sample size.
    HRESULT DecideBufferSize(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *request) override;
    HRESULT Receive(IMediaSample *sample) override;

    bool ModifiesData() const noexcept
    {
        return m_modifiesData;
    }
    // True when the last sample went through without a copy.
    bool LastSampleShared() const noexcept
    {
        return m_lastShared;
    }

  protected:
    std::unique_ptr<CTransformInputPin> CreateInputPin() override;
    std::unique_ptr<CTransformOutputPin> CreateOutputPin(CTransformInputPin *input) override;
    // A writable copy of sample (data and properties) from the output allocator.
    HRESULT Copy(IMediaSample *sample, IMediaSample **copy);

  private:
    using CTransformFilter::Transform;
    const bool m_modifiesData;
    bool m_lastShared = false;
};

} // namespace tx::dshow

#pragma once
// Media types: helpers for AM_MEDIA_TYPE with its format block, and CMediaType, an
// AM_MEDIA_TYPE that owns its format block and its pUnk.
//
// A format block always comes from CoTaskMemAlloc, as the interfaces that hand types
// across (IEnumMediaTypes::Next, IPin::ConnectionMediaType) require.
#include <windows.h>
#include <strmif.h>

namespace tx::dshow
{

// Releases what the type points to (format block, pUnk) and clears those fields.
void FreeMediaType(AM_MEDIA_TYPE &type) noexcept;
// Frees a type that was itself allocated with CoTaskMemAlloc (an enumerator's output).
void DeleteMediaType(AM_MEDIA_TYPE *type) noexcept;
// Deep copy into target, which must hold nothing; E_OUTOFMEMORY leaves target empty.
HRESULT CopyMediaType(AM_MEDIA_TYPE &target, const AM_MEDIA_TYPE &source) noexcept;
// A CoTaskMemAlloc'd deep copy, or null when out of memory.
AM_MEDIA_TYPE *CreateMediaType(const AM_MEDIA_TYPE &source) noexcept;
// True when the major, sub and format types and the format blocks are equal.
bool MediaTypesEqual(const AM_MEDIA_TYPE &a, const AM_MEDIA_TYPE &b) noexcept;
// True when every field of partial that is not GUID_NULL equals the one of full.
bool MediaTypeMatchesPartial(const AM_MEDIA_TYPE &full, const AM_MEDIA_TYPE &partial) noexcept;
// True when the major type or the subtype is GUID_NULL.
bool IsPartialMediaType(const AM_MEDIA_TYPE &type) noexcept;

class CMediaType : public AM_MEDIA_TYPE
{
  public:
    CMediaType() noexcept;
    explicit CMediaType(const GUID &majorType) noexcept;
    // A copy that failed to allocate its format block is left empty; check IsValid.
    CMediaType(const AM_MEDIA_TYPE &other) noexcept;
    CMediaType(const CMediaType &other) noexcept;
    CMediaType &operator=(const CMediaType &other) noexcept;
    ~CMediaType();

    // Replaces the contents by a deep copy of other; E_OUTOFMEMORY leaves it empty.
    HRESULT Set(const AM_MEDIA_TYPE &other) noexcept;
    // Empties the type: GUID_NULL types, no format block, samples of fixed size 1.
    void Reset() noexcept;
    bool IsValid() const noexcept
    {
        return majortype != GUID_NULL;
    }
    bool IsPartiallySpecified() const noexcept
    {
        return IsPartialMediaType(*this);
    }

    // Allocates a zeroed format block of size bytes in place of the present one; null
    // when out of memory (the type then has no format block).
    BYTE *AllocFormatBuffer(ULONG size) noexcept;
    // Replaces the format block by a copy of data; false when out of memory.
    bool SetFormat(const void *data, ULONG size) noexcept;
    void SetFormatType(const GUID &type) noexcept
    {
        formattype = type;
    }
    void SetType(const GUID &type) noexcept
    {
        majortype = type;
    }
    void SetSubtype(const GUID &type) noexcept
    {
        subtype = type;
    }
    void SetSampleSize(ULONG size) noexcept;
    void SetTemporalCompression(bool compressed) noexcept
    {
        bTemporalCompression = compressed ? TRUE : FALSE;
    }
    bool operator==(const CMediaType &other) const noexcept
    {
        return MediaTypesEqual(*this, other);
    }
};

} // namespace tx::dshow

#pragma once
// One 32-bit drawing surface of the OSD: a bottom-up BI_RGB DIB section selected into
// its own memory DC (map mode MM_TEXT, transparent background, clipped to the surface).
// The bitmap the DC held before is put back before either is deleted.
#include "comkit/Handles.h"

#include <windows.h>

#include <cstdint>

class COsdSurface
{
  public:
    COsdSurface() noexcept = default;
    ~COsdSurface()
    {
        Destroy();
    }
    COsdSurface(const COsdSurface &) = delete;
    COsdSurface &operator=(const COsdSurface &) = delete;

    // Creates the surface compatible with referenceDc. Fails without a change when the
    // surface exists already or the size is out of range.
    HRESULT Create(HDC referenceDc, LONG width, LONG height) noexcept;
    void Destroy() noexcept;

    HDC Dc() const noexcept
    {
        return m_dc.Get();
    }
    // The pixels, bottom line first; null before Create.
    uint32_t *Bits() const noexcept
    {
        return m_bits;
    }

  private:
    tx::UniqueMemoryDc m_dc;
    tx::UniqueBitmap m_bitmap;
    HGDIOBJ m_previousBitmap = nullptr;
    uint32_t *m_bits = nullptr;
};

#pragma once
// IPictureSurface: a decoded picture in memory, the source that IOsd::RunTransform scales
// onto the OSD. 32-bit 0xAARRGGBB pixels, rows top-down; an alpha of 0 is transparent.
// Thread: any; the pixels do not change after creation.
#include "comkit/ComPtr.h"

#include <windows.h>
#include <unknwn.h>

MIDL_INTERFACE("B8A3D0F4-61C2-4E57-8A1D-3C7E92F05B16")
IPictureSurface : public IUnknown
{
    // The size in pixels.
    virtual HRESULT STDMETHODCALLTYPE GetSize(LONG * width, LONG * height) = 0;
    // The first (top) row and the distance between rows in pixels; owned by the surface.
    virtual HRESULT STDMETHODCALLTYPE GetPixels(const DWORD **pixels, LONG *stride) = 0;
};
__CRT_UUID_DECL(IPictureSurface, 0xB8A3D0F4, 0x61C2, 0x4E57, 0x8A, 0x1D, 0x3C, 0x7E, 0x92, 0xF0, 0x5B, 0x16)

namespace tx::skin
{
// A surface of width x height pixels copied from pixels (top-down rows of stride pixels);
// null pixels give a transparent surface. E_INVALIDARG for an empty or oversized size.
HRESULT CreatePictureSurface(LONG width, LONG height, const DWORD *pixels, LONG stride,
                             IPictureSurface **surface) noexcept;
// A surface decoded from an image file with GDI+ (which the caller has started).
HRESULT LoadPictureSurface(const wchar_t *path, IPictureSurface **surface) noexcept;
} // namespace tx::skin

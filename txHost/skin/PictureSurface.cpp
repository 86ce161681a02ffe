#include "txHost/skin/PictureSurface.h"

#include "comkit/ComObject.h"
#include "comkit/HResult.h"

#include <gdiplus.h>

#include <cstring>
#include <memory>
#include <new>

namespace
{

constexpr LONG kMaxPictureSide = 16384;

class CPictureSurface final : public tx::ComObject<CPictureSurface, IPictureSurface>
{
  public:
    HRESULT Init(LONG width, LONG height) noexcept
    {
        if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide)
            return E_INVALIDARG;
        m_pixels.reset(new (std::nothrow) DWORD[static_cast<size_t>(width) * static_cast<size_t>(height)]());
        if (!m_pixels)
            return E_OUTOFMEMORY;
        m_width = width;
        m_height = height;
        return S_OK;
    }
    DWORD *Pixels() noexcept
    {
        return m_pixels.get();
    }

    STDMETHODIMP GetSize(LONG *width, LONG *height) override
    {
        if (!width || !height)
            return E_POINTER;
        *width = m_width;
        *height = m_height;
        return S_OK;
    }
    STDMETHODIMP GetPixels(const DWORD **pixels, LONG *stride) override
    {
        if (!pixels || !stride)
            return E_POINTER;
        *pixels = m_pixels.get();
        *stride = m_width;
        return S_OK;
    }

  private:
    std::unique_ptr<DWORD[]> m_pixels;
    LONG m_width = 0;
    LONG m_height = 0;
};

} // namespace

namespace tx::skin
{

HRESULT CreatePictureSurface(LONG width, LONG height, const DWORD *pixels, LONG stride,
                             IPictureSurface **surface) noexcept
{
    if (!surface)
        return E_POINTER;
    *surface = nullptr;
    tx::ComPtr<CPictureSurface> object = tx::MakeComObject<CPictureSurface>();
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->Init(width, height);
    if (FAILED(hr))
        return hr;
    if (pixels)
    {
        if (stride < width)
            return E_INVALIDARG;
        for (LONG row = 0; row < height; ++row)
            std::memcpy(object->Pixels() + static_cast<size_t>(row) * width,
                        pixels + static_cast<size_t>(row) * static_cast<size_t>(stride), width * sizeof(DWORD));
    }
    *surface = object.Detach();
    return S_OK;
}

HRESULT LoadPictureSurface(const wchar_t *path, IPictureSurface **surface) noexcept
{
    if (!path || !surface)
        return E_POINTER;
    *surface = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(path));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return E_FAIL;
    const LONG width = static_cast<LONG>(bitmap->GetWidth());
    const LONG height = static_cast<LONG>(bitmap->GetHeight());
    tx::ComPtr<CPictureSurface> object = tx::MakeComObject<CPictureSurface>();
    if (!object)
        return E_OUTOFMEMORY;
    HRESULT hr = object->Init(width, height);
    if (FAILED(hr))
        return hr;
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = object->Pixels();
    Gdiplus::Rect rect(0, 0, width, height);
    if (bitmap->LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                         &data) != Gdiplus::Ok)
        return E_FAIL;
    bitmap->UnlockBits(&data);
    *surface = object.Detach();
    return S_OK;
}

} // namespace tx::skin

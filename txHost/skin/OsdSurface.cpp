#include "txHost/skin/OsdSurface.h"

#include "comkit/HResult.h"

HRESULT COsdSurface::Create(HDC referenceDc, LONG width, LONG height) noexcept
{
    // 32 bits per pixel and a row count that keeps width x height x 4 inside 32 bits.
    if (m_dc || width < 1 || height < 1 || width > 8192 || height > 8192)
        return E_INVALIDARG;
    tx::UniqueMemoryDc dc(::CreateCompatibleDC(referenceDc));
    if (!dc)
        return tx::HResultFromLastError();

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    tx::UniqueBitmap bitmap(::CreateDIBSection(referenceDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return tx::HResultFromLastError();

    m_previousBitmap = ::SelectObject(dc.Get(), bitmap.Get());
    ::SetMapMode(dc.Get(), MM_TEXT);
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::IntersectClipRect(dc.Get(), 0, 0, width, height);
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_bits = static_cast<uint32_t *>(bits);
    return S_OK;
}

void COsdSurface::Destroy() noexcept
{
    if (m_dc && m_previousBitmap)
        ::SelectObject(m_dc.Get(), m_previousBitmap);
    m_previousBitmap = nullptr;
    m_bits = nullptr;
    m_bitmap.Reset();
    m_dc.Reset();
}

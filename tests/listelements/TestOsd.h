#pragma once
// A small IOsd over two top-down DIBs of our own: the scratch bitmap that elements draw
// into and the target that CopyFromScratch fills, with a palette that can be made full.
// Follows the documented contract of IOsd (index mode, colour mode, key skipping).
#include "txHost/skin/OsdInterfaces.h"

#include <windows.h>

#include <vector>

namespace tx::test
{

class TestOsd final : public IOsd
{
  public:
    struct Transform
    {
        IUnknown *source;
        LONG x, y, width, height, a, b;
    };

    TestOsd(LONG width, LONG height) : m_width(width), m_height(height), m_target(size_t(width) * height, 0xFF000000)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down: y from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&m_scratch), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        m_palette.push_back(0xFF000000); // index 0: transparent
    }
    ~TestOsd()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    TestOsd(const TestOsd &) = delete;
    TestOsd &operator=(const TestOsd &) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IOsd))
        {
            *ppv = static_cast<IOsd *>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        return 2;
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        return 1;
    }
    STDMETHODIMP GetPaletteIndex(DWORD colour, BYTE *index) override
    {
        for (size_t i = 0; i < m_palette.size(); ++i)
        {
            if (m_palette[i] == colour)
            {
                *index = static_cast<BYTE>(i);
                return S_OK;
            }
        }
        if (m_palette.size() >= paletteLimit)
            return E_UNEXPECTED;
        m_palette.push_back(colour);
        *index = static_cast<BYTE>(m_palette.size() - 1);
        return S_OK;
    }
    STDMETHODIMP GetTargetBits(DWORD **bits) override
    {
        *bits = m_target.data();
        return S_OK;
    }
    STDMETHODIMP GetSize(LONG *width, LONG *height) override
    {
        *width = m_width;
        *height = m_height;
        return S_OK;
    }
    STDMETHODIMP GetTargetDC(HDC *dc) override
    {
        *dc = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetScratchDC(HDC *dc) override
    {
        *dc = m_dc;
        return S_OK;
    }
    STDMETHODIMP CopyFromScratch(LONG x, LONG y, LONG width, LONG height, BOOL indexMode, BOOL, BOOL useKey,
                                 DWORD key) override
    {
        ::GdiFlush();
        ++copies;
        for (LONG row = std::max<LONG>(y, 0); row < std::min<LONG>(y + height, m_height); ++row)
        {
            for (LONG col = std::max<LONG>(x, 0); col < std::min<LONG>(x + width, m_width); ++col)
            {
                DWORD p = m_scratch[size_t(row) * m_width + col];
                if (useKey && p == key)
                    continue;
                m_target[size_t(row) * m_width + col] = indexMode ? (p | 0xFF000000) : (p & 0x00FFFFFF);
            }
        }
        return S_OK;
    }
    STDMETHODIMP GetFactor(double *factor) override
    {
        *factor = 1.0;
        return S_OK;
    }
    STDMETHODIMP RunTransform(IUnknown *source, LONG x, LONG y, LONG width, LONG height, LONG a, LONG b) override
    {
        transforms.push_back({source, x, y, width, height, a, b});
        return S_OK;
    }

    DWORD Target(LONG x, LONG y) const
    {
        return m_target[size_t(y) * m_width + x];
    }
    // The palette index of an index pixel of the target, -1 for a colour pixel.
    int TargetIndex(LONG x, LONG y) const
    {
        DWORD p = Target(x, y);
        return (p & 0x80000000) ? int(p & 0xFF) : -1;
    }
    // The palette index of a skin colour (0xAABBGGRR), -1 when the palette lacks it.
    int IndexOfSkinColour(DWORD colour) const
    {
        DWORD argb = (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
        for (size_t i = 0; i < m_palette.size(); ++i)
            if (m_palette[i] == argb)
                return int(i);
        return -1;
    }

    size_t paletteLimit = 256;
    int copies = 0;
    std::vector<Transform> transforms;

  private:
    LONG m_width;
    LONG m_height;
    std::vector<DWORD> m_target;
    std::vector<DWORD> m_palette;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD *m_scratch = nullptr;
};

} // namespace tx::test

// The font and image caches of the loaded skin.
#include "txHost/skin/SkinCaches.h"

#include "comkit/HResult.h"

namespace tx::skin
{

HFONT SkinFontCache::GetFont(const SkinStyle &style) noexcept
{
    for (const Entry &entry : m_entries)
    {
        const SkinStyle &s = entry.style;
        if (s.face == style.face && s.width == style.width && s.height == style.height && s.weight == style.weight &&
            s.italic == style.italic && s.decoration == style.decoration && s.effect == style.effect)
            return entry.font;
    }
    HFONT font =
        ::CreateFontW(-::MulDiv(style.height, 96, 72), -::MulDiv(style.width, 96, 72), 0, 0, style.weight,
                      style.italic ? TRUE : FALSE, style.decoration == 2, style.decoration == 1, DEFAULT_CHARSET,
                      OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, style.face.c_str());
    if (!font)
    {
        tx::LogFailure(E_FAIL, L"Failed to create a skin font");
        return nullptr;
    }
    // Selecting the font once makes GDI realise it now rather than in the first drawing.
    if (HDC screen = ::GetDC(nullptr))
    {
        HGDIOBJ old = ::SelectObject(screen, font);
        ::SelectObject(screen, old);
        ::ReleaseDC(nullptr, screen);
    }
    try
    {
        m_entries.push_back(Entry{font, style});
    }
    catch (...)
    {
        ::DeleteObject(font);
        return nullptr;
    }
    return font;
}

void SkinFontCache::Clear() noexcept
{
    for (const Entry &entry : m_entries)
        ::DeleteObject(entry.font);
    m_entries.clear();
}

HRESULT SkinImageCache::SetFolder(const wchar_t *folder) noexcept
{
    try
    {
        m_folder = folder ? folder : L"";
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    m_entries.clear();
    return S_OK;
}

HRESULT SkinImageCache::GetImage(const wchar_t *name, IPictureSurface **surface) noexcept
{
    if (!surface || !name)
        return E_POINTER;
    *surface = nullptr;
    for (const Entry &entry : m_entries)
    {
        if (entry.name == name)
        {
            *surface = entry.surface.Get();
            (*surface)->AddRef();
            return S_OK;
        }
    }
    try
    {
        SkinString path = m_folder + L"\\" + name;
        tx::ComPtr<IPictureSurface> loaded;
        HRESULT hr = m_loader(path.c_str(), loaded.GetAddressOf());
        if (FAILED(hr))
        {
            tx::LogFailure(hr, L"Failed to load a skin image");
            return hr;
        }
        m_entries.push_back(Entry{name, loaded});
        *surface = loaded.Detach();
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

} // namespace tx::skin

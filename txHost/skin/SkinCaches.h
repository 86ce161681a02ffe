#pragma once
// The skin-wide caches that elements resolve their styles and image names against. Both
// belong to the skin manager, live as long as the loaded skin and are emptied with it.
// Thread: the skin manager's callers, under the skin lock.
#include "comkit/ComPtr.h"
#include "txHost/skin/PictureSurface.h"
#include "txHost/skin/SkinAttributes.h"

#include <windows.h>

#include <vector>

namespace tx::skin
{

// GDI fonts by style. Two styles share a font when face (exact), width, height, weight,
// italic, decoration and effect are equal; colours are not part of the key.
class SkinFontCache
{
  public:
    SkinFontCache() noexcept = default;
    ~SkinFontCache()
    {
        Clear();
    }
    SkinFontCache(const SkinFontCache &) = delete;
    SkinFontCache &operator=(const SkinFontCache &) = delete;

    // The font of style, created on a miss (sizes in points at 96 dpi, antialiased,
    // realised once in a screen DC). The cache owns it: callers keep the handle without
    // deleting it, no longer than the cache lives. Null when the font or the cache entry
    // cannot be made.
    HFONT GetFont(const SkinStyle &style) noexcept;
    // Deletes every font.
    void Clear() noexcept;
    size_t Count() const noexcept
    {
        return m_entries.size();
    }

  private:
    struct Entry
    {
        HFONT font;
        SkinStyle style;
    };
    std::vector<Entry> m_entries;
};

// Decoded pictures by image name, loaded from the skin folder.
class SkinImageCache
{
  public:
    // Loads a picture file (a seam for tests; LoadPictureSurface by default).
    using Loader = HRESULT (*)(const wchar_t *path, IPictureSurface **surface) noexcept;

    SkinImageCache() noexcept = default;
    SkinImageCache(const SkinImageCache &) = delete;
    SkinImageCache &operator=(const SkinImageCache &) = delete;

    // The folder the names are relative to (the skin folder); empties the cache.
    HRESULT SetFolder(const wchar_t *folder) noexcept;
    void SetLoader(Loader loader) noexcept
    {
        m_loader = loader ? loader : &LoadPictureSurface;
    }
    // The surface of the image name (exact match), loaded from folder\name on a miss.
    // *surface gets a reference. A failed load returns its error and caches nothing.
    HRESULT GetImage(const wchar_t *name, IPictureSurface **surface) noexcept;
    void Clear() noexcept
    {
        m_entries.clear();
    }
    size_t Count() const noexcept
    {
        return m_entries.size();
    }

  private:
    struct Entry
    {
        SkinString name;
        tx::ComPtr<IPictureSurface> surface;
    };
    SkinString m_folder;
    std::vector<Entry> m_entries;
    Loader m_loader = &LoadPictureSurface;
};

} // namespace tx::skin

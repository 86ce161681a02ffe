#pragma once
// CSkinPage: one page of the skin: its root group, its name, behaviour (the controller's
// name) and background picture name, the page controller and the bound background
// picture. Owned by the skin manager from loading until the skin is freed.
#include "comkit/ComPtr.h"
#include "txHost/skin/PictureSurface.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinGroup.h"
#include "txHost/skin/SkinManagerInterfaces.h"

class CSkinPage
{
  public:
    CSkinPage() noexcept = default;
    virtual ~CSkinPage();
    CSkinPage(const CSkinPage &) = delete;
    CSkinPage &operator=(const CSkinPage &) = delete;

    // Creates the root group. E_OUTOFMEMORY.
    HRESULT Initialize() noexcept;

    CSkinGroup *Root() const noexcept
    {
        return m_root;
    }
    ISkinElement *RootElement() const noexcept
    {
        return m_rootElement.Get();
    }
    IPage *Controller() const noexcept
    {
        return controller.Get();
    }
    IPictureSurface *Picture() const noexcept
    {
        return m_picture.Get();
    }

    // Binds the page to the started skin: page size and owner on the root, the background
    // picture (the page's image, else defaultImage), then Attach, ResolveResources and
    // Relayout by layoutHeight - 480 on the root. The first failure is returned.
    HRESULT Bind(IOsd *osd, ISkinStringTable *strings, const wchar_t *defaultImage, tx::skin::SkinFontCache *fonts,
                 tx::skin::SkinImageCache *images, LONG width, LONG height, LONG layoutHeight) noexcept;

    HRESULT FindElement(const wchar_t *id, ISkinElement **element) noexcept;
    HRESULT SetFocusById(const wchar_t *id) noexcept
    {
        return m_root->SetFocusById(id);
    }
    void MoveFocus(LONG direction) noexcept
    {
        m_root->MoveFocusInPage(direction);
    }
    HRESULT RegisterMenuFilters(IHostCollection *collection) noexcept
    {
        return m_root->RegisterMenuFilters(collection);
    }

    tx::skin::SkinString name;
    tx::skin::SkinString behavior;
    tx::skin::SkinString image;
    tx::ComPtr<IPage> controller;

  private:
    tx::ComPtr<ISkinElement> m_rootElement; // keeps m_root alive
    CSkinGroup *m_root = nullptr;
    tx::ComPtr<IPictureSurface> m_picture;
};

// Skins are laid out for this many lines; other layout heights move elements by the
// difference.
inline constexpr LONG SkinTemplateHeight = 480;

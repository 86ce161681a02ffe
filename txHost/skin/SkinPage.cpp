#include "txHost/skin/SkinPage.h"

#include "comkit/HResult.h"
#include "txHost/skin/SkinCreators.h"

CSkinPage::~CSkinPage()
{
    // The controller goes first: it may still look at the page's elements while it closes.
    controller.Reset();
    m_picture.Reset();
    if (m_root)
        m_root->SetPage(nullptr, 0, 0);
    m_root = nullptr;
    m_rootElement.Reset();
}

HRESULT CSkinPage::Initialize() noexcept
{
    HRESULT hr = CreateSkinElementWithObject<CSkinGroup>(m_rootElement.GetAddressOf(), &m_root);
    TX_RETURN_IF_FAILED(hr, L"Failed to create page root");
    return S_OK;
}

HRESULT CSkinPage::Bind(IOsd *osd, ISkinStringTable *strings, const wchar_t *defaultImage,
                        tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images, LONG width, LONG height,
                        LONG layoutHeight) noexcept
{
    m_root->SetPage(this, width, height);
    m_picture.Reset();
    const wchar_t *pictureName = !image.empty() ? image.c_str() : defaultImage;
    if (pictureName && *pictureName && images)
    {
        // A page without its picture still works; the missing file is logged.
        HRESULT hr = images->GetImage(pictureName, m_picture.GetAddressOf());
        if (FAILED(hr))
            tx::LogFailure(hr, L"Failed to load page background picture");
    }
    HRESULT hr = m_root->Attach(strings, reinterpret_cast<LONG_PTR>(osd));
    TX_RETURN_IF_FAILED(hr, L"Failed to attach page elements");
    hr = m_root->ResolveResources(osd, fonts, images);
    TX_RETURN_IF_FAILED(hr, L"Failed to resolve page resources");
    hr = m_root->Relayout(layoutHeight - SkinTemplateHeight);
    TX_RETURN_IF_FAILED(hr, L"Failed to lay out page");
    return S_OK;
}

HRESULT CSkinPage::FindElement(const wchar_t *id, ISkinElement **element) noexcept
{
    return FindSkinElementById(m_root, id, element);
}

// The shared part of every skin element object: reference counting, the interface map,
// the base operations, the repeat lock, and lookup by id.
#include "txHost/skin/SkinElement.h"

#include "comkit/HResult.h"
#include "comkit/Module.h"
#include "txHost/core/AppMessages.h"
#include "txHost/skin/OsdThread.h"

#include <atomic>

namespace
{

DWORD DefaultTickSource() noexcept
{
    return ::GetTickCount();
}

std::atomic<SkinTickSource> g_tickSource{&DefaultTickSource};

HRESULT CopyToBstr(const tx::skin::SkinString &text, BSTR *out)
{
    BSTR copy = ::SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    if (!copy)
        return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

} // namespace

void SetSkinTickSource(SkinTickSource source) noexcept
{
    g_tickSource = source ? source : &DefaultTickSource;
}

DWORD SkinTickCount() noexcept
{
    return g_tickSource.load()();
}

CSkinElement::CSkinElement() noexcept
{
    tx::module::AddRef();
}

CSkinElement::~CSkinElement()
{
    tx::module::Release();
}

ULONG CSkinElement::AddRef() noexcept
{
    return ++m_refCount;
}

ULONG CSkinElement::Release() noexcept
{
    ULONG count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

HRESULT CSkinElement::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(ISkinElement))
        *ppv = ElementFace();
    else if (riid == __uuidof(ISkinResolve))
        *ppv = &m_resolveFace;
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CSkinElement::Reserved(LONG_PTR)
{
    return E_NOTIMPL;
}

HRESULT CSkinElement::Draw(IOsd *)
{
    return E_NOTIMPL;
}

HRESULT CSkinElement::Clone(ISkinElement **)
{
    return E_NOTIMPL;
}

HRESULT CSkinElement::SetVisible(BOOL value)
{
    visible = value;
    return S_OK;
}

HRESULT CSkinElement::GetVisible(BOOL *value)
{
    if (!value)
        return E_POINTER;
    *value = visible;
    return S_OK;
}

HRESULT CSkinElement::Attach(IUnknown *, LONG_PTR)
{
    return S_OK;
}

HRESULT CSkinElement::Relayout(LONG)
{
    return S_OK;
}

HRESULT CSkinElement::GetId(BSTR *out)
{
    if (!out)
        return E_POINTER;
    return CopyToBstr(id, out);
}

HRESULT CSkinElement::Animate(BOOL *)
{
    return S_OK;
}

HRESULT CSkinElement::ResetAnimation()
{
    return S_OK;
}

HRESULT CSkinElement::ReleaseResources()
{
    return S_OK;
}

HRESULT CSkinElement::CopyAttributesTo(CSkinElement *target)
{
    if (!target)
        return E_POINTER;
    target->resize = resize;
    target->id = id; // may throw bad_alloc; the face turns it into E_OUTOFMEMORY
    return S_OK;
}

HRESULT CSkinElement::AddChild(ISkinElement *, CSkinElement *)
{
    return E_NOTIMPL;
}

HRESULT CSkinElement::ResolveResources(IOsd *, tx::skin::SkinFontCache *, tx::skin::SkinImageCache *)
{
    return S_OK;
}

bool CSkinElement::IsRepeatAllowed() noexcept
{
    return m_repeat.Allow(SkinTickCount());
}

void CSkinElement::MarkActivated() noexcept
{
    m_repeat.Mark(SkinTickCount());
}

HRESULT CSkinElement::ResolveFaceImpl::GetElement(CSkinElement **element)
{
    if (!element)
        return E_POINTER;
    *element = m_owner;
    return S_OK;
}

HRESULT CSkinElement::ResolveFaceImpl::AddChild(ISkinElement *child, CSkinElement *childObject)
{
    return SkinGuard([&] { return m_owner->AddChild(child, childObject); });
}

HRESULT CSkinElement::ResolveFaceImpl::ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts,
                                                        tx::skin::SkinImageCache *images)
{
    return SkinGuard([&] { return m_owner->ResolveResources(osd, fonts, images); });
}

// ---- CSkinControlElement ----

HRESULT CSkinControlElement::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (ppv && riid == __uuidof(ISkinControl))
    {
        *ppv = &m_controlFace;
        AddRef();
        return S_OK;
    }
    return CSkinElement::QueryFace(riid, ppv);
}

HRESULT CSkinControlElement::GetFocusRect(LONG *, LONG *, LONG *, LONG *)
{
    return S_FALSE;
}

HRESULT CSkinControlElement::SetFocus(LONG, LONG, LONG)
{
    return S_FALSE;
}

HRESULT CSkinControlElement::GetCenter(LONG *, LONG *)
{
    return S_OK;
}

HRESULT CSkinControlElement::KillFocus()
{
    return S_OK;
}

HRESULT CSkinControlElement::Navigate(LONG, BOOL *)
{
    return S_OK;
}

HRESULT CSkinControlElement::GetCommand(BOOL, BSTR *, LONG *, LONG *, BSTR *, BSTR *)
{
    return E_NOTIMPL;
}

HRESULT CSkinControlElement::JumpToDigit(LONG)
{
    return S_FALSE;
}

HRESULT CSkinControlElement::ControlFaceImpl::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    return SkinGuard([&] { return m_owner->GetFocusRect(x, y, width, height); });
}

HRESULT CSkinControlElement::ControlFaceImpl::SetFocus(LONG direction, LONG x, LONG y)
{
    return SkinGuard([&] { return m_owner->SetFocus(direction, x, y); });
}

HRESULT CSkinControlElement::ControlFaceImpl::GetCenter(LONG *x, LONG *y)
{
    return SkinGuard([&] { return m_owner->GetCenter(x, y); });
}

HRESULT CSkinControlElement::ControlFaceImpl::KillFocus()
{
    return SkinGuard([&] { return m_owner->KillFocus(); });
}

HRESULT CSkinControlElement::ControlFaceImpl::Navigate(LONG direction, BOOL *used)
{
    return SkinGuard([&] { return m_owner->Navigate(direction, used); });
}

HRESULT CSkinControlElement::ControlFaceImpl::GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second,
                                                         BSTR *action, BSTR *data)
{
    return SkinGuard([&] { return m_owner->GetCommand(activate, id, first, second, action, data); });
}

HRESULT CSkinControlElement::ControlFaceImpl::MarkActivated()
{
    m_owner->MarkActivated();
    return S_OK;
}

HRESULT CSkinControlElement::ControlFaceImpl::JumpToDigit(LONG digit)
{
    return SkinGuard([&] { return m_owner->JumpToDigit(digit); });
}

// ---- lookup and helpers ----

namespace
{

CSkinElement *FindInGroup(CSkinElement *group, const wchar_t *id) noexcept
{
    if (group->id == id)
        return group;
    ULONG count = group->GroupChildCount();
    for (ULONG i = 0; i < count; ++i)
    {
        CSkinElement *child = group->GroupChild(i);
        if (!child)
            continue;
        if (child->id == id)
            return child;
        if (child->GroupChildCount() > 0)
            if (CSkinElement *found = FindInGroup(child, id))
                return found;
    }
    return nullptr;
}

} // namespace

HRESULT FindSkinElementById(CSkinElement *group, const wchar_t *id, ISkinElement **element) noexcept
{
    if (!element || !group)
        return E_POINTER;
    CSkinElement *found = FindInGroup(group, id ? id : L"");
    if (!found)
        return E_FAIL;
    *element = found->ElementFace();
    (*element)->AddRef();
    return S_OK;
}

int CompareSkinStrings(const wchar_t *a, const wchar_t *b) noexcept
{
    bool aEmpty = !a || !*a;
    bool bEmpty = !b || !*b;
    if (aEmpty || bEmpty)
        return aEmpty == bEmpty ? 0 : (aEmpty ? -1 : 1);
    int result = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1);
    return result == CSTR_LESS_THAN ? -1 : result == CSTR_GREATER_THAN ? 1 : 0;
}

HBITMAP RequestThumbnail(const wchar_t *path, LONG width, LONG height) noexcept
{
    HWND window = COsdThread::ThumbnailWindow();
    if (!window)
        return nullptr;
    ThumbnailRequest request{nullptr, path, width, height};
    ::SendMessageW(window, tx::host::APPMSG_EXTRACT_THUMBNAIL, 0, reinterpret_cast<LPARAM>(&request));
    return request.result;
}

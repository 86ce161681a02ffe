#pragma once
// CSkinElement: what every skin element class shares. One reference-counted COM object per
// element (interlocked count, starting at 0 on creation; each live object holds the module
// lock) with the faces ISkinElement (or the class interface derived from it) and
// ISkinResolve; CSkinControlElement adds ISkinControl for elements that take the focus.
//
// The faces forward to the virtual operations below. The operations may throw
// std::bad_alloc when a string cannot be copied; the faces catch it and return
// E_OUTOFMEMORY, so no exception crosses a COM interface.
//
// An element class derives from CSkinElement (or CSkinControlElement), overrides the
// operations it has, answers its own interfaces in QueryFace (then chains to the base),
// and is created through the templates of SkinCreators.h.
#include "comkit/ComPtr.h"
#include "txHost/skin/SkinAttributes.h"
#include "txHost/skin/SkinInterfaces.h"

#include <windows.h>

#include <atomic>
#include <new>

// Runs an operation for a COM face: bad_alloc becomes E_OUTOFMEMORY, anything else E_FAIL.
template <class F> HRESULT SkinGuard(F &&operation) noexcept
{
    try
    {
        return operation();
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
    catch (...)
    {
        return E_FAIL;
    }
}

class CSkinElement;

// The ISkinElement slots 3-13 of a face (I is ISkinElement or a class interface derived
// from it), forwarding to the owner's operations. Class faces derive from this and add
// their own slots.
template <class I> class SkinElementFace : public I
{
  public:
    explicit SkinElementFace(CSkinElement *owner) noexcept : m_owner(owner)
    {
    }
    SkinElementFace(const SkinElementFace &) = delete;
    SkinElementFace &operator=(const SkinElementFace &) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Reserved(LONG_PTR value) override;
    STDMETHODIMP Draw(IOsd *osd) override;
    STDMETHODIMP SetVisible(BOOL visible) override;
    STDMETHODIMP GetVisible(BOOL *visible) override;
    STDMETHODIMP Clone(ISkinElement **clone) override;
    STDMETHODIMP Attach(IUnknown *source, LONG_PTR value) override;
    STDMETHODIMP Relayout(LONG delta) override;
    STDMETHODIMP GetId(BSTR *id) override;
    STDMETHODIMP Animate(BOOL *redraw) override;
    STDMETHODIMP ResetAnimation() override;
    STDMETHODIMP ReleaseResources() override;

  protected:
    CSkinElement *Owner() const noexcept
    {
        return m_owner;
    }

  private:
    CSkinElement *m_owner;
};

class CSkinElement
{
  public:
    CSkinElement(const CSkinElement &) = delete;
    CSkinElement &operator=(const CSkinElement &) = delete;

    // Reference counting of the object (all faces share it). The release that reaches 0
    // deletes the object.
    ULONG AddRef() noexcept;
    ULONG Release() noexcept;
    // The class's interface map: IUnknown and ISkinElement give ElementFace(),
    // ISkinResolve the resolve face; E_NOINTERFACE (and null) otherwise. Overrides answer
    // their own interfaces and chain here.
    virtual HRESULT QueryFace(REFIID riid, void **ppv) noexcept;
    // The face that answers ISkinElement (a class face when the class has one). No reference.
    virtual ISkinElement *ElementFace() noexcept
    {
        return &m_elementFace;
    }
    ISkinResolve *ResolveFace() noexcept
    {
        return &m_resolveFace;
    }

    // The operations (see ISkinElement for their meaning). Base behaviour: Reserved, Draw
    // and Clone E_NOTIMPL; Attach, Relayout, Animate, ResetAnimation, ReleaseResources S_OK
    // doing nothing.
    virtual HRESULT Reserved(LONG_PTR value);
    virtual HRESULT Draw(IOsd *osd);
    virtual HRESULT Clone(ISkinElement **clone);
    virtual HRESULT SetVisible(BOOL visible);
    virtual HRESULT GetVisible(BOOL *visible);
    virtual HRESULT Attach(IUnknown *source, LONG_PTR value);
    virtual HRESULT Relayout(LONG delta);
    virtual HRESULT GetId(BSTR *id);
    virtual HRESULT Animate(BOOL *redraw);
    virtual HRESULT ResetAnimation();
    virtual HRESULT ReleaseResources();
    // Copies the attribute fields into target, an element of the same class (strings
    // deep-copied; not the visible flag or run-time state). The base copies resize and id;
    // overrides copy their own fields and chain here.
    virtual HRESULT CopyAttributesTo(CSkinElement *target);

    // ISkinResolve slots 4 and 5: E_NOTIMPL and S_OK.
    virtual HRESULT AddChild(ISkinElement *child, CSkinElement *childObject);
    virtual HRESULT ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images);

    // Children that FindSkinElementById searches (groups and page roots only).
    virtual ULONG GroupChildCount() const noexcept
    {
        return 0;
    }
    virtual CSkinElement *GroupChild(ULONG index) noexcept
    {
        (void)index;
        return nullptr;
    }

    // The 500 ms repeat lock (see SkinRepeatLock): IsRepeatAllowed tests and restarts it,
    // MarkActivated only restarts it. Ticks come from the skin tick source.
    bool IsRepeatAllowed() noexcept;
    void MarkActivated() noexcept;

    // Attribute fields shared by all classes (filled by the skin loader's tables).
    int32_t resize = tx::skin::SKIN_RESIZE_NONE;
    tx::skin::SkinString id;
    BOOL visible = TRUE;

  protected:
    CSkinElement() noexcept;
    virtual ~CSkinElement();

  private:
    class ResolveFaceImpl final : public ISkinResolve
    {
      public:
        explicit ResolveFaceImpl(CSkinElement *owner) noexcept : m_owner(owner)
        {
        }
        STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
        {
            return m_owner->QueryFace(riid, ppv);
        }
        STDMETHODIMP_(ULONG) AddRef() override
        {
            return m_owner->AddRef();
        }
        STDMETHODIMP_(ULONG) Release() override
        {
            return m_owner->Release();
        }
        STDMETHODIMP GetElement(CSkinElement **element) override;
        STDMETHODIMP AddChild(ISkinElement *child, CSkinElement *childObject) override;
        STDMETHODIMP ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts,
                                      tx::skin::SkinImageCache *images) override;

      private:
        CSkinElement *m_owner;
    };

    tx::skin::SkinRepeatLock m_repeat;
    std::atomic<ULONG> m_refCount{0};
    ResolveFaceImpl m_resolveFace{this};
    SkinElementFace<ISkinElement> m_elementFace{this};
};

// Elements that take the input focus: adds the ISkinControl face. Base behaviour: no focus
// (GetFocusRect and SetFocus S_FALSE), GetCenter, KillFocus and Navigate S_OK doing
// nothing, GetCommand E_NOTIMPL, JumpToDigit S_FALSE.
class CSkinControlElement : public CSkinElement
{
  public:
    HRESULT QueryFace(REFIID riid, void **ppv) noexcept override;
    ISkinControl *ControlFace() noexcept
    {
        return &m_controlFace;
    }

    virtual HRESULT GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height);
    virtual HRESULT SetFocus(LONG direction, LONG x, LONG y);
    virtual HRESULT GetCenter(LONG *x, LONG *y);
    virtual HRESULT KillFocus();
    virtual HRESULT Navigate(LONG direction, BOOL *used);
    virtual HRESULT GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data);
    virtual HRESULT JumpToDigit(LONG digit);

  protected:
    CSkinControlElement() noexcept = default;

  private:
    class ControlFaceImpl final : public ISkinControl
    {
      public:
        explicit ControlFaceImpl(CSkinControlElement *owner) noexcept : m_owner(owner)
        {
        }
        STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
        {
            return m_owner->QueryFace(riid, ppv);
        }
        STDMETHODIMP_(ULONG) AddRef() override
        {
            return m_owner->AddRef();
        }
        STDMETHODIMP_(ULONG) Release() override
        {
            return m_owner->Release();
        }
        STDMETHODIMP GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height) override;
        STDMETHODIMP SetFocus(LONG direction, LONG x, LONG y) override;
        STDMETHODIMP GetCenter(LONG *x, LONG *y) override;
        STDMETHODIMP KillFocus() override;
        STDMETHODIMP Navigate(LONG direction, BOOL *used) override;
        STDMETHODIMP GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data) override;
        STDMETHODIMP MarkActivated() override;
        STDMETHODIMP JumpToDigit(LONG digit) override;

      private:
        CSkinControlElement *m_owner;
    };

    ControlFaceImpl m_controlFace{this};
};

// The clock of the repeat lock: GetTickCount unless a test installs its own (null restores it).
using SkinTickSource = DWORD (*)() noexcept;
void SetSkinTickSource(SkinTickSource source) noexcept;
DWORD SkinTickCount() noexcept;

// Depth-first search from group (a group or page root) for the element whose id equals
// id exactly: the group itself, then each child in order, a child group searched before
// the next child. *element gets a new reference. E_FAIL when none matches; E_POINTER.
HRESULT FindSkinElementById(CSkinElement *group, const wchar_t *id, ISkinElement **element) noexcept;

// -1, 0 or 1: case-insensitive in the user's locale; null and empty sort before the rest.
int CompareSkinStrings(const wchar_t *a, const wchar_t *b) noexcept;

// A thumbnail of the file at path from the OSD thread's thumbnail window, or null (also
// when the window does not exist). The caller owns the bitmap.
HBITMAP RequestThumbnail(const wchar_t *path, LONG width, LONG height) noexcept;

// ---- SkinElementFace members (template) ----
template <class I> HRESULT SkinElementFace<I>::QueryInterface(REFIID riid, void **ppv)
{
    return m_owner->QueryFace(riid, ppv);
}
template <class I> ULONG SkinElementFace<I>::AddRef()
{
    return m_owner->AddRef();
}
template <class I> ULONG SkinElementFace<I>::Release()
{
    return m_owner->Release();
}
template <class I> HRESULT SkinElementFace<I>::Reserved(LONG_PTR value)
{
    return SkinGuard([&] { return m_owner->Reserved(value); });
}
template <class I> HRESULT SkinElementFace<I>::Draw(IOsd *osd)
{
    return SkinGuard([&] { return m_owner->Draw(osd); });
}
template <class I> HRESULT SkinElementFace<I>::SetVisible(BOOL visible)
{
    return SkinGuard([&] { return m_owner->SetVisible(visible); });
}
template <class I> HRESULT SkinElementFace<I>::GetVisible(BOOL *visible)
{
    return SkinGuard([&] { return m_owner->GetVisible(visible); });
}
template <class I> HRESULT SkinElementFace<I>::Clone(ISkinElement **clone)
{
    return SkinGuard([&] { return m_owner->Clone(clone); });
}
template <class I> HRESULT SkinElementFace<I>::Attach(IUnknown *source, LONG_PTR value)
{
    return SkinGuard([&] { return m_owner->Attach(source, value); });
}
template <class I> HRESULT SkinElementFace<I>::Relayout(LONG delta)
{
    return SkinGuard([&] { return m_owner->Relayout(delta); });
}
template <class I> HRESULT SkinElementFace<I>::GetId(BSTR *id)
{
    return SkinGuard([&] { return m_owner->GetId(id); });
}
template <class I> HRESULT SkinElementFace<I>::Animate(BOOL *redraw)
{
    return SkinGuard([&] { return m_owner->Animate(redraw); });
}
template <class I> HRESULT SkinElementFace<I>::ResetAnimation()
{
    return SkinGuard([&] { return m_owner->ResetAnimation(); });
}
template <class I> HRESULT SkinElementFace<I>::ReleaseResources()
{
    return SkinGuard([&] { return m_owner->ReleaseResources(); });
}

#pragma once
// A class factory for one object class, for in-process servers and for classes that
// the program registers with CoRegisterClassObject.
#include "comkit/ComObject.h"

namespace tx
{

using CreateInstanceFn = HRESULT (*)(REFIID riid, void **ppv);

class ClassFactory final : public ComObject<ClassFactory, IClassFactory>
{
  public:
    explicit ClassFactory(CreateInstanceFn create) noexcept : m_create(create)
    {
    }

    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return m_create(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            module::AddRef();
        else
            module::Release();
        return S_OK;
    }

  private:
    CreateInstanceFn m_create;
};

// Hands out a factory for T through DllGetClassObject.
template <class T> HRESULT GetClassFactory(REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<ClassFactory> factory = MakeComObject<ClassFactory>(&CreateComObject<T>);
    if (!factory)
        return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
}

} // namespace tx

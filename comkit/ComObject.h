#pragma once
// Objects with several interfaces and one reference count.
//
//   class CThing : public tx::ComObject<CThing, IFoo, IBar> { ... };
//   tx::ComPtr<CThing> thing = tx::MakeComObject<CThing>(args...);   // null when out of memory
//
// QueryInterface answers IUnknown and every listed interface (by __uuidof); a class
// that also answers a base interface of one of them (IPersist under IPersistStream)
// overrides QueryInterfaceExtra. Every live object holds the module lock count.
#include "comkit/ComPtr.h"
#include "comkit/Module.h"

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <new>
#include <utility>

namespace tx
{

template <class Derived, class First, class... Rest> class ComObject : public First, public Rest...
{
  public:
    ComObject() noexcept
    {
        module::AddRef();
    }
    virtual ~ComObject()
    {
        module::Release();
    }
    ComObject(const ComObject &) = delete;
    ComObject &operator=(const ComObject &) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == __uuidof(IUnknown))
            *ppv = static_cast<IUnknown *>(static_cast<First *>(this));
        else if (!FindInterface<First, Rest...>(riid, ppv))
        {
            HRESULT hr = static_cast<Derived *>(this)->QueryInterfaceExtra(riid, ppv);
            if (FAILED(hr))
                return hr;
        }
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        return ++m_refCount;
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG count = --m_refCount;
        if (count == 0)
            delete static_cast<Derived *>(this);
        return count;
    }

    // Hook for interfaces not in the template list. Sets *ppv (without AddRef) and
    // returns S_OK, or returns E_NOINTERFACE.
    HRESULT QueryInterfaceExtra(REFIID, void **) noexcept
    {
        return E_NOINTERFACE;
    }

    // The unknown of the object's identity.
    IUnknown *GetUnknown() noexcept
    {
        return static_cast<IUnknown *>(static_cast<First *>(this));
    }

  private:
    template <class I, class... More> bool FindInterface(REFIID riid, void **ppv) noexcept
    {
        if (riid == __uuidof(I))
        {
            *ppv = static_cast<I *>(this);
            return true;
        }
        if constexpr (sizeof...(More) > 0)
            return FindInterface<More...>(riid, ppv);
        else
            return false;
    }

    std::atomic<ULONG> m_refCount{1};
};

// Creates a COM object with one reference held by the result; null when out of memory.
template <class T, class... Args> ComPtr<T> MakeComObject(Args &&...args) noexcept
{
    ComPtr<T> result;
    T *object = new (std::nothrow) T(std::forward<Args>(args)...);
    if (object)
        result.Attach(object); // takes over the initial reference
    return result;
}

// Creates T and hands out the requested interface, or the failure. T may define
// HRESULT FinalConstruct() for the steps that can fail after construction.
template <class T> HRESULT CreateComObject(REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<T> object = MakeComObject<T>();
    if (!object)
        return E_OUTOFMEMORY;
    if constexpr (requires(T &t) { t.FinalConstruct(); })
    {
        HRESULT hr = object->FinalConstruct();
        if (FAILED(hr))
            return hr;
    }
    return object->QueryInterface(riid, ppv);
}

} // namespace tx

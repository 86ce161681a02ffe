#pragma once
// Creating skin element objects of a class, as the skin loader's tag table and the
// classes' Clone do.
//
//   CreateSkinElementInstance<T>(&object)       the object alone, reference count 0
//   CreateSkinElementWithObject<T>(&e, &object) ISkinElement (one reference) and the object
//   CreateSkinElementForTag<T>(&e)              ISkinElement (one reference): a tag creator
//   CloneSkinElement<T>(source, &e)             a new T carrying source's attributes
#include "txHost/skin/SkinElement.h"

#include <new>

// The creator of a tag in the skin loader's tag table.
using SkinTagCreator = HRESULT (*)(ISkinElement **element) noexcept;

// Allocates and constructs a T (a class derived from CSkinElement). E_POINTER, or
// E_OUTOFMEMORY with *object null when allocation or construction fails.
template <class T> HRESULT CreateSkinElementInstance(T **object) noexcept
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    try
    {
        *object = new (std::nothrow) T();
    }
    catch (...)
    {
        *object = nullptr; // a constructor that could not allocate
    }
    return *object ? S_OK : E_OUTOFMEMORY;
}

// Creates a T and hands out its ISkinElement with one reference, and the object pointer
// (no reference of its own) when object is not null.
template <class T> HRESULT CreateSkinElementWithObject(ISkinElement **element, T **object) noexcept
{
    if (!element)
        return E_POINTER;
    *element = nullptr;
    if (object)
        *object = nullptr;
    T *created = nullptr;
    HRESULT hr = CreateSkinElementInstance(&created);
    if (FAILED(hr))
        return hr;
    // A temporary reference keeps the object alive across the query and frees it when
    // the query fails.
    ISkinResolve *resolve = created->ResolveFace();
    resolve->AddRef();
    hr = resolve->QueryInterface(__uuidof(ISkinElement), reinterpret_cast<void **>(element));
    if (SUCCEEDED(hr) && object)
        *object = created;
    resolve->Release();
    return hr;
}

template <class T> HRESULT CreateSkinElementForTag(ISkinElement **element) noexcept
{
    return CreateSkinElementWithObject<T>(element, nullptr);
}

// A new element of source's class carrying a copy of its attributes. The usual Clone of
// a class: HRESULT Clone(ISkinElement **e) override { return CloneSkinElement(this, e); }
template <class T> HRESULT CloneSkinElement(T *source, ISkinElement **clone)
{
    if (!clone)
        return E_POINTER;
    *clone = nullptr;
    T *object = nullptr;
    tx::ComPtr<ISkinElement> created;
    HRESULT hr = CreateSkinElementWithObject<T>(created.GetAddressOf(), &object);
    if (FAILED(hr))
        return hr;
    hr = source->CopyAttributesTo(object);
    if (FAILED(hr))
        return hr;
    *clone = created.Detach();
    return S_OK;
}

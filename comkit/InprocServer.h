#pragma once
// The four entry points of an in-process COM server, driven by a table of classes.
//
// A server DLL defines its table and forwards its exports:
//   const tx::ServerClass g_classes[] = {{&CLSID_Thing, L"Thing", L"Both", &tx::CreateComObject<CThing>}};
//   STDAPI DllGetClassObject(REFCLSID c, REFIID i, void **p) { return tx::ServerGetClassObject(g_classes, c, i, p); }
// Registration writes HKLM\Software\Classes (HKCR), where Wine's COM looks; classes
// registered only under HKCU\Software\Classes are not found there.
#include "comkit/ClassFactory.h"

#include <span>

namespace tx
{

struct ServerClass
{
    const CLSID *clsid;
    const wchar_t *description;
    const wchar_t *threadingModel; // "Apartment", "Both", "Free"
    CreateInstanceFn create;
};

HRESULT ServerGetClassObject(std::span<const ServerClass> classes, REFCLSID clsid, REFIID riid, void **ppv) noexcept;
HRESULT ServerCanUnloadNow() noexcept;
// Registers each class with InprocServer32 naming the module that holds `anyAddressInModule`.
HRESULT ServerRegister(std::span<const ServerClass> classes, HMODULE module) noexcept;
HRESULT ServerUnregister(std::span<const ServerClass> classes) noexcept;

} // namespace tx

// The sample in-process server of the COM kit tests.
#include <windows.h>
#include <initguid.h>

#include "tests/kit/server/KitSample.h"

#include "comkit/Bstr.h"
#include "comkit/InprocServer.h"

namespace
{
HMODULE g_module = nullptr;

class CKitSample final : public tx::ComObject<CKitSample, IKitSampleCounter, IKitSampleName>
{
  public:
    STDMETHODIMP Add(LONG amount) override
    {
        m_total += amount;
        return S_OK;
    }
    STDMETHODIMP GetTotal(LONG *total) override
    {
        if (!total)
            return E_POINTER;
        *total = m_total;
        return S_OK;
    }
    STDMETHODIMP GetName(BSTR *name) override
    {
        return tx::Bstr(L"Kit sample").CopyTo(name);
    }

  private:
    LONG m_total = 0;
};

const tx::ServerClass g_classes[] = {
    {&CLSID_TxKitSample, L"Tessaronix COM kit sample", L"Both", &tx::CreateComObject<CKitSample>},
};
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void **ppv)
{
    return tx::ServerGetClassObject(g_classes, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return tx::ServerCanUnloadNow();
}

STDAPI DllRegisterServer()
{
    return tx::ServerRegister(g_classes, g_module);
}

STDAPI DllUnregisterServer()
{
    return tx::ServerUnregister(g_classes);
}

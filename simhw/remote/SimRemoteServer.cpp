// txSimRemote.dll: in-process server of the simulated remote-control event source.
#include "simhw/remote/SimRemoteSource.h"

#include "comkit/InprocServer.h"

namespace
{
HMODULE g_module = nullptr;

const tx::ServerClass g_classes[] = {
    {&tx::simhw::kSimRemoteClsid, L"Tessaronix simulated remote control", L"Apartment",
     &tx::CreateComObject<tx::simhw::CSimRemoteSource>},
};
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_module = instance;
        tx::simhw::SetServerModule(instance);
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

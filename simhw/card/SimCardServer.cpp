// txSimCard.dll: in-process server of the simulated decoder card's graph object.
#include "simhw/card/SimCardObjects.h"

#include "comkit/InprocServer.h"

namespace
{
HMODULE g_module = nullptr;

const tx::ServerClass g_classes[] = {
    {&CLSID_ZCardGraph, L"Tessaronix simulated ZIduz card graph", L"Both",
     &tx::CreateComObject<tx::simhw::CSimCardGraph>},
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

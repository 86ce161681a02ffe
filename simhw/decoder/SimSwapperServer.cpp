// rmswap.ax: the in-process server of the simulated card's PCM swapper (simulated).
#include "simhw/decoder/SimSwapperFilter.h"
#include "txHost/playback/DecoderCard.h"

#include "comkit/InprocServer.h"

namespace
{
HMODULE g_module = nullptr;

const tx::ServerClass g_classes[] = {
    {&tx::playback::CLSID_ZiduzPcmSwapper, L"Osterlund Pictavo PCM swapper (simulated)", L"Both",
     &tx::simhw::CSimSwapperFilter::Create},
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

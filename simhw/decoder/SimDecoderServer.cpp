// rmmpeg2.ax: the in-process server of the simulated card's decoder (simulated).
#include "simhw/decoder/SimDecoderFilter.h"

#include "comkit/InprocServer.h"

namespace
{
HMODULE g_module = nullptr;

const tx::ServerClass g_classes[] = {
    {&tx::playback::CLSID_ZiduzDecoder, L"Osterlund Pictavo decoder (simulated)", L"Both",
     &tx::simhw::CSimDecoderFilter::Create},
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

// What the newest live decoder of this process is playing, for the simulated card's
// television picture (found by name through GetProcAddress). S_FALSE: no decoder.
extern "C" HRESULT WINAPI SimDecoderGetPlayingText(BSTR *text)
{
    return tx::simhw::CSimDecoderFilter::GetNewestPlayingText(text);
}

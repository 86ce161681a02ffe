#pragma once
// Creation of every DirectShow filter of the program by class id, in process.
#include <windows.h>

namespace tx::playback
{

// Creates an in-process filter (CoCreateInstance, CLSCTX_INPROC_SERVER |
// CLSCTX_INPROC_HANDLER, no outer object) and returns its HRESULT. module names the
// file that holds the class; the registration decides where it is loaded from, so it
// is only informative. Before the first creation the card vendor's companion module
// is loaded once for the life of the process (LoadCardCompanionModule). On Windows 9x
// the ZIduz decoder is created only after a 50 ms pause, which its driver needs.
// Any thread with COM initialised.
HRESULT CreateFilterInstance(const wchar_t *module, REFCLSID clsid, REFIID riid, void **ppv) noexcept;

// The creation function the graph code calls; tests put a failing one in its place.
using FilterInstanceFactory = HRESULT (*)(const wchar_t *module, REFCLSID clsid, REFIID riid, void **ppv);

// Where the card software keeps its folder: value "Path" of this key below
// HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kCardSoftwareKey[] = L"SOFTWARE\\Osterlund\\Pictavo\\ZuduDOR";
inline constexpr wchar_t kCardCompanionModule[] = L"ZuduDOR.exe";

// Loads the card's companion module from the folder the card software registered, by
// full path. Never by bare name: the search path includes the current folder, where
// anyone could plant a module of that name. Null (and nothing loaded) when the value
// is missing, not an absolute path, or the file is not there. The module is never freed.
HMODULE LoadCardCompanionModule() noexcept;

// Test seam: whether CreateFilterInstance acts as on Windows 9x, and the pause function
// it calls there (null puts back ::Sleep). Not thread-safe; set before any creation.
using PauseFunction = void (*)(DWORD milliseconds);
void SetFilterCreationPlatform(bool windows9x, PauseFunction pause) noexcept;

} // namespace tx::playback

#pragma once
// Creation of every DirectShow filter of the program by class id, in process.
#include <windows.h>

namespace tx::playback
{

// Creates an in-process filter (CoCreateInstance, CLSCTX_INPROC_SERVER |
// CLSCTX_INPROC_HANDLER, no outer object) and returns its HRESULT. module names the
// file that holds the class; the registration decides where it is loaded from, so it
// is only informative. Before the first creation the card vendor's companion module
// is loaded once for the life of the process, when it lies beside the program.
// Any thread with COM initialised.
HRESULT CreateFilterInstance(const wchar_t *module, REFCLSID clsid, REFIID riid, void **ppv) noexcept;

// The creation function the graph code calls; tests put a failing one in its place.
using FilterInstanceFactory = HRESULT (*)(const wchar_t *module, REFCLSID clsid, REFIID riid, void **ppv);

} // namespace tx::playback

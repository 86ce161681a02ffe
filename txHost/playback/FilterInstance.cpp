#include "txHost/playback/FilterInstance.h"

#include <objbase.h>

#include <mutex>
#include <string>

namespace tx::playback
{

namespace
{
// The card software's companion module. It is loaded only from the program's own
// folder by full path: a bare name would be searched for in the current folder and
// on the path, where anyone could plant a module of that name.
void LoadCardCompanionModule() noexcept
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::wstring module(path, length);
    const size_t slash = module.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return;
    module.resize(slash + 1);
    module += L"ZuduDOR.exe";
    if (::GetFileAttributesW(module.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    // Kept loaded for the life of the process on purpose: the card software expects it.
    ::LoadLibraryExW(module.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
} // namespace

HRESULT CreateFilterInstance(const wchar_t *, REFCLSID clsid, REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    static std::once_flag companion;
    try
    {
        std::call_once(companion, LoadCardCompanionModule);
    }
    catch (...)
    {
        // Only the companion is lost; the filter itself is still created.
    }
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, riid, ppv);
}

} // namespace tx::playback

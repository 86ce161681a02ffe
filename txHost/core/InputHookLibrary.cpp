// The keyboard start-up step and its undoing at exit: the key map, then the hook
// library txInput.dll with its InitMessageHooks; UninitMessageHooks after the loop.
#include "comkit/Handles.h"
#include "comkit/HResult.h"
#include "txHost/core/KeyMapFile.h"
#include "txHost/core/MainWindow.h"
#include "txHost/core/Services.h"
#include "txInput/InputHooks.h"

#include <string>

namespace
{
// Loaded once and never freed: the system-wide hook runs code of the library for as
// long as the process lives.
HMODULE g_hookLibrary = nullptr;

// txInput.dll from the program's own folder. A bare name would be searched for along
// the path, current folder included, where anyone could plant a library of that name.
HMODULE LoadHookLibrary() noexcept
{
    wchar_t program[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    try
    {
        std::wstring path(program, length);
        const size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos)
            return nullptr;
        path.replace(slash + 1, std::wstring::npos, L"txInput.dll");
        return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    catch (...)
    {
        return nullptr;
    }
}
} // namespace

HRESULT LoadInputHooks() noexcept
{
    tx::host::LoadKeyMap();
    if (!g_hookLibrary)
    {
        g_hookLibrary = LoadHookLibrary();
        if (!g_hookLibrary)
        {
            const HRESULT hr = tx::HResultFromLastError();
            tx::LogFailure(hr, L"Failed to load txInput.dll");
            return hr;
        }
    }
    const auto init =
        tx::GetProcAddressAs<tx::input::InitMessageHooksFn>(g_hookLibrary, tx::input::kInitMessageHooksName);
    if (!init)
    {
        const HRESULT hr = tx::HResultFromLastError();
        tx::LogFailure(hr, L"Failed to find InitMessageHooks in txInput.dll");
        return hr;
    }
    init();
    return S_OK;
}

namespace tx::host
{
void UnloadInputHooks() noexcept
{
    if (!g_hookLibrary)
        return;
    if (const auto uninit =
            tx::GetProcAddressAs<tx::input::UninitMessageHooksFn>(g_hookLibrary, tx::input::kUninitMessageHooksName))
        uninit();
}
} // namespace tx::host

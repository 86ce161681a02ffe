#include "txHost/playback/FilterInstance.h"

#include "txHost/playback/DecoderCard.h"

#include <objbase.h>

#include <mutex>
#include <string>

namespace tx::playback
{

namespace
{
bool IsWindows9x() noexcept
{
    // The high bit of GetVersion is set on the Windows 9x family only.
    return (::GetVersion() & 0x80000000u) != 0;
}

void PauseWithSleep(DWORD milliseconds)
{
    ::Sleep(milliseconds);
}

// Tested once per process.
bool g_windows9x = IsWindows9x();
PauseFunction g_pause = &PauseWithSleep;

std::wstring ReadCardSoftwareFolder()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD bytes = sizeof(folder);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kCardSoftwareKey, L"Path", RRF_RT_REG_SZ, nullptr, folder, &bytes) !=
        ERROR_SUCCESS)
        return {};
    folder[MAX_PATH - 1] = L'\0';
    return folder;
}

bool IsAbsolutePath(const std::wstring &path)
{
    // "C:\..." or a UNC name "\\server\..."; "\folder" and "folder" depend on the current drive or folder.
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
        return true;
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
}
} // namespace

HMODULE LoadCardCompanionModule() noexcept
{
    try
    {
        std::wstring module = ReadCardSoftwareFolder();
        if (module.empty() || !IsAbsolutePath(module))
            return nullptr;
        if (module.back() != L'\\' && module.back() != L'/')
            module += L'\\';
        module += kCardCompanionModule;
        if (module.size() >= MAX_PATH || ::GetFileAttributesW(module.c_str()) == INVALID_FILE_ATTRIBUTES)
            return nullptr;
        // Kept loaded for the life of the process on purpose: the card software expects it.
        return ::LoadLibraryExW(module.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    catch (...)
    {
        return nullptr;
    }
}

void SetFilterCreationPlatform(bool windows9x, PauseFunction pause) noexcept
{
    g_windows9x = windows9x;
    g_pause = pause ? pause : &PauseWithSleep;
}

HRESULT CreateFilterInstance(const wchar_t *, REFCLSID clsid, REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (g_windows9x && clsid == CLSID_ZiduzDecoder)
        g_pause(50);
    static std::once_flag companion;
    try
    {
        std::call_once(companion, [] { LoadCardCompanionModule(); });
    }
    catch (...)
    {
        // Only the companion is lost; the filter itself is still created.
    }
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, riid, ppv);
}

} // namespace tx::playback

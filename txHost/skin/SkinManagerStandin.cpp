#include "txHost/skin/SkinManagerStandin.h"

#include "comkit/HResult.h"

namespace
{
void LogStandin(const wchar_t *what) noexcept
{
    // Logged once per operation, so a running host shows what is missing without flooding.
    tx::LogFailure(E_NOTIMPL, what);
}
} // namespace

void CSkinManager::Compose(IOsd *osd) noexcept
{
    if (composeHook)
        composeHook(osd);
}

void CSkinManager::Relayout(LONG delta) noexcept
{
    relayoutTotal += delta;
}

void CSkinManager::OnTick(LONG value) noexcept
{
    ++ticks;
}

HRESULT CSkinManager::LoadLanguageAndSkin() noexcept
{
    static bool logged = false;
    if (!logged)
    {
        logged = true;
        LogStandin(L"Failed to load language and skin: the skin loader is not built");
    }
    return S_FALSE;
}

void CSkinManager::FreeSkin() noexcept
{
}

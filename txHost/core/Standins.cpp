// Stand-ins for the services of neighbouring subsystems that the application core calls
// (Services.h). Each subsystem removes its stand-ins from this file when it defines them.
#include "txHost/core/Services.h"
#include "txHost/core/Standins.h"

// Media library.
HRESULT CreatePlaylist(IPlaylist **list, const wchar_t *, LONG) noexcept
{
    if (list)
        *list = nullptr;
    return TX_NOT_BUILT("CreatePlaylist");
}

// Device access.
void InitCdDrives() noexcept
{
    TX_NOT_BUILT("InitCdDrives");
}

void UninitCdDrives() noexcept
{
    TX_NOT_BUILT("UninitCdDrives");
}

// UI pages.
HRESULT RegisterMimeFilters() noexcept
{
    return TX_NOT_BUILT("RegisterMimeFilters");
}

void RevokeMimeFilters() noexcept
{
}

void SetThreadUrlRestriction2() noexcept
{
    TX_NOT_BUILT("SetThreadUrlRestriction2");
}

// Options property sheet.
void OpenOptionsSheet() noexcept
{
    TX_NOT_BUILT("OpenOptionsSheet");
}

void StopOptionsSheet() noexcept
{
}

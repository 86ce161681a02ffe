#pragma once
// Services of neighbouring subsystems that the application core calls. Until a
// subsystem is built, its services are stand-ins (Standins.cpp) that fail cleanly with
// E_NOTIMPL and a log line; the subsystem replaces each one with its own definition.
//
// All run on the UI thread unless said otherwise.
#include "txHost/core/HostInterfaces.h"

// Media library: creates a ".lst" list and loads it; name null loads the saved
// current-selection list. The list belongs to the caller; null on failure.
HRESULT CreatePlaylist(IPlaylist **list, const wchar_t *name, LONG flag) noexcept;

// Device access: the CD drive access layer (drive table and its mutexes).
void InitCdDrives() noexcept;
void UninitCdDrives() noexcept;

// UI pages: the program's class objects and MIME filters with the URL-moniker layer;
// the UI thread's URL restriction for the browser.
HRESULT RegisterMimeFilters() noexcept;
void RevokeMimeFilters() noexcept;
void SetThreadUrlRestriction2() noexcept;

// Input mapping: loads the key map msgs.xml and the input hook library (txInput) and
// installs its hooks; the action of a key (0 when unmapped).
HRESULT LoadInputHooks() noexcept;
int LookupKeyAction(UINT virtualKey) noexcept;

// Options property sheet: opens it (or brings it to the front) on its own thread;
// stops that thread and waits for it.
void OpenOptionsSheet() noexcept;
void StopOptionsSheet() noexcept;

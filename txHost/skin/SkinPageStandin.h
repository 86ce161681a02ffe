#pragma once
// The page controllers until the page framework exists: CreateStandinPage makes, for any
// behaviour name, a controller that answers every IPage call as the pages' common base
// does (RestoreState reopens the page fresh; nothing else acts) and logs each call with
// the behaviour name to the debugger output.
#include "txHost/skin/SkinManagerInterfaces.h"

// E_INVALIDARG for an empty name, E_POINTER, E_OUTOFMEMORY.
HRESULT CreateStandinPage(const wchar_t *behavior, IPage **page) noexcept;

#pragma once
// Component categories through the standard component-categories manager.
#include <windows.h>
#include <comcat.h>

#include <vector>

namespace tx
{
// The classes that implement the category, in the order the manager gives them.
HRESULT EnumerateCategoryClasses(REFGUID category, std::vector<CLSID> &classes) noexcept;
// Registers the category (with its description) and marks the class as implementing it.
HRESULT RegisterClassInCategory(REFCLSID clsid, REFGUID category, const wchar_t *description) noexcept;
HRESULT UnregisterClassFromCategory(REFCLSID clsid, REFGUID category) noexcept;
} // namespace tx

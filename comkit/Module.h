#pragma once
// The module's count of live objects and server locks. An in-process server may be
// unloaded only while it is zero (DllCanUnloadNow).
#include <windows.h>

namespace tx::module
{
void AddRef() noexcept;
void Release() noexcept;
LONG LockCount() noexcept;
} // namespace tx::module

#include "comkit/Module.h"

namespace tx::module
{
namespace
{
volatile LONG g_lockCount = 0;
}

void AddRef() noexcept
{
    ::InterlockedIncrement(&g_lockCount);
}

void Release() noexcept
{
    ::InterlockedDecrement(&g_lockCount);
}

LONG LockCount() noexcept
{
    return ::InterlockedCompareExchange(&g_lockCount, 0, 0);
}
} // namespace tx::module

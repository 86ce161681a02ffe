#pragma once
// How a stand-in for a service of a subsystem not yet built answers: one log line in the
// failure form ("Failed to run <service>: not built yet, 0x80004001") and E_NOTIMPL.
#include "comkit/HResult.h"

#include <atomic>

namespace tx::host
{
inline HRESULT NotBuilt(const wchar_t *message) noexcept
{
    ::tx::LogFailure(E_NOTIMPL, message);
    return E_NOTIMPL;
}
} // namespace tx::host

#define TX_NOT_BUILT(service) ::tx::host::NotBuilt(L"Failed to run " service ": not built yet")
// For services called periodically (timers, every message): the line is written once.
#define TX_NOT_BUILT_ONCE(service)                                                                                  \
    [] {                                                                                                            \
        static std::atomic<bool> logged{false};                                                                     \
        if (!logged.exchange(true))                                                                                 \
            return TX_NOT_BUILT(service);                                                                           \
        return E_NOTIMPL;                                                                                           \
    }()

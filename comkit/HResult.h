#pragma once
// HRESULT discipline: a failing step logs its message once, in the system's log form
// ("<message>, 0x<hex>"), and the failure is returned unchanged; nothing turns a
// failure into S_OK. The host installs its log as the failure logger at start-up;
// until then (and in the companion programs) failures go to the debugger output.
#include <windows.h>

namespace tx
{

using FailureLogger = void (*)(HRESULT hr, const wchar_t *message) noexcept;

// Installs the logger and returns the previous one; null restores the default.
FailureLogger SetFailureLogger(FailureLogger logger) noexcept;
// Logs the message when hr is a failure; a success logs nothing.
void LogFailure(HRESULT hr, const wchar_t *message) noexcept;

// The last Win32 error as an HRESULT, E_FAIL when the API left no error code.
inline HRESULT HResultFromLastError() noexcept
{
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

} // namespace tx

// Evaluates expr once; on failure logs message and returns the HRESULT from the caller.
#define TX_RETURN_IF_FAILED(expr, message)                                                                      \
    do                                                                                                          \
    {                                                                                                           \
        const HRESULT tx_hr_ = (expr);                                                                          \
        if (FAILED(tx_hr_))                                                                                     \
        {                                                                                                       \
            ::tx::LogFailure(tx_hr_, message);                                                                  \
            return tx_hr_;                                                                                      \
        }                                                                                                       \
    } while (0)

// When cond holds, logs message with hr and returns hr.
#define TX_RETURN_HR_IF(cond, hr, message)                                                                      \
    do                                                                                                          \
    {                                                                                                           \
        if (cond)                                                                                               \
        {                                                                                                       \
            const HRESULT tx_hr_ = (hr);                                                                        \
            ::tx::LogFailure(tx_hr_, message);                                                                  \
            return tx_hr_;                                                                                      \
        }                                                                                                       \
    } while (0)

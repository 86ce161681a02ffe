#include "comkit/HResult.h"

#include "txHost/core/LogFormat.h"

#include <atomic>

namespace tx
{
namespace
{
void DebuggerLogger(HRESULT hr, const wchar_t *message) noexcept
{
    try
    {
        const std::wstring line = logformat::HResultLine(message ? message : L"", static_cast<uint32_t>(hr));
        ::OutputDebugStringW(line.c_str());
    }
    catch (...)
    {
        // Out of memory while formatting a diagnostic: nothing more to do.
    }
}

std::atomic<FailureLogger> g_logger{&DebuggerLogger};
} // namespace

FailureLogger SetFailureLogger(FailureLogger logger) noexcept
{
    return g_logger.exchange(logger ? logger : &DebuggerLogger);
}

void LogFailure(HRESULT hr, const wchar_t *message) noexcept
{
    if (FAILED(hr))
        g_logger.load()(hr, message);
}

} // namespace tx

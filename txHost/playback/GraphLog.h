#pragma once
// The log that the graph-building operations report their failures to. The host
// forwards it to its own log (CHost::LogHResult); tests record the lines.
#include <windows.h>

namespace tx::playback
{

class IGraphLog
{
  public:
    // One failure: the message ("Failed to ...") and the HRESULT. Any thread.
    virtual void LogHResult(HRESULT hr, const wchar_t *message) noexcept = 0;

  protected:
    ~IGraphLog() = default;
};

// Logs hr with message when hr is a failure and a log is given; returns hr.
inline HRESULT LogIfFailed(IGraphLog *log, HRESULT hr, const wchar_t *message) noexcept
{
    if (FAILED(hr) && log)
        log->LogHResult(hr, message);
    return hr;
}

} // namespace tx::playback

#pragma once
// The host's diagnostic log: one-line records appended to the file that the setting
// "Log" names, and mirrored into an on-screen text while the OSD-log flag is set. With
// neither, every operation returns at once without formatting anything.
//
// Thread-safe: the UI thread, the graph-run thread, the browser thread and the capture
// code all log; one lock keeps every line whole.
#include "comkit/Handles.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

namespace tx::host
{

// Receives every piece of text the on-screen mirror gets, in order, on the thread that
// logs, while the log lock is held: it must only queue, never log or wait on the UI thread.
class IOsdLogSink
{
  public:
    virtual void AppendOsdLog(std::wstring_view piece) noexcept = 0;

  protected:
    ~IOsdLogSink() = default;
};

class CHostLog
{
  public:
    // Characters of the on-screen mirror kept; older lines are dropped from the front.
    static constexpr size_t kOsdTailChars = 32 * 1024;

    CHostLog() = default;
    ~CHostLog();
    CHostLog(const CHostLog &) = delete;
    CHostLog &operator=(const CHostLog &) = delete;

    // Opens the file named by the setting "Log" (a non-empty REG_SZ), for appending.
    void OpenFromSettings() noexcept;
    // Opens (or creates) the file and appends to it; false leaves file logging off.
    bool OpenFile(const wchar_t *path) noexcept;
    // Closes the file; later lines reach only the on-screen mirror.
    void CloseFile() noexcept;
    bool HasFile() const noexcept
    {
        return m_file.IsValid();
    }

    void SetOsdMirror(bool on) noexcept
    {
        m_osdMirror.store(on);
    }
    bool OsdMirror() const noexcept
    {
        return m_osdMirror.load();
    }
    // Where the mirrored pieces also go (the skin's "log" page); null: nowhere. Not owned:
    // set it to null before the sink goes.
    void SetOsdSink(IOsdLogSink *sink) noexcept;
    // The mirrored text (lines end in "\n"), at most kOsdTailChars, and a counter that
    // changes with every appended line, so the OSD can redraw only on change.
    std::wstring OsdText() const;
    unsigned OsdTextVersion() const noexcept
    {
        return m_osdVersion.load();
    }

    // The record operations. Null texts count as empty. The two HRESULT operations
    // write nothing at all for a success code.
    void LogMessage(const wchar_t *message) noexcept;
    void LogMessagePair(const wchar_t *first, const wchar_t *second) noexcept;
    void LogHResult(HRESULT hr, const wchar_t *message) noexcept;
    void LogHResultGuid(HRESULT hr, const wchar_t *message, const GUID &guid) noexcept;
    void LogFourCC(const wchar_t *message, DWORD fourcc) noexcept;
    void LogFourCCGuid(const wchar_t *message, DWORD fourcc, const GUID &guid) noexcept;
    void LogFourCCText(const wchar_t *message, DWORD fourcc, const wchar_t *text) noexcept;

  private:
    bool IsOff() const noexcept;
    // Writes one whole line to the file and the mirror; caller holds m_lock.
    void WriteLine(std::wstring_view line) noexcept;
    template <class Format> void Write(Format &&format) noexcept;

    mutable CriticalSection m_lock;
    UniqueFileHandle m_file;
    std::atomic<bool> m_osdMirror{false};
    std::wstring m_osdText;
    std::atomic<unsigned> m_osdVersion{0};
    IOsdLogSink *m_osdSink = nullptr; // under m_lock
    std::string m_bytes; // conversion buffer, reused under the lock
};

// Routes comkit failures (tx::LogFailure) into a host log while the returned guard lives.
class FailureLoggerScope
{
  public:
    explicit FailureLoggerScope(CHostLog &log) noexcept;
    ~FailureLoggerScope();
    FailureLoggerScope(const FailureLoggerScope &) = delete;
    FailureLoggerScope &operator=(const FailureLoggerScope &) = delete;
};

} // namespace tx::host

#include "txHost/core/HostLog.h"

#include "comkit/HResult.h"
#include "txHost/core/HostSettings.h"
#include "txHost/core/LogFormat.h"

#include <cstring>
#include <mutex>

namespace tx::host
{
namespace
{
logformat::GuidParts ToParts(const GUID &guid) noexcept
{
    logformat::GuidParts parts{};
    parts.data1 = guid.Data1;
    parts.data2 = guid.Data2;
    parts.data3 = guid.Data3;
    std::memcpy(parts.data4, guid.Data4, sizeof(parts.data4));
    return parts;
}

std::wstring_view Text(const wchar_t *text) noexcept
{
    return text ? std::wstring_view(text) : std::wstring_view();
}

std::atomic<CHostLog *> g_failureLog{nullptr};

void HostFailureLogger(HRESULT hr, const wchar_t *message) noexcept
{
    if (CHostLog *log = g_failureLog.load())
        log->LogHResult(hr, message);
}
} // namespace

CHostLog::~CHostLog() = default;

void CHostLog::OpenFromSettings() noexcept
{
    wchar_t path[kPathChars] = L"";
    if (ReadHostString(L"Log", path, kPathChars) && path[0] != L'\0')
        OpenFile(path);
}

bool CHostLog::OpenFile(const wchar_t *path) noexcept
{
    UniqueFileHandle file(::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(file.Get(), zero, nullptr, FILE_END))
        return false;
    std::lock_guard lock(m_lock);
    m_file = std::move(file);
    return true;
}

void CHostLog::CloseFile() noexcept
{
    std::lock_guard lock(m_lock);
    m_file.Reset();
}

void CHostLog::SetOsdSink(IOsdLogSink *sink) noexcept
{
    std::lock_guard lock(m_lock);
    m_osdSink = sink;
}

std::wstring CHostLog::OsdText() const
{
    std::lock_guard lock(m_lock);
    return m_osdText;
}

bool CHostLog::IsOff() const noexcept
{
    return !m_file.IsValid() && !m_osdMirror.load();
}

void CHostLog::WriteLine(std::wstring_view line) noexcept
{
    try
    {
        if (m_file)
        {
            // Sized by the system first: a multibyte code page may need more than two bytes
            // a character.
            const int length = static_cast<int>(line.size());
            const int bytes =
                ::WideCharToMultiByte(CP_THREAD_ACP, 0, line.data(), length, nullptr, 0, nullptr, nullptr);
            if (bytes > 0)
            {
                m_bytes.resize(static_cast<size_t>(bytes));
                if (::WideCharToMultiByte(CP_THREAD_ACP, 0, line.data(), length, m_bytes.data(), bytes, nullptr,
                                          nullptr) == bytes)
                {
                    DWORD written = 0;
                    ::WriteFile(m_file.Get(), m_bytes.data(), static_cast<DWORD>(bytes), &written, nullptr);
                }
            }
        }
        if (m_osdMirror.load())
        {
            const std::wstring piece = logformat::OsdLine(line);
            logformat::AppendBoundedTail(m_osdText, piece, kOsdTailChars);
            ++m_osdVersion;
            if (m_osdSink)
                m_osdSink->AppendOsdLog(piece);
        }
    }
    catch (...)
    {
        // Out of memory while logging: the line is lost, the caller goes on.
    }
}

template <class Format> void CHostLog::Write(Format &&format) noexcept
{
    std::lock_guard lock(m_lock);
    if (IsOff())
        return;
    try
    {
        WriteLine(format());
    }
    catch (...)
    {
    }
}

void CHostLog::LogMessage(const wchar_t *message) noexcept
{
    Write([&] { return logformat::MessageLine(Text(message)); });
}

void CHostLog::LogMessagePair(const wchar_t *first, const wchar_t *second) noexcept
{
    Write([&] { return logformat::PairLine(Text(first), Text(second)); });
}

void CHostLog::LogHResult(HRESULT hr, const wchar_t *message) noexcept
{
    if (SUCCEEDED(hr))
        return;
    Write([&] { return logformat::HResultLine(Text(message), static_cast<uint32_t>(hr)); });
}

void CHostLog::LogHResultGuid(HRESULT hr, const wchar_t *message, const GUID &guid) noexcept
{
    if (SUCCEEDED(hr))
        return;
    Write([&] { return logformat::HResultGuidLine(Text(message), ToParts(guid), static_cast<uint32_t>(hr)); });
}

void CHostLog::LogFourCC(const wchar_t *message, DWORD fourcc) noexcept
{
    Write([&] { return logformat::FourCCLine(Text(message), fourcc); });
}

void CHostLog::LogFourCCGuid(const wchar_t *message, DWORD fourcc, const GUID &guid) noexcept
{
    Write([&] { return logformat::FourCCGuidLine(Text(message), fourcc, ToParts(guid)); });
}

void CHostLog::LogFourCCText(const wchar_t *message, DWORD fourcc, const wchar_t *text) noexcept
{
    Write([&] { return logformat::FourCCTextLine(Text(message), fourcc, Text(text)); });
}

FailureLoggerScope::FailureLoggerScope(CHostLog &log) noexcept
{
    g_failureLog.store(&log);
    tx::SetFailureLogger(&HostFailureLogger);
}

FailureLoggerScope::~FailureLoggerScope()
{
    tx::SetFailureLogger(nullptr);
    g_failureLog.store(nullptr);
}

} // namespace tx::host

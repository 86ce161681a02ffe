#pragma once
// Text forms of the host log, shared by the log itself and the failure logger.
// Portable: no windows.h, so the forms are tested natively too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tx::logformat
{

// The 16 bytes of a GUID in the Win32 layout.
struct GuidParts
{
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// Lower-case hexadecimal without leading zeros ("80004005", "0").
std::wstring HResultHex(uint32_t hr);
// Registry form with braces and upper-case digits, 38 characters.
std::wstring GuidText(const GuidParts &guid);
// Four characters, lowest byte first; a zero byte ends the text early.
std::wstring FourCCText(uint32_t fourcc);

// Whole log lines. Every line starts with "-" and ends with "\r\n"; the pieces in
// between are joined exactly as the log file carries them.
// "-", message, ", 0x", hex, "\r\n".
std::wstring HResultLine(std::wstring_view message, uint32_t hr);
// "-", message, "\r\n".
std::wstring MessageLine(std::wstring_view message);
// "-", first, second, "\r\n".
std::wstring PairLine(std::wstring_view first, std::wstring_view second);
// "-", message, ", ", GUID, ", 0x", hex, "\r\n".
std::wstring HResultGuidLine(std::wstring_view message, const GuidParts &guid, uint32_t hr);
// "-", message, ", ", FOURCC, "\r\n".
std::wstring FourCCLine(std::wstring_view message, uint32_t fourcc);
// "-", message, ", ", FOURCC, ", ", GUID, "\r\n".
std::wstring FourCCGuidLine(std::wstring_view message, uint32_t fourcc, const GuidParts &guid);
// "-", message, ", ", FOURCC, ", ", text, "\r\n".
std::wstring FourCCTextLine(std::wstring_view message, uint32_t fourcc, std::wstring_view text);

// The on-screen copy of a log line: the closing "\r\n" becomes a single "\n".
std::wstring OsdLine(std::wstring_view line);
// Appends text and keeps only the last `limit` characters, cut at a line start when
// the kept tail holds a line break, so the on-screen log never grows without end.
void AppendBoundedTail(std::wstring &tail, std::wstring_view text, std::size_t limit);

} // namespace tx::logformat

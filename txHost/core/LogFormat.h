#pragma once
// Text forms of the host log, shared by the log itself and the failure logger.
// Portable: no windows.h, so the forms are tested natively too.
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
// One whole log line for a failure: "-", message, ", 0x", hex, "\r\n".
std::wstring HResultLine(std::wstring_view message, uint32_t hr);

} // namespace tx::logformat

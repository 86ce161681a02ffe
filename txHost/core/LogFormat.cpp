#include "txHost/core/LogFormat.h"

namespace tx::logformat
{
namespace
{
constexpr wchar_t kLowerHex[] = L"0123456789abcdef";
constexpr wchar_t kUpperHex[] = L"0123456789ABCDEF";

void AppendHex(std::wstring &out, uint64_t value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.push_back(kUpperHex[(value >> shift) & 0xF]);
}
} // namespace

std::wstring HResultHex(uint32_t hr)
{
    wchar_t buffer[8];
    int count = 0;
    do
    {
        buffer[count++] = kLowerHex[hr & 0xF];
        hr >>= 4;
    } while (hr != 0);
    std::wstring text;
    text.reserve(count);
    while (count > 0)
        text.push_back(buffer[--count]);
    return text;
}

std::wstring GuidText(const GuidParts &guid)
{
    std::wstring text;
    text.reserve(38);
    text.push_back(L'{');
    AppendHex(text, guid.data1, 8);
    text.push_back(L'-');
    AppendHex(text, guid.data2, 4);
    text.push_back(L'-');
    AppendHex(text, guid.data3, 4);
    text.push_back(L'-');
    AppendHex(text, guid.data4[0], 2);
    AppendHex(text, guid.data4[1], 2);
    text.push_back(L'-');
    for (int i = 2; i < 8; ++i)
        AppendHex(text, guid.data4[i], 2);
    text.push_back(L'}');
    return text;
}

std::wstring FourCCText(uint32_t fourcc)
{
    std::wstring text;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const wchar_t ch = static_cast<wchar_t>((fourcc >> shift) & 0xFF);
        if (ch == 0)
            break;
        text.push_back(ch);
    }
    return text;
}

std::wstring HResultLine(std::wstring_view message, uint32_t hr)
{
    std::wstring line;
    line.reserve(message.size() + 16);
    line.push_back(L'-');
    line.append(message);
    line.append(L", 0x");
    line.append(HResultHex(hr));
    line.append(L"\r\n");
    return line;
}

std::wstring MessageLine(std::wstring_view message)
{
    std::wstring line;
    line.reserve(message.size() + 3);
    line.push_back(L'-');
    line.append(message);
    line.append(L"\r\n");
    return line;
}

std::wstring PairLine(std::wstring_view first, std::wstring_view second)
{
    std::wstring line;
    line.reserve(first.size() + second.size() + 3);
    line.push_back(L'-');
    line.append(first);
    line.append(second);
    line.append(L"\r\n");
    return line;
}

std::wstring HResultGuidLine(std::wstring_view message, const GuidParts &guid, uint32_t hr)
{
    std::wstring line;
    line.reserve(message.size() + 56);
    line.push_back(L'-');
    line.append(message);
    line.append(L", ");
    line.append(GuidText(guid));
    line.append(L", 0x");
    line.append(HResultHex(hr));
    line.append(L"\r\n");
    return line;
}

std::wstring FourCCLine(std::wstring_view message, uint32_t fourcc)
{
    std::wstring line;
    line.reserve(message.size() + 9);
    line.push_back(L'-');
    line.append(message);
    line.append(L", ");
    line.append(FourCCText(fourcc));
    line.append(L"\r\n");
    return line;
}

std::wstring FourCCGuidLine(std::wstring_view message, uint32_t fourcc, const GuidParts &guid)
{
    std::wstring line;
    line.reserve(message.size() + 49);
    line.push_back(L'-');
    line.append(message);
    line.append(L", ");
    line.append(FourCCText(fourcc));
    line.append(L", ");
    line.append(GuidText(guid));
    line.append(L"\r\n");
    return line;
}

std::wstring FourCCTextLine(std::wstring_view message, uint32_t fourcc, std::wstring_view text)
{
    std::wstring line;
    line.reserve(message.size() + text.size() + 11);
    line.push_back(L'-');
    line.append(message);
    line.append(L", ");
    line.append(FourCCText(fourcc));
    line.append(L", ");
    line.append(text);
    line.append(L"\r\n");
    return line;
}

std::wstring OsdLine(std::wstring_view line)
{
    std::wstring text(line);
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0)
        text.erase(text.size() - 2, 1);
    return text;
}

void AppendBoundedTail(std::wstring &tail, std::wstring_view text, std::size_t limit)
{
    tail.append(text);
    if (tail.size() <= limit)
        return;
    std::size_t cut = tail.size() - limit;
    // Start the kept text at a line start, unless the tail is one long line.
    const std::size_t lineBreak = tail.find(L'\n', cut == 0 ? 0 : cut - 1);
    if (lineBreak != std::wstring::npos && lineBreak + 1 < tail.size())
        cut = lineBreak + 1;
    tail.erase(0, cut);
}

} // namespace tx::logformat

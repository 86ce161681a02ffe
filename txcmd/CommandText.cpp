#include "txcmd/CommandText.h"

namespace tx::remote
{

const wchar_t kUsageText[] = L"usage: txcmd <options>\n"
                             L"  queuemedia [-shoutcast] [-avisoftware|avihardware] [-top] <path>\n"
                             L"  playdrive <drive>\n"
                             L"  loadplaylist <path>\n"
                             L"  unlaodplaylist\n"
                             L"  setsaturation 0-1000\n"
                             L"  setcontrast 0-1000\n"
                             L"  setbrightness 0-1000\n"
                             L"  setaudiomode analog|pcm|ac3\n"
                             L"  exit\n"
                             L"  shutdown\n"
                             L"  stop [continue]\n"
                             L"  resume\n"
                             L"  pause\n"
                             L"  repeat\n"
                             L"  volumeup\n"
                             L"  volumedown\n"
                             L"  setvolume 0-100\n"
                             L"  setoutputmode composite|componentYUV|componentRGB|scartRGB|VGA\n"
                             L"  livetv <channel>\n"
                             L"  recordtv <channel>\n"
                             L"  stoprecording\n"
                             L"  refreshcache\n"
                             L"  setvideostandard auto|autofreq|ntsc|pal|pal60|hdtv1|hdtv2|hdtv3\n"
                             L"  message [-center|left|right] <x> <y> <seconds> <message>\n"
                             L"  schedulerecording [-weekly|daily|weekdays] <channel> mm-dd-yyyyThh:mm:ss(start) "
                             L"mm-dd-yyyyThh:mm:ss(end)\n"
                             L"  eject\n";

namespace
{
// The start-up code of a windowed program treats every control character as a blank
// between the program name and its arguments.
bool IsSeparator(wchar_t c) noexcept
{
    return c != L'\0' && c <= L' ';
}

bool IsHighSurrogate(wchar_t c) noexcept
{
    return c >= 0xD800 && c <= 0xDBFF;
}

wchar_t AsciiLower(wchar_t c) noexcept
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
} // namespace

std::wstring_view ArgumentsOf(std::wstring_view commandLine) noexcept
{
    std::size_t pos = 0;
    if (pos < commandLine.size() && commandLine[pos] == L'"')
    {
        // A quoted program name runs to the closing quote, blanks included.
        const std::size_t close = commandLine.find(L'"', 1);
        pos = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    }
    else
    {
        while (pos < commandLine.size() && commandLine[pos] != L'\0' && !IsSeparator(commandLine[pos]))
            ++pos;
    }
    while (pos < commandLine.size() && IsSeparator(commandLine[pos]))
        ++pos;
    std::wstring_view rest = commandLine.substr(pos);
    // A command line handed over with its terminator ends there.
    const std::size_t nul = rest.find(L'\0');
    return nul == std::wstring_view::npos ? rest : rest.substr(0, nul);
}

std::wstring_view FitToAtom(std::wstring_view text) noexcept
{
    if (text.size() <= kAtomNameLimit)
        return text;
    std::size_t length = kAtomNameLimit;
    // Cutting after a high surrogate would leave half a character at the end.
    if (IsHighSurrogate(text[length - 1]))
        --length;
    return text.substr(0, length);
}

bool IsPowerCommand(std::wstring_view text) noexcept
{
    constexpr std::wstring_view power = L"power";
    if (text.size() != power.size())
        return false;
    for (std::size_t i = 0; i < power.size(); ++i)
    {
        if (AsciiLower(text[i]) != power[i])
            return false;
    }
    return true;
}

} // namespace tx::remote

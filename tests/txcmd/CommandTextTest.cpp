// The argument string, the atom limit and the "power" word of txcmd.
#include "txcmd/CommandText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using namespace tx::remote;

struct ArgumentsCase
{
    const wchar_t *commandLine;
    const wchar_t *arguments;
};

TEST(CommandText, ArgumentsFollowTheProgramName)
{
    const ArgumentsCase cases[] = {
        {L"txcmd.exe", L""},
        {L"txcmd.exe ", L""},
        {L"", L""},
        {L"txcmd.exe power", L"power"},
        {L"txcmd.exe \t  power", L"power"},
        {L"\"C:\\Program Files\\Tx\\txcmd.exe\" queuemedia -top \"C:\\a b.mpg\"", L"queuemedia -top \"C:\\a b.mpg\""},
        {L"\"C:\\Program Files\\Tx\\txcmd.exe\"message -center 1 2 3 hi", L"message -center 1 2 3 hi"},
        {L"\"unterminated quote power", L""},
        // Inner blanks and trailing blanks belong to the command and stay.
        {L"txcmd  message  -left 1 2 3  two  blanks  ", L"message  -left 1 2 3  two  blanks  "},
        {L"C:\\tx\\txcmd.exe \"power\"", L"\"power\""},
    };
    for (const ArgumentsCase &c : cases)
        EXPECT_EQ(std::wstring(ArgumentsOf(c.commandLine)), c.arguments) << c.commandLine;
}

TEST(CommandText, ArgumentsStopAtAnEmbeddedTerminator)
{
    const std::wstring line(L"txcmd.exe stop\0continue", 23);
    EXPECT_EQ(std::wstring(ArgumentsOf(line)), L"stop");
}

TEST(CommandText, OnlyTheWholeWordPowerCounts)
{
    const struct
    {
        const wchar_t *text;
        bool power;
    } cases[] = {
        {L"power", true},   {L"POWER", true},   {L"Power", true},      {L"pOwEr", true},
        {L" power", false}, {L"power ", false}, {L"power on", false},  {L"powe", false},
        {L"", false},       {L"powerx", false}, {L"\"power\"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsPowerCommand(c.text), c.power) << c.text;
}

TEST(CommandText, ShortTextFitsUnchanged)
{
    const std::wstring exact(kAtomNameLimit, L'x');
    EXPECT_EQ(FitToAtom(exact), exact);
    EXPECT_EQ(FitToAtom(L""), L"");
}

TEST(CommandText, LongTextIsCutToTheAtomLimit)
{
    const std::wstring text = L"queuemedia " + std::wstring(400, L'a');
    const std::wstring fitted(FitToAtom(text));
    EXPECT_EQ(fitted.size(), kAtomNameLimit);
    EXPECT_EQ(fitted, text.substr(0, kAtomNameLimit));
}

TEST(CommandText, CutNeverSplitsASurrogatePair)
{
    // U+1F3B5 as a pair whose high half would be the last unit kept.
    std::wstring text(kAtomNameLimit - 1, L'a');
    text += static_cast<wchar_t>(0xD83C);
    text += static_cast<wchar_t>(0xDFB5);
    text += L"tail";
    EXPECT_EQ(std::wstring(FitToAtom(text)), std::wstring(kAtomNameLimit - 1, L'a'));

    // A pair that ends exactly at the limit stays whole.
    std::wstring whole(kAtomNameLimit - 2, L'b');
    whole += static_cast<wchar_t>(0xD83C);
    whole += static_cast<wchar_t>(0xDFB5);
    whole += L"tail";
    EXPECT_EQ(std::wstring(FitToAtom(whole)), whole.substr(0, kAtomNameLimit));
}

TEST(CommandText, UsageTextHasItsTwentySevenLines)
{
    const std::wstring usage(kUsageText);
    std::size_t lines = 0;
    for (wchar_t c : usage)
        lines += c == L'\n';
    EXPECT_EQ(lines, 27u);
    EXPECT_EQ(usage.substr(0, 23), L"usage: txcmd <options>\n");
    EXPECT_NE(usage.find(L"\n  unlaodplaylist\n"), std::wstring::npos);
    EXPECT_NE(usage.find(L"\n  eject\n"), std::wstring::npos);
    EXPECT_EQ(usage.back(), L'\n');
}
} // namespace

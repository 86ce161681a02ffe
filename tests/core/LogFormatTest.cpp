// Text forms of the log: byte-exact, since other tools read the log file.
#include "txHost/core/LogFormat.h"

#include <gtest/gtest.h>

using namespace tx::logformat;

TEST(LogFormat, HResultHexIsLowerCaseWithoutLeadingZeros)
{
    struct Case
    {
        uint32_t hr;
        const wchar_t *text;
    } cases[] = {
        {0x80004005u, L"80004005"}, {0x8007000Eu, L"8007000e"}, {0u, L"0"}, {1u, L"1"}, {0x00040200u, L"40200"},
        {0xFFFFFFFFu, L"ffffffff"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HResultHex(c.hr), c.text) << c.hr;
}

TEST(LogFormat, HResultLineHasHyphenMessageAndCrLf)
{
    EXPECT_EQ(HResultLine(L"Failed to set rect", 0x80004005u), L"-Failed to set rect, 0x80004005\r\n");
    EXPECT_EQ(HResultLine(L"", 0x80070002u), L"-, 0x80070002\r\n");
}

TEST(LogFormat, FourCCReadsLowestByteFirstAndStopsAtZero)
{
    EXPECT_EQ(FourCCText(0x44495658u), L"XVID");
    EXPECT_EQ(FourCCText(0x00003259u), L"Y2");
    EXPECT_EQ(FourCCText(0u), L"");
    EXPECT_EQ(FourCCText(0x41004142u), L"BA"); // the zero byte ends the text
}

TEST(LogFormat, GuidTextIsRegistryForm)
{
    const GuidParts guid = {0x5E91AF27u, 0x24D3, 0x47AC, {0x9C, 0x55, 0x13, 0x2F, 0x04, 0xC9, 0x82, 0x81}};
    const std::wstring text = GuidText(guid);
    EXPECT_EQ(text, L"{5E91AF27-24D3-47AC-9C55-132F04C98281}");
    EXPECT_EQ(text.size(), 38u);
    const GuidParts zero = {};
    EXPECT_EQ(GuidText(zero), L"{00000000-0000-0000-0000-000000000000}");
}

TEST(LogFormat, EveryLineFormOfTheLog)
{
    const GuidParts guid = {0x5E91AF27u, 0x24D3, 0x47AC, {0x9C, 0x55, 0x13, 0x2F, 0x04, 0xC9, 0x82, 0x81}};
    EXPECT_EQ(MessageLine(L"Country code is 49"), L"-Country code is 49\r\n");
    EXPECT_EQ(MessageLine(L""), L"-\r\n");
    EXPECT_EQ(PairLine(L"a", L"b"), L"-ab\r\n");
    EXPECT_EQ(HResultGuidLine(L"Failed to create", guid, 0x80004002u),
              L"-Failed to create, {5E91AF27-24D3-47AC-9C55-132F04C98281}, 0x80004002\r\n");
    EXPECT_EQ(FourCCLine(L"Video", 0x44495658u), L"-Video, XVID\r\n");
    EXPECT_EQ(FourCCGuidLine(L"Video", 0x44495658u, guid), L"-Video, XVID, {5E91AF27-24D3-47AC-9C55-132F04C98281}\r\n");
    EXPECT_EQ(FourCCTextLine(L"Video", 0x00003259u, L"yuv"), L"-Video, Y2, yuv\r\n");
}

TEST(LogFormat, OsdLinesEndInOneLineFeed)
{
    EXPECT_EQ(OsdLine(L"-a\r\n"), L"-a\n");
    EXPECT_EQ(OsdLine(L"-a\r\nb\r\n"), L"-a\r\nb\n"); // only the closing pair changes
    EXPECT_EQ(OsdLine(L"-a"), L"-a");
}

TEST(LogFormat, BoundedTailKeepsWholeLines)
{
    std::wstring tail;
    AppendBoundedTail(tail, L"-one\n", 10);
    AppendBoundedTail(tail, L"-two\n", 10);
    EXPECT_EQ(tail, L"-one\n-two\n");
    AppendBoundedTail(tail, L"-three\n", 10);
    EXPECT_EQ(tail, L"-three\n");
    AppendBoundedTail(tail, L"-a-very-long-line-without-end", 10);
    EXPECT_EQ(tail.size(), 10u); // one long line: cut inside it
}

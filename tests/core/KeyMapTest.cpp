// The name tables of the key map, key-code texts, first-binding lookup and the remote
// event table.
#include "txHost/core/Actions.h"
#include "txHost/core/KeyMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tx::host;

TEST(KeyMapNames, MessageNamesGiveTheirActionsIgnoringCase)
{
    const struct
    {
        const wchar_t *name;
        int action;
    } cases[] = {
        {L"msgProgram", ACTION_PROGRAM},  {L"msgLeft", ACTION_LEFT}, {L"MSGPLAYPAUSE", ACTION_PLAY_PAUSE},
        {L"msglr", ACTION_AUDIO_CHANNEL}, {L"msg0", ACTION_DIGIT_0}, {L"msg9", ACTION_DIGIT_9},
        {L"msgVGATV", ACTION_VGA_TV},     {L"msgEnt", ACTION_ENTER}, {L"msgEnter", ACTION_NONE},
        {L"msgWake", ACTION_NONE},        {L"msg", ACTION_NONE},     {L"", ACTION_NONE},
        {L"msgOSD ", ACTION_NONE},        {L"msgNone", ACTION_NONE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MessageNameAction(c.name), c.action) << std::wstring(c.name).size();
}

TEST(KeyMapNames, KeyNamesGiveStandardCodes)
{
    const struct
    {
        const wchar_t *name;
        uint32_t code;
    } cases[] = {
        {L"VK_RETURN", 13},   {L"vk_return", 13},   {L"VK_CANCEL", 3},     {L"VK_A", 65},      {L"vk_z", 90},
        {L"VK_0", 48},        {L"VK_9", 57},        {L"VK_NUMPAD0", 0x60}, {L"VK_F1", 0x70},   {L"VK_F24", 0x87},
        {L"VK_SCROLL", 0x91}, {L"VK_HANJA", 0x19},  {L"VK_OEM_1", 0},      {L"VK_LBUTTON", 0}, {L"VK_KANJI", 0},
        {L"VK_SLEEP", 0},     {L"VK_VOLUME_UP", 0}, {L"RETURN", 0},        {L"", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeyNameCode(c.name), c.code);
}

TEST(KeyMapNames, CodeTextsAreNamesOrLeadingNumbers)
{
    const struct
    {
        const wchar_t *text;
        uint32_t code;
    } cases[] = {
        {L"13", 13},
        {L"13abc", 13},
        {L"  \t174", 174},
        {L"+33", 33},
        {L"abc", 0},
        {L"", 0},
        {L"0", 0},
        {L"VK_OEM_1", 0},
        {L"vk_return", 13},
        {L"0x41", 0},
        {L"- 5", 0},
        {L"-1", 0xFFFFFFFFu},
        {L"99999999999", 0x7FFFFFFFu},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseKeyCode(c.text), c.code) << std::wstring(c.text).size();
    EXPECT_EQ(ReadDecimalPrefix(L"-99999999999"), INT32_MIN);
}

TEST(KeyMapTable, FirstBindingWinsAndEveryBindingIsKept)
{
    KeyMap map;
    EXPECT_EQ(map.Lookup(13), ACTION_NONE); // empty
    EXPECT_TRUE(map.AppendCode(L"VK_RETURN", ACTION_SELECT));
    EXPECT_TRUE(map.AppendCode(L"13", ACTION_ENTER));
    EXPECT_TRUE(map.AppendCode(L"VK_M", ACTION_MENU));
    EXPECT_FALSE(map.AppendCode(L"VK_OEM_1", ACTION_MENU));
    EXPECT_FALSE(map.AppendCode(L"", ACTION_MENU));
    ASSERT_EQ(map.Count(), 3u);
    EXPECT_EQ(map.Entries()[1].virtualKey, 13u);
    EXPECT_EQ(map.Entries()[1].action, ACTION_ENTER);
    EXPECT_EQ(map.Lookup(13), ACTION_SELECT);
    EXPECT_EQ(map.Lookup('M'), ACTION_MENU);
    EXPECT_EQ(map.Lookup('N'), ACTION_NONE);
}

TEST(RemoteEvents, CodesMapThroughTheTable)
{
    const struct
    {
        long code;
        int action;
    } cases[] = {
        {25, ACTION_DIGIT_0},  {37, ACTION_AUDIO_CHANNEL}, {170, ACTION_NONE},       {141, ACTION_WAKE},
        {142, ACTION_PROGRAM}, {190, ACTION_RIGHT},        {154, ACTION_PLAY_PAUSE}, {33, ACTION_ENTER},
        {13, ACTION_DIGIT_7},  {17, ACTION_DIGIT_8},       {21, ACTION_VGA_TV},      {172, ACTION_DIGIT_3},
        {0, ACTION_NONE},      {-1, ACTION_NONE},          {144, ACTION_NONE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RemoteEventAction(c.code), c.action) << c.code;

    // Every action but ACTION_NONE has exactly one code.
    std::set<int> actions;
    int mapped = 0;
    for (long code = -1; code < 1000; ++code)
        if (const int action = RemoteEventAction(code))
        {
            actions.insert(action);
            ++mapped;
        }
    EXPECT_EQ(mapped, 37);
    EXPECT_EQ(actions.size(), 37u);
    EXPECT_EQ(*actions.begin(), ACTION_WAKE);
    EXPECT_EQ(*actions.rbegin(), ACTION_ENTER);
}

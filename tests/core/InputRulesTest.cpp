// How forwarded keys and mouse moves become actions.
#include "txHost/core/Actions.h"
#include "txHost/core/InputRules.h"
#include "txHost/core/KeyMap.h"

#include <gtest/gtest.h>

using namespace tx::host;

TEST(InputRules, FirstPressHasNeitherReleaseNorRepeatBit)
{
    EXPECT_TRUE(IsFirstPress(0x00000001u));
    EXPECT_FALSE(IsFirstPress(0x40000001u)); // held down: repeat
    EXPECT_FALSE(IsFirstPress(0x80000001u));
    EXPECT_FALSE(IsFirstPress(0xC0000001u)); // release
}

TEST(InputRules, WebModeKeys)
{
    EXPECT_EQ(WebKeyAction(0x70), ACTION_STOP);
    EXPECT_EQ(WebKeyAction(0x71), ACTION_PLAY_PAUSE);
    EXPECT_EQ(WebKeyAction(0x72), ACTION_ENTER);
    EXPECT_EQ(WebKeyAction(0x73), ACTION_SLOW);
    EXPECT_EQ(WebKeyAction(0x74), ACTION_NONE);
    EXPECT_EQ(WebKeyAction('A'), ACTION_NONE);
}

TEST(InputRules, MouseMovesAreJudgedOnTheLargerAxis)
{
    struct Case
    {
        ScreenPoint to;
        int action;
        bool referenceMoves;
    } const cases[] = {
        {{-51, 10}, ACTION_LEFT, true}, {{51, 0}, ACTION_RIGHT, true}, {{0, -51}, ACTION_UP, true},
        {{0, 51}, ACTION_DOWN, true},   {{50, 0}, ACTION_NONE, false}, {{0, -50}, ACTION_NONE, false},
        {{60, 60}, ACTION_DOWN, true},  {{60, -60}, ACTION_UP, true},  {{-60, 60}, ACTION_DOWN, true},
        {{30, 20}, ACTION_NONE, false},
    };
    for (const Case &c : cases)
    {
        ScreenPoint reference = {0, 0};
        EXPECT_EQ(MouseMoveAction(reference, c.to), c.action) << c.to.x << "," << c.to.y;
        EXPECT_EQ(reference.x == c.to.x && reference.y == c.to.y, c.referenceMoves);
    }
}

TEST(InputRules, SlowMovesAddUp)
{
    ScreenPoint reference = {200, 200};
    EXPECT_EQ(MouseMoveAction(reference, {230, 200}), ACTION_NONE);
    EXPECT_EQ(MouseMoveAction(reference, {260, 200}), ACTION_RIGHT);
    EXPECT_EQ(reference.x, 260);
    EXPECT_EQ(MouseMoveAction(reference, {290, 200}), ACTION_NONE);
}

TEST(InputRules, Wheel)
{
    EXPECT_EQ(WheelAction(-120), ACTION_DOWN);
    EXPECT_EQ(WheelAction(0), ACTION_UP);
    EXPECT_EQ(WheelAction(120), ACTION_UP);
}

TEST(InputRules, KeysInNormalAndWebKeyMode)
{
    KeyMap map;
    map.AppendCode(L"VK_RETURN", ACTION_SELECT);
    map.AppendCode(L"VK_F2", ACTION_MENU);
    constexpr uint32_t kPress = 0x001C0001u, kRepeat = 0x401C0001u, kRelease = 0xC01C0001u;
    const struct
    {
        bool web;
        uint32_t key;
        uint32_t flags;
        int action;
        int result;
    } cases[] = {
        {false, 13, kPress, ACTION_SELECT, 0},      {false, 13, kRepeat, ACTION_NONE, 0},
        {false, 13, kRelease, ACTION_NONE, 0},      {false, 'A', kPress, ACTION_NONE, 0},  // unmapped: consumed
        {false, 0x71, kPress, ACTION_MENU, 0},                                             // F2 through the map
        {true, 0x71, kPress, ACTION_PLAY_PAUSE, 0}, {true, 0x71, kRepeat, ACTION_NONE, 0}, // held F2: once
        {true, 0x71, kRelease, ACTION_NONE, 0},     {true, 0x70, kPress, ACTION_STOP, 0},
        {true, 0x72, kPress, ACTION_ENTER, 0},      {true, 0x73, kPress, ACTION_SLOW, 0},
        {true, 'A', kPress, ACTION_NONE, 1},        {true, 'A', kRelease, ACTION_NONE, 1},
        {true, 13, kPress, ACTION_NONE, 1}, // the map is not consulted
    };
    for (const auto &c : cases)
    {
        const InputReply reply = RouteKey(c.web, c.key, c.flags, map);
        EXPECT_EQ(reply.action, c.action) << c.web << " " << c.key << " " << std::hex << c.flags;
        EXPECT_EQ(reply.result, c.result) << c.web << " " << c.key << " " << std::hex << c.flags;
    }
}

TEST(InputRules, MouseInNormalAndWebKeyMode)
{
    const auto point = [](int x, int y) {
        return static_cast<uint32_t>(static_cast<uint16_t>(x)) |
               (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
    };
    ScreenPoint reference = {100, 100};
    EXPECT_EQ(RouteMouse(false, kMouseMove, point(50, 100), reference).action, ACTION_NONE); // exactly 50
    EXPECT_EQ(RouteMouse(false, kMouseMove, point(49, 110), reference).action, ACTION_LEFT); // 51 left, 10 down
    EXPECT_EQ(reference.x, 49);
    EXPECT_EQ(RouteMouse(false, kMouseMove, point(49, 161), reference).action, ACTION_DOWN);  // 51 down
    EXPECT_EQ(RouteMouse(false, kMouseMove, point(-10, 161), reference).action, ACTION_LEFT); // negative x
    EXPECT_EQ(RouteMouse(false, kLeftButtonDown, 0, reference).action, ACTION_SELECT);
    EXPECT_EQ(RouteMouse(false, kRightButtonDown, 0, reference).action, ACTION_ENTER);
    EXPECT_EQ(RouteMouse(false, kMouseWheel, point(0, -120), reference).action, ACTION_DOWN);
    EXPECT_EQ(RouteMouse(false, 0x0207 /* middle button */, 0, reference).result, 0);

    ScreenPoint before = reference;
    for (uint32_t message : {kMouseMove, kLeftButtonDown, kRightButtonDown, kMouseWheel})
    {
        const InputReply reply = RouteMouse(true, message, point(900, 900), reference);
        EXPECT_EQ(reply.action, ACTION_NONE);
        EXPECT_EQ(reply.result, 1);
    }
    EXPECT_EQ(reference.x, before.x); // web key mode leaves the reference point alone
}

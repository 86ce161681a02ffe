// How forwarded keys and mouse moves become actions.
#include "txHost/core/Actions.h"
#include "txHost/core/InputRules.h"

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
        {{-51, 10}, ACTION_LEFT, true},  {{51, 0}, ACTION_RIGHT, true}, {{0, -51}, ACTION_UP, true},
        {{0, 51}, ACTION_DOWN, true},    {{50, 0}, ACTION_NONE, false}, {{0, -50}, ACTION_NONE, false},
        {{60, 60}, ACTION_DOWN, true},   {{60, -60}, ACTION_UP, true},  {{-60, 60}, ACTION_DOWN, true},
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

#pragma once
// Action numbers that WM_COMMAND carries to the action executor (the numbers the input
// paths of the main window produce; the executor's table holds them all).
namespace tx::host
{
enum Action : int
{
    ACTION_NONE = 0,
    ACTION_LEFT = 3,
    ACTION_RIGHT = 4,
    ACTION_UP = 5,
    ACTION_DOWN = 6,
    ACTION_SELECT = 7,
    ACTION_PLAY_PAUSE = 14,
    ACTION_STOP = 15,
    ACTION_SLOW = 16,
    ACTION_ENTER = 37,
};
} // namespace tx::host

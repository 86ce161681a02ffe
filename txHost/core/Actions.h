#pragma once
// Action numbers: everything a user can ask of the host from the sofa. Keys and mouse
// moves arrive as WM_COMMAND with the number in wParam; remote-control events call the
// executor directly. Portable: no windows.h.
namespace tx::host
{
enum Action : int
{
    ACTION_NONE = 0,
    ACTION_WAKE = 1,
    ACTION_PROGRAM = 2,
    ACTION_LEFT = 3,
    ACTION_RIGHT = 4,
    ACTION_UP = 5,
    ACTION_DOWN = 6,
    ACTION_SELECT = 7,
    ACTION_MENU = 8,
    ACTION_TITLE = 9,
    ACTION_OSD = 10,
    ACTION_LANGUAGE = 11,
    ACTION_ANGLE = 12,
    ACTION_SUBTITLE = 13,
    ACTION_PLAY_PAUSE = 14,
    ACTION_STOP = 15,
    ACTION_SLOW = 16,
    ACTION_EJECT = 17,
    ACTION_REWIND = 18,
    ACTION_FAST_FORWARD = 19,
    ACTION_PREVIOUS = 20,
    ACTION_NEXT = 21,
    ACTION_VOLUME_UP = 22,
    ACTION_VOLUME_DOWN = 23,
    ACTION_MUTE = 24,
    ACTION_AUDIO_CHANNEL = 25,
    ACTION_DIGIT_0 = 26,
    ACTION_DIGIT_1 = 27,
    ACTION_DIGIT_2 = 28,
    ACTION_DIGIT_3 = 29,
    ACTION_DIGIT_4 = 30,
    ACTION_DIGIT_5 = 31,
    ACTION_DIGIT_6 = 32,
    ACTION_DIGIT_7 = 33,
    ACTION_DIGIT_8 = 34,
    ACTION_DIGIT_9 = 35,
    ACTION_VGA_TV = 36,
    ACTION_ENTER = 37,
};

// While program mode is on, the executor adds this to every incoming number below it
// (except ACTION_PROGRAM itself); no input produces such a number directly.
inline constexpr int ACTION_PROGRAM_MODE_OFFSET = 100;

// The action of a remote-control event code; ACTION_NONE for every unlisted code.
int RemoteEventAction(long code) noexcept;
} // namespace tx::host

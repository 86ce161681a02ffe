#pragma once
// How forwarded keys and mouse input become actions. Portable: no windows.h.
#include <cstdint>

namespace tx::host
{

struct ScreenPoint
{
    int32_t x;
    int32_t y;
};

// Distance the mouse must move beyond the reference point to count as a move.
inline constexpr int32_t kMouseMoveThreshold = 50;

// A key-down whose flags word has neither bit 31 (released) nor bit 30 (already down).
bool IsFirstPress(uint32_t keyFlags);
// In web key mode F1..F4 give STOP, PLAY_PAUSE, ENTER and SLOW; other keys 0.
int WebKeyAction(uint32_t virtualKey);
// A move judged on the larger axis (ties vertical), more than 50 pixels from the
// reference point; the reference point moves only when an action results.
int MouseMoveAction(ScreenPoint &reference, ScreenPoint point);
// Negative wheel delta: DOWN; zero or positive: UP.
int WheelAction(int16_t delta);

class KeyMap;

// What the main window does with one forwarded input: the action to post as WM_COMMAND
// (ACTION_NONE: nothing) and the reply to the sender (0: consumed; 1: it goes on to the
// window under it, as in web key mode for everything the host does not use).
struct InputReply
{
    int action;
    int result;
};

// A forwarded key (WM_TXKEY). Normal mode: a first press posts its key-map action and
// every key is consumed. Web key mode: only F1..F4 are the host's (first press posts,
// repeats and releases are consumed); the key map is not consulted.
InputReply RouteKey(bool webKeyMode, uint32_t virtualKey, uint32_t keyFlags, const KeyMap &map);

// Mouse messages the host turns into actions (the system's values).
inline constexpr uint32_t kMouseMove = 0x0200;
inline constexpr uint32_t kLeftButtonDown = 0x0201;
inline constexpr uint32_t kRightButtonDown = 0x0204;
inline constexpr uint32_t kMouseWheel = 0x020A;

// Forwarded mouse input (WM_TXMOUSE): the message and its data word (a screen point as
// two signed 16-bit halves, or the wheel delta in the high half). In web key mode
// everything goes on to the page.
InputReply RouteMouse(bool webKeyMode, uint32_t mouseMessage, uint32_t data, ScreenPoint &reference);

} // namespace tx::host

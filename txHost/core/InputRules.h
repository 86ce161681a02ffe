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

} // namespace tx::host

#include "txHost/core/InputRules.h"

#include "txHost/core/Actions.h"

#include <cstdlib>

namespace tx::host
{
namespace
{
constexpr uint32_t kVirtualKeyF1 = 0x70;
constexpr uint32_t kKeyReleased = 1u << 31;
constexpr uint32_t kKeyWasDown = 1u << 30;
} // namespace

bool IsFirstPress(uint32_t keyFlags)
{
    return (keyFlags & (kKeyReleased | kKeyWasDown)) == 0;
}

int WebKeyAction(uint32_t virtualKey)
{
    static constexpr int kActions[] = {ACTION_STOP, ACTION_PLAY_PAUSE, ACTION_ENTER, ACTION_SLOW};
    if (virtualKey >= kVirtualKeyF1 && virtualKey < kVirtualKeyF1 + 4)
        return kActions[virtualKey - kVirtualKeyF1];
    return ACTION_NONE;
}

int MouseMoveAction(ScreenPoint &reference, ScreenPoint point)
{
    // 64-bit differences: screen coordinates come from 16-bit halves, but stay safe.
    const int64_t dx = static_cast<int64_t>(point.x) - reference.x;
    const int64_t dy = static_cast<int64_t>(point.y) - reference.y;
    const int64_t ax = dx < 0 ? -dx : dx;
    const int64_t ay = dy < 0 ? -dy : dy;
    int action = ACTION_NONE;
    if (ax > ay)
    {
        if (ax > kMouseMoveThreshold)
            action = dx < 0 ? ACTION_LEFT : ACTION_RIGHT;
    }
    else if (ay > kMouseMoveThreshold)
        action = dy < 0 ? ACTION_UP : ACTION_DOWN;
    if (action != ACTION_NONE)
        reference = point;
    return action;
}

int WheelAction(int16_t delta)
{
    return delta < 0 ? ACTION_DOWN : ACTION_UP;
}

} // namespace tx::host

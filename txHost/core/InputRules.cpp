#include "txHost/core/InputRules.h"

#include "txHost/core/Actions.h"
#include "txHost/core/KeyMap.h"

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

InputReply RouteKey(bool webKeyMode, uint32_t virtualKey, uint32_t keyFlags, const KeyMap &map)
{
    const bool firstPress = IsFirstPress(keyFlags);
    if (webKeyMode)
    {
        const int action = WebKeyAction(virtualKey);
        if (action == ACTION_NONE)
            return {ACTION_NONE, 1}; // the browser gets the key
        return {firstPress ? action : ACTION_NONE, 0};
    }
    // Every key is consumed, mapped or not, so nothing reaches the desktop behind the TV.
    return {firstPress ? map.Lookup(virtualKey) : ACTION_NONE, 0};
}

InputReply RouteMouse(bool webKeyMode, uint32_t mouseMessage, uint32_t data, ScreenPoint &reference)
{
    if (webKeyMode)
        return {ACTION_NONE, 1};
    const auto low = static_cast<int16_t>(data & 0xFFFFu);
    const auto high = static_cast<int16_t>(data >> 16);
    switch (mouseMessage)
    {
    case kMouseMove:
        return {MouseMoveAction(reference, {low, high}), 0};
    case kLeftButtonDown:
        return {ACTION_SELECT, 0};
    case kRightButtonDown:
        return {ACTION_ENTER, 0};
    case kMouseWheel:
        return {WheelAction(high), 0};
    default:
        return {ACTION_NONE, 0};
    }
}

} // namespace tx::host

#include "txInput/KeystrokeFlags.h"

namespace tx::input
{

std::uint32_t KeystrokeTranslator::Translate(const LowLevelKey &key) noexcept
{
    const bool released = (key.flags & kLowLevelUp) != 0;
    const bool tracked = key.virtualKey < m_down.size();
    const bool wasDown = tracked && m_down.test(key.virtualKey);

    std::uint32_t flags = kKeystrokeRepeatOne | ((key.scanCode & 0xFF) << kKeystrokeScanShift);
    if (key.flags & kLowLevelExtended)
        flags |= kKeystrokeExtended;
    if (key.flags & kLowLevelAltDown)
        flags |= kKeystrokeContext;
    // A release always follows a down state; a key-down repeats when the key is held.
    if (released || wasDown)
        flags |= kKeystrokePreviousDown;
    if (released)
        flags |= kKeystrokeTransition;

    if (tracked)
        m_down.set(key.virtualKey, !released);
    return flags;
}

} // namespace tx::input

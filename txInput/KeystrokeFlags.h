#pragma once
// The keystroke flags word that the host reads in WM_TXKEY's lParam, built from what
// the low-level keyboard hook reports. The low-level hook is told the scan code and
// whether the key goes up, but not whether a key-down repeats a held key: the
// translator keeps the down state of every key to tell a first press from a repeat.
#include <bitset>
#include <cstdint>

namespace tx::input
{

// Bits of the low-level hook's flags (KBDLLHOOKSTRUCT::flags) that the translation uses.
inline constexpr std::uint32_t kLowLevelExtended = 0x01;
inline constexpr std::uint32_t kLowLevelAltDown = 0x20;
inline constexpr std::uint32_t kLowLevelUp = 0x80;

// Bits of the keystroke flags word, as a keyboard message's lParam carries them.
inline constexpr std::uint32_t kKeystrokeRepeatOne = 0x00000001; // repeat count, bits 0-15
inline constexpr unsigned kKeystrokeScanShift = 16;              // scan code, bits 16-23
inline constexpr std::uint32_t kKeystrokeExtended = 1u << 24;
inline constexpr std::uint32_t kKeystrokeContext = 1u << 29;      // ALT held
inline constexpr std::uint32_t kKeystrokePreviousDown = 1u << 30; // key was down before
inline constexpr std::uint32_t kKeystrokeTransition = 1u << 31;   // key is being released

struct LowLevelKey
{
    std::uint32_t virtualKey = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0; // kLowLevel* bits
};

class KeystrokeTranslator
{
  public:
    // Flags word for one keystroke; records the key's new up or down state. Call for
    // every keystroke in order, also for those that are not forwarded.
    std::uint32_t Translate(const LowLevelKey &key) noexcept;
    // Forgets every held key, as after the hook was (re)installed.
    void Reset() noexcept
    {
        m_down.reset();
    }

  private:
    std::bitset<256> m_down;
};

} // namespace tx::input

#pragma once
// The key map: which virtual key produces which action, as the key-map file msgs.xml
// binds them, and the name tables that file is written in. Portable: no windows.h; the
// file itself is read by KeyMapFile.h.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tx::host
{

struct KeyMapEntry
{
    uint32_t virtualKey;
    int32_t action;

    bool operator==(const KeyMapEntry &) const = default;
};

// Compares two names, ignoring the case of ASCII letters (all names in the tables are
// ASCII; other characters must match exactly).
bool NamesEqualIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;

// The action of a message name ("msgPlayPause", case ignored); 0 for an unknown name.
int MessageNameAction(std::wstring_view name) noexcept;
// The virtual-key code of a key name ("VK_RETURN", case ignored); 0 for an unknown name.
uint32_t KeyNameCode(std::wstring_view name) noexcept;
// A decimal number read the way the C runtime's atol reads one: white space skipped,
// an optional sign, then digits up to the first other character ("13abc" is 13,
// letters alone are 0); out-of-range values saturate at the 32-bit limits.
int32_t ReadDecimalPrefix(std::wstring_view text) noexcept;
// The key a code text of the file names: a key name, else a number. 0: no key.
uint32_t ParseKeyCode(std::wstring_view text) noexcept;

// The bindings in file order. A key bound more than once keeps every binding, and the
// first one decides.
class KeyMap
{
  public:
    // Adds one binding; false (and nothing added) when memory runs out.
    bool Append(uint32_t virtualKey, int32_t action) noexcept;
    // Binds the key named by a code text to the action; false when the text names no key
    // or the binding could not be stored.
    bool AppendCode(std::wstring_view codeText, int32_t action) noexcept;
    // The action of the first binding of the key; 0 when it has none.
    int32_t Lookup(uint32_t virtualKey) const noexcept;

    size_t Count() const noexcept
    {
        return m_entries.size();
    }
    const std::vector<KeyMapEntry> &Entries() const noexcept
    {
        return m_entries;
    }

  private:
    std::vector<KeyMapEntry> m_entries;
};

} // namespace tx::host

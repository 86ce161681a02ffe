#pragma once
// The text of one remote command as txcmd hands it to the host: the program's
// argument string, limited to what a global atom can carry. Pure functions over
// strings, so they build and are tested natively too.
#include <string_view>

namespace tx::remote
{

// A global atom's name holds at most this many characters.
inline constexpr std::size_t kAtomNameLimit = 255;

// The usage lines shown for an empty command line, each ended by a line feed.
extern const wchar_t kUsageText[];

// The argument string of a full process command line: everything after the program
// name (quoted or bare) and the blanks that separate it, unchanged otherwise (no
// splitting, unquoting or trimming at the end). The result views `commandLine`.
std::wstring_view ArgumentsOf(std::wstring_view commandLine) noexcept;

// The longest prefix of `text` that fits in a global atom: at most kAtomNameLimit
// UTF-16 units, never ending between the two halves of a surrogate pair.
std::wstring_view FitToAtom(std::wstring_view text) noexcept;

// True when the whole text is the word "power", in any letter case. Only this word
// may start the host when none runs.
bool IsPowerCommand(std::wstring_view text) noexcept;

} // namespace tx::remote

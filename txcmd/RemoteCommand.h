#pragma once
// txcmd's one run: hand the argument string to the running host as a text command,
// or start the host for "power" when none runs.
#include <windows.h>

#include <string_view>

namespace tx::remote
{
// Runs one command; returns the program's exit code, 0 in every case. With an empty
// argument string it only shows the usage text (modal, on the calling thread).
int RemoteCommandMain(HINSTANCE instance, std::wstring_view arguments) noexcept;
} // namespace tx::remote

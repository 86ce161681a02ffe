#pragma once
// The text-command transport between txcmd and the host window: the host is found by
// its window class; the command text travels in a global atom named by wParam of a
// synchronous APPMSG_TEXT_COMMAND. The host reads the atom's name inside the call and
// leaves it; the sender deletes it after the call has returned.
#include <windows.h>

namespace tx::remote
{
inline constexpr wchar_t kHostWindowClass[] = L"TessaronixHostMainWindow";
inline constexpr wchar_t kHostProgram[] = L"txHost.exe";
// wParam: the global atom holding the command text; lParam: 0; the reply is not read.
inline constexpr UINT APPMSG_TEXT_COMMAND = WM_APP + 9;
} // namespace tx::remote

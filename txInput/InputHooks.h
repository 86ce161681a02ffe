#pragma once
// The exports of txInput.dll, for the program that loads it by name.
//
// InitMessageHooks installs a system-wide keyboard hook; the hook runs on the thread
// that called InitMessageHooks, which must run a message loop for as long as the hook
// is installed (the host's UI thread). Each keystroke is sent as the registered
// message "WM_TXKEY" to the window of class "TessaronixHostMainWindow": wParam = the
// virtual-key code, lParam = the keystroke flags (repeat count 1 in bits 0-15, scan
// code 16-23, extended 24, ALT held 29, previously down 30, released 31). A reply of
// 0 swallows the key; any other reply, no such window or no reply within
// kHostReplyTimeoutMs passes it on to the application that has the focus.
//
// Both return 0. InitMessageHooks while the hook is installed keeps the installed
// one; UninitMessageHooks removes it and may be called any number of times. The
// library must stay loaded while the hook is installed.
#include <windows.h>

namespace tx::input
{
using InitMessageHooksFn = int(WINAPI *)();
using UninitMessageHooksFn = int(WINAPI *)();

inline constexpr char kInitMessageHooksName[] = "InitMessageHooks";
inline constexpr char kUninitMessageHooksName[] = "UninitMessageHooks";
inline constexpr wchar_t kKeyMessageName[] = L"WM_TXKEY";
inline constexpr wchar_t kMouseMessageName[] = L"WM_TXMOUSE";
inline constexpr wchar_t kHostWindowClass[] = L"TessaronixHostMainWindow";

// A host that does not answer within this time is taken as hung: the key passes on.
inline constexpr UINT kHostReplyTimeoutMs = 250;
} // namespace tx::input

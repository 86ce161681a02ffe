#pragma once
// The host's shell: the hidden main window with its procedure, the tray icon and menu,
// the About box and the process-wide shell state. Everything here runs on the UI thread.
#include "txHost/core/InputRules.h"

#include <windows.h>

class CHost;

namespace tx::host
{

struct ShellState
{
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HWND aboutWindow = nullptr; // null when the About box could not be created
    LONG closing = 0;           // set by WM_CLOSE and WM_DESTROY
    ScreenPoint mouseReference = {0, 0};
};
extern ShellState g_shell;

// The host object stored in the main window's user data; null before it is stored.
CHost *HostOf(HWND window) noexcept;

// Registers the main window class (black background, arrow cursor, no icon).
ATOM RegisterMainWindowClass(HINSTANCE instance) noexcept;
// Creates the hidden main window (WS_POPUP | WS_SYSMENU, 0 x 0 at 0,0).
HWND CreateMainWindow(HINSTANCE instance) noexcept;
// Creates the About box modeless and hidden, centred on the screen.
HWND CreateAboutBox(HINSTANCE instance) noexcept;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// With an icon adds the tray icon ("Tessaronix Host"), with none deletes it.
BOOL SetTrayIcon(HWND window, HICON icon) noexcept;
// The tray callback: a right-button release opens the tray menu.
void OnTrayNotify(CHost *host, WPARAM wParam, LPARAM lParam) noexcept;
// Carries out one item of the tray menu (0: the menu was dismissed).
void OnTrayCommand(UINT id) noexcept;
// Calls the input hook library's UninitMessageHooks when the library is loaded.
void UnloadInputHooks() noexcept;

// Message boxes of the host: no owner, caption "Tessaronix Host", OK only. When a
// message log is set (a test seam), the text is appended to that file as one UTF-8
// line instead, so nothing waits for a click.
void SetMessageLog(const wchar_t *path) noexcept;
void ShowHostMessage(const wchar_t *text) noexcept;

} // namespace tx::host

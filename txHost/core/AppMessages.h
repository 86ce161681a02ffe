#pragma once
// The application messages of the host's main window, its timers and the registered
// messages of the input hook. One table: every other part of the program uses these.
#include <windows.h>

namespace tx::host
{

// Class (and title) of the hidden main window; other programs find the host by it.
inline constexpr wchar_t kMainWindowClass[] = L"TessaronixHostMainWindow";
// Caption of every message box of the host.
inline constexpr wchar_t kProductCaption[] = L"Tessaronix Host";

// Application messages, posted to the main window unless said otherwise.
enum AppMessage : UINT
{
    APPMSG_GRAPH_EVENT = WM_APP + 1,         // the filter graph's event notification
    APPMSG_MEDIA_ARRIVED = WM_APP + 2,       // wParam = unit mask of the arrived volume
    APPMSG_MEDIA_REMOVED = WM_APP + 3,       // wParam = unit mask of the removed volume
    APPMSG_TRAY_NOTIFY = WM_APP + 4,         // tray callback: wParam = icon id 0, lParam = mouse message
    APPMSG_DECODER_PROPERTIES = WM_APP + 7,  // tray item: software decoder property pages
    APPMSG_OPEN_FILE = WM_APP + 8,           // tray item: Open File dialog
    APPMSG_TEXT_COMMAND = WM_APP + 9,        // sent by txcmd: wParam = global atom holding the command
    APPMSG_WEB_PROGRESS = WM_APP + 10,       // sent: wParam = progress, lParam = maximum
    APPMSG_WEB_BUSY = WM_APP + 11,           // wParam = 1 busy, 0 idle
    APPMSG_PLAY_PATH = WM_APP + 12,          // wParam = heap block with the path (receiver frees), lParam = kind
    APPMSG_REFRESH_COLLECTION = WM_APP + 13, // tray item: reload language, skin and collection
    APPMSG_EXTRACT_THUMBNAIL = WM_APP + 14,  // for the thumbnail helper window only
    APPMSG_SET_OPTION = WM_APP + 15,         // sent by the options sheet: wParam = option id, lParam = value
    APPMSG_POWER = WM_APP + 16,              // the text command "power"
    APPMSG_CD_LOOKUP_DONE = WM_APP + 17,     // the CD lookup thread finished
};

// Timers of the main window (WM_TIMER wParam), set after a successful initialisation.
enum HostTimer : UINT_PTR
{
    TIMER_MCI_POLL = 1200,    // 100 ms: DVD and VCD players
    TIMER_HOST_UPDATE = 1201, // 100 ms: the host's periodic update and the OSD tick
    TIMER_WEB_CURSOR = 1202,  // 25 ms: the browser cursor in web view
    TIMER_IDLE_POLL = 1203,   // 50 ms: idleness watch for the screen saver
};
inline constexpr UINT kTimerPeriodMs[] = {100, 100, 25, 50};

// Registered at static initialisation, before WinMain, by these names.
extern const UINT WM_TXKEY;
extern const UINT WM_TXMOUSE;

} // namespace tx::host

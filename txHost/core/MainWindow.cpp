#include "txHost/core/MainWindow.h"

#include "comkit/Handles.h"
#include "txHost/core/Actions.h"
#include "txHost/core/AppMessages.h"
#include "txHost/core/Host.h"
#include "txHost/core/KeyMapFile.h"
#include "txHost/core/Services.h"
#include "txHost/core/res/resource.h"

#include <dbt.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace tx::host
{

// Registered before WinMain runs, so the hook library and the host agree from the start.
const UINT WM_TXKEY = ::RegisterWindowMessageW(L"WM_TXKEY");
const UINT WM_TXMOUSE = ::RegisterWindowMessageW(L"WM_TXMOUSE");

ShellState g_shell;

namespace
{
std::wstring g_messageLog;

void PostAction(HWND window, int action) noexcept
{
    if (action != ACTION_NONE)
        ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(action), 0);
}

LRESULT OnTxKey(HWND window, CHost *host, WPARAM virtualKey, LPARAM flags) noexcept
{
    const InputReply reply = RouteKey(host && host->IsWebKeyMode(), static_cast<uint32_t>(virtualKey),
                                      static_cast<uint32_t>(flags), ProcessKeyMap());
    PostAction(window, reply.action);
    return reply.result;
}

LRESULT OnTxMouse(HWND window, CHost *host, WPARAM mouseMessage, LPARAM data) noexcept
{
    const InputReply reply = RouteMouse(host && host->IsWebKeyMode(), static_cast<uint32_t>(mouseMessage),
                                        static_cast<uint32_t>(data), g_shell.mouseReference);
    PostAction(window, reply.action);
    return reply.result;
}

void OnTimer(CHost *host, WPARAM id) noexcept
{
    switch (id)
    {
    case TIMER_MCI_POLL:
        host->OnMciPollTimer();
        break;
    case TIMER_HOST_UPDATE:
        host->OnUpdateTimer();
        break;
    case TIMER_WEB_CURSOR:
        host->OnWebCursorTimer();
        break;
    case TIMER_IDLE_POLL:
        host->OnIdleTimer();
        break;
    default:
        break;
    }
}

LRESULT OnDeviceChange(HWND window, WPARAM event, LPARAM data) noexcept
{
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return 0;
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return 0;
    const auto *volume = reinterpret_cast<const DEV_BROADCAST_VOLUME *>(data);
    ::PostMessageW(window, event == DBT_DEVICEARRIVAL ? APPMSG_MEDIA_ARRIVED : APPMSG_MEDIA_REMOVED,
                   volume->dbcv_unitmask, 0);
    return 0;
}

void OnTextCommand(CHost *host, WPARAM atom) noexcept
{
    // The sender owns the atom and deletes it after the call.
    wchar_t command[2048] = {};
    ::GlobalGetAtomNameW(static_cast<ATOM>(atom), command, 2047);
    host->ParseTextCommand(command);
}

// Application messages other than the tray callback; returns false for numbers that
// are not in the table (they go to DefWindowProc).
bool OnAppMessage(CHost *host, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) noexcept
{
    *result = 0;
    if (message == APPMSG_PLAY_PATH)
    {
        // The block is ours from the moment it is posted, host or not.
        auto *path = reinterpret_cast<wchar_t *>(wParam);
        if (host && path)
            host->OnPlayPath(path, lParam);
        if (path)
            ::HeapFree(::GetProcessHeap(), 0, path);
        return true;
    }
    switch (message)
    {
    case APPMSG_GRAPH_EVENT:
    case APPMSG_MEDIA_ARRIVED:
    case APPMSG_MEDIA_REMOVED:
    case APPMSG_DECODER_PROPERTIES:
    case APPMSG_OPEN_FILE:
    case APPMSG_TEXT_COMMAND:
    case APPMSG_WEB_PROGRESS:
    case APPMSG_WEB_BUSY:
    case APPMSG_REFRESH_COLLECTION:
    case APPMSG_SET_OPTION:
    case APPMSG_POWER:
    case APPMSG_CD_LOOKUP_DONE:
        break;
    default:
        return false;
    }
    if (!host)
        return true;
    switch (message)
    {
    case APPMSG_GRAPH_EVENT:
        host->OnGraphEvent();
        break;
    case APPMSG_MEDIA_ARRIVED:
        host->OnMediaArrived(static_cast<DWORD>(wParam));
        break;
    case APPMSG_MEDIA_REMOVED:
        host->OnMediaRemoved(static_cast<DWORD>(wParam));
        break;
    case APPMSG_DECODER_PROPERTIES:
        host->ShowDecoderPropertyPages();
        break;
    case APPMSG_OPEN_FILE:
        host->OpenFile();
        break;
    case APPMSG_TEXT_COMMAND:
        OnTextCommand(host, wParam);
        break;
    case APPMSG_WEB_PROGRESS:
        host->SetWebProgress(wParam, lParam);
        break;
    case APPMSG_WEB_BUSY:
        host->ShowWebProgress(wParam);
        break;
    case APPMSG_REFRESH_COLLECTION:
        host->ReloadAll();
        break;
    case APPMSG_SET_OPTION:
        *result = host->OnSetOption(wParam, lParam);
        break;
    case APPMSG_POWER:
        host->OnPowerMessage();
        break;
    case APPMSG_CD_LOOKUP_DONE:
        host->ShowOsdStatus(2);
        break;
    default:
        break;
    }
    return true;
}
} // namespace

CHost *HostOf(HWND window) noexcept
{
    return reinterpret_cast<CHost *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

ATOM RegisterMainWindowClass(HINSTANCE instance) noexcept
{
    WNDCLASSW windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = &MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kMainWindowClass;
    return ::RegisterClassW(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance) noexcept
{
    return ::CreateWindowExW(0, kMainWindowClass, kMainWindowClass, WS_POPUP | WS_SYSMENU, 0, 0, 0, 0, nullptr,
                             nullptr, instance, nullptr);
}

HWND CreateAboutBox(HINSTANCE instance) noexcept
{
    HWND about = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), nullptr, &AboutDialogProc, 0);
    if (!about)
        return nullptr;
    RECT box = {};
    ::GetWindowRect(about, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    ::SetWindowPos(about, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return about;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CHost *host = HostOf(window);
    if (message == WM_TXMOUSE)
        return OnTxMouse(window, host, wParam, lParam);
    if (message == WM_TXKEY)
        return OnTxKey(window, host, wParam, lParam);
    switch (message)
    {
    case WM_COMMAND:
        if (host)
            host->ExecuteAction(wParam);
        return 0;
    case WM_TIMER:
        if (host)
            OnTimer(host, wParam);
        return 0;
    case WM_DESTROY:
        g_shell.closing = 1;
        ::PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        g_shell.closing = 1;
        if (host)
            host->OnClose();
        SetTrayIcon(window, nullptr);
        ::DestroyWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        if (host)
            host->ShutdownPlayback();
        return 1;
    case WM_POWERBROADCAST:
        if (wParam != PBT_APMQUERYSUSPEND)
            break;
        if (host)
            host->ShutdownPlayback();
        return 1;
    case WM_DEVICECHANGE:
        return OnDeviceChange(window, wParam, lParam);
    case MM_MCINOTIFY:
        return 0; // the DVD and CD players are polled by timer 1200 instead
    case APPMSG_TRAY_NOTIFY:
        OnTrayNotify(host, wParam, lParam);
        return 0;
    default: {
        LRESULT result = 0;
        if (message >= WM_APP && OnAppMessage(host, message, wParam, lParam, &result))
            return result;
        break;
    }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_INITDIALOG: {
        HICON icon = static_cast<HICON>(::LoadImageW(g_shell.instance, MAKEINTRESOURCEW(IDI_TXHOST_SMALL), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        if (icon)
            ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        return TRUE;
    }
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL)
        {
            // The modeless box is only hidden; the tray shows it again.
            ::EndDialog(dialog, static_cast<INT_PTR>(wParam));
            ::ShowWindow(dialog, SW_HIDE);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL SetTrayIcon(HWND window, HICON icon) noexcept
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = window;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = APPMSG_TRAY_NOTIFY;
    data.hIcon = icon;
    ::wcsncpy(data.szTip, kProductCaption, 127);
    return ::Shell_NotifyIconW(icon ? NIM_ADD : NIM_DELETE, &data);
}

void OnTrayNotify(CHost *host, WPARAM, LPARAM lParam) noexcept
{
    if (!host || static_cast<UINT>(lParam) != WM_RBUTTONUP)
        return;
    HMENU menu = ::LoadMenuW(g_shell.instance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (!menu)
        return;
    HMENU popup = ::GetSubMenu(menu, 0);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(g_shell.mainWindow);
    const UINT id = static_cast<UINT>(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                                                       g_shell.mainWindow, nullptr));
    OnTrayCommand(id);
    ::DestroyMenu(menu);
}

void OnTrayCommand(UINT id) noexcept
{
    HWND main = g_shell.mainWindow;
    switch (id)
    {
    case IDM_ABOUT:
        if (g_shell.aboutWindow)
        {
            ::ShowWindow(g_shell.aboutWindow, SW_SHOW);
            ::SetForegroundWindow(g_shell.aboutWindow);
        }
        break;
    case IDM_OPTIONS:
        OpenOptionsSheet();
        break;
    case IDM_OPEN_MEDIA_MANAGER: {
        wchar_t folder[MAX_PATH] = {};
        const DWORD length = ::GetModuleFileNameW(nullptr, folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            break;
        if (wchar_t *slash = std::wcsrchr(folder, L'\\'))
            *slash = L'\0';
        // The full path: a bare name would be searched in the current folder, not in ours.
        const std::wstring program = std::wstring(folder) + L"\\txMM.exe";
        ::ShellExecuteW(nullptr, nullptr, program.c_str(), nullptr, folder, SW_SHOW);
        break;
    }
    case IDM_OPEN_FILE:
        ::PostMessageW(main, APPMSG_OPEN_FILE, 0, 0);
        break;
    case IDM_DECODER_PROPERTY:
        ::PostMessageW(main, APPMSG_DECODER_PROPERTIES, 0, 0);
        break;
    case IDM_REFRESH_COLLECTION:
        ::PostMessageW(main, APPMSG_REFRESH_COLLECTION, 0, 0);
        break;
    case IDM_CLOSE:
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void SetMessageLog(const wchar_t *path) noexcept
{
    try
    {
        g_messageLog = path ? path : L"";
    }
    catch (...)
    {
    }
}

void ShowHostMessage(const wchar_t *text) noexcept
{
    if (g_messageLog.empty())
    {
        ::MessageBoxW(nullptr, text, kProductCaption, MB_OK);
        return;
    }
    UniqueFileHandle file(::CreateFileW(g_messageLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    char line[1024];
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof(line) - 2, nullptr, nullptr);
    if (bytes <= 0)
        return;
    line[bytes - 1] = '\r';
    line[bytes] = '\n';
    DWORD written = 0;
    ::WriteFile(file.Get(), line, static_cast<DWORD>(bytes + 1), &written, nullptr);
}

} // namespace tx::host

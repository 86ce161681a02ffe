// Entry point of txHost: checks the machine, starts COM, OLE and GDI+, creates the hidden
// main window with the tray icon and the host object, runs the message loop with the
// host's timers, and shuts everything down in order.
//
// The command line carries only test seams (the program itself reads nothing there):
//   --message-log=<file>  message boxes are appended to the file instead of shown
//   --log=<file>          log file when the setting "Log" names none
//   --no-mmx, --no-msxml  act as if the processor had no MMX or MSXML 3.0 were missing
#include "comkit/ComPtr.h"
#include "comkit/Msxml.h"
#include "txHost/core/AppMessages.h"
#include "txHost/core/Host.h"
#include "txHost/core/MainWindow.h"
#include "txHost/core/Services.h"
#include "txHost/core/res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>

#include <cpuid.h>

#include <string>

using namespace tx::host;

namespace
{
struct TestSeams
{
    std::wstring messageLog;
    std::wstring logFile;
    bool noMmx = false;
    bool noMsxml = false;
};

TestSeams ReadTestSeams()
{
    TestSeams seams;
    int count = 0;
    LPWSTR *arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments)
        return seams;
    for (int i = 1; i < count; ++i)
    {
        const std::wstring argument = arguments[i];
        if (argument.rfind(L"--message-log=", 0) == 0)
            seams.messageLog = argument.substr(14);
        else if (argument.rfind(L"--log=", 0) == 0)
            seams.logFile = argument.substr(6);
        else if (argument == L"--no-mmx")
            seams.noMmx = true;
        else if (argument == L"--no-msxml")
            seams.noMsxml = true;
    }
    ::LocalFree(arguments);
    return seams;
}

bool HasMmx(const TestSeams &seams)
{
    if (seams.noMmx)
        return false;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    return (edx & (1u << 23)) != 0;
}

bool HasMsxml3(const TestSeams &seams)
{
    if (seams.noMsxml)
        return false;
    tx::ComPtr<IXMLDOMDocument> document;
    const HRESULT hr = ::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_ALL, __uuidof(IXMLDOMDocument),
                                          reinterpret_cast<void **>(document.GetAddressOf()));
    return SUCCEEDED(hr) && document;
}

void SetHostTimers(HWND window)
{
    ::SetTimer(window, TIMER_MCI_POLL, kTimerPeriodMs[0], nullptr);
    ::SetTimer(window, TIMER_HOST_UPDATE, kTimerPeriodMs[1], nullptr);
    ::SetTimer(window, TIMER_WEB_CURSOR, kTimerPeriodMs[2], nullptr);
    ::SetTimer(window, TIMER_IDLE_POLL, kTimerPeriodMs[3], nullptr);
}

// Runs the host from window creation to the release of the host object. Returns whether
// the message loop ran.
void RunHost(HINSTANCE instance, const TestSeams &seams)
{
    if (!RegisterMainWindowClass(instance))
        return;
    HWND window = CreateMainWindow(instance);
    if (!window)
        return;
    g_shell.mainWindow = window;

    HICON trayIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0));
    SetTrayIcon(window, trayIcon);

    CHost *created = nullptr;
    if (FAILED(CHost::Create(window, &created)))
    {
        SetTrayIcon(window, nullptr);
        if (trayIcon)
            ::DestroyIcon(trayIcon);
        return;
    }
    // The host lives as long as this identity pointer; the creation reference goes.
    tx::ComPtr<IUnknown> hostUnknown;
    created->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(hostUnknown.GetAddressOf()));
    CHost *host = created;
    created->Release();
    if (!seams.logFile.empty() && !host->Log().HasFile())
        host->Log().OpenFile(seams.logFile.c_str());
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));

    ::ShowWindow(window, SW_HIDE);
    ::UpdateWindow(window);

    LONG osdFailed = 0;
    bool loopRan = false;
    bool cdDrivesReady = false;
    if (FAILED(host->Init(&osdFailed)))
    {
        ShowHostMessage(StartupFailureMessage(osdFailed));
    }
    else
    {
        InitCdDrives();
        cdDrivesReady = true;
        SetHostTimers(window);
        BOOL screenSaverActive = FALSE;
        ::SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &screenSaverActive, 0);
        // The host runs its own screen saver while it lives.
        ::SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_SENDWININICHANGE);

        SetThreadUrlRestriction2();
        const bool useKeyMouse = host->Settings().useKeyMouse != 0;
        if (useKeyMouse)
        {
            LoadInputHooks();
            POINT cursor = {};
            ::GetCursorPos(&cursor);
            g_shell.mouseReference = {cursor.x, cursor.y};
        }

        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        {
            host->PreTranslateMessage(&message);
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        loopRan = true;

        if (useKeyMouse)
            UnloadInputHooks();
        ::SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, screenSaverActive, nullptr, SPIF_SENDWININICHANGE);
    }

    StopOptionsSheet();
    // The drive layer is shut down only when it was started.
    if (cdDrivesReady)
        UninitCdDrives();
    host->ShutdownTv(loopRan);
    host->ShutdownIfRequested();
    // The remote source holds a reference to the host while connected.
    host->DisconnectRemoteControl();

    if (::IsWindow(window))
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    hostUnknown.Reset(); // the last reference: the host object is destroyed here
    if (trayIcon)
        ::DestroyIcon(trayIcon);
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    g_shell.instance = instance;
    // One host per desktop.
    if (::FindWindowW(kMainWindowClass, nullptr))
        return 0;

    const TestSeams seams = ReadTestSeams();
    SetMessageLog(seams.messageLog.c_str());

    ::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    ::InitCommonControls();
    if (FAILED(::OleInitialize(nullptr)))
        return 0;

    // Both checks run, so the user learns of both missing pieces at once.
    bool machineReady = true;
    if (!HasMmx(seams))
    {
        ShowHostMessage(L"This program requires MMX to function properly");
        machineReady = false;
    }
    if (!HasMsxml3(seams))
    {
        ShowHostMessage(L"MSXML3.0 not installed");
        machineReady = false;
    }
    if (!machineReady)
    {
        ::OleUninitialize();
        return 0;
    }

    RegisterMimeFilters();

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    const bool gdiplusStarted = Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr) == Gdiplus::Ok;

    g_shell.aboutWindow = CreateAboutBox(instance);

    RunHost(instance, seams);

    if (gdiplusStarted)
        Gdiplus::GdiplusShutdown(gdiplusToken);
    RevokeMimeFilters();
    ::OleUninitialize();
    return 0;
}

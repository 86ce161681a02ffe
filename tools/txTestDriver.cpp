// Test driver for a running txHost: finds its main window and sends or posts messages.
//
//   txTestDriver wait-window [timeout-ms]          exit 0 once the host window exists
//   txTestDriver wait-gone [timeout-ms]            exit 0 once it is gone
//   txTestDriver post <msg> <wparam> <lparam>      post a message; exit 0 when posted
//   txTestDriver send <msg> <wparam> <lparam>      send it (5 s limit) and print the result
//   txTestDriver close [timeout-ms]                post WM_CLOSE and wait for the window to go
//
// <msg> is a number (decimal or 0x hex) or one of WM_TXKEY, WM_TXMOUSE, WM_CLOSE,
// WM_COMMAND, WM_QUERYENDSESSION, WM_APP+n. Exit codes: 0 done, 1 no host window or
// time-out, 2 usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace
{
constexpr wchar_t kHostClass[] = L"TessaronixHostMainWindow";
constexpr DWORD kDefaultTimeoutMs = 20000;

int Usage()
{
    std::fwprintf(stderr, L"usage: txTestDriver wait-window|wait-gone|close [timeout-ms]\n"
                          L"       txTestDriver post|send <msg> <wparam> <lparam>\n");
    return 2;
}

bool ParseNumber(const wchar_t *text, long long *value)
{
    wchar_t *end = nullptr;
    *value = std::wcstoll(text, &end, 0);
    return end && end != text && *end == L'\0';
}

bool ParseMessage(const wchar_t *text, UINT *message)
{
    const std::wstring name = text;
    if (name == L"WM_TXKEY" || name == L"WM_TXMOUSE")
    {
        *message = ::RegisterWindowMessageW(text);
        return true;
    }
    struct Named
    {
        const wchar_t *name;
        UINT value;
    } const names[] = {{L"WM_CLOSE", WM_CLOSE},
                       {L"WM_COMMAND", WM_COMMAND},
                       {L"WM_QUERYENDSESSION", WM_QUERYENDSESSION},
                       {L"WM_TIMER", WM_TIMER}};
    for (const Named &n : names)
        if (name == n.name)
        {
            *message = n.value;
            return true;
        }
    long long value = 0;
    if (name.rfind(L"WM_APP+", 0) == 0 && ParseNumber(name.c_str() + 7, &value))
    {
        *message = WM_APP + static_cast<UINT>(value);
        return true;
    }
    if (!ParseNumber(text, &value))
        return false;
    *message = static_cast<UINT>(value);
    return true;
}

HWND WaitForWindow(DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;)
    {
        if (HWND window = ::FindWindowW(kHostClass, nullptr))
            return window;
        if (::GetTickCount64() >= deadline)
            return nullptr;
        ::Sleep(50);
    }
}

bool WaitForGone(DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::FindWindowW(kHostClass, nullptr))
    {
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(50);
    }
    return true;
}

DWORD TimeoutArgument(int argc, wchar_t **argv, int index)
{
    long long value = 0;
    if (argc > index && ParseNumber(argv[index], &value) && value > 0)
        return static_cast<DWORD>(value);
    return kDefaultTimeoutMs;
}
} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    if (command == L"wait-window")
        return WaitForWindow(TimeoutArgument(argc, argv, 2)) ? 0 : 1;
    if (command == L"wait-gone")
        return WaitForGone(TimeoutArgument(argc, argv, 2)) ? 0 : 1;
    if (command == L"close")
    {
        HWND window = ::FindWindowW(kHostClass, nullptr);
        if (!window)
            return 1;
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitForGone(TimeoutArgument(argc, argv, 2)) ? 0 : 1;
    }
    if (command == L"post" || command == L"send")
    {
        UINT message = 0;
        long long wParam = 0;
        long long lParam = 0;
        if (argc != 5 || !ParseMessage(argv[2], &message) || !ParseNumber(argv[3], &wParam) ||
            !ParseNumber(argv[4], &lParam))
            return Usage();
        HWND window = ::FindWindowW(kHostClass, nullptr);
        if (!window)
            return 1;
        if (command == L"post")
            return ::PostMessageW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)) ? 0 : 1;
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam),
                                   SMTO_ABORTIFHUNG, 5000, &result))
            return 1;
        std::wprintf(L"%lld\n", static_cast<long long>(result));
        return 0;
    }
    return Usage();
}

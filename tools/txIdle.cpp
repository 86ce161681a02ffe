// An idle Wine process kept alive for a test run: Wine's desktop process starts from
// it, so no test's output pipe is held open after the test ends. Ends when killed or
// when sent WM_CLOSE.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"TessaronixTestAnchor", WS_POPUP, 0, 0, 1, 1, nullptr,
                                    nullptr, instance, nullptr);
    MSG msg;
    while (window && ::GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        if (msg.message == WM_CLOSE)
            break;
        ::DispatchMessageW(&msg);
    }
    return 0;
}

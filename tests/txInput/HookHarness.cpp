#include "tests/txInput/HookHarness.h"

#include "txInput/InputHooks.h"

#include <chrono>
#include <iomanip>

namespace tx::test
{
namespace
{
constexpr wchar_t kControlWindowClass[] = L"TxTestHookControl";
constexpr wchar_t kFocusWindowClass[] = L"TxTestFocusWindow";
constexpr UINT kRunMessage = WM_APP + 200;

void PumpPendingMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::vector<KeyEvent> WithoutSentinel(const std::vector<KeyEvent> &keys)
{
    std::vector<KeyEvent> result;
    for (const KeyEvent &key : keys)
    {
        if (key.virtualKey != kSentinelKey)
            result.push_back(key);
    }
    return result;
}
} // namespace

std::ostream &operator<<(std::ostream &out, const KeyEvent &key)
{
    return out << "{vk 0x" << std::hex << key.virtualKey << ", flags 0x" << std::setw(8) << std::setfill('0')
               << key.flags << ", msg 0x" << key.message << std::dec << "}";
}

StandInHostThread::~StandInHostThread()
{
    Stop();
}

bool StandInHostThread::Start()
{
    UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_thread = std::thread([this, event = ready.Get()] { ThreadMain(event); });
    ::WaitForSingleObject(ready.Get(), INFINITE);
    return m_started;
}

void StandInHostThread::Stop()
{
    if (!m_thread.joinable())
        return;
    if (m_controlWindow)
        ::PostMessageW(m_controlWindow, WM_CLOSE, 0, 0);
    m_thread.join();
}

void StandInHostThread::ThreadMain(HANDLE ready)
{
    static const bool registered = [] {
        WNDCLASSW host = {};
        host.lpfnWndProc = &StandInHostThread::HostWindowProc;
        host.hInstance = ::GetModuleHandleW(nullptr);
        host.lpszClassName = tx::input::kHostWindowClass;
        WNDCLASSW control = {};
        control.lpfnWndProc = &StandInHostThread::ControlWindowProc;
        control.hInstance = ::GetModuleHandleW(nullptr);
        control.lpszClassName = kControlWindowClass;
        return ::RegisterClassW(&host) != 0 && ::RegisterClassW(&control) != 0;
    }();
    m_keyMessage = ::RegisterWindowMessageW(tx::input::kKeyMessageName);
    // A top-level window as the host has: a message-only window is not found by class.
    m_hostWindow = ::CreateWindowExW(0, tx::input::kHostWindowClass, tx::input::kHostWindowClass, WS_POPUP, 0, 0, 0, 0,
                                     nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    m_controlWindow = ::CreateWindowExW(0, kControlWindowClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleW(nullptr), this);
    m_library.Reset(::LoadLibraryW((ExecutableFolder() + L"txInput.dll").c_str()));
    m_init = GetProcAddressAs<int(WINAPI *)()>(m_library.Get(), tx::input::kInitMessageHooksName);
    m_uninit = GetProcAddressAs<int(WINAPI *)()>(m_library.Get(), tx::input::kUninitMessageHooksName);
    m_started = registered && m_hostWindow && m_controlWindow && m_init && m_uninit;
    ::SetEvent(ready);
    if (m_started)
    {
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (m_uninit)
        m_uninit();
    DestroyHostWindow();
    if (m_controlWindow)
        ::DestroyWindow(m_controlWindow);
    m_controlWindow = nullptr;
    m_library.Reset();
}

void StandInHostThread::RunOnHostThread(const std::function<void()> &work)
{
    ::SendMessageW(m_controlWindow, kRunMessage, 0, reinterpret_cast<LPARAM>(&work));
}

int StandInHostThread::Init()
{
    return m_init();
}

int StandInHostThread::Uninit()
{
    return m_uninit();
}

void StandInHostThread::DestroyHostWindow()
{
    if (m_hostWindow)
        ::DestroyWindow(m_hostWindow);
    m_hostWindow = nullptr;
}

void StandInHostThread::SetPolicy(KeyPolicy policy)
{
    std::lock_guard lock(m_lock);
    m_policy = std::move(policy);
}

void StandInHostThread::SetObserver(std::function<void(UINT, UINT)> observer)
{
    std::lock_guard lock(m_lock);
    m_observer = std::move(observer);
}

std::vector<KeyEvent> StandInHostThread::KeysWithoutSentinel() const
{
    std::lock_guard lock(m_lock);
    return WithoutSentinel(m_keys);
}

void StandInHostThread::ClearKeys()
{
    std::lock_guard lock(m_lock);
    m_keys.clear();
}

LRESULT CALLBACK StandInHostThread::HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<StandInHostThread *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == self->m_keyMessage)
    {
        const UINT virtualKey = static_cast<UINT>(wParam);
        const UINT flags = static_cast<UINT>(lParam);
        std::lock_guard lock(self->m_lock);
        if (self->m_observer)
            self->m_observer(virtualKey, flags);
        self->m_keys.push_back({virtualKey, flags, 0});
        if (virtualKey == kSentinelKey || !self->m_policy)
            return 1;
        return self->m_policy(virtualKey, flags);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK StandInHostThread::ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunMessage)
    {
        (*reinterpret_cast<const std::function<void()> *>(lParam))();
        return 0;
    }
    if (message == WM_CLOSE)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

FocusWindow::~FocusWindow()
{
    if (m_window)
        ::DestroyWindow(m_window);
}

bool FocusWindow::Create()
{
    static const bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &FocusWindow::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kFocusWindowClass;
        return ::RegisterClassW(&wc) != 0;
    }();
    if (!registered)
        return false;
    m_window = ::CreateWindowExW(0, kFocusWindowClass, L"Key receiver", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), this);
    if (!m_window)
        return false;
    ::ShowWindow(m_window, SW_SHOW);
    TakeFocus();
    return true;
}

void FocusWindow::TakeFocus()
{
    ::SetForegroundWindow(m_window);
    ::SetActiveWindow(m_window);
    ::SetFocus(m_window);
    PumpPendingMessages();
}

std::vector<KeyEvent> FocusWindow::KeysWithoutSentinel() const
{
    return WithoutSentinel(m_keys);
}

void FocusWindow::ClearKeys()
{
    m_keys.clear();
}

LRESULT CALLBACK FocusWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<FocusWindow *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP))
    {
        self->m_keys.push_back({static_cast<UINT>(wParam), static_cast<UINT>(lParam), message});
        if (wParam == kSentinelKey && message == WM_KEYUP)
            self->m_sentinelReleased = true;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool InjectAndWait(const std::vector<Stroke> &strokes, FocusWindow &focus)
{
    focus.TakeFocus();
    focus.ResetSentinel();
    std::vector<INPUT> inputs;
    auto add = [&](const Stroke &stroke) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(stroke.virtualKey);
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(stroke.virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = (stroke.up ? KEYEVENTF_KEYUP : 0) | (stroke.extended ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(input);
    };
    for (const Stroke &stroke : strokes)
        add(stroke);
    add({kSentinelKey, false});
    add({kSentinelKey, true});
    if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return false;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!focus.SentinelReleased() && std::chrono::steady_clock::now() < deadline)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpPendingMessages();
    }
    return focus.SentinelReleased();
}

} // namespace tx::test

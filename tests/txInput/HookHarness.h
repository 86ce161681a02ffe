#pragma once
// Test harness for the keyboard hook: a stand-in host (a window of the host's class
// on a thread of its own, which loads txInput.dll and installs the hook there, as the
// host's UI thread does), a focused window on the calling thread, and key injection.
#include "comkit/Handles.h"
#include "tests/support/TestPaths.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

namespace tx::test
{

// A key that every test injects last: once the focused window has it, every key
// injected before it has been through the hook.
inline constexpr UINT kSentinelKey = VK_F9;

struct KeyEvent
{
    UINT virtualKey = 0;
    UINT flags = 0;   // keystroke flags (lParam)
    UINT message = 0; // WM_KEYDOWN etc. at the focused window; 0 at the host
    bool operator==(const KeyEvent &) const = default;
};
std::ostream &operator<<(std::ostream &out, const KeyEvent &key);

struct Stroke
{
    UINT virtualKey = 0;
    bool up = false;
    bool extended = false;
};

// Answer of the stand-in host to WM_TXKEY: 0 swallows the key.
using KeyPolicy = std::function<LRESULT(UINT virtualKey, UINT flags)>;

class StandInHostThread
{
  public:
    StandInHostThread() = default;
    ~StandInHostThread();
    StandInHostThread(const StandInHostThread &) = delete;
    StandInHostThread &operator=(const StandInHostThread &) = delete;

    // Starts the thread, its host window and loads txInput.dll there.
    bool Start();
    void Stop();
    // Runs the function on the host thread and waits for it.
    void RunOnHostThread(const std::function<void()> &work);

    // On the host thread only.
    int Init();
    int Uninit();
    void DestroyHostWindow();

    void SetPolicy(KeyPolicy policy);
    // Measures each answer: called on the host thread inside WM_TXKEY, before the policy.
    void SetObserver(std::function<void(UINT virtualKey, UINT flags)> observer);
    std::vector<KeyEvent> KeysWithoutSentinel() const;
    void ClearKeys();

  private:
    void ThreadMain(HANDLE ready);
    static LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::thread m_thread;
    HWND m_hostWindow = nullptr;
    HWND m_controlWindow = nullptr;
    UniqueModule m_library;
    int(WINAPI *m_init)() = nullptr;
    int(WINAPI *m_uninit)() = nullptr;
    UINT m_keyMessage = 0;
    bool m_started = false;

    mutable std::mutex m_lock;
    KeyPolicy m_policy;
    std::function<void(UINT, UINT)> m_observer;
    std::vector<KeyEvent> m_keys;
};

// A visible top-level window of the calling thread that has the keyboard focus and
// records the keyboard messages it gets.
class FocusWindow
{
  public:
    FocusWindow() = default;
    ~FocusWindow();
    FocusWindow(const FocusWindow &) = delete;
    FocusWindow &operator=(const FocusWindow &) = delete;

    bool Create();
    void TakeFocus();
    std::vector<KeyEvent> KeysWithoutSentinel() const;
    void ClearKeys();
    bool SentinelReleased() const
    {
        return m_sentinelReleased;
    }
    void ResetSentinel()
    {
        m_sentinelReleased = false;
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    std::vector<KeyEvent> m_keys;
    bool m_sentinelReleased = false;
};

// Sends the strokes and then the sentinel with SendInput, and pumps this thread's
// messages until the focused window has the sentinel's release (false after 10 s).
bool InjectAndWait(const std::vector<Stroke> &strokes, FocusWindow &focus);

} // namespace tx::test

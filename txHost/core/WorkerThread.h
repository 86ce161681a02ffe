#pragma once
// WorkerThread: one thread with a message wait, such as the host's graph-run thread.
// Holds the thread's id and handle (both 0 while no thread runs). Stopping posts WM_QUIT
// to the thread and waits for it; the routine must end when it sees WM_QUIT, or by
// itself when it pumps no messages. Used on one thread (the UI thread).
#include "comkit/Handles.h"

#include <windows.h>

class WorkerThread
{
  public:
    // How long the destructor waits for the thread before it gives up on it.
    static constexpr DWORD kDestroyTimeoutMs = 10000;

    explicit WorkerThread(DWORD destroyTimeoutMs = kDestroyTimeoutMs) noexcept : m_destroyTimeoutMs(destroyTimeoutMs)
    {
    }
    // Stops the thread, waiting at most the destroy time-out (logged when it runs out),
    // so that the program's exit cannot hang on a thread that does not end.
    ~WorkerThread();
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Starts routine(context) on a new thread with default security and stack. E_FAIL when
    // no thread was created (id and handle stay 0). A thread still held is not stopped
    // here: callers stop the previous one first.
    HRESULT Start(LPTHREAD_START_ROUTINE routine, void *context) noexcept;
    // When a thread is held: posts WM_QUIT to it, waits up to timeoutMs (INFINITE allowed)
    // and closes the handle; then id and handle are 0. S_OK when the thread ended or none
    // was held; HRESULT_FROM_WIN32(ERROR_TIMEOUT) when it still ran at the time-out
    // (logged; the thread is left to itself).
    HRESULT Stop(DWORD timeoutMs) noexcept;

    DWORD ThreadId() const noexcept
    {
        return m_threadId;
    }
    HANDLE ThreadHandle() const noexcept
    {
        return m_thread.Get();
    }

  private:
    DWORD m_threadId = 0;
    tx::UniqueHandle m_thread;
    DWORD m_destroyTimeoutMs;
};

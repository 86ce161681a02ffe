#pragma once
// CWorkerThread: a thread that takes numbered requests from other threads, one at a
// time, and answers each (the command channel of a streaming thread).
//
// The caller side: Create starts the thread; CallWorker posts a request and waits for
// the worker's Reply. The worker side (ThreadProc): GetRequest waits for a request,
// CheckRequest peeks without waiting, Reply answers the pending request.
#include "comkit/Handles.h"

#include <windows.h>

namespace tx::dshow
{

class CWorkerThread
{
  public:
    CWorkerThread() noexcept;
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread &) = delete;
    CWorkerThread &operator=(const CWorkerThread &) = delete;

    // Starts the thread; false when it exists already or cannot be started.
    bool Create() noexcept;
    // Posts request and returns the worker's reply (E_FAIL without a thread).
    DWORD CallWorker(DWORD request) noexcept;
    // Waits for the thread to end and closes it.
    void Close() noexcept;
    bool ThreadExists() const noexcept
    {
        return m_thread.IsValid();
    }

  protected:
    // Worker side.
    DWORD GetRequest() noexcept;
    bool CheckRequest(DWORD *request) noexcept;
    void Reply(DWORD result) noexcept;
    virtual DWORD ThreadProc() = 0;

  private:
    static DWORD WINAPI ThreadStart(void *self);

    tx::UniqueHandle m_thread;
    tx::UniqueHandle m_requestEvent; // auto-reset: a request is pending
    tx::UniqueHandle m_replyEvent;   // auto-reset: the worker answered
    tx::CriticalSection m_callLock;  // one caller at a time
    DWORD m_request = 0;
    DWORD m_reply = 0;
};

} // namespace tx::dshow

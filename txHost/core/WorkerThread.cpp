#include "txHost/core/WorkerThread.h"

#include "comkit/HResult.h"

WorkerThread::~WorkerThread()
{
    Stop(m_destroyTimeoutMs);
}

HRESULT WorkerThread::Start(LPTHREAD_START_ROUTINE routine, void *context) noexcept
{
    DWORD id = 0;
    HANDLE thread = ::CreateThread(nullptr, 0, routine, context, 0, &id);
    if (!thread)
    {
        tx::LogFailure(HRESULT_FROM_WIN32(::GetLastError()), L"Failed to start worker thread");
        return E_FAIL;
    }
    m_thread.Reset(thread);
    m_threadId = id;
    return S_OK;
}

HRESULT WorkerThread::Stop(DWORD timeoutMs) noexcept
{
    HRESULT hr = S_OK;
    if (m_thread)
    {
        // Fails harmlessly when the thread has no message queue (yet) or has ended.
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        if (::WaitForSingleObject(m_thread.Get(), timeoutMs) != WAIT_OBJECT_0)
        {
            hr = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
            tx::LogFailure(hr, L"Failed to stop worker thread in time; leaving it running");
        }
    }
    m_thread.Reset();
    m_threadId = 0;
    return hr;
}

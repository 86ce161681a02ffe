#include "dshowbase/WorkerThread.h"

namespace tx::dshow
{

CWorkerThread::CWorkerThread() noexcept
    : m_requestEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_replyEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

CWorkerThread::~CWorkerThread()
{
    Close();
}

bool CWorkerThread::Create() noexcept
{
    CriticalSectionLock lock(m_callLock);
    if (m_thread.IsValid() || !m_requestEvent.IsValid() || !m_replyEvent.IsValid())
        return false;
    m_thread.Reset(::CreateThread(nullptr, 0, &CWorkerThread::ThreadStart, this, 0, nullptr));
    return m_thread.IsValid();
}

DWORD WINAPI CWorkerThread::ThreadStart(void *self)
{
    return static_cast<CWorkerThread *>(self)->ThreadProc();
}

DWORD CWorkerThread::CallWorker(DWORD request) noexcept
{
    CriticalSectionLock lock(m_callLock);
    if (!m_thread.IsValid())
        return static_cast<DWORD>(E_FAIL);
    m_request = request;
    ::SetEvent(m_requestEvent.Get());
    // The worker may end instead of answering (it returned from ThreadProc).
    HANDLE waits[2] = {m_replyEvent.Get(), m_thread.Get()};
    const DWORD which = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return which == WAIT_OBJECT_0 ? m_reply : static_cast<DWORD>(E_FAIL);
}

void CWorkerThread::Close() noexcept
{
    if (m_thread.IsValid())
    {
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
        m_thread.Reset();
    }
}

DWORD CWorkerThread::GetRequest() noexcept
{
    ::WaitForSingleObject(m_requestEvent.Get(), INFINITE);
    return m_request;
}

bool CWorkerThread::CheckRequest(DWORD *request) noexcept
{
    if (::WaitForSingleObject(m_requestEvent.Get(), 0) != WAIT_OBJECT_0)
        return false;
    // Peeking must not consume the request: signal it again for GetRequest.
    ::SetEvent(m_requestEvent.Get());
    if (request)
        *request = m_request;
    return true;
}

void CWorkerThread::Reply(DWORD result) noexcept
{
    m_reply = result;
    ::SetEvent(m_replyEvent.Get());
}

} // namespace tx::dshow

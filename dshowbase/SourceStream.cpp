#include "dshowbase/SourceStream.h"

#include "comkit/HResult.h"
#include "dshowbase/SourceFilter.h"

namespace tx::dshow
{

CSourceStream::CSourceStream(CSource *filter, const wchar_t *name) noexcept
    : CBaseOutputPin(filter, name, nullptr), m_source(filter)
{
    filter->AddPin(this);
}

CSourceStream::~CSourceStream()
{
    // A thread still running would call into a half-destroyed pin.
    if (ThreadExists())
    {
        CallWorker(CmdExit);
        Close();
    }
}

HRESULT CSourceStream::CheckMediaType(const CMediaType &type)
{
    for (int position = 0;; ++position)
    {
        CMediaType offered;
        if (GetMediaType(position, &offered) != S_OK)
            return E_FAIL;
        if (offered == type)
            return S_OK;
    }
}

HRESULT CSourceStream::Active()
{
    HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr))
        return hr;
    if (ThreadExists())
        return S_OK;
    if (!Create())
        return E_FAIL;
    hr = static_cast<HRESULT>(CallWorker(CmdInit));
    if (FAILED(hr))
    {
        CallWorker(CmdExit);
        Close();
        return hr;
    }
    return static_cast<HRESULT>(CallWorker(CmdPause));
}

HRESULT CSourceStream::Inactive()
{
    // Decommit first: a thread blocked in GetDeliveryBuffer wakes with a failure.
    HRESULT hr = CBaseOutputPin::Inactive();
    if (ThreadExists())
    {
        CallWorker(CmdStop);
        CallWorker(CmdExit);
        Close();
    }
    return hr;
}

HRESULT CSourceStream::OnThreadCreate()
{
    return S_OK;
}

HRESULT CSourceStream::OnThreadDestroy()
{
    return S_OK;
}

HRESULT CSourceStream::OnThreadStartPlay()
{
    return S_OK;
}

DWORD CSourceStream::ThreadProc()
{
    DWORD command = 0;
    do
    {
        command = GetRequest();
        if (command != CmdInit)
            Reply(static_cast<DWORD>(E_UNEXPECTED));
    } while (command != CmdInit);

    HRESULT hr = OnThreadCreate();
    if (FAILED(hr))
    {
        OnThreadDestroy();
        Reply(static_cast<DWORD>(hr));
        return 1;
    }
    Reply(S_OK);

    for (;;)
    {
        command = GetRequest();
        switch (command)
        {
        case CmdExit:
            Reply(S_OK);
            OnThreadDestroy();
            return 0;
        case CmdRun:
        case CmdPause:
            Reply(S_OK);
            DoBufferProcessing();
            break;
        case CmdStop:
            Reply(S_OK);
            break;
        default:
            Reply(static_cast<DWORD>(E_NOTIMPL));
            break;
        }
    }
}

HRESULT CSourceStream::DoBufferProcessing()
{
    OnThreadStartPlay();
    for (;;)
    {
        DWORD command = 0;
        if (CheckRequest(&command))
        {
            // Pause and Run need no change of pace here; anything else ends the loop.
            if (command == CmdRun || command == CmdPause)
            {
                GetRequest();
                Reply(S_OK);
                continue;
            }
            return S_OK;
        }
        tx::ComPtr<IMediaSample> sample;
        HRESULT hr = GetDeliveryBuffer(sample.GetAddressOf(), nullptr, nullptr, 0);
        if (FAILED(hr))
            return hr; // decommitted while stopping: wait for the stop command
        hr = FillBuffer(sample.Get());
        if (hr == S_OK)
        {
            hr = Deliver(sample.Get());
            if (hr != S_OK)
                return S_OK; // downstream refused (flushing or stopping): wait for a command
        }
        else if (hr == S_FALSE)
        {
            sample.Reset();
            DeliverEndOfStream();
            return S_OK;
        }
        else
        {
            sample.Reset();
            tx::LogFailure(hr, L"Failed to fill a sample");
            DeliverEndOfStream();
            m_filter->NotifyEvent(EC_ERRORABORT, hr, 0);
            return hr;
        }
    }
}

} // namespace tx::dshow

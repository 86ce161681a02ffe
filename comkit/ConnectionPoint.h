#pragma once
// Connecting a sink to an event source's connection point, and keeping it connected
// for exactly the lifetime of an owner object.
#include "comkit/ComPtr.h"

#include <windows.h>
#include <ocidl.h>

namespace tx
{

class AdviseConnection
{
  public:
    AdviseConnection() noexcept = default;
    ~AdviseConnection()
    {
        Disconnect();
    }
    AdviseConnection(const AdviseConnection &) = delete;
    AdviseConnection &operator=(const AdviseConnection &) = delete;

    // Finds the source's connection point for `events` and advises `sink` on it.
    HRESULT Connect(IUnknown *source, REFIID events, IUnknown *sink) noexcept
    {
        Disconnect();
        if (!source || !sink)
            return E_POINTER;
        ComPtr<IConnectionPointContainer> container;
        HRESULT hr = source->QueryInterface(IID_PPV_ARGS(&container));
        if (FAILED(hr))
            return hr;
        ComPtr<IConnectionPoint> point;
        hr = container->FindConnectionPoint(events, &point);
        if (FAILED(hr))
            return hr;
        DWORD cookie = 0;
        hr = point->Advise(sink, &cookie);
        if (FAILED(hr))
            return hr;
        m_point = point;
        m_cookie = cookie;
        return S_OK;
    }
    void Disconnect() noexcept
    {
        if (m_point)
        {
            m_point->Unadvise(m_cookie);
            m_point.Reset();
            m_cookie = 0;
        }
    }
    bool IsConnected() const noexcept
    {
        return m_point != nullptr;
    }

  private:
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

} // namespace tx

#include "txHost/core/HostEventSinks.h"

#include "comkit/Categories.h"

HRESULT CHostEventSinks::Load() noexcept
{
    std::vector<CLSID> classes;
    if (FAILED(tx::EnumerateCategoryClasses(m_category, classes)))
        return S_FALSE;
    for (const CLSID &clsid : classes)
    {
        tx::ComPtr<IUnknown> sink;
        if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                                      reinterpret_cast<void **>(sink.GetAddressOf()))))
            sink.Reset();
        HRESULT hr = Add(sink.Get());
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CHostEventSinks::Add(IUnknown *sink) noexcept
{
    try
    {
        m_sinks.emplace_back(sink);
        return S_OK;
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}

void CHostEventSinks::Clear() noexcept
{
    m_sinks.clear();
}

template <class Call> void CHostEventSinks::Fire(Call &&call) noexcept
{
    // By index: a sink may call back into the host, which never adds sinks while firing,
    // but the vector must not be iterated across a reallocation.
    for (size_t i = 0; i < m_sinks.size(); ++i)
    {
        IUnknown *sink = m_sinks[i].Get();
        if (!sink)
            continue;
        tx::ComPtr<IHostEvents> events;
        if (FAILED(sink->QueryInterface(__uuidof(IHostEvents), reinterpret_cast<void **>(events.GetAddressOf()))))
            continue;
        call(events.Get());
    }
}

void CHostEventSinks::FireStatusText(LONG code) noexcept
{
    Fire([code](IHostEvents *events) { events->OnStatusText(code); });
}

void CHostEventSinks::FireNumber(LONG number) noexcept
{
    Fire([number](IHostEvents *events) { events->OnNumber(number); });
}

void CHostEventSinks::FireHostPointer(IHost *host) noexcept
{
    Fire([host](IHostEvents *events) { events->OnHostPointer(host); });
}

void CHostEventSinks::FireHostReleased() noexcept
{
    FireHostPointer(nullptr);
}

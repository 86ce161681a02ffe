#pragma once
// The outside objects of a component category that the host tells about its state
// (IHostEvents): created once at initialisation, called in order on the UI thread.
#include "comkit/ComPtr.h"
#include "txHost/core/HostInterfaces.h"

#include <vector>

class CHostEventSinks
{
  public:
    explicit CHostEventSinks(const GUID &category) noexcept : m_category(category)
    {
    }

    // Creates every class registered in the category (CLSCTX_ALL, for IUnknown) and
    // appends it; a class that fails to create leaves an empty entry. Without the
    // categories manager or its enumeration the list stays empty (S_FALSE).
    HRESULT Load() noexcept;
    // Appends one object (null allowed: an empty entry).
    HRESULT Add(IUnknown *sink) noexcept;
    void Clear() noexcept;
    size_t Count() const noexcept
    {
        return m_sinks.size();
    }

    // IHostEvents methods 3, 4 and 5; objects without IHostEvents are skipped.
    void FireStatusText(LONG code) noexcept;
    void FireNumber(LONG number) noexcept;
    void FireHostPointer(IHost *host) noexcept;
    void FireHostReleased() noexcept;

  private:
    template <class Call> void Fire(Call &&call) noexcept;

    GUID m_category;
    std::vector<tx::ComPtr<IUnknown>> m_sinks;
};

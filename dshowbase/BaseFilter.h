#pragma once
// CBaseFilter: IBaseFilter (with IMediaFilter and IPersist) for the filters of our own.
//
// A derived filter supplies its pins (GetPinCount, GetPin) and may answer further
// interfaces through QueryInterfaceExtra. Pins delegate their reference count to the
// filter, so a pin lives exactly as long as its filter; the filter deletes them.
//
// Locks: the filter lock (FilterLock) guards the state, the clock, the graph and the
// pins' connections; it is re-entrant. Streaming code must not take it while it can
// block (derived filters keep a separate streaming lock).
#include "dshowbase/DShow.h"
#include "comkit/ComPtr.h"
#include "comkit/Handles.h"

#include <atomic>
#include <string>

namespace tx::dshow
{
class CBasePin;

class CBaseFilter : public IBaseFilter
{
  public:
    CBaseFilter(const wchar_t *name, const CLSID &clsid) noexcept;
    virtual ~CBaseFilter();
    CBaseFilter(const CBaseFilter &) = delete;
    CBaseFilter &operator=(const CBaseFilter &) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IPersist
    STDMETHODIMP GetClassID(CLSID *clsid) override;
    // IMediaFilter. Stop, Pause and Run call Active/Inactive/Run on the connected pins.
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE *state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock *clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock **clock) override;
    // IBaseFilter. FindPin looks a pin up by its id (IPin::QueryId), not its name.
    STDMETHODIMP EnumPins(IEnumPins **pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin **pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO *info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph *graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR *info) override;

    // Pins, by 0-based index; null outside 0..GetPinCount()-1. Called under any lock.
    virtual int GetPinCount() = 0;
    virtual CBasePin *GetPin(int index) = 0;

    // Sends an event to the graph's IMediaEventSink; E_NOTIMPL outside a graph.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) noexcept;
    // Changes the version that pin enumerators compare against (pins added/removed).
    void IncrementPinVersion() noexcept
    {
        ++m_pinVersion;
    }
    LONG PinVersion() const noexcept
    {
        return m_pinVersion;
    }
    tx::CriticalSection &FilterLock() noexcept
    {
        return m_lock;
    }
    FILTER_STATE State() const noexcept
    {
        return m_state;
    }
    bool IsStopped() const noexcept
    {
        return m_state == State_Stopped;
    }
    // The graph's clock (AddRef'd) or null; the stream start of the last Run.
    tx::ComPtr<IReferenceClock> Clock();
    REFERENCE_TIME StartTime() const noexcept
    {
        return m_start;
    }
    // Stream time now (clock time minus the start of Run); VFW_E_NO_CLOCK without clock.
    HRESULT StreamTime(REFERENCE_TIME &time);
    IFilterGraph *Graph() const noexcept
    {
        return m_graph;
    }
    // The object's own identity, for events that carry the filter (EC_COMPLETE).
    IBaseFilter *BaseFilterInterface() noexcept
    {
        return this;
    }

  protected:
    // Hook for interfaces beyond IBaseFilter: sets *ppv without AddRef and returns
    // S_OK, or returns E_NOINTERFACE.
    virtual HRESULT QueryInterfaceExtra(REFIID riid, void **ppv);

    std::atomic<FILTER_STATE> m_state{State_Stopped};
    REFERENCE_TIME m_start = 0;

  private:
    std::atomic<ULONG> m_refCount{1};
    tx::CriticalSection m_lock;
    CLSID m_clsid;
    std::wstring m_objectName; // for diagnostics
    std::wstring m_name;       // graph name given by JoinFilterGraph
    IFilterGraph *m_graph = nullptr;       // not counted: the graph owns the filter
    IMediaEventSink *m_eventSink = nullptr; // not counted, as the graph
    tx::ComPtr<IReferenceClock> m_clock;
    std::atomic<LONG> m_pinVersion{1};
};

} // namespace tx::dshow

#pragma once
// The simulated remote-control source object: one event connection point, the test
// interface, and a hidden window through which other processes press its buttons.
#include "simhw/remote/SimRemote.h"

#include "comkit/ComObject.h"

#include <vector>

namespace tx::simhw
{

class CSimRemoteSource;

// The connection point of the event dispinterface. It lives inside its source and
// shares the source's reference count, so it lives exactly as long as the source.
class CRemoteEventsPoint final : public IConnectionPoint
{
  public:
    explicit CRemoteEventsPoint(CSimRemoteSource &owner) noexcept : m_owner(owner)
    {
    }

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetConnectionInterface(IID *iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer **container) override;
    STDMETHODIMP Advise(IUnknown *sink, DWORD *cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections **connections) override;

    // Calls Invoke on every sink connected now; see ISimRemoteControl::FireButton.
    HRESULT Fire(DISPID member, const VARIANT *args, UINT count) noexcept;
    ULONG ConnectionCount() const noexcept
    {
        return static_cast<ULONG>(m_sinks.size());
    }

  private:
    struct Connection
    {
        DWORD cookie;
        ComPtr<IDispatch> sink;
    };

    CSimRemoteSource &m_owner;
    std::vector<Connection> m_sinks;
    DWORD m_lastCookie = 0;
};

class CSimRemoteSource final
    : public ComObject<CSimRemoteSource, ISimRemoteSource, IConnectionPointContainer, ISimRemoteControl>
{
  public:
    CSimRemoteSource() noexcept;
    ~CSimRemoteSource() override;

    // Creates the button window on the creating thread; an object without it still
    // works in its own process.
    HRESULT FinalConstruct() noexcept;
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) noexcept;

    // IDispatch of ISimRemoteSource: the source has no members of its own.
    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override;
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID locale, WORD flags, DISPPARAMS *params, VARIANT *result,
                        EXCEPINFO *exception, UINT *argumentError) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints **points) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint **point) override;

    // ISimRemoteControl
    STDMETHODIMP FireButton(LONG code) override;
    STDMETHODIMP FireRaw(DISPID member, const VARIANT *args, UINT count) override;
    STDMETHODIMP GetConnectionCount(ULONG *count) override;

  private:
    static LRESULT CALLBACK ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    CRemoteEventsPoint m_events{*this};
    HWND m_buttonWindow = nullptr;
};

// The module handle of txSimRemote.dll, set at process attach; the window class is
// registered in it.
void SetServerModule(HMODULE module) noexcept;

} // namespace tx::simhw

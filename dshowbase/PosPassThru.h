#pragma once
// CPosPassThru: IMediaSeeking and IMediaPosition of a filter or output pin that only
// forwards to the pin upstream of one of our input pins (transform outputs and
// renderers). It is a part of its owner: IUnknown goes to the owner.
// Without an upstream connection every call gives VFW_E_NOT_CONNECTED; an upstream
// pin without the interface gives E_NOTIMPL.
#include "dshowbase/BasePin.h"

namespace tx::dshow
{

class CPosPassThru : public IMediaSeeking, public IMediaPosition
{
  public:
    CPosPassThru(IUnknown *owner, CBasePin *input) noexcept : m_owner(owner), m_input(input)
    {
    }
    CPosPassThru(const CPosPassThru &) = delete;
    CPosPassThru &operator=(const CPosPassThru &) = delete;
    virtual ~CPosPassThru() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        return m_owner->QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        return m_owner->AddRef();
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        return m_owner->Release();
    }
    // Answers IMediaSeeking and IMediaPosition for the owner's QueryInterface (no AddRef).
    bool Answer(REFIID riid, void **ppv) noexcept;

    // IMediaSeeking
    STDMETHODIMP GetCapabilities(DWORD *capabilities) override;
    STDMETHODIMP CheckCapabilities(DWORD *capabilities) override;
    STDMETHODIMP IsFormatSupported(const GUID *format) override;
    STDMETHODIMP QueryPreferredFormat(GUID *format) override;
    STDMETHODIMP GetTimeFormat(GUID *format) override;
    STDMETHODIMP IsUsingTimeFormat(const GUID *format) override;
    STDMETHODIMP SetTimeFormat(const GUID *format) override;
    STDMETHODIMP GetDuration(LONGLONG *duration) override;
    STDMETHODIMP GetStopPosition(LONGLONG *stop) override;
    STDMETHODIMP GetCurrentPosition(LONGLONG *current) override;
    STDMETHODIMP ConvertTimeFormat(LONGLONG *target, const GUID *targetFormat, LONGLONG source,
                                   const GUID *sourceFormat) override;
    STDMETHODIMP SetPositions(LONGLONG *current, DWORD currentFlags, LONGLONG *stop, DWORD stopFlags) override;
    STDMETHODIMP GetPositions(LONGLONG *current, LONGLONG *stop) override;
    STDMETHODIMP GetAvailable(LONGLONG *earliest, LONGLONG *latest) override;
    STDMETHODIMP SetRate(double rate) override;
    STDMETHODIMP GetRate(double *rate) override;
    STDMETHODIMP GetPreroll(LONGLONG *preroll) override;

    // IDispatch (no type information: IMediaPosition is used through its vtable)
    STDMETHODIMP GetTypeInfoCount(UINT *count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override;
    // IMediaPosition
    STDMETHODIMP get_Duration(REFTIME *length) override;
    STDMETHODIMP put_CurrentPosition(REFTIME time) override;
    STDMETHODIMP get_CurrentPosition(REFTIME *time) override;
    STDMETHODIMP get_StopTime(REFTIME *time) override;
    STDMETHODIMP put_StopTime(REFTIME time) override;
    STDMETHODIMP get_PrerollTime(REFTIME *time) override;
    STDMETHODIMP put_PrerollTime(REFTIME time) override;
    STDMETHODIMP put_Rate(double rate) override;
    STDMETHODIMP get_Rate(double *rate) override;
    STDMETHODIMP CanSeekForward(LONG *can) override;
    STDMETHODIMP CanSeekBackward(LONG *can) override;

  private:
    HRESULT Upstream(REFIID riid, void **ppv);
    HRESULT Seeking(tx::ComPtr<IMediaSeeking> &seeking);
    HRESULT Position(tx::ComPtr<IMediaPosition> &position);

    IUnknown *m_owner;
    CBasePin *m_input;
};

} // namespace tx::dshow

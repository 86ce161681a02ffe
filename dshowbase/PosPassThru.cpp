#include "dshowbase/PosPassThru.h"

namespace tx::dshow
{

bool CPosPassThru::Answer(REFIID riid, void **ppv) noexcept
{
    if (riid == IID_IMediaSeeking)
        *ppv = static_cast<IMediaSeeking *>(this);
    else if (riid == IID_IMediaPosition)
        *ppv = static_cast<IMediaPosition *>(this);
    else
        return false;
    return true;
}

HRESULT CPosPassThru::Upstream(REFIID riid, void **ppv)
{
    tx::ComPtr<IPin> upstream;
    if (FAILED(m_input->ConnectedTo(upstream.GetAddressOf())) || !upstream)
        return VFW_E_NOT_CONNECTED;
    return SUCCEEDED(upstream->QueryInterface(riid, ppv)) ? S_OK : E_NOTIMPL;
}

HRESULT CPosPassThru::Seeking(tx::ComPtr<IMediaSeeking> &seeking)
{
    return Upstream(IID_IMediaSeeking, reinterpret_cast<void **>(seeking.GetAddressOf()));
}

HRESULT CPosPassThru::Position(tx::ComPtr<IMediaPosition> &position)
{
    return Upstream(IID_IMediaPosition, reinterpret_cast<void **>(position.GetAddressOf()));
}

STDMETHODIMP CPosPassThru::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CPosPassThru::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CPosPassThru::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CPosPassThru::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *)
{
    return E_NOTIMPL;
}

STDMETHODIMP CPosPassThru::GetCapabilities(DWORD *capabilities)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetCapabilities(capabilities);
}

STDMETHODIMP CPosPassThru::CheckCapabilities(DWORD *capabilities)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->CheckCapabilities(capabilities);
}

STDMETHODIMP CPosPassThru::IsFormatSupported(const GUID *format)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->IsFormatSupported(format);
}

STDMETHODIMP CPosPassThru::QueryPreferredFormat(GUID *format)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->QueryPreferredFormat(format);
}

STDMETHODIMP CPosPassThru::GetTimeFormat(GUID *format)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetTimeFormat(format);
}

STDMETHODIMP CPosPassThru::IsUsingTimeFormat(const GUID *format)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->IsUsingTimeFormat(format);
}

STDMETHODIMP CPosPassThru::SetTimeFormat(const GUID *format)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->SetTimeFormat(format);
}

STDMETHODIMP CPosPassThru::GetDuration(LONGLONG *duration)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetDuration(duration);
}

STDMETHODIMP CPosPassThru::GetStopPosition(LONGLONG *stop)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetStopPosition(stop);
}

STDMETHODIMP CPosPassThru::GetCurrentPosition(LONGLONG *current)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetCurrentPosition(current);
}

STDMETHODIMP CPosPassThru::ConvertTimeFormat(LONGLONG *target, const GUID *targetFormat, LONGLONG source, const GUID *sourceFormat)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->ConvertTimeFormat(target, targetFormat, source, sourceFormat);
}

STDMETHODIMP CPosPassThru::SetPositions(LONGLONG *current, DWORD currentFlags, LONGLONG *stop, DWORD stopFlags)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->SetPositions(current, currentFlags, stop, stopFlags);
}

STDMETHODIMP CPosPassThru::GetPositions(LONGLONG *current, LONGLONG *stop)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetPositions(current, stop);
}

STDMETHODIMP CPosPassThru::GetAvailable(LONGLONG *earliest, LONGLONG *latest)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetAvailable(earliest, latest);
}

STDMETHODIMP CPosPassThru::SetRate(double rate)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->SetRate(rate);
}

STDMETHODIMP CPosPassThru::GetRate(double *rate)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetRate(rate);
}

STDMETHODIMP CPosPassThru::GetPreroll(LONGLONG *preroll)
{
    tx::ComPtr<IMediaSeeking> upstream;
    const HRESULT hr = Seeking(upstream);
    return FAILED(hr) ? hr : upstream->GetPreroll(preroll);
}

STDMETHODIMP CPosPassThru::get_Duration(REFTIME *length)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->get_Duration(length);
}

STDMETHODIMP CPosPassThru::put_CurrentPosition(REFTIME time)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->put_CurrentPosition(time);
}

STDMETHODIMP CPosPassThru::get_CurrentPosition(REFTIME *time)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->get_CurrentPosition(time);
}

STDMETHODIMP CPosPassThru::get_StopTime(REFTIME *time)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->get_StopTime(time);
}

STDMETHODIMP CPosPassThru::put_StopTime(REFTIME time)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->put_StopTime(time);
}

STDMETHODIMP CPosPassThru::get_PrerollTime(REFTIME *time)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->get_PrerollTime(time);
}

STDMETHODIMP CPosPassThru::put_PrerollTime(REFTIME time)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->put_PrerollTime(time);
}

STDMETHODIMP CPosPassThru::put_Rate(double rate)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->put_Rate(rate);
}

STDMETHODIMP CPosPassThru::get_Rate(double *rate)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->get_Rate(rate);
}

STDMETHODIMP CPosPassThru::CanSeekForward(LONG *can)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->CanSeekForward(can);
}

STDMETHODIMP CPosPassThru::CanSeekBackward(LONG *can)
{
    tx::ComPtr<IMediaPosition> upstream;
    const HRESULT hr = Position(upstream);
    return FAILED(hr) ? hr : upstream->CanSeekBackward(can);
}

} // namespace tx::dshow

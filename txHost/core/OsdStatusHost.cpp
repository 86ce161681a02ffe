// CHost::ShowOsdStatus and the caption queries: the status code becomes a caption on the
// skin's status indicators (OsdStatus.cpp holds the table), then the OSD is redrawn and
// the code goes to the event sinks.
#include "txHost/core/Host.h"
#include "txHost/core/Standins.h"

#include <string>

namespace
{

std::wstring TakeText(tx::Bstr &text)
{
    return text.Get() ? std::wstring(text.Get(), text.Length()) : std::wstring();
}

} // namespace

// The host as the status table reads it.
class CHost::StatusCaptionHost final : public tx::host::IOsdStatusHost
{
  public:
    explicit StatusCaptionHost(CHost &host) noexcept : m_host(host)
    {
    }

    bool CleanPause() override
    {
        return m_host.m_settings.cleanPause != 0;
    }
    int32_t OsdTimeOut() override
    {
        return m_host.m_settings.osdTimeOut;
    }
    bool WebViewShown() override
    {
        return m_host.m_viewState == VIEW_STATE_WEB;
    }
    bool GetDecoderChannelMode(int32_t *mode) override
    {
        LONG value = 0;
        if (!m_host.GetDecoderChannelMode(&value))
            return false;
        *mode = value;
        return true;
    }
    int32_t GetVolume() override
    {
        LONG percent = 0;
        m_host.GetVolume(&percent);
        return percent;
    }
    std::wstring DvdTrickCaption() override
    {
        return Query(&CHost::GetDvdTrickCaption);
    }
    std::wstring DvdSubtitleCaption() override
    {
        return Query(&CHost::GetDvdSubtitleCaption);
    }
    std::wstring DvdAngleCaption() override
    {
        return Query(&CHost::GetDvdAngleCaption);
    }
    std::wstring AudioStreamCaption() override
    {
        tx::Bstr caption;
        m_host.NextAudioStream(caption.Put());
        return TakeText(caption);
    }
    std::wstring FileSubtitleCaption() override
    {
        return Query(&CHost::GetSubtitleCaption);
    }
    bool GetVideoOutput(tx::host::VideoOutputState *state) override
    {
        LONG flags = 0, standard = 0, option = 0;
        if (!m_host.GetVideoOutputMode(&flags, &standard) || !m_host.ReadOutputOption(&option))
            return false;
        *state = {flags, standard, option};
        return true;
    }
    int32_t OutputMode() override
    {
        return m_host.m_settings.outputMode;
    }
    bool AutoFreq() override
    {
        return m_host.m_settings.autoFreq != 0;
    }
    std::wstring HdtvModeName(int32_t option) override
    {
        return m_host.ReadHdtvModeName(option);
    }
    void GetSourceAspect(int32_t *type, double *ratio) override
    {
        LONG mode = *type;
        double value = *ratio;
        if (SUCCEEDED(m_host.CHost::GetSourceAspect(&mode, &value)))
        {
            *type = mode;
            *ratio = value;
        }
    }
    bool GetAspectOverride(double *ratio) override
    {
        return m_host.GetMediaAspectOverride(ratio);
    }
    void OnPictureTimerChange(bool on) override
    {
        m_host.CHost::OnPictureTimerChange(on ? 1 : 0);
    }
    void OpenWeb() override
    {
        m_host.CHost::OpenWeb(0);
    }

  private:
    std::wstring Query(HRESULT (STDMETHODCALLTYPE CHost::*query)(BSTR *))
    {
        tx::Bstr caption;
        (m_host.*query)(caption.Put());
        return TakeText(caption);
    }

    CHost &m_host;
};

STDMETHODIMP CHost::ShowOsdStatus(LONG code)
{
    try
    {
        if (m_statusSkin)
        {
            // The indicators change elements the OSD composes: the OSD lock, then the skin
            // lock (their order everywhere), held while the caption is applied.
            tx::CriticalSectionLock osdLock(m_osd.OsdLock());
            tx::CriticalSectionLock skinLock(m_osd.SkinManager().SkinLock());
            StatusCaptionHost host(*this);
            tx::host::ApplyOsdStatus(code, host, *m_statusSkin);
        }
    }
    catch (...)
    {
        // Out of memory while building a caption: the indicators keep what they showed.
        tx::LogFailure(E_OUTOFMEMORY, L"Failed to show the OSD status");
    }
    // Whatever the code: redraw, then tell the event sinks.
    m_osd.Refresh();
    m_eventSinks.FireStatusText(code);
    return S_OK;
}

bool CHost::IsDvdCaptionAvailable() const noexcept
{
    return !m_stopped && m_sourceKind == SOURCE_KIND_DVD;
}

STDMETHODIMP CHost::GetDvdTrickCaption(BSTR *caption)
{
    if (!caption)
        return E_POINTER;
    if (IsDvdCaptionAvailable())
        GetDvdPlayerCaption(0, caption);
    return S_OK;
}

STDMETHODIMP CHost::GetDvdSubtitleCaption(BSTR *caption)
{
    if (!caption)
        return E_POINTER;
    if (IsDvdCaptionAvailable())
        GetDvdPlayerCaption(1, caption);
    return S_OK;
}

STDMETHODIMP CHost::GetDvdAngleCaption(BSTR *caption)
{
    if (!caption)
        return E_POINTER;
    if (IsDvdCaptionAvailable())
        GetDvdPlayerCaption(2, caption);
    return S_OK;
}

STDMETHODIMP CHost::GetDvdAudioCaption(BSTR *caption)
{
    if (!caption)
        return E_POINTER;
    if (IsDvdCaptionAvailable())
        GetDvdPlayerCaption(3, caption);
    return S_OK;
}

STDMETHODIMP CHost::GetSubtitleCaption(BSTR *caption)
{
    if (!caption)
        return E_POINTER;
    SubtitleState state;
    const bool found = FindSubtitleState(&state);
    const bool applies = !m_stopped && (m_sourceKind == SOURCE_KIND_NONE || m_sourceKind == SOURCE_KIND_LIST ||
                                        (m_sourceKind == SOURCE_KIND_DVD && found));
    if (!applies)
        return S_OK;
    std::wstring text;
    try
    {
        if (state.outsideFilter)
            text = tx::host::OutsideSubtitleCaption(state.selected, state.ordinal, state.name);
        else if (found)
            text = tx::host::FilterSubtitleCaption(state.off, state.index, state.name);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    if (text.empty())
        return S_OK;
    tx::Bstr result(std::wstring_view{text});
    if (result.IsNull())
        return E_OUTOFMEMORY;
    *caption = result.Detach();
    return S_OK;
}

// --- Services of the playback engine the captions read; not built yet ---------------------

HRESULT CHost::GetDvdPlayerCaption(LONG, BSTR *) noexcept
{
    return TX_NOT_BUILT("CDvdMciPlayer caption query");
}

bool CHost::FindSubtitleState(SubtitleState *) noexcept
{
    TX_NOT_BUILT("the subtitle filter lookup");
    return false;
}

bool CHost::GetDecoderChannelMode(LONG *) noexcept
{
    TX_NOT_BUILT("the decoder channel mode query");
    return false;
}

HRESULT CHost::NextAudioStream(BSTR *) noexcept
{
    return TX_NOT_BUILT("CHost::NextAudioStream");
}

bool CHost::GetMediaAspectOverride(double *) noexcept
{
    // The per-media aspect override is kept by the resume and aspect code; none yet.
    return false;
}

std::wstring CHost::ReadHdtvModeName(LONG) noexcept
{
    TX_NOT_BUILT("ReadHdtvMode");
    return std::wstring();
}

bool CHost::ReadOutputOption(LONG *) noexcept
{
    TX_NOT_BUILT("the video output option query");
    return false;
}

#pragma once
// The decoder's video window and basic-video parts. The card draws on the TV, not in
// a window, so both only keep the values the graph and the host give them (and log
// the calls that matter); they are parts of the filter and share its identity.
#include "dshowbase/DShow.h"

#include <mutex>

namespace tx::simhw
{
class CSimDecoderFilter;

// Automation booleans of IVideoWindow.
inline constexpr LONG kOaTrue = -1;
inline constexpr LONG kOaFalse = 0;

// The IDispatch methods of our automation-style interfaces: no type information.
#define TX_SIM_NO_DISPATCH                                                                                             \
    STDMETHODIMP GetTypeInfoCount(UINT *count) override                                                                \
    {                                                                                                                  \
        if (!count)                                                                                                    \
            return E_POINTER;                                                                                          \
        *count = 0;                                                                                                    \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override                                                        \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }                                                                                                                  \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override                                      \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }                                                                                                                  \
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override             \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }

class CSimVideoWindow final : public IVideoWindow
{
  public:
    explicit CSimVideoWindow(CSimDecoderFilter *owner) noexcept : m_owner(owner)
    {
    }
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    TX_SIM_NO_DISPATCH
    STDMETHODIMP put_Caption(BSTR caption) override;
    STDMETHODIMP get_Caption(BSTR *caption) override;
    STDMETHODIMP put_WindowStyle(LONG style) override;
    STDMETHODIMP get_WindowStyle(LONG *style) override;
    STDMETHODIMP put_WindowStyleEx(LONG style) override;
    STDMETHODIMP get_WindowStyleEx(LONG *style) override;
    STDMETHODIMP put_AutoShow(LONG on) override;
    STDMETHODIMP get_AutoShow(LONG *on) override;
    STDMETHODIMP put_WindowState(LONG state) override;
    STDMETHODIMP get_WindowState(LONG *state) override;
    STDMETHODIMP put_BackgroundPalette(LONG on) override;
    STDMETHODIMP get_BackgroundPalette(LONG *on) override;
    STDMETHODIMP put_Visible(LONG on) override;
    STDMETHODIMP get_Visible(LONG *on) override;
    STDMETHODIMP put_Left(LONG value) override;
    STDMETHODIMP get_Left(LONG *value) override;
    STDMETHODIMP put_Width(LONG value) override;
    STDMETHODIMP get_Width(LONG *value) override;
    STDMETHODIMP put_Top(LONG value) override;
    STDMETHODIMP get_Top(LONG *value) override;
    STDMETHODIMP put_Height(LONG value) override;
    STDMETHODIMP get_Height(LONG *value) override;
    STDMETHODIMP put_Owner(OAHWND owner) override;
    STDMETHODIMP get_Owner(OAHWND *owner) override;
    STDMETHODIMP put_MessageDrain(OAHWND drain) override;
    STDMETHODIMP get_MessageDrain(OAHWND *drain) override;
    STDMETHODIMP get_BorderColor(LONG *color) override;
    STDMETHODIMP put_BorderColor(LONG color) override;
    STDMETHODIMP get_FullScreenMode(LONG *on) override;
    STDMETHODIMP put_FullScreenMode(LONG on) override;
    STDMETHODIMP SetWindowForeground(LONG focus) override;
    STDMETHODIMP NotifyOwnerMessage(OAHWND window, LONG message, LONG_PTR wParam, LONG_PTR lParam) override;
    STDMETHODIMP SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;
    STDMETHODIMP GetWindowPosition(LONG *left, LONG *top, LONG *width, LONG *height) override;
    STDMETHODIMP GetMinIdealImageSize(LONG *width, LONG *height) override;
    STDMETHODIMP GetMaxIdealImageSize(LONG *width, LONG *height) override;
    STDMETHODIMP GetRestorePosition(LONG *left, LONG *top, LONG *width, LONG *height) override;
    STDMETHODIMP HideCursor(LONG hide) override;
    STDMETHODIMP IsCursorHidden(LONG *hidden) override;

  private:
    HRESULT Put(LONG &field, LONG value, const wchar_t *call);
    HRESULT Get(const LONG &field, LONG *value);

    CSimDecoderFilter *m_owner;
    std::mutex m_mutex;
    LONG m_style = WS_CHILD | WS_CLIPSIBLINGS;
    LONG m_styleEx = 0;
    LONG m_autoShow = kOaTrue;
    LONG m_state = SW_SHOW;
    LONG m_palette = kOaFalse;
    LONG m_visible = kOaFalse;
    LONG m_left = 0;
    LONG m_top = 0;
    LONG m_width = 720;
    LONG m_height = 480;
    LONG m_border = 0;
    LONG m_fullScreen = kOaFalse;
    LONG m_cursorHidden = kOaFalse;
    OAHWND m_ownerWindow = 0;
    OAHWND m_drain = 0;
};

class CSimBasicVideo final : public IBasicVideo2
{
  public:
    explicit CSimBasicVideo(CSimDecoderFilter *owner) noexcept : m_owner(owner)
    {
    }
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    TX_SIM_NO_DISPATCH
    STDMETHODIMP get_AvgTimePerFrame(REFTIME *time) override;
    STDMETHODIMP get_BitRate(LONG *rate) override;
    STDMETHODIMP get_BitErrorRate(LONG *rate) override;
    STDMETHODIMP get_VideoWidth(LONG *width) override;
    STDMETHODIMP get_VideoHeight(LONG *height) override;
    STDMETHODIMP put_SourceLeft(LONG value) override;
    STDMETHODIMP get_SourceLeft(LONG *value) override;
    STDMETHODIMP put_SourceWidth(LONG value) override;
    STDMETHODIMP get_SourceWidth(LONG *value) override;
    STDMETHODIMP put_SourceTop(LONG value) override;
    STDMETHODIMP get_SourceTop(LONG *value) override;
    STDMETHODIMP put_SourceHeight(LONG value) override;
    STDMETHODIMP get_SourceHeight(LONG *value) override;
    STDMETHODIMP put_DestinationLeft(LONG value) override;
    STDMETHODIMP get_DestinationLeft(LONG *value) override;
    STDMETHODIMP put_DestinationWidth(LONG value) override;
    STDMETHODIMP get_DestinationWidth(LONG *value) override;
    STDMETHODIMP put_DestinationTop(LONG value) override;
    STDMETHODIMP get_DestinationTop(LONG *value) override;
    STDMETHODIMP put_DestinationHeight(LONG value) override;
    STDMETHODIMP get_DestinationHeight(LONG *value) override;
    STDMETHODIMP SetSourcePosition(LONG left, LONG top, LONG width, LONG height) override;
    STDMETHODIMP GetSourcePosition(LONG *left, LONG *top, LONG *width, LONG *height) override;
    STDMETHODIMP SetDefaultSourcePosition() override;
    STDMETHODIMP SetDestinationPosition(LONG left, LONG top, LONG width, LONG height) override;
    STDMETHODIMP GetDestinationPosition(LONG *left, LONG *top, LONG *width, LONG *height) override;
    STDMETHODIMP SetDefaultDestinationPosition() override;
    STDMETHODIMP GetVideoSize(LONG *width, LONG *height) override;
    STDMETHODIMP GetVideoPaletteEntries(LONG start, LONG count, LONG *retrieved, LONG *palette) override;
    STDMETHODIMP GetCurrentImage(LONG *size, LONG *image) override;
    STDMETHODIMP IsUsingDefaultSource() override;
    STDMETHODIMP IsUsingDefaultDestination() override;
    STDMETHODIMP GetPreferredAspectRatio(LONG *x, LONG *y) override;

  private:
    // The picture size: the connected video format's, else the TV frame 720 x 480.
    void Size(LONG &width, LONG &height);
    HRESULT PutRect(RECT &rect, bool &isDefault, LONG left, LONG top, LONG width, LONG height, const wchar_t *call);
    HRESULT GetRect(const RECT &rect, bool isDefault, LONG *left, LONG *top, LONG *width, LONG *height);
    HRESULT Field(RECT &rect, bool &isDefault, int which, LONG value, const wchar_t *call);
    HRESULT ReadField(const RECT &rect, bool isDefault, int which, LONG *value);

    CSimDecoderFilter *m_owner;
    std::mutex m_mutex;
    RECT m_source{};
    RECT m_destination{};
    bool m_defaultSource = true;
    bool m_defaultDestination = true;
};

} // namespace tx::simhw

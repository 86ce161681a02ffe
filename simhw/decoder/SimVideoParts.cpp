#include "simhw/decoder/SimVideoParts.h"
#include "simhw/decoder/SimDecoderFilter.h"

#include <oleauto.h>

#include <string>

namespace tx::simhw
{

namespace
{
std::wstring Hex(LONG value)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}
} // namespace

// ---- CSimVideoWindow ----

STDMETHODIMP CSimVideoWindow::QueryInterface(REFIID riid, void **ppv)
{
    return m_owner->QueryInterface(riid, ppv);
}
STDMETHODIMP_(ULONG) CSimVideoWindow::AddRef()
{
    return m_owner->AddRef();
}
STDMETHODIMP_(ULONG) CSimVideoWindow::Release()
{
    return m_owner->Release();
}

HRESULT CSimVideoWindow::Put(LONG &field, LONG value, const wchar_t *call)
{
    {
        std::lock_guard lock(m_mutex);
        field = value;
    }
    if (call)
        m_owner->Record(std::wstring(call) + L" " + Hex(value));
    return S_OK;
}

HRESULT CSimVideoWindow::Get(const LONG &field, LONG *value)
{
    if (!value)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *value = field;
    return S_OK;
}

STDMETHODIMP CSimVideoWindow::put_Caption(BSTR)
{
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::get_Caption(BSTR *caption)
{
    if (!caption)
        return E_POINTER;
    *caption = ::SysAllocString(L"");
    return *caption ? S_OK : E_OUTOFMEMORY;
}
STDMETHODIMP CSimVideoWindow::put_WindowStyle(LONG style)
{
    return Put(m_style, style, L"put_WindowStyle");
}
STDMETHODIMP CSimVideoWindow::get_WindowStyle(LONG *style)
{
    return Get(m_style, style);
}
STDMETHODIMP CSimVideoWindow::put_WindowStyleEx(LONG style)
{
    return Put(m_styleEx, style, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_WindowStyleEx(LONG *style)
{
    return Get(m_styleEx, style);
}
STDMETHODIMP CSimVideoWindow::put_AutoShow(LONG on)
{
    return Put(m_autoShow, on, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_AutoShow(LONG *on)
{
    return Get(m_autoShow, on);
}
STDMETHODIMP CSimVideoWindow::put_WindowState(LONG state)
{
    return Put(m_state, state, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_WindowState(LONG *state)
{
    return Get(m_state, state);
}
STDMETHODIMP CSimVideoWindow::put_BackgroundPalette(LONG on)
{
    return Put(m_palette, on, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_BackgroundPalette(LONG *on)
{
    return Get(m_palette, on);
}
STDMETHODIMP CSimVideoWindow::put_Visible(LONG on)
{
    return Put(m_visible, on, L"put_Visible");
}
STDMETHODIMP CSimVideoWindow::get_Visible(LONG *on)
{
    return Get(m_visible, on);
}
STDMETHODIMP CSimVideoWindow::put_Left(LONG value)
{
    return Put(m_left, value, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_Left(LONG *value)
{
    return Get(m_left, value);
}
STDMETHODIMP CSimVideoWindow::put_Width(LONG value)
{
    return Put(m_width, value, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_Width(LONG *value)
{
    return Get(m_width, value);
}
STDMETHODIMP CSimVideoWindow::put_Top(LONG value)
{
    return Put(m_top, value, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_Top(LONG *value)
{
    return Get(m_top, value);
}
STDMETHODIMP CSimVideoWindow::put_Height(LONG value)
{
    return Put(m_height, value, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_Height(LONG *value)
{
    return Get(m_height, value);
}
STDMETHODIMP CSimVideoWindow::put_Owner(OAHWND owner)
{
    {
        std::lock_guard lock(m_mutex);
        m_ownerWindow = owner;
    }
    m_owner->Record(owner ? L"put_Owner window" : L"put_Owner none");
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::get_Owner(OAHWND *owner)
{
    if (!owner)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *owner = m_ownerWindow;
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::put_MessageDrain(OAHWND drain)
{
    std::lock_guard lock(m_mutex);
    m_drain = drain;
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::get_MessageDrain(OAHWND *drain)
{
    if (!drain)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *drain = m_drain;
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::get_BorderColor(LONG *color)
{
    return Get(m_border, color);
}
STDMETHODIMP CSimVideoWindow::put_BorderColor(LONG color)
{
    return Put(m_border, color, nullptr);
}
STDMETHODIMP CSimVideoWindow::get_FullScreenMode(LONG *on)
{
    return Get(m_fullScreen, on);
}
STDMETHODIMP CSimVideoWindow::put_FullScreenMode(LONG on)
{
    return Put(m_fullScreen, on, nullptr);
}
STDMETHODIMP CSimVideoWindow::SetWindowForeground(LONG)
{
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::NotifyOwnerMessage(OAHWND, LONG, LONG_PTR, LONG_PTR)
{
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::SetWindowPosition(LONG left, LONG top, LONG width, LONG height)
{
    {
        std::lock_guard lock(m_mutex);
        m_left = left;
        m_top = top;
        m_width = width;
        m_height = height;
    }
    m_owner->Record(L"SetWindowPosition " + std::to_wstring(left) + L" " + std::to_wstring(top) + L" " +
                    std::to_wstring(width) + L" " + std::to_wstring(height));
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::GetWindowPosition(LONG *left, LONG *top, LONG *width, LONG *height)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *left = m_left;
    *top = m_top;
    *width = m_width;
    *height = m_height;
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::GetMinIdealImageSize(LONG *width, LONG *height)
{
    if (!width || !height)
        return E_POINTER;
    *width = 720;
    *height = 480;
    return S_OK;
}
STDMETHODIMP CSimVideoWindow::GetMaxIdealImageSize(LONG *width, LONG *height)
{
    return GetMinIdealImageSize(width, height);
}
STDMETHODIMP CSimVideoWindow::GetRestorePosition(LONG *left, LONG *top, LONG *width, LONG *height)
{
    return GetWindowPosition(left, top, width, height);
}
STDMETHODIMP CSimVideoWindow::HideCursor(LONG hide)
{
    return Put(m_cursorHidden, hide ? kOaTrue : kOaFalse, nullptr);
}
STDMETHODIMP CSimVideoWindow::IsCursorHidden(LONG *hidden)
{
    return Get(m_cursorHidden, hidden);
}

// ---- CSimBasicVideo ----

STDMETHODIMP CSimBasicVideo::QueryInterface(REFIID riid, void **ppv)
{
    return m_owner->QueryInterface(riid, ppv);
}
STDMETHODIMP_(ULONG) CSimBasicVideo::AddRef()
{
    return m_owner->AddRef();
}
STDMETHODIMP_(ULONG) CSimBasicVideo::Release()
{
    return m_owner->Release();
}

void CSimBasicVideo::Size(LONG &width, LONG &height)
{
    long w = 0, h = 0;
    REFERENCE_TIME frame = 0;
    if (m_owner->VideoSize(w, h, frame) && w > 0 && h > 0)
    {
        width = w;
        height = h;
        return;
    }
    width = 720;
    height = 480;
}

STDMETHODIMP CSimBasicVideo::get_AvgTimePerFrame(REFTIME *time)
{
    if (!time)
        return E_POINTER;
    long w = 0, h = 0;
    REFERENCE_TIME frame = 0;
    if (!m_owner->VideoSize(w, h, frame))
        return VFW_E_NOT_CONNECTED;
    *time = frame / 10000000.0;
    return S_OK;
}
STDMETHODIMP CSimBasicVideo::get_BitRate(LONG *rate)
{
    if (!rate)
        return E_POINTER;
    *rate = 0;
    return S_OK;
}
STDMETHODIMP CSimBasicVideo::get_BitErrorRate(LONG *rate)
{
    return get_BitRate(rate);
}
STDMETHODIMP CSimBasicVideo::get_VideoWidth(LONG *width)
{
    if (!width)
        return E_POINTER;
    LONG height = 0;
    Size(*width, height);
    return S_OK;
}
STDMETHODIMP CSimBasicVideo::get_VideoHeight(LONG *height)
{
    if (!height)
        return E_POINTER;
    LONG width = 0;
    Size(width, *height);
    return S_OK;
}

// which: 0 left, 1 top, 2 width, 3 height.
HRESULT CSimBasicVideo::Field(RECT &rect, bool &isDefault, int which, LONG value, const wchar_t *call)
{
    LONG left, top, width, height;
    GetRect(rect, isDefault, &left, &top, &width, &height);
    LONG *fields[] = {&left, &top, &width, &height};
    *fields[which] = value;
    return PutRect(rect, isDefault, left, top, width, height, call);
}

HRESULT CSimBasicVideo::ReadField(const RECT &rect, bool isDefault, int which, LONG *value)
{
    if (!value)
        return E_POINTER;
    LONG fields[4];
    GetRect(rect, isDefault, &fields[0], &fields[1], &fields[2], &fields[3]);
    *value = fields[which];
    return S_OK;
}

HRESULT CSimBasicVideo::PutRect(RECT &rect, bool &isDefault, LONG left, LONG top, LONG width, LONG height,
                                const wchar_t *call)
{
    if (width <= 0 || height <= 0 || left < 0 || top < 0)
        return E_INVALIDARG;
    {
        std::lock_guard lock(m_mutex);
        rect = RECT{left, top, left + width, top + height};
        isDefault = false;
    }
    m_owner->Record(std::wstring(call) + L" " + std::to_wstring(left) + L" " + std::to_wstring(top) + L" " +
                    std::to_wstring(width) + L" " + std::to_wstring(height));
    return S_OK;
}

HRESULT CSimBasicVideo::GetRect(const RECT &rect, bool isDefault, LONG *left, LONG *top, LONG *width, LONG *height)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    if (isDefault)
    {
        *left = 0;
        *top = 0;
        Size(*width, *height);
        return S_OK;
    }
    std::lock_guard lock(m_mutex);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

STDMETHODIMP CSimBasicVideo::put_SourceLeft(LONG value)
{
    return Field(m_source, m_defaultSource, 0, value, L"SetSourcePosition");
}
STDMETHODIMP CSimBasicVideo::get_SourceLeft(LONG *value)
{
    return ReadField(m_source, m_defaultSource, 0, value);
}
STDMETHODIMP CSimBasicVideo::put_SourceWidth(LONG value)
{
    return Field(m_source, m_defaultSource, 2, value, L"SetSourcePosition");
}
STDMETHODIMP CSimBasicVideo::get_SourceWidth(LONG *value)
{
    return ReadField(m_source, m_defaultSource, 2, value);
}
STDMETHODIMP CSimBasicVideo::put_SourceTop(LONG value)
{
    return Field(m_source, m_defaultSource, 1, value, L"SetSourcePosition");
}
STDMETHODIMP CSimBasicVideo::get_SourceTop(LONG *value)
{
    return ReadField(m_source, m_defaultSource, 1, value);
}
STDMETHODIMP CSimBasicVideo::put_SourceHeight(LONG value)
{
    return Field(m_source, m_defaultSource, 3, value, L"SetSourcePosition");
}
STDMETHODIMP CSimBasicVideo::get_SourceHeight(LONG *value)
{
    return ReadField(m_source, m_defaultSource, 3, value);
}
STDMETHODIMP CSimBasicVideo::put_DestinationLeft(LONG value)
{
    return Field(m_destination, m_defaultDestination, 0, value, L"SetDestinationPosition");
}
STDMETHODIMP CSimBasicVideo::get_DestinationLeft(LONG *value)
{
    return ReadField(m_destination, m_defaultDestination, 0, value);
}
STDMETHODIMP CSimBasicVideo::put_DestinationWidth(LONG value)
{
    return Field(m_destination, m_defaultDestination, 2, value, L"SetDestinationPosition");
}
STDMETHODIMP CSimBasicVideo::get_DestinationWidth(LONG *value)
{
    return ReadField(m_destination, m_defaultDestination, 2, value);
}
STDMETHODIMP CSimBasicVideo::put_DestinationTop(LONG value)
{
    return Field(m_destination, m_defaultDestination, 1, value, L"SetDestinationPosition");
}
STDMETHODIMP CSimBasicVideo::get_DestinationTop(LONG *value)
{
    return ReadField(m_destination, m_defaultDestination, 1, value);
}
STDMETHODIMP CSimBasicVideo::put_DestinationHeight(LONG value)
{
    return Field(m_destination, m_defaultDestination, 3, value, L"SetDestinationPosition");
}
STDMETHODIMP CSimBasicVideo::get_DestinationHeight(LONG *value)
{
    return ReadField(m_destination, m_defaultDestination, 3, value);
}
STDMETHODIMP CSimBasicVideo::SetSourcePosition(LONG left, LONG top, LONG width, LONG height)
{
    return PutRect(m_source, m_defaultSource, left, top, width, height, L"SetSourcePosition");
}
STDMETHODIMP CSimBasicVideo::GetSourcePosition(LONG *left, LONG *top, LONG *width, LONG *height)
{
    return GetRect(m_source, m_defaultSource, left, top, width, height);
}
STDMETHODIMP CSimBasicVideo::SetDefaultSourcePosition()
{
    std::lock_guard lock(m_mutex);
    m_defaultSource = true;
    return S_OK;
}
STDMETHODIMP CSimBasicVideo::SetDestinationPosition(LONG left, LONG top, LONG width, LONG height)
{
    return PutRect(m_destination, m_defaultDestination, left, top, width, height, L"SetDestinationPosition");
}
STDMETHODIMP CSimBasicVideo::GetDestinationPosition(LONG *left, LONG *top, LONG *width, LONG *height)
{
    return GetRect(m_destination, m_defaultDestination, left, top, width, height);
}
STDMETHODIMP CSimBasicVideo::SetDefaultDestinationPosition()
{
    std::lock_guard lock(m_mutex);
    m_defaultDestination = true;
    return S_OK;
}
STDMETHODIMP CSimBasicVideo::GetVideoSize(LONG *width, LONG *height)
{
    if (!width || !height)
        return E_POINTER;
    Size(*width, *height);
    return S_OK;
}
STDMETHODIMP CSimBasicVideo::GetVideoPaletteEntries(LONG, LONG, LONG *, LONG *)
{
    return VFW_E_NO_PALETTE_AVAILABLE;
}
STDMETHODIMP CSimBasicVideo::GetCurrentImage(LONG *, LONG *)
{
    // The picture lives on the card, not in memory.
    return E_NOTIMPL;
}
STDMETHODIMP CSimBasicVideo::IsUsingDefaultSource()
{
    std::lock_guard lock(m_mutex);
    return m_defaultSource ? S_OK : S_FALSE;
}
STDMETHODIMP CSimBasicVideo::IsUsingDefaultDestination()
{
    std::lock_guard lock(m_mutex);
    return m_defaultDestination ? S_OK : S_FALSE;
}
STDMETHODIMP CSimBasicVideo::GetPreferredAspectRatio(LONG *x, LONG *y)
{
    if (!x || !y)
        return E_POINTER;
    Size(*x, *y);
    return S_OK;
}

} // namespace tx::simhw

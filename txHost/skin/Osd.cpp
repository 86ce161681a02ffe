#include "txHost/skin/Osd.h"

#include "comkit/HResult.h"
#include "txHost/core/HostSettings.h"
#include "txHost/skin/PictureScale.h"
#include "txHost/skin/PictureSurface.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{

constexpr wchar_t kOsdClassName[] = L"TessaronixOSDWindowClass";
constexpr wchar_t kWindowTitle[] = L"Tessaronix Host";
constexpr uint32_t kTransparentIndexPixel = 0xFF000000u;

HRESULT CreateCardGraph(IZCardGraph **graph) noexcept
{
    return ::CoCreateInstance(CLSID_ZCardGraph, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IZCardGraph),
                              reinterpret_cast<void **>(graph));
}

bool IsNtFamily() noexcept
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = ::GetVersionExW(&version);
#pragma GCC diagnostic pop
    return known && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Row pointer of line y (counted from the top) in a bottom-up surface.
inline uint32_t *LineFromTop(uint32_t *bits, LONG width, LONG height, LONG y) noexcept
{
    return bits + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width);
}

// (above + 2 x middle + below) / 4 per byte lane of the low three bytes; top byte 0.
inline uint32_t SmoothPixel(uint32_t above, uint32_t middle, uint32_t below) noexcept
{
    const uint32_t redBlue = ((above & 0x00FF00FFu) + 2 * (middle & 0x00FF00FFu) + (below & 0x00FF00FFu)) >> 2;
    const uint32_t green = ((above & 0x0000FF00u) + 2 * (middle & 0x0000FF00u) + (below & 0x0000FF00u)) >> 2;
    return (redBlue & 0x00FF00FFu) | (green & 0x0000FF00u);
}

} // namespace

COsd::COsd() noexcept : m_graphFactory(CreateCardGraph), m_driverPath(!IsNtFamily()), m_skinManager(*this)
{
}

COsd::~COsd()
{
    // A write the card never completed still refers to the record and the event; drop the
    // pin first so that the card cancels it before they go away.
    m_properties.Reset();
    m_buffer.Reset();
    m_pin.Reset();
    m_graph.Reset();
    // The driver stops its channel before the buffer it was given is freed.
    m_driver.reset();
    m_driverFrame.reset();
    if (m_osdWindow)
        ::DestroyWindow(m_osdWindow);
}

STDMETHODIMP COsd::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == __uuidof(IOsd))
    {
        *ppv = static_cast<IOsd *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COsd::AddRef()
{
    return ++m_refCount;
}

STDMETHODIMP_(ULONG) COsd::Release()
{
    // The object lives as long as the host that embeds it.
    return --m_refCount;
}

STDMETHODIMP COsd::GetPaletteIndex(DWORD colour, BYTE *index)
{
    if (!index)
        return E_POINTER;
    uint8_t found = 0;
    if (!m_palette.FindOrAdd(colour, found))
        return E_UNEXPECTED;
    *index = found;
    return S_OK;
}

STDMETHODIMP COsd::GetTargetBits(DWORD **bits)
{
    if (!bits)
        return E_POINTER;
    *bits = reinterpret_cast<DWORD *>(m_target.Bits());
    return S_OK;
}

STDMETHODIMP COsd::GetSize(LONG *width, LONG *height)
{
    if (!width || !height)
        return E_POINTER;
    *width = m_width;
    *height = m_height;
    return S_OK;
}

STDMETHODIMP COsd::GetTargetDC(HDC *dc)
{
    if (!dc)
        return E_POINTER;
    *dc = m_target.Dc();
    return S_OK;
}

STDMETHODIMP COsd::GetScratchDC(HDC *dc)
{
    if (!dc)
        return E_POINTER;
    *dc = m_scratch.Dc();
    return S_OK;
}

STDMETHODIMP COsd::GetFactor(double *factor)
{
    if (!factor)
        return E_POINTER;
    *factor = m_factor;
    return S_OK;
}

STDMETHODIMP COsd::CopyFromScratch(LONG x, LONG y, LONG width, LONG height, BOOL indexMode, BOOL smooth, BOOL useKey,
                                   DWORD key)
{
    uint32_t *const source = m_scratch.Bits();
    uint32_t *const target = m_target.Bits();
    if (!source || !target)
        return S_OK;
    if (tx::host::g_hostGlobals.antiflickerOverride)
        smooth = FALSE;
    int32_t cx = x, cy = y, cw = width, ch = height;
    if (!tx::skin::ClipRectangle(cx, cy, cw, ch, static_cast<uint32_t>(m_width), static_cast<uint32_t>(m_height)))
        return S_OK;

    if (indexMode)
    {
        for (LONG row = cy; row < cy + ch; ++row)
        {
            const uint32_t *in = LineFromTop(source, m_width, m_height, row);
            uint32_t *out = LineFromTop(target, m_width, m_height, row);
            for (LONG column = cx; column < cx + cw; ++column)
                if (!useKey || in[column] != key)
                    out[column] = in[column] | 0xFF000000u;
        }
        return S_OK;
    }

    const bool filter = smooth && ch >= 2;
    for (LONG row = cy; row < cy + ch; ++row)
    {
        const uint32_t *in = LineFromTop(source, m_width, m_height, row);
        uint32_t *out = LineFromTop(target, m_width, m_height, row);
        const bool inner = filter && row != cy && row != cy + ch - 1;
        if (!inner)
        {
            for (LONG column = cx; column < cx + cw; ++column)
            {
                const uint32_t value = in[column] & 0x00FFFFFFu;
                if (!useKey || value != key)
                    out[column] = value;
            }
            continue;
        }
        // Lines above and below in the picture are the next and previous rows in memory.
        const uint32_t *above = in + m_width;
        const uint32_t *below = in - m_width;
        for (LONG column = cx; column < cx + cw; ++column)
        {
            if (useKey && (in[column] & 0x00FFFFFFu) == key)
                continue;
            out[column] = SmoothPixel(above[column], in[column], below[column]);
        }
    }
    return S_OK;
}

STDMETHODIMP COsd::RunTransform(IUnknown *source, LONG x, LONG y, LONG width, LONG height, LONG a, LONG b)
{
    if (!source)
        return E_POINTER;
    tx::ComPtr<IPictureSurface> picture;
    HRESULT hr = source->QueryInterface(__uuidof(IPictureSurface), reinterpret_cast<void **>(picture.GetAddressOf()));
    TX_RETURN_IF_FAILED(hr, L"Failed to get picture surface");
    uint32_t *const scratch = m_scratch.Bits();
    if (!scratch || !m_transformSurface)
        return E_UNEXPECTED;

    int32_t cx = x, cy = y, cw = width, ch = height;
    if (!tx::skin::ClipRectangle(cx, cy, cw, ch, static_cast<uint32_t>(m_width), static_cast<uint32_t>(m_height)))
        return S_OK;
    // Clear the rectangle of the transform surface, so that what the picture leaves
    // transparent stays out of the scratch bitmap.
    for (LONG row = cy; row < cy + ch; ++row)
        std::fill_n(m_transformSurface.get() + static_cast<size_t>(row) * m_width + cx, cw, 0u);

    LONG pictureWidth = 0, pictureHeight = 0;
    const DWORD *pixels = nullptr;
    LONG stride = 0;
    TX_RETURN_IF_FAILED(picture->GetSize(&pictureWidth, &pictureHeight), L"Failed to get picture size");
    TX_RETURN_IF_FAILED(picture->GetPixels(&pixels, &stride), L"Failed to get picture pixels");
    // The picture is scaled as the a x b picture the caller measured; a mismatch means the
    // caller's size is stale, and the picture's own size is the one that is safe to read.
    (void)a;
    (void)b;
    tx::skin::PictureView view{reinterpret_cast<const uint32_t *>(pixels), static_cast<uint32_t>(pictureWidth),
                               static_cast<uint32_t>(pictureHeight), stride};
    tx::skin::PictureTarget surface{m_transformSurface.get(), static_cast<uint32_t>(m_width),
                                    static_cast<uint32_t>(m_height), m_width};
    const tx::skin::ScaleMode mode =
        tx::host::g_hostGlobals.fastPicture ? tx::skin::ScaleMode::Nearest : tx::skin::ScaleMode::Bilinear;
    if (!tx::skin::ScalePicture(view, surface, x, y, width, height, mode))
    {
        tx::LogFailure(E_INVALIDARG, L"Failed to scale picture");
        return E_INVALIDARG;
    }
    for (LONG row = cy; row < cy + ch; ++row)
    {
        const uint32_t *in = m_transformSurface.get() + static_cast<size_t>(row) * m_width;
        uint32_t *out = LineFromTop(scratch, m_width, m_height, row);
        for (LONG column = cx; column < cx + cw; ++column)
            if (in[column] & 0xFF000000u)
                out[column] = in[column] & 0x00FFFFFFu;
    }
    return S_OK;
}

HRESULT COsd::AttachOsd(LONG width, LONG height, LONG layoutHeight, IHost *host) noexcept
{
    if (m_frame)
        return E_FAIL;
    tx::CriticalSectionLock lock(m_lock);
    if (width < 1 || height < 1 || width > 4096 || height > 4096)
        return E_INVALIDARG;
    const ULONG pixelCount = static_cast<ULONG>(width) * static_cast<ULONG>(height);
    // The header stores the buffer size in three bytes.
    if (pixelCount + kHeaderBytes > 0xFFFFFFu)
        return E_INVALIDARG;

    m_transformSurface.reset(new (std::nothrow) uint32_t[pixelCount]());
    TX_RETURN_HR_IF(!m_transformSurface, E_OUTOFMEMORY, L"Failed to create picture transform surface");

    m_host = host;
    m_layoutHeight = layoutHeight;
    m_pixelCount = pixelCount;
    m_bufferSize = pixelCount + kHeaderBytes;
    m_width = width;
    m_height = height;

    if (m_driverPath)
    {
        const HRESULT hr = OpenDriver();
        if (FAILED(hr))
            return hr;
    }
    else
    {
        const HRESULT hr = ConnectPin();
        if (FAILED(hr))
            return hr;
    }

    m_frame[0] = 0x3E;
    m_frame[1] = static_cast<BYTE>(m_bufferSize >> 16);
    m_frame[2] = static_cast<BYTE>(m_bufferSize >> 8);
    m_frame[3] = static_cast<BYTE>(m_bufferSize);
    m_frame[4] = static_cast<BYTE>(width >> 8);
    m_frame[5] = static_cast<BYTE>(width);
    m_frame[6] = static_cast<BYTE>(height >> 8);
    m_frame[7] = static_cast<BYTE>(height);
    std::memset(m_frame + 8, 0x80, kHeaderBytes - 8);
    std::fill(std::begin(m_palette.colours), std::end(m_palette.colours), 0u);
    std::memset(m_palette.entries, 0xFF, sizeof(m_palette.entries));
    m_palette.count = 0;
    std::memset(m_frame + kHeaderBytes, 0xFF, m_pixelCount);

    TX_RETURN_HR_IF(!m_quantiser.BuildQuantiserTables(), E_OUTOFMEMORY, L"Failed to build OSD quantiser tables");

    HRESULT hr = CreateSurfaces();
    if (FAILED(hr))
        return hr;
    return LoadLanguageAndSkin();
}

HRESULT COsd::ConnectPin() noexcept
{
    tx::ComPtr<IZCardGraph> graph;
    TX_RETURN_IF_FAILED(m_graphFactory(graph.GetAddressOf()), L"Failed to create decoder card graph object");
    TX_RETURN_HR_IF(!graph, E_POINTER, L"Failed to create decoder card graph object");
    tx::ComPtr<IZCardOsdPin> pin;
    TX_RETURN_IF_FAILED(graph->FindPin(kZCardPinSearchIndex, kZCardPinSearchKind, kCategoryPinOsdName, CATEGORY_PIN_OSD,
                                       pin.GetAddressOf()),
                        L"Failed to find OSD pin");
    TX_RETURN_HR_IF(!pin, E_POINTER, L"Failed to find OSD pin");
    tx::ComPtr<IZCardOsdBuffer> buffer;
    TX_RETURN_IF_FAILED(pin.As(&buffer), L"Failed to get OSD buffer interface");
    tx::ComPtr<IZCardOsdProperties> properties;
    TX_RETURN_IF_FAILED(pin.As(&properties), L"Failed to get OSD property interface");
    BYTE *frame = nullptr;
    ULONG_PTR cookie = 0;
    TX_RETURN_IF_FAILED(buffer->AllocateBuffer(m_bufferSize, &frame, &cookie), L"Failed to allocate OSD buffer");
    TX_RETURN_HR_IF(!frame, E_OUTOFMEMORY, L"Failed to allocate OSD buffer");
    m_graph = std::move(graph);
    m_pin = std::move(pin);
    m_buffer = std::move(buffer);
    m_properties = std::move(properties);
    m_frame = frame;
    m_cookie = cookie;
    return S_OK;
}

HRESULT COsd::OpenDriver() noexcept
{
    m_driver = std::make_unique<tx::devices::CZCardDriver>(m_deviceIo ? *m_deviceIo : m_win32DeviceIo);
    BYTE *frame = nullptr;
    SIZE_T size = 0;
    if (!m_driver->Open(true, m_bufferSize, &frame, &size) || !frame || size < m_bufferSize)
    {
        if (frame)
            ::GlobalFree(frame);
        m_driver.reset();
        tx::LogFailure(E_FAIL, L"Failed to open the decoder card driver");
        return E_FAIL;
    }
    m_driverFrame.reset(frame);
    m_frame = frame;
    m_cookie = 0;
    return S_OK;
}

void COsd::StoreRectValues() noexcept
{
    m_rectValues[0] = m_rect.left;
    m_rectValues[1] = m_rect.top;
    m_rectValues[2] = m_rect.width;
    m_rectValues[3] = m_rect.extent;
}

HRESULT COsd::CreateSurfaces() noexcept
{
    HRESULT hr = m_thread.Start(m_height);
    if (FAILED(hr))
        return hr;
    if (FAILED(CreateOsdWindow()))
        return E_FAIL;
    {
        tx::WindowDc windowDc(m_osdWindow);
        TX_RETURN_HR_IF(!windowDc.Get(), E_FAIL, L"Failed to get OSD window DC");
        TX_RETURN_IF_FAILED(m_target.Create(windowDc.Get(), m_width, m_height), L"Failed to create OSD target");
        TX_RETURN_IF_FAILED(m_scratch.Create(windowDc.Get(), m_width, m_height), L"Failed to create OSD scratch");
    }
    m_background.reset(new (std::nothrow) uint32_t[m_pixelCount]);
    m_subtitle.reset(new (std::nothrow) DWORD[m_pixelCount]);
    TX_RETURN_HR_IF(!m_background || !m_subtitle, E_OUTOFMEMORY, L"Failed to create OSD background");
    std::fill_n(m_background.get(), m_pixelCount, kTransparentIndexPixel);
    std::fill_n(m_subtitle.get(), m_pixelCount, kTransparentIndexPixel);
    return S_OK;
}

HRESULT COsd::CreateOsdWindow() noexcept
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW existing{};
    if (!::GetClassInfoW(instance, kOsdClassName, &existing))
    {
        WNDCLASSW windowClass{};
        windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
        windowClass.lpfnWndProc = OsdWindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kOsdClassName;
        if (!::RegisterClassW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        {
            tx::LogFailure(tx::HResultFromLastError(), L"Failed to register OSD window class");
            return E_FAIL;
        }
    }
    HWND window =
        ::CreateWindowExW(0, kOsdClassName, kWindowTitle, 0, 0, 0, m_width, m_height, nullptr, nullptr, instance, this);
    if (!window)
    {
        tx::LogFailure(tx::HResultFromLastError(), L"Failed to create OSD window");
        return E_FAIL;
    }
    // Make the client area exactly the OSD size.
    RECT rect{0, 0, m_width, m_height};
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    ::MoveWindow(window, 0, 0, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    return S_OK;
}

LRESULT CALLBACK COsd::OsdWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message)
    {
    case WM_NCCREATE: {
        auto *osd = static_cast<COsd *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(osd));
        if (osd)
            osd->m_osdWindow = window;
        break;
    }
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_NCDESTROY: {
        auto *osd = reinterpret_cast<COsd *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (osd && osd->m_osdWindow == window)
            osd->m_osdWindow = nullptr;
        break;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

OsdRect COsd::ComputeOsdRect(LONG outputWidth, LONG outputHeight, LONG preserve, LONG osdHeight) noexcept
{
    OsdRect rect{0, 0, outputWidth, outputHeight};
    if (preserve && outputHeight >= 576)
    {
        const LONG half = (576 - osdHeight) / 2; // signed: an OSD taller than 576 lines moves up
        const ULONG output = static_cast<ULONG>(outputHeight);
        rect.top = static_cast<LONG>(static_cast<ULONG>(half) * output / 576u);
        rect.extent = static_cast<LONG>(static_cast<ULONG>(osdHeight - 1) * output / 576u);
    }
    return rect;
}

void COsd::UpdateRect() noexcept
{
    m_rect = ComputeOsdRect(m_outputWidth, m_outputHeight, m_preserve, m_height ? m_height : 480);
}

HRESULT COsd::RefreshOsd(bool blank) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    if (!m_frame || !m_target.Bits())
        return E_UNEXPECTED;
    UpdateRect();
    m_palette.Reset();
    if (blank)
        std::memset(m_frame + kHeaderBytes, tx::skin::OsdPalette::kOpaqueBlackIndex, m_pixelCount);
    else
        ComposeFrame();
    m_palette.CopyEntriesTo(m_frame + 8);

    if (m_driverPath)
    {
        // The driver bounds its own waits and keeps a request it gave up on.
        StoreRectValues();
        m_driver->ShowOsdBitmap(m_bufferSize, m_frame, m_rectValues, 1);
        return S_OK;
    }
    return DeliverThroughPin();
}

void COsd::ComposeFrame() noexcept
{
    uint32_t *const target = m_target.Bits();
    std::memcpy(target, m_background.get(), static_cast<size_t>(m_pixelCount) * sizeof(uint32_t));
    ComposeSubtitle();
    // GDI drawing into the DIB sections must be finished before their pixels are read.
    ::GdiFlush();
    m_skinManager.Compose(this);
    ::GdiFlush();
    m_quantiser.QuantiseFrame(target, m_pixelCount, m_palette);
    m_quantiser.ConvertFrame(target, static_cast<uint32_t>(m_width), static_cast<uint32_t>(m_height), m_palette,
                             m_frame + kHeaderBytes);
}

void COsd::ComposeSubtitle() noexcept
{
    tx::CriticalSectionLock lock(m_subtitleLock);
    const DWORD *in = m_subtitle.get();
    uint32_t *out = m_target.Bits();
    // Only drawn pixels (top byte 0) cover the video; everything else stays transparent.
    for (ULONG i = 0; i < m_pixelCount; ++i)
        if ((in[i] & 0xFF000000u) == 0)
            out[i] = in[i];
}

HRESULT COsd::DeliverThroughPin() noexcept
{
    if (m_pendingEvent)
    {
        // The card still holds the previous frame: do not hand it another write over the
        // same record until it lets go.
        if (::WaitForSingleObject(m_pendingEvent.Get(), 0) != WAIT_OBJECT_0)
        {
            tx::LogFailure(E_PENDING, L"Failed to deliver OSD frame, the previous one is still pending");
            return E_PENDING;
        }
        m_pendingEvent.Reset();
    }
    tx::UniqueHandle event(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    TX_RETURN_HR_IF(!event, E_OUTOFMEMORY, L"Failed to create OSD write event");

    m_record = {};
    m_record.recordSize = sizeof(ZCardWriteRecord);
    m_record.headerCount = 1;
    m_record.header.size = sizeof(ZCardStreamHeader);
    m_record.header.frameExtent = m_bufferSize;
    m_record.header.data = m_frame;
    m_overlapped = {};
    m_overlapped.hEvent = event.Get();

    HRESULT hr = m_pin->WriteFrame(&m_record, &m_overlapped);
    if (hr == E_PENDING)
    {
        // The UI thread waits here with the OSD lock held; the card normally answers in
        // well under a frame time.
        if (::WaitForSingleObject(event.Get(), m_deliveryTimeoutMs) == WAIT_OBJECT_0)
        {
            hr = S_OK;
        }
        else
        {
            tx::LogFailure(hr, L"Failed to deliver OSD frame in time");
            // The card may still complete the write and signal the event: keep both.
            m_pendingEvent = std::move(event);
            return hr;
        }
    }
    else if (FAILED(hr))
    {
        tx::LogFailure(hr, L"Failed to deliver OSD frame");
        return hr;
    }
    hr = SetRectProperty();
    if (SUCCEEDED(hr))
    {
        const LONG enable = 1;
        hr = m_properties->SetProperty(ZCARD_OSD_PROPERTY_ENABLE, &enable);
        tx::LogFailure(hr, L"Failed to enable OSD");
    }
    return hr;
}

HRESULT COsd::SetRectProperty() noexcept
{
    if (!m_properties)
        return S_FALSE;
    const LONG values[4] = {m_rect.left, m_rect.top, m_rect.width, m_rect.extent};
    const HRESULT hr = m_properties->SetProperty(ZCARD_OSD_PROPERTY_RECT, values);
    tx::LogFailure(hr, L"Failed to set rect");
    return hr;
}

HRESULT COsd::SetOutputRect(LONG outputWidth, LONG outputHeight, LONG preserve) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    m_outputWidth = outputWidth;
    m_outputHeight = outputHeight;
    m_preserve = preserve;
    UpdateRect();
    if (m_driverPath)
    {
        if (m_driver)
        {
            StoreRectValues();
            m_driver->SetOsdRect(m_rectValues);
        }
        return S_OK;
    }
    return SetRectProperty();
}

void COsd::SetLayoutHeight(LONG height) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    const LONG previous = m_layoutHeight;
    m_layoutHeight = height;
    if (height != previous)
        m_skinManager.Relayout(height - previous);
}

void COsd::Tick(LONG value) noexcept
{
    m_skinManager.OnTick(value);
}

// COsd::LoadLanguageAndSkin is with the skin loader (SkinLoader.cpp).

void COsd::Shutdown() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    m_thread.Stop();
    m_target.Destroy();
    m_scratch.Destroy();
    m_background.reset();
    {
        tx::CriticalSectionLock subtitleLock(m_subtitleLock);
        m_subtitle.reset();
    }
    m_skinManager.FreeSkin();
    m_host.Reset();
    if (m_osdWindow)
        ::SendMessageW(m_osdWindow, WM_CLOSE, 0, 0);
}

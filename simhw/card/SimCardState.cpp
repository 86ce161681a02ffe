#include "simhw/card/SimCardState.h"

#include "comkit/Handles.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tx::simhw
{
namespace
{
constexpr ULONG kHeaderBytes = 8;
constexpr ULONG kPaletteBytes = 1024;
constexpr UINT kWindowWidth = 720;
constexpr UINT kWindowHeight = 480;

struct TelevisionStart
{
    CSimCardState *state;
    HANDLE ready;
};

BYTE ClampByte(double value)
{
    return static_cast<BYTE>(std::clamp(value + 0.5, 0.0, 255.0));
}

// Writes the bytes to a file beside the target, then puts it in the target's place.
HRESULT WriteFileReplacing(const std::wstring &path, const std::vector<BYTE> &bytes) noexcept
{
    const std::wstring aside = path + L".writing";
    {
        UniqueFileHandle file(
            ::CreateFileW(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return HRESULT_FROM_WIN32(::GetLastError());
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size())
            return HRESULT_FROM_WIN32(::GetLastError());
    }
    if (!::MoveFileExW(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        return HRESULT_FROM_WIN32(::GetLastError());
    return S_OK;
}

HRESULT WriteBmp(const std::wstring &path, const std::vector<BYTE> &frame) noexcept
{
    try
    {
        UINT width = 0, height = 0;
        std::vector<BYTE> rgb;
        if (!OsdFrameToRgb(frame.data(), static_cast<ULONG>(frame.size()), width, height, rgb))
            return E_INVALIDARG;
        const UINT stride = (width * 3 + 3) & ~3u;
        const DWORD imageBytes = stride * height;
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof(file) + sizeof(info);
        file.bfSize = file.bfOffBits + imageBytes;
        info.biSize = sizeof(info);
        info.biWidth = static_cast<LONG>(width);
        info.biHeight = static_cast<LONG>(height); // bottom-up
        info.biPlanes = 1;
        info.biBitCount = 24;
        info.biCompression = BI_RGB;
        info.biSizeImage = imageBytes;
        std::vector<BYTE> bytes(file.bfSize, 0);
        std::memcpy(bytes.data(), &file, sizeof(file));
        std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
        for (UINT y = 0; y < height; ++y)
            std::memcpy(bytes.data() + file.bfOffBits + static_cast<size_t>(height - 1 - y) * stride,
                        rgb.data() + static_cast<size_t>(y) * width * 3, width * 3);
        return WriteFileReplacing(path, bytes);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}
} // namespace

bool IsOsdFrame(const BYTE *frame, ULONG size, UINT *width, UINT *height) noexcept
{
    if (!frame || size < kHeaderBytes + kPaletteBytes || frame[0] != 0x3E)
        return false;
    const ULONG declared = (ULONG(frame[1]) << 16) | (ULONG(frame[2]) << 8) | frame[3];
    const UINT w = (UINT(frame[4]) << 8) | frame[5];
    const UINT h = (UINT(frame[6]) << 8) | frame[7];
    if (w == 0 || h == 0 || declared != size || ULONGLONG(w) * h + kHeaderBytes + kPaletteBytes != size)
        return false;
    if (width)
        *width = w;
    if (height)
        *height = h;
    return true;
}

// The video plane behind the OSD. The card does not decode: while its decoder filter
// (rmmpeg2.ax, in this process) has inputs connected, the plane shows what it receives
// as text on dark grey; otherwise it stays black. Rows are top-down, 3 bytes a pixel.
bool RenderVideoPlane(UINT width, UINT height, std::vector<BYTE> &video) noexcept
{
    using GetPlayingTextFn = HRESULT(WINAPI *)(BSTR *);
    const HMODULE decoder = ::GetModuleHandleW(L"rmmpeg2.ax");
    const auto getText = decoder ? GetProcAddressAs<GetPlayingTextFn>(decoder, "SimDecoderGetPlayingText") : nullptr;
    if (!getText)
        return false;
    BSTR raw = nullptr;
    if (getText(&raw) != S_OK)
        return false;
    const std::wstring text(raw ? raw : L"", raw ? ::SysStringLen(raw) : 0);
    ::SysFreeString(raw);
    if (text.empty())
        return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc || !bits)
        return false;
    {
        SelectObjectScope selectBitmap(dc.Get(), bitmap.Get());
        RECT all{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
        UniqueBrush grey(::CreateSolidBrush(RGB(40, 40, 48)));
        ::FillRect(dc.Get(), &all, grey.Get());
        UniqueFont font(::CreateFontW(-22, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
        SelectObjectScope selectFont(dc.Get(), font.Get());
        ::SetBkMode(dc.Get(), TRANSPARENT);
        ::SetTextColor(dc.Get(), RGB(200, 200, 200));
        RECT box{40, static_cast<LONG>(height) - 160, static_cast<LONG>(width) - 40, static_cast<LONG>(height) - 40};
        std::wstring shown = L"Simulated decoder\n" + text;
        ::DrawTextW(dc.Get(), shown.c_str(), static_cast<int>(shown.size()), &box, DT_LEFT | DT_TOP | DT_NOPREFIX);
        ::GdiFlush();
    }
    try
    {
        video.resize(static_cast<size_t>(width) * height * 3);
    }
    catch (...)
    {
        return false;
    }
    const BYTE *source = static_cast<const BYTE *>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        std::memcpy(video.data() + 3 * i, source + 4 * i, 3);
    return true;
}

bool OsdFrameToRgb(const BYTE *frame, ULONG size, UINT &width, UINT &height, std::vector<BYTE> &rgb) noexcept
{
    if (!IsOsdFrame(frame, size, &width, &height))
        return false;
    try
    {
        BYTE colours[256][3];
        for (int i = 0; i < 256; ++i)
        {
            const BYTE *entry = frame + kHeaderBytes + 4 * i; // alpha, Y, Cb, Cr
            const double alpha = entry[0] / 255.0;
            const double y = 1.164 * (entry[1] - 16), cb = entry[2] - 128.0, cr = entry[3] - 128.0;
            colours[i][0] = ClampByte(alpha * std::clamp(y + 2.018 * cb, 0.0, 255.0));              // blue
            colours[i][1] = ClampByte(alpha * std::clamp(y - 0.813 * cr - 0.391 * cb, 0.0, 255.0)); // green
            colours[i][2] = ClampByte(alpha * std::clamp(y + 1.596 * cr, 0.0, 255.0));              // red
        }
        const BYTE *pixels = frame + kHeaderBytes + kPaletteBytes;
        rgb.resize(static_cast<size_t>(width) * height * 3);
        std::vector<BYTE> video;
        if (!RenderVideoPlane(width, height, video))
        {
            for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
                std::memcpy(rgb.data() + 3 * i, colours[pixels[i]], 3);
            return true;
        }
        // The OSD colours are already weighted by their alpha: the video shows through
        // by what is left.
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        {
            const BYTE *entry = frame + kHeaderBytes + 4 * pixels[i];
            const unsigned through = 255u - entry[0];
            for (int c = 0; c < 3; ++c)
                rgb[3 * i + c] = static_cast<BYTE>(
                    std::min(255u, colours[pixels[i]][c] + (video[3 * i + c] * through + 127u) / 255u));
        }
        return true;
    }
    catch (...)
    {
        return false;
    }
}

CSimCardState &CSimCardState::Instance() noexcept
{
    static CSimCardState state;
    return state;
}

CSimCardState::CSimCardState() noexcept
{
    m_state.enable = -1;
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(kSimCardBmpVariable, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        m_imagePath.assign(path, length);
}

HRESULT CSimCardState::Failure(SimCardStep step) noexcept
{
    CriticalSectionLock lock(m_lock);
    return (step >= 0 && step < SIMCARD_STEP_COUNT) ? m_failures[step] : E_INVALIDARG;
}

void CSimCardState::SetFailure(SimCardStep step, HRESULT hr) noexcept
{
    CriticalSectionLock lock(m_lock);
    if (step >= 0 && step < SIMCARD_STEP_COUNT)
        m_failures[step] = hr;
}

void CSimCardState::SetWriteMode(SimCardWriteMode mode, DWORD delayMs) noexcept
{
    CriticalSectionLock lock(m_lock);
    m_writeMode = mode;
    m_pendingDelayMs = delayMs;
}

void CSimCardState::Reset() noexcept
{
    CriticalSectionLock lock(m_lock);
    std::fill(std::begin(m_failures), std::end(m_failures), S_OK);
    m_writeMode = SIMCARD_WRITE_AT_ONCE;
    m_pendingDelayMs = 0;
    m_pending.clear();
    m_lastFrame.clear();
    m_state = SimCardOsdState{};
    m_state.enable = -1;
}

HRESULT CSimCardState::Write(const BYTE *frame, ULONG size, HANDLE event) noexcept
{
    if (!IsOsdFrame(frame, size))
        return E_INVALIDARG;
    try
    {
        std::vector<BYTE> copy(frame, frame + size);
        CriticalSectionLock lock(m_lock);
        if (FAILED(m_failures[SIMCARD_STEP_WRITE_FRAME]))
            return m_failures[SIMCARD_STEP_WRITE_FRAME];
        ++m_state.writes;
        if (m_writeMode == SIMCARD_WRITE_AT_ONCE)
        {
            ShowFrame(std::move(copy));
            return S_OK;
        }
        if (!event)
            return E_INVALIDARG;
        m_pending.push_back(PendingWrite{std::move(copy), event});
        m_state.pendingWrites = static_cast<ULONG>(m_pending.size());
        if (m_writeMode == SIMCARD_WRITE_PENDING)
        {
            HANDLE timer = nullptr;
            // The timer is one-shot and deletes nothing it does not own; it ends by itself.
            if (!::CreateTimerQueueTimer(&timer, nullptr, &CSimCardState::OnPendingTimer, this,
                                         std::max<DWORD>(m_pendingDelayMs, 1), 0,
                                         WT_EXECUTEONLYONCE | WT_EXECUTEINTIMERTHREAD))
                return HRESULT_FROM_WIN32(::GetLastError());
        }
        return E_PENDING;
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}

void CALLBACK CSimCardState::OnPendingTimer(PVOID parameter, BOOLEAN) noexcept
{
    static_cast<CSimCardState *>(parameter)->CompletePendingWrite();
}

HRESULT CSimCardState::CompletePendingWrite() noexcept
{
    CriticalSectionLock lock(m_lock);
    if (m_pending.empty())
        return S_FALSE;
    PendingWrite write = std::move(m_pending.front());
    m_pending.pop_front();
    m_state.pendingWrites = static_cast<ULONG>(m_pending.size());
    ShowFrame(std::move(write.frame));
    ::SetEvent(write.event);
    return S_OK;
}

void CSimCardState::ShowFrame(std::vector<BYTE> &&frame) noexcept
{
    m_lastFrame = std::move(frame);
    ++m_state.frames;
    if (!m_imagePath.empty())
        WriteBmp(m_imagePath, m_lastFrame);
    if (m_television)
        ::InvalidateRect(m_television, nullptr, FALSE);
}

HRESULT CSimCardState::SetProperty(ULONG id, const LONG *value) noexcept
{
    if (!value)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    switch (id)
    {
    case 822:
        if (FAILED(m_failures[SIMCARD_STEP_SET_RECT]))
            return m_failures[SIMCARD_STEP_SET_RECT];
        std::memcpy(m_state.rectangle, value, sizeof(m_state.rectangle));
        ++m_state.rectangleSets;
        return S_OK;
    case 824:
        if (FAILED(m_failures[SIMCARD_STEP_SET_ENABLE]))
            return m_failures[SIMCARD_STEP_SET_ENABLE];
        m_state.enable = *value;
        ++m_state.enableSets;
        return S_OK;
    default:
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND); // no such property on this pin
    }
}

void CSimCardState::GetOsdState(SimCardOsdState &state) noexcept
{
    CriticalSectionLock lock(m_lock);
    state = m_state;
}

HRESULT CSimCardState::GetLastFrame(BYTE *buffer, ULONG capacity, ULONG *size) noexcept
{
    if (!size)
        return E_POINTER;
    CriticalSectionLock lock(m_lock);
    *size = static_cast<ULONG>(m_lastFrame.size());
    if (m_lastFrame.empty())
        return S_FALSE;
    if (!buffer || capacity < m_lastFrame.size())
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, m_lastFrame.data(), m_lastFrame.size());
    return S_OK;
}

HRESULT CSimCardState::SaveImage(const wchar_t *path) noexcept
{
    if (!path || !*path)
        return E_INVALIDARG;
    CriticalSectionLock lock(m_lock);
    if (m_lastFrame.empty())
        return S_FALSE;
    return WriteBmp(path, m_lastFrame);
}

HRESULT CSimCardState::SetImageOnEveryFrame(const wchar_t *path) noexcept
{
    try
    {
        CriticalSectionLock lock(m_lock);
        m_imagePath = path ? path : L"";
        return S_OK;
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}

HWND CSimCardState::TelevisionWindow() noexcept
{
    CriticalSectionLock lock(m_lock);
    return m_television;
}

HRESULT CSimCardState::ShowTelevision(bool show) noexcept
{
    HWND window = TelevisionWindow();
    if (!show)
    {
        if (window)
        {
            ::SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, nullptr);
            UniqueHandle thread;
            {
                CriticalSectionLock lock(m_lock);
                thread = std::move(m_televisionThreadHandle);
            }
            if (thread)
                ::WaitForSingleObject(thread.Get(), 5000);
        }
        return TelevisionWindow() ? HRESULT_FROM_WIN32(ERROR_TIMEOUT) : S_OK;
    }
    if (window)
        return S_OK;
    // The window lives on a thread of its own so that it paints whatever the caller does.
    UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready)
        return HRESULT_FROM_WIN32(::GetLastError());
    TelevisionStart start{this, ready.Get()};
    DWORD threadId = 0;
    UniqueHandle thread(::CreateThread(nullptr, 0, &CSimCardState::TelevisionThread, &start, 0, &threadId));
    if (!thread)
        return HRESULT_FROM_WIN32(::GetLastError());
    if (::WaitForSingleObject(ready.Get(), 5000) != WAIT_OBJECT_0)
        return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    {
        CriticalSectionLock lock(m_lock);
        m_televisionThreadHandle = std::move(thread);
    }
    return TelevisionWindow() ? S_OK : S_FALSE;
}

DWORD WINAPI CSimCardState::TelevisionThread(LPVOID parameter) noexcept
{
    const TelevisionStart start = *static_cast<TelevisionStart *>(parameter);
    CSimCardState &self = *start.state;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    if (!::GetClassInfoExW(instance, kSimTelevisionClass, &windowClass))
    {
        windowClass = WNDCLASSEXW{sizeof(windowClass)};
        windowClass.lpfnWndProc = &CSimCardState::TelevisionProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kSimTelevisionClass;
        ::RegisterClassExW(&windowClass);
    }
    RECT frame{0, 0, static_cast<LONG>(kWindowWidth), static_cast<LONG>(kWindowHeight)};
    ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    const HWND window =
        ::CreateWindowExW(0, kSimTelevisionClass, kSimTelevisionTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, &self);
    {
        CriticalSectionLock lock(self.m_lock);
        self.m_television = window;
        self.m_televisionThread = ::GetCurrentThreadId();
    }
    ::SetEvent(start.ready);
    if (!window)
        return 0;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    CriticalSectionLock lock(self.m_lock);
    self.m_television = nullptr;
    self.m_televisionThread = 0;
    return 0;
}

LRESULT CALLBACK CSimCardState::TelevisionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message)
    {
    case WM_PAINT:
        Instance().PaintTelevision(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void CSimCardState::PaintTelevision(HWND window) noexcept
try
{
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    UINT width = 0, height = 0;
    std::vector<BYTE> rgb;
    bool haveFrame = false;
    {
        CriticalSectionLock lock(m_lock);
        haveFrame = OsdFrameToRgb(m_lastFrame.data(), static_cast<ULONG>(m_lastFrame.size()), width, height, rgb);
    }
    if (haveFrame)
    {
        // Rows of the image are top-down: a negative height says so.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = static_cast<LONG>(width);
        info.bmiHeader.biHeight = -static_cast<LONG>(height);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        std::vector<BYTE> padded;
        const UINT stride = (width * 3 + 3) & ~3u;
        padded.assign(static_cast<size_t>(stride) * height, 0);
        for (UINT y = 0; y < height; ++y)
            std::memcpy(padded.data() + static_cast<size_t>(y) * stride,
                        rgb.data() + static_cast<size_t>(y) * width * 3, width * 3);
        ::StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, width, height, padded.data(), &info,
                        DIB_RGB_COLORS, SRCCOPY);
    }
    else
    {
        ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ::EndPaint(window, &paint);
}
catch (...)
{
    ::ValidateRect(window, nullptr); // out of memory: paint nothing rather than loop
}

} // namespace tx::simhw

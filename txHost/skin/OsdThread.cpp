#include "txHost/skin/OsdThread.h"

#include "comkit/HResult.h"
#include "txHost/core/AppMessages.h"

#include <ole2.h>
#include <gdiplus.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace
{

constexpr wchar_t kExtractClassName[] = L"TessaronixOSDWindowClassExtract";
constexpr wchar_t kWindowTitle[] = L"Tessaronix Host";

std::atomic<HWND> g_thumbnailWindow{nullptr};

LRESULT CALLBACK ThumbnailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == tx::host::APPMSG_EXTRACT_THUMBNAIL && lParam)
    {
        auto *request = reinterpret_cast<ThumbnailRequest *>(lParam);
        request->result = COsdThread::ExtractThumbnail(request->path, request->width, request->height);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterExtractClass() noexcept
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW existing{};
    if (::GetClassInfoW(instance, kExtractClassName, &existing))
        return true;
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    windowClass.lpfnWndProc = ThumbnailWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kExtractClassName;
    return ::RegisterClassW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

struct ThreadStart
{
    HANDLE ready;
    LONG height;
};

} // namespace

HWND COsdThread::ThumbnailWindow() noexcept
{
    return g_thumbnailWindow.load();
}

HRESULT COsdThread::Start(LONG osdHeight) noexcept
{
    if (m_thread)
        return S_FALSE;
    tx::UniqueHandle ready(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    TX_RETURN_HR_IF(!ready, tx::HResultFromLastError(), L"Failed to create OSD thread event");
    m_ready = ready.Get();
    m_height = osdHeight;
    m_thread.Reset(::CreateThread(nullptr, 0, ThreadProc, this, 0, &m_threadId));
    if (!m_thread)
    {
        m_ready = nullptr;
        const HRESULT hr = tx::HResultFromLastError();
        tx::LogFailure(hr, L"Failed to start OSD thread");
        return hr;
    }
    ::WaitForSingleObject(ready.Get(), INFINITE);
    m_ready = nullptr;
    return S_OK;
}

void COsdThread::Stop() noexcept
{
    if (!m_thread)
        return;
    // The thread may not have entered its loop's queue yet; PostThreadMessage then fails,
    // so retry until the message is queued or the thread has ended.
    while (!::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0))
    {
        if (::WaitForSingleObject(m_thread.Get(), 10) == WAIT_OBJECT_0)
            break;
    }
    ::WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
    m_threadId = 0;
}

DWORD WINAPI COsdThread::ThreadProc(void *parameter) noexcept
{
    auto *self = static_cast<COsdThread *>(parameter);
    const LONG height = self->m_height;
    HANDLE ready = self->m_ready;
    // Make the queue before signalling, so that Stop's WM_QUIT cannot be lost.
    MSG message;
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    const HRESULT oleResult = ::OleInitialize(nullptr);
    if (FAILED(oleResult))
    {
        tx::LogFailure(oleResult, L"Failed to initialize OLE on the OSD thread");
        ::SetEvent(ready);
        return 1;
    }
    HWND created = nullptr;
    if (!g_thumbnailWindow.load() && RegisterExtractClass())
    {
        created = ::CreateWindowExW(0, kExtractClassName, kWindowTitle, 0, 0, 0, 0, height, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
        if (created)
            g_thumbnailWindow.store(created);
        else
            tx::LogFailure(tx::HResultFromLastError(), L"Failed to create thumbnail window");
    }
    ::SetEvent(ready);

    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (created)
    {
        HWND expected = created;
        g_thumbnailWindow.compare_exchange_strong(expected, nullptr);
        ::DestroyWindow(created);
    }
    ::OleUninitialize();
    return 0;
}

HBITMAP COsdThread::ExtractThumbnail(const wchar_t *path, LONG width, LONG height) noexcept
{
    if (!path || !*path || width < 1 || height < 1 || width > 4096 || height > 4096)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromFile(path));
    if (!picture || picture->GetLastStatus() != Gdiplus::Ok || picture->GetWidth() == 0 || picture->GetHeight() == 0)
        return nullptr;
    // Fit inside the requested box, keeping the picture's aspect.
    const double scale =
        std::min(static_cast<double>(width) / picture->GetWidth(), static_cast<double>(height) / picture->GetHeight());
    const INT fitWidth = std::max<INT>(1, static_cast<INT>(std::lround(picture->GetWidth() * scale)));
    const INT fitHeight = std::max<INT>(1, static_cast<INT>(std::lround(picture->GetHeight() * scale)));
    Gdiplus::Bitmap thumbnail(fitWidth, fitHeight, PixelFormat32bppARGB);
    if (thumbnail.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    {
        Gdiplus::Graphics graphics(&thumbnail);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        if (graphics.DrawImage(picture.get(), 0, 0, fitWidth, fitHeight) != Gdiplus::Ok)
            return nullptr;
    }
    HBITMAP result = nullptr;
    if (thumbnail.GetHBITMAP(Gdiplus::Color(0, 0, 0), &result) != Gdiplus::Ok)
        return nullptr;
    return result;
}

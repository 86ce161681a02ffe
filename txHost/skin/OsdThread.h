#pragma once
// The OSD thread: an OLE apartment whose hidden window (class
// "TessaronixOSDWindowClassExtract") extracts file thumbnails for the skin elements.
// Requests arrive by SendMessage(APPMSG_EXTRACT_THUMBNAIL, 0, ThumbnailRequest*) and are
// served one at a time. Thumbnails are decoded with GDI+, which the process must have
// started; the shell's own thumbnail extraction is not used.
#include "comkit/Handles.h"
#include "txHost/skin/OsdInterfaces.h"

#include <windows.h>

class COsdThread
{
  public:
    COsdThread() noexcept = default;
    ~COsdThread()
    {
        Stop();
    }
    COsdThread(const COsdThread &) = delete;
    COsdThread &operator=(const COsdThread &) = delete;

    // Starts the thread and waits until its window exists (or its apartment failed).
    HRESULT Start(LONG osdHeight) noexcept;
    // Ends the message loop and waits for the thread; nothing when not started.
    void Stop() noexcept;

    DWORD ThreadId() const noexcept
    {
        return m_threadId;
    }

    // The thumbnail window of the process, null before the first thread created it.
    static HWND ThumbnailWindow() noexcept;

    // A bitmap of the picture at path fitted inside width x height with its aspect kept,
    // or null. The caller owns it. Any thread with GDI+ started.
    static HBITMAP ExtractThumbnail(const wchar_t *path, LONG width, LONG height) noexcept;

  private:
    static DWORD WINAPI ThreadProc(void *parameter) noexcept;

    tx::UniqueHandle m_thread;
    DWORD m_threadId = 0;
    HANDLE m_ready = nullptr;
    LONG m_height = 0;
};

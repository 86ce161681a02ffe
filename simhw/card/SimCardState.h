#pragma once
// The one simulated card of the process: what every graph object and pin of
// txSimCard.dll reads and changes, under one lock.
#include "simhw/card/SimCard.h"

#include "comkit/Handles.h"

#include <deque>
#include <string>
#include <vector>

namespace tx::simhw
{

class CSimCardState
{
  public:
    static CSimCardState &Instance() noexcept;

    HRESULT Failure(SimCardStep step) noexcept;
    void SetFailure(SimCardStep step, HRESULT hr) noexcept;
    void SetWriteMode(SimCardWriteMode mode, DWORD delayMs) noexcept;
    void Reset() noexcept;

    // Checks the frame against the OSD bitmap format and shows it or queues it.
    // S_OK shown; E_PENDING queued (the event is signalled when shown); a failure: refused.
    HRESULT Write(const BYTE *frame, ULONG size, HANDLE event) noexcept;
    HRESULT CompletePendingWrite() noexcept;
    HRESULT SetProperty(ULONG id, const LONG *value) noexcept;

    void GetOsdState(SimCardOsdState &state) noexcept;
    HRESULT GetLastFrame(BYTE *buffer, ULONG capacity, ULONG *size) noexcept;
    HRESULT SaveImage(const wchar_t *path) noexcept;
    HRESULT SetImageOnEveryFrame(const wchar_t *path) noexcept;
    HRESULT ShowTelevision(bool show) noexcept;
    HWND TelevisionWindow() noexcept;

  private:
    struct PendingWrite
    {
        std::vector<BYTE> frame;
        HANDLE event;
    };

    CSimCardState() noexcept;
    void ShowFrame(std::vector<BYTE> &&frame) noexcept; // under the lock
    static void CALLBACK OnPendingTimer(PVOID, BOOLEAN) noexcept;
    static DWORD WINAPI TelevisionThread(LPVOID parameter) noexcept;
    static LRESULT CALLBACK TelevisionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void PaintTelevision(HWND window) noexcept;

    CriticalSection m_lock;
    HRESULT m_failures[SIMCARD_STEP_COUNT] = {};
    SimCardWriteMode m_writeMode = SIMCARD_WRITE_AT_ONCE;
    DWORD m_pendingDelayMs = 0;
    std::deque<PendingWrite> m_pending;
    std::vector<BYTE> m_lastFrame;
    SimCardOsdState m_state{};
    std::wstring m_imagePath;
    HWND m_television = nullptr;
    DWORD m_televisionThread = 0;
    UniqueHandle m_televisionThreadHandle;
};

// What the television shows of an OSD frame: 24-bit BGR rows, top line first, the
// palette's YCbCr turned into RGB and blended over black by its alpha. False when the
// frame is not in the OSD bitmap format.
bool OsdFrameToRgb(const BYTE *frame, ULONG size, UINT &width, UINT &height, std::vector<BYTE> &rgb) noexcept;
// Checks header, sizes and dimensions of an OSD frame.
bool IsOsdFrame(const BYTE *frame, ULONG size, UINT *width = nullptr, UINT *height = nullptr) noexcept;

} // namespace tx::simhw

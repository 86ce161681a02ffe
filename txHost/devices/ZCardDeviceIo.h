#pragma once
// The device I/O that CZCardDriver uses to reach the card's kernel driver: opening the
// device, control requests, bounded waits on their completion events, cancelling, and
// the registry lookup of the old stream driver. The program uses CWin32ZCardDeviceIo;
// tests stand a simulated driver behind the same interface.
//
// Thread: whichever thread owns the CZCardDriver (the OSD's, under its lock).
#include <windows.h>

#include <string>

namespace tx::devices
{

class IZCardDeviceIo
{
  public:
    virtual ~IZCardDeviceIo() = default;

    // CreateFileW with no security attributes and no template. Returns the handle, or
    // INVALID_HANDLE_VALUE when the device does not open.
    virtual HANDLE CreateDevice(const wchar_t *path, DWORD access, DWORD share, DWORD disposition,
                                DWORD flagsAndAttributes) = 0;
    // DeviceIoControl through an OVERLAPPED whose event is set. Returns ERROR_SUCCESS
    // when the request completed at once, ERROR_IO_PENDING when it will signal the event
    // later (the OVERLAPPED and the buffers must then outlive it), any other error when
    // it was refused (nothing pending).
    virtual DWORD Control(HANDLE device, DWORD code, void *input, DWORD inputSize, void *output, DWORD outputSize,
                          OVERLAPPED *overlapped) = 0;
    // WaitForSingleObject on an event: WAIT_OBJECT_0 or WAIT_TIMEOUT.
    virtual DWORD Wait(HANDLE event, DWORD milliseconds) = 0;
    // CancelIoEx of one pending request; it still signals its event when it ends.
    virtual void Cancel(HANDLE device, OVERLAPPED *overlapped) = 0;
    virtual void CloseDevice(HANDLE device) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
    // Name of the first subkey (index 0) of root\path, at most 256 characters.
    // ERROR_SUCCESS, or the registry's error (ERROR_FILE_NOT_FOUND, ERROR_NO_MORE_ITEMS).
    virtual LSTATUS FirstSubkeyName(HKEY root, const wchar_t *path, std::wstring &name) = 0;
};

// The real thing: kernel32 and advapi32.
class CWin32ZCardDeviceIo final : public IZCardDeviceIo
{
  public:
    HANDLE CreateDevice(const wchar_t *path, DWORD access, DWORD share, DWORD disposition,
                        DWORD flagsAndAttributes) override;
    DWORD Control(HANDLE device, DWORD code, void *input, DWORD inputSize, void *output, DWORD outputSize,
                  OVERLAPPED *overlapped) override;
    DWORD Wait(HANDLE event, DWORD milliseconds) override;
    void Cancel(HANDLE device, OVERLAPPED *overlapped) override;
    void CloseDevice(HANDLE device) override;
    void Sleep(DWORD milliseconds) override;
    LSTATUS FirstSubkeyName(HKEY root, const wchar_t *path, std::wstring &name) override;
};

} // namespace tx::devices

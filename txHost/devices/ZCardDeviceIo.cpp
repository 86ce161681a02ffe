#include "txHost/devices/ZCardDeviceIo.h"

#include "comkit/Handles.h"

namespace tx::devices
{

HANDLE CWin32ZCardDeviceIo::CreateDevice(const wchar_t *path, DWORD access, DWORD share, DWORD disposition,
                                         DWORD flagsAndAttributes)
{
    return ::CreateFileW(path, access, share, nullptr, disposition, flagsAndAttributes, nullptr);
}

DWORD CWin32ZCardDeviceIo::Control(HANDLE device, DWORD code, void *input, DWORD inputSize, void *output,
                                   DWORD outputSize, OVERLAPPED *overlapped)
{
    DWORD returned = 0;
    if (::DeviceIoControl(device, code, input, inputSize, output, outputSize, &returned, overlapped))
        return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

DWORD CWin32ZCardDeviceIo::Wait(HANDLE event, DWORD milliseconds)
{
    return ::WaitForSingleObject(event, milliseconds);
}

void CWin32ZCardDeviceIo::Cancel(HANDLE device, OVERLAPPED *overlapped)
{
    ::CancelIoEx(device, overlapped);
}

void CWin32ZCardDeviceIo::CloseDevice(HANDLE device)
{
    ::CloseHandle(device);
}

void CWin32ZCardDeviceIo::Sleep(DWORD milliseconds)
{
    ::Sleep(milliseconds);
}

LSTATUS CWin32ZCardDeviceIo::FirstSubkeyName(HKEY root, const wchar_t *path, std::wstring &name)
{
    UniqueHKey key;
    LSTATUS status = ::RegOpenKeyExW(root, path, 0, KEY_READ, key.Put());
    if (status != ERROR_SUCCESS)
        return status;
    wchar_t buffer[257] = {};
    DWORD length = 257;
    status = ::RegEnumKeyExW(key.Get(), 0, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS)
        name.assign(buffer, length);
    return status;
}

} // namespace tx::devices

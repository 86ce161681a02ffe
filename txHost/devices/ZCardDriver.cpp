#include "txHost/devices/ZCardDriver.h"

#include "comkit/Handles.h"

#include <cstring>
#include <new>
#include <string>

namespace tx::devices
{

// One request in flight: its OVERLAPPED, its event and private copies of its buffers,
// which the driver may use until the request ends.
struct CZCardDriver::Request
{
    OVERLAPPED overlapped{};
    UniqueHandle event;
    alignas(8) BYTE input[64]{};
    alignas(8) BYTE output[64]{};
};

CZCardDriver::CZCardDriver(IZCardDeviceIo &io, ZCardDriverTimings timings) noexcept : m_io(io), m_timings(timings)
{
}

CZCardDriver::~CZCardDriver()
{
    Stop();
    CloseDevices();
    // Closing the device ends what was still pending; whatever does not end even now
    // is left allocated rather than freed under the driver.
    for (std::unique_ptr<Request> &request : m_stuck)
    {
        if (m_io.Wait(request->event.Get(), m_timings.completionWaitMs) != WAIT_OBJECT_0)
            (void)request.release();
    }
}

void CZCardDriver::CloseDevices() noexcept
{
    if (m_control != INVALID_HANDLE_VALUE)
        m_io.CloseDevice(m_control);
    if (m_stream != INVALID_HANDLE_VALUE)
        m_io.CloseDevice(m_stream);
    m_control = INVALID_HANDLE_VALUE;
    m_stream = INVALID_HANDLE_VALUE;
}

DWORD CZCardDriver::Send(HANDLE device, DWORD code, const void *input, DWORD inputSize, const void *output,
                         DWORD outputSize, EventKind eventKind) noexcept
{
    std::unique_ptr<Request> request(new (std::nothrow) Request);
    if (!request || inputSize > sizeof(request->input) || outputSize > sizeof(request->output))
        return ERROR_NOT_ENOUGH_MEMORY;
    request->event.Reset(::CreateEventW(nullptr, eventKind == EventKind::ManualReset, FALSE, nullptr));
    if (!request->event)
        return ::GetLastError() ? ::GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
    request->overlapped.hEvent = request->event.Get();
    if (input && inputSize)
        std::memcpy(request->input, input, inputSize);
    if (output && outputSize)
        std::memcpy(request->output, output, outputSize);

    const DWORD result = m_io.Control(device, code, inputSize ? request->input : nullptr, inputSize,
                                      outputSize ? request->output : nullptr, outputSize, &request->overlapped);
    if (result != ERROR_IO_PENDING)
        return result;
    if (m_io.Wait(request->event.Get(), m_timings.completionWaitMs) == WAIT_OBJECT_0)
        return ERROR_SUCCESS;
    // Not done in time: cancel it, and keep its memory until it really ends.
    m_io.Cancel(device, &request->overlapped);
    if (m_io.Wait(request->event.Get(), m_timings.completionWaitMs) != WAIT_OBJECT_0)
        m_stuck.push_back(std::move(request));
    return ERROR_IO_PENDING;
}

bool CZCardDriver::Open(bool newDriver, SIZE_T bufferSize, BYTE **buffer, SIZE_T *size) noexcept
{
    if (!buffer || !size)
        return false;
    *buffer = nullptr;
    *size = 0;
    if (m_opened || m_control != INVALID_HANDLE_VALUE)
        return false;

    BYTE *osdBuffer = static_cast<BYTE *>(::GlobalAlloc(GMEM_FIXED, bufferSize));
    if (!osdBuffer)
        return false;

    m_newDriver = newDriver;
    constexpr DWORD access = GENERIC_READ | GENERIC_WRITE;
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (newDriver)
    {
        m_control = m_io.CreateDevice(kZCardNewDevice, access, share, OPEN_EXISTING, kZCardOpenFlags);
        if (m_control == INVALID_HANDLE_VALUE)
            m_control = m_io.CreateDevice(kZCardNewDevice9x, access, share, OPEN_EXISTING, kZCardOpenFlags);
    }
    else
    {
        std::wstring link;
        if (m_io.FirstSubkeyName(HKEY_LOCAL_MACHINE, kZCardStreamLinksKey, link) == ERROR_SUCCESS && !link.empty())
        {
            const std::wstring stream = L"\\\\.\\" + link;
            const std::wstring control = stream + L"\\4";
            m_stream = m_io.CreateDevice(stream.c_str(), access, share, OPEN_EXISTING, kZCardOpenFlags);
            m_control = m_io.CreateDevice(control.c_str(), access, share, OPEN_EXISTING, kZCardOpenFlags);
        }
    }
    if (m_control == INVALID_HANDLE_VALUE || (!newDriver && m_stream == INVALID_HANDLE_VALUE))
    {
        CloseDevices();
        ::GlobalFree(osdBuffer);
        return false;
    }

    m_io.Sleep(m_timings.settleMs);
    // The start request's own result is not looked at: a card that is already running
    // refuses a second start and shows the OSD all the same.
    if (newDriver)
        Send(m_control, kZCardStartChannel, kZCardOsdChannel, sizeof(kZCardOsdChannel), nullptr, 0,
             EventKind::ManualReset);
    else
        Send(m_control, kZCardStreamProperty, &kZCardStreamStartHeader, sizeof(kZCardStreamStartHeader),
             &kZCardStreamRunState, sizeof(kZCardStreamRunState), EventKind::ManualReset);

    m_opened = true;
    *buffer = osdBuffer;
    *size = bufferSize;
    return true;
}

bool CZCardDriver::SendProperty(const ZCardPropertyRecord &record) noexcept
{
    if (m_control == INVALID_HANDLE_VALUE)
        return false;
    DWORD result;
    if (m_newDriver)
        result = Send(m_control, kZCardSetProperty, &record, sizeof(record), nullptr, 0, EventKind::ManualReset);
    else
        result = Send(m_stream, kZCardStreamProperty, &kZCardStreamPropertyHeader, sizeof(kZCardStreamPropertyHeader),
                      &record, sizeof(record), EventKind::ManualReset);
    return result == ERROR_SUCCESS;
}

void CZCardDriver::ShowOsdBitmap(SIZE_T bufferSize, BYTE *buffer, const LONG *rectangle, ULONG enable) noexcept
{
    if (!m_opened)
        return;
    if (m_newDriver)
    {
        ZCardBitmapRecord record{};
        record.buffer = buffer;
        record.size = bufferSize;
        Send(m_control, kZCardShowBitmap, &record, sizeof(record), nullptr, 0, EventKind::AutoReset);
    }
    else
    {
        ZCardDriverStreamRecord record{};
        record.recordSize = sizeof(record);
        record.headerCount = 1;
        record.header.size = sizeof(record.header);
        record.header.frameExtent = static_cast<ULONG>(bufferSize);
        record.header.data = buffer;
        const DWORD result =
            Send(m_control, kZCardStreamWrite, nullptr, 0, &record, sizeof(record), EventKind::AutoReset);
        if (result != ERROR_SUCCESS && result != ERROR_IO_PENDING)
            return; // refused: the frame is lost, the rectangle stays as it was
    }
    SendProperty(MakeZCardProperty(kZCardOsdRectangle, reinterpret_cast<ULONG_PTR>(rectangle)));
    SendProperty(MakeZCardProperty(kZCardOsdEnable, enable));
}

void CZCardDriver::SetOsdRect(const LONG *rectangle) noexcept
{
    if (!m_opened)
        return;
    SendProperty(MakeZCardProperty(kZCardOsdRectangle, reinterpret_cast<ULONG_PTR>(rectangle)));
}

void CZCardDriver::Stop() noexcept
{
    if (!m_opened)
        return;
    m_opened = false;
    if (!m_newDriver)
        return;
    Send(m_control, kZCardStopChannel, kZCardOsdChannel, sizeof(kZCardOsdChannel), nullptr, 0, EventKind::ManualReset);
    Send(m_control, kZCardCloseChannel, kZCardOsdChannel, sizeof(kZCardOsdChannel), nullptr, 0, EventKind::ManualReset);
}

} // namespace tx::devices

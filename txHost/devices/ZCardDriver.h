#pragma once
// CZCardDriver: the connection from the on-screen display to the ZIduz card's kernel
// driver, for showing the OSD through the driver rather than through the decoder's
// DirectShow pin. It opens the driver's device, starts the OSD channel, hands over the
// OSD bitmap buffer, sets the OSD destination rectangle and enable property, and stops
// the channel. Two driver generations: the new driver ("\\.\RM847x.SYS", or ".VXD")
// with its own control codes, and the old stream driver found through the registry,
// addressed with kernel-streaming property headers.
//
// Records carry pointer-sized fields: a 64-bit process hands the driver 64-bit
// addresses. Every wait for a request is bounded (500 ms unless the owner shortens it);
// a request that does not end in time is cancelled, and its OVERLAPPED and buffers are
// kept until it ends or the device closes.
//
// Thread: the OSD's, under the OSD lock; no lock of its own.
#include "txHost/devices/ZCardDeviceIo.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace tx::devices
{

// Control codes of the new driver.
inline constexpr DWORD kZCardStartChannel = 0x83002134; // "OSD" channel name, overlapped
inline constexpr DWORD kZCardSetProperty = 0x870021EC;  // property record
inline constexpr DWORD kZCardShowBitmap = 0x870021E8;   // bitmap record, overlapped
inline constexpr DWORD kZCardStopChannel = 0x870021F4;  // "OSD" channel name
inline constexpr DWORD kZCardCloseChannel = 0x83002138; // "OSD" channel name, overlapped
// Control codes of the old stream driver.
inline constexpr DWORD kZCardStreamProperty = 0x82000003; // property header in, value out
inline constexpr DWORD kZCardStreamWrite = 0x82008013;    // stream write record out, overlapped

// OSD property ids.
inline constexpr ULONG kZCardOsdRectangle = 822; // value: address of the four LONGs {0, top, width, extent}
inline constexpr ULONG kZCardOsdEnable = 824;    // value: 1 shows the OSD

inline constexpr wchar_t kZCardNewDevice[] = L"\\\\.\\RM847x.SYS";
inline constexpr wchar_t kZCardNewDevice9x[] = L"\\\\.\\RM847x.VXD";
inline constexpr wchar_t kZCardStreamLinksKey[] = L"System\\CurrentControlSet\\Services\\rmstream\\Links";
// FILE_FLAG_OVERLAPPED | FILE_FLAG_DELETE_ON_CLOSE
inline constexpr DWORD kZCardOpenFlags = 0x44000000;

// Input of the channel codes: "OSD" and a terminating zero.
inline constexpr char kZCardOsdChannel[4] = {'O', 'S', 'D', '\0'};

// {id, value}; the rectangle's value is an address, hence pointer-sized. The gap
// before it is spelt out so that no stray bytes reach the driver.
struct ZCardPropertyRecord
{
    ULONG id;
#if defined(_WIN64)
    ULONG reserved;
#endif
    ULONG_PTR value;
};

constexpr ZCardPropertyRecord MakeZCardProperty(ULONG id, ULONG_PTR value) noexcept
{
    ZCardPropertyRecord record{};
    record.id = id;
    record.value = value;
    return record;
}

// The new driver's bitmap record: the buffer, its size, reserved zeros.
struct ZCardBitmapRecord
{
    void *buffer;
    ULONG_PTR size;
    BYTE reserved[16];
};

// Kernel-streaming property header: set, id, flags (2 = set).
struct ZCardKsProperty
{
    GUID set;
    ULONG id;
    ULONG flags;
};
static_assert(sizeof(ZCardKsProperty) == 24);

// Kernel-streaming stream header with a pointer-sized data field.
struct ZCardDriverStreamHeader
{
    ULONG size;
    ULONG typeSpecificFlags;
    LONGLONG presentationTime;
    ULONG presentationNumerator;
    ULONG presentationDenominator;
    LONGLONG duration;
    ULONG frameExtent; // the buffer's size
    ULONG dataUsed;
    void *data; // the buffer
    ULONG optionsFlags;
#if defined(_WIN64)
    ULONG reserved;
#endif
};

// The old driver's write record: its size, one header, the header.
struct ZCardDriverStreamRecord
{
    ULONG recordSize;
    ULONG headerCount;
    ZCardDriverStreamHeader header;
};
#if defined(_WIN64)
static_assert(sizeof(ZCardPropertyRecord) == 16 && sizeof(ZCardBitmapRecord) == 32);
static_assert(sizeof(ZCardDriverStreamRecord) == 64 && offsetof(ZCardDriverStreamRecord, header.frameExtent) == 40 &&
              offsetof(ZCardDriverStreamRecord, header.data) == 48);
#endif

// The old driver's start header (connection state, set) and the value it sets (run),
// and the header of its OSD properties.
inline constexpr ZCardKsProperty kZCardStreamStartHeader = {
    {0x1D58C920, 0xAC9B, 0x11CF, {0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00}}, 0, 2};
inline constexpr ULONG kZCardStreamRunState = 3;
inline constexpr ZCardKsProperty kZCardStreamPropertyHeader = {
    {0x18DC3D17, 0xB060, 0x46FD, {0x8B, 0x5C, 0xE4, 0xB6, 0x29, 0x19, 0xDF, 0xE0}}, 2, 2};

struct ZCardDriverTimings
{
    DWORD completionWaitMs = 500; // longest wait for one request
    DWORD settleMs = 500;         // pause between opening the device and starting the channel
};

class CZCardDriver
{
  public:
    explicit CZCardDriver(IZCardDeviceIo &io, ZCardDriverTimings timings = {}) noexcept;
    // Stops the channel and closes the device.
    ~CZCardDriver();
    CZCardDriver(const CZCardDriver &) = delete;
    CZCardDriver &operator=(const CZCardDriver &) = delete;

    // Allocates the OSD buffer (GlobalAlloc, fixed), opens the device and starts the
    // OSD channel. True on success: *buffer and *size receive the buffer, which the
    // caller owns and frees with GlobalFree. False (a missing device, no memory, or
    // already open): nothing is handed out.
    bool Open(bool newDriver, SIZE_T bufferSize, BYTE **buffer, SIZE_T *size) noexcept;

    // Sends one property. True when the driver took it (at once or within the wait).
    bool SendProperty(const ZCardPropertyRecord &record) noexcept;

    // Hands the filled buffer to the driver, then sets the rectangle (address of four
    // LONGs that must stay valid) and the enable value. Nothing before a successful Open.
    void ShowOsdBitmap(SIZE_T bufferSize, BYTE *buffer, const LONG *rectangle, ULONG enable) noexcept;
    // Sets the rectangle only. Nothing before a successful Open.
    void SetOsdRect(const LONG *rectangle) noexcept;
    // Stops the new driver's OSD channel; nothing for the old driver or when not open.
    void Stop() noexcept;

    bool IsOpen() const noexcept
    {
        return m_opened;
    }
    // Requests that did not end in time and are kept until they do.
    size_t StuckRequestCount() const noexcept
    {
        return m_stuck.size();
    }

  private:
    struct Request;
    enum class EventKind
    {
        ManualReset,
        AutoReset
    };

    // Sends one request and waits, bounded, when it is pending. Returns ERROR_SUCCESS,
    // ERROR_IO_PENDING (still pending after the wait), or the driver's refusal.
    DWORD Send(HANDLE device, DWORD code, const void *input, DWORD inputSize, const void *output, DWORD outputSize,
               EventKind eventKind) noexcept;
    void CloseDevices() noexcept;

    IZCardDeviceIo &m_io;
    ZCardDriverTimings m_timings;
    HANDLE m_control = INVALID_HANDLE_VALUE;
    HANDLE m_stream = INVALID_HANDLE_VALUE;
    bool m_opened = false;
    bool m_newDriver = false;
    std::vector<std::unique_ptr<Request>> m_stuck;
};

} // namespace tx::devices

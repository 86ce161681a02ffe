#pragma once
// COsd: the on-screen display. Owns the two 32-bit drawing surfaces (target and scratch),
// the per-frame palette, the quantiser and the 8-bit frame buffer in the decoder's OSD
// format; on every refresh it lets the skin manager draw the screen, reduces it to the
// palette and hands the frame to the decoder card, through the decoder filter's OSD pin
// (Windows NT family) or through the card's driver (Windows 9x).
//
// Embedded in CHost and never deleted through IOsd (Release does not delete). All
// operations run under the OSD lock, on the caller's thread (normally the UI thread);
// the OSD lock is always taken before the skin lock. The OSD thread only serves
// thumbnail requests.
//
// Frame buffer: 0x3E, the buffer size (width x height + 1032) in 3 bytes big-endian,
// width and height in 2 bytes big-endian, 256 palette entries {alpha, Y, Cb, Cr}, then one
// palette index per pixel with the top line first.
#include "comkit/ComPtr.h"
#include "comkit/Handles.h"
#include "txHost/core/HostInterfaces.h"
#include "txHost/devices/ZCardDriver.h"
#include "txHost/skin/DecoderOsdInterfaces.h"
#include "txHost/skin/OsdInterfaces.h"
#include "txHost/skin/OsdPalette.h"
#include "txHost/skin/OsdQuantiser.h"
#include "txHost/skin/OsdSurface.h"
#include "txHost/skin/OsdThread.h"
#include "txHost/skin/SkinManager.h"

#include <atomic>
#include <cstdint>
#include <memory>

// The rectangle of the OSD plane on the video output, handed to the card as property 822.
struct OsdRect
{
    LONG left;
    LONG top;
    LONG width;
    LONG extent;
};

class COsd final : public IOsd
{
  public:
    static constexpr ULONG kHeaderBytes = 1032;        // header and palette before the pixels
    static constexpr DWORD kDeliveryTimeoutMs = 10000; // how long a pending frame write may take

    // Creates the graph object of the decoder card (a seam for tests).
    using GraphFactory = HRESULT (*)(IZCardGraph **graph) noexcept;

    COsd() noexcept;
    ~COsd();
    COsd(const COsd &) = delete;
    COsd &operator=(const COsd &) = delete;

    // IUnknown: IUnknown and IOsd only; Release never deletes.
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOsd (see OsdInterfaces.h).
    STDMETHODIMP GetPaletteIndex(DWORD colour, BYTE *index) override;
    STDMETHODIMP GetTargetBits(DWORD **bits) override;
    STDMETHODIMP GetSize(LONG *width, LONG *height) override;
    STDMETHODIMP GetTargetDC(HDC *dc) override;
    STDMETHODIMP GetScratchDC(HDC *dc) override;
    STDMETHODIMP CopyFromScratch(LONG x, LONG y, LONG width, LONG height, BOOL indexMode, BOOL smooth, BOOL useKey,
                                 DWORD key) override;
    STDMETHODIMP GetFactor(double *factor) override;
    STDMETHODIMP RunTransform(IUnknown *source, LONG x, LONG y, LONG width, LONG height, LONG a, LONG b) override;

    // Connects to the card, creates the surfaces and loads the skin. Once: a second call
    // (a frame buffer exists) returns E_FAIL and changes nothing. The first failing step's
    // HRESULT is returned.
    HRESULT AttachOsd(LONG width, LONG height, LONG layoutHeight, IHost *host) noexcept;
    // Composes the current screen and delivers it. E_UNEXPECTED before a successful attach;
    // otherwise the delivery's result (E_PENDING when the card did not finish in time).
    HRESULT Refresh() noexcept
    {
        return RefreshOsd(false);
    }
    // Delivers a frame of opaque black.
    HRESULT Clear() noexcept
    {
        return RefreshOsd(true);
    }
    HRESULT RefreshOsd(bool blank) noexcept;
    // The video output the OSD is shown on; preserve is the setting PreservePALOSD.
    HRESULT SetOutputRect(LONG outputWidth, LONG outputHeight, LONG preserve) noexcept;
    void SetLayoutHeight(LONG height) noexcept;
    void Tick(LONG value) noexcept;
    HRESULT LoadLanguageAndSkin() noexcept;
    // Ends the OSD thread and frees the surfaces; the card's interfaces stay until destruction.
    void Shutdown() noexcept;

    // The OSD rectangle for an output of outputWidth x outputHeight and an OSD of osdHeight lines.
    static OsdRect ComputeOsdRect(LONG outputWidth, LONG outputHeight, LONG preserve, LONG osdHeight) noexcept;

    // The subtitle bitmap: width x height 32-bit pixels in the surfaces' row order (bottom
    // line first) that the hardware subtitler draws into under SubtitleLock(). Pixels
    // with top byte 0 are shown over the video; 0xFF000000 (the initial value) is clear.
    // Null before attach.
    DWORD *SubtitleBits() noexcept
    {
        return m_subtitle.get();
    }
    tx::CriticalSection &SubtitleLock() noexcept
    {
        return m_subtitleLock;
    }

    CSkinManager &SkinManager() noexcept
    {
        return m_skinManager;
    }
    tx::CriticalSection &OsdLock() noexcept
    {
        return m_lock;
    }
    HWND OsdWindow() const noexcept
    {
        return m_osdWindow;
    }
    const BYTE *FrameBuffer() const noexcept
    {
        return m_frame;
    }
    ULONG FrameBufferSize() const noexcept
    {
        return m_bufferSize;
    }
    const OsdRect &CurrentRect() const noexcept
    {
        return m_rect;
    }
    uint32_t PaletteCount() const noexcept
    {
        return m_palette.count;
    }
    DWORD ThumbnailThreadId() const noexcept
    {
        return m_thread.ThreadId();
    }

    // Test seams: the graph object's creation, the delivery time-out and the delivery path.
    void SetGraphFactory(GraphFactory factory) noexcept
    {
        m_graphFactory = factory;
    }
    void SetDeliveryTimeout(DWORD milliseconds) noexcept
    {
        m_deliveryTimeoutMs = milliseconds;
    }
    void SetDriverPath(bool driverPath) noexcept
    {
        m_driverPath = driverPath;
    }
    // The device access of the driver path; the caller keeps it alive. Before AttachOsd.
    void SetDriverDeviceIo(tx::devices::IZCardDeviceIo *io) noexcept
    {
        m_deviceIo = io;
    }

  private:
    static LRESULT CALLBACK OsdWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HRESULT ConnectPin() noexcept;
    HRESULT OpenDriver() noexcept;
    void StoreRectValues() noexcept;
    HRESULT CreateSurfaces() noexcept;
    HRESULT CreateOsdWindow() noexcept;
    void ComposeFrame() noexcept;
    void ComposeSubtitle() noexcept;
    HRESULT DeliverThroughPin() noexcept;
    HRESULT SetRectProperty() noexcept;
    void UpdateRect() noexcept;

    std::atomic<ULONG> m_refCount{0};

    // card, pin path
    tx::ComPtr<IZCardGraph> m_graph;
    tx::ComPtr<IZCardOsdPin> m_pin;
    tx::ComPtr<IZCardOsdBuffer> m_buffer;
    tx::ComPtr<IZCardOsdProperties> m_properties;
    GraphFactory m_graphFactory;
    bool m_driverPath;

    // card, driver path: the driver connection and the buffer it allocated for us
    struct GlobalFreeDeleter
    {
        void operator()(BYTE *p) const noexcept
        {
            ::GlobalFree(p);
        }
    };
    tx::devices::CWin32ZCardDeviceIo m_win32DeviceIo;
    tx::devices::IZCardDeviceIo *m_deviceIo = nullptr;
    std::unique_ptr<tx::devices::CZCardDriver> m_driver;
    std::unique_ptr<BYTE, GlobalFreeDeleter> m_driverFrame;
    LONG m_rectValues[4] = {}; // the driver reads the rectangle through its address

    // frame buffer (owned by the card's pin, or m_driverFrame)
    BYTE *m_frame = nullptr;
    ULONG_PTR m_cookie = 0;
    ULONG m_bufferSize = 0;

    // sizes
    LONG m_width = 0;
    LONG m_height = 0;
    LONG m_layoutHeight = 0;
    ULONG m_pixelCount = 0;

    tx::CriticalSection m_lock;
    HWND m_osdWindow = nullptr;
    COsdSurface m_target;
    COsdSurface m_scratch;

    tx::skin::OsdPalette m_palette;
    tx::skin::COsdQuantiser m_quantiser;

    // picture scaling: a top-down surface of the OSD size
    std::unique_ptr<uint32_t[]> m_transformSurface;

    COsdThread m_thread;
    CSkinManager m_skinManager;

    double m_factor = 1.0;
    LONG m_outputWidth = 720;
    LONG m_outputHeight = 480;
    LONG m_preserve = 0;
    OsdRect m_rect{0, 0, 720, 480};

    tx::ComPtr<IHost> m_host;
    std::unique_ptr<uint32_t[]> m_background;

    // subtitle bitmap, shown over the video
    tx::CriticalSection m_subtitleLock;
    std::unique_ptr<DWORD[]> m_subtitle;

    // the frame write; kept while the card may still use it
    ZCardWriteRecord m_record{};
    OVERLAPPED m_overlapped{};
    tx::UniqueHandle m_pendingEvent;
    DWORD m_deliveryTimeoutMs = kDeliveryTimeoutMs;
};

#pragma once
// The simulated ZIduz decoder card, OSD side: txSimCard.dll serves the card's graph
// object (CLSID_ZCardGraph) whose OSD pin takes frames in the decoder's OSD bitmap
// format (header, 256 {alpha, Y, Cb, Cr} entries, one index per pixel). The card is
// one per process, like the hardware: every graph object and pin reaches the same
// card state.
//
// ISimCardControl is the test side: the graph object answers it. It reads back the
// last frame and the OSD properties, makes single steps fail, chooses how a frame write
// completes, and shows what the television would show, as a BMP file and in a window
// titled "Tessaronix TV (simulated card)". The environment variable TX_SIMCARD_BMP, when
// set to a path, writes that file on every frame.
//
// Every method may be called on any thread.
#include <windows.h>
#include <unknwn.h>

namespace tx::simhw
{

// The steps that can be told to fail.
enum SimCardStep : LONG
{
    SIMCARD_STEP_CREATE_GRAPH = 0,       // creating a graph object (its class factory)
    SIMCARD_STEP_FIND_PIN = 1,           // IZCardGraph::FindPin
    SIMCARD_STEP_BUFFER_INTERFACE = 2,   // QueryInterface of the pin for IZCardOsdBuffer
    SIMCARD_STEP_PROPERTY_INTERFACE = 3, // QueryInterface of the pin for IZCardOsdProperties
    SIMCARD_STEP_ALLOCATE_BUFFER = 4,    // IZCardOsdBuffer::AllocateBuffer
    SIMCARD_STEP_WRITE_FRAME = 5,        // IZCardOsdPin::WriteFrame
    SIMCARD_STEP_SET_RECT = 6,           // property 822
    SIMCARD_STEP_SET_ENABLE = 7,         // property 824
    SIMCARD_STEP_COUNT = 8,
};

// How a frame write completes.
enum SimCardWriteMode : LONG
{
    SIMCARD_WRITE_AT_ONCE = 0,    // S_OK, the frame is shown at once
    SIMCARD_WRITE_PENDING = 1,    // E_PENDING, shown and signalled after the set delay
    SIMCARD_WRITE_NEVER_ENDS = 2, // E_PENDING, shown and signalled only by CompletePendingWrite
};

// The OSD state as the card holds it.
struct SimCardOsdState
{
    LONG rectangle[4];   // last property 822 (0, top, width, extent); zeros before any
    LONG enable;         // last property 824; -1 before any
    ULONG rectangleSets; // property 822 calls that succeeded
    ULONG enableSets;    // property 824 calls that succeeded
    ULONG frames;        // frames shown
    ULONG writes;        // WriteFrame calls that were accepted (shown or pending)
    ULONG pendingWrites; // writes not yet completed
};

MIDL_INTERFACE("84E057B0-846F-45E5-80B1-9E5181D34D80")
ISimCardControl : public IUnknown
{
    // Forgets frames, properties, failures and settings; completes nothing pending.
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    // A failure HRESULT makes the step fail until it is set back to S_OK.
    virtual HRESULT STDMETHODCALLTYPE SetFailure(SimCardStep step, HRESULT hr) = 0;
    // delayMs applies to SIMCARD_WRITE_PENDING.
    virtual HRESULT STDMETHODCALLTYPE SetWriteMode(SimCardWriteMode mode, DWORD delayMs) = 0;
    // Completes the oldest pending write: S_OK, or S_FALSE when none is pending.
    virtual HRESULT STDMETHODCALLTYPE CompletePendingWrite() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOsdState(SimCardOsdState * state) = 0;
    // Copies the last frame shown (header, palette, pixels). S_FALSE and *size 0 when no
    // frame was shown; E_NOT_SUFFICIENT_BUFFER with *size set when capacity is too small.
    virtual HRESULT STDMETHODCALLTYPE GetLastFrame(BYTE * buffer, ULONG capacity, ULONG * size) = 0;
    // Writes the last frame as a 24-bit BMP of what the television shows (written aside,
    // then replaced). S_FALSE when no frame was shown.
    virtual HRESULT STDMETHODCALLTYPE SaveImage(const wchar_t *path) = 0;
    // A path, or null to stop: the BMP is written on every frame shown.
    virtual HRESULT STDMETHODCALLTYPE SetImageOnEveryFrame(const wchar_t *path) = 0;
    // Opens or closes the window "Tessaronix TV (simulated card)"; it shows each frame.
    // S_FALSE when there is no display to open it on.
    virtual HRESULT STDMETHODCALLTYPE ShowTelevision(BOOL show) = 0;
    // The window's handle, null when closed.
    virtual HRESULT STDMETHODCALLTYPE GetTelevisionWindow(HWND * window) = 0;
};

// Window title and class of the simulated television.
inline constexpr wchar_t kSimTelevisionTitle[] = L"Tessaronix TV (simulated card)";
inline constexpr wchar_t kSimTelevisionClass[] = L"TessaronixSimulatedTelevision";
inline constexpr wchar_t kSimCardBmpVariable[] = L"TX_SIMCARD_BMP";

} // namespace tx::simhw

__CRT_UUID_DECL(tx::simhw::ISimCardControl, 0x84E057B0, 0x846F, 0x45E5, 0x80, 0xB1, 0x9E, 0x51, 0x81, 0xD3, 0x4D, 0x80)

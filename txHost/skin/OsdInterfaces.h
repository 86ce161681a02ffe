#pragma once
// IOsd: the drawing interface of the on-screen display that the skin manager hands to
// the skin elements, and the thumbnail request of the OSD thread.
//
// Thread: the thread that refreshes the OSD (normally the UI thread), inside a refresh
// or while the OSD lock is held. Pixels are 0xAARRGGBB; a top byte of 0 is a true colour,
// a set top bit carries a palette index in the low byte (0xFF000000 is index 0,
// transparent). Every method returns S_OK unless its line says otherwise.
#include <windows.h>
#include <unknwn.h>

MIDL_INTERFACE("D779DCEE-148F-4E82-AE00-A9C3D28E1819")
IOsd : public IUnknown
{
    // Slot 4: the index of a palette entry equal to colour (all 32 bits), appending one
    // when none is; E_UNEXPECTED when all 256 entries are in use (nothing added, *index
    // untouched). Entries added last for the current frame only.
    virtual HRESULT STDMETHODCALLTYPE GetPaletteIndex(DWORD colour, BYTE * index) = 0;
    // Slot 5: the target bitmap's pixels (bottom-up rows, width x 4 bytes); owned by the OSD.
    virtual HRESULT STDMETHODCALLTYPE GetTargetBits(DWORD * *bits) = 0;
    // Slot 6: the OSD size in pixels.
    virtual HRESULT STDMETHODCALLTYPE GetSize(LONG * width, LONG * height) = 0;
    // Slots 7 and 8: the memory DCs of the target and the scratch bitmap; owned by the OSD.
    virtual HRESULT STDMETHODCALLTYPE GetTargetDC(HDC * dc) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetScratchDC(HDC * dc) = 0;
    // Slot 9: copies a rectangle (y from the top) of the scratch bitmap to the same place in
    // the target. indexMode: pixels become index pixels (p | 0xFF000000). Otherwise colour
    // pixels (p & 0x00FFFFFF), with a 1-2-1 vertical filter when smooth is set and the
    // setting AntiflickerOverride is off. useKey: source values equal to key are skipped.
    // The rectangle is clipped to the bitmap; an empty one copies nothing.
    virtual HRESULT STDMETHODCALLTYPE CopyFromScratch(LONG x, LONG y, LONG width, LONG height, BOOL indexMode,
                                                      BOOL smooth, BOOL useKey, DWORD key) = 0;
    // Slot 10: the scale factor (1.0).
    virtual HRESULT STDMETHODCALLTYPE GetFactor(double *factor) = 0;
    // Slot 11: scales a picture (an object of the picture layer, see PictureSurface.h)
    // of a x b pixels to the rectangle x, y, width, height of the scratch bitmap; pixels
    // the picture leaves transparent keep the scratch bitmap's value. Returns the scaling
    // result; E_NOINTERFACE when source is not a picture of the picture layer.
    virtual HRESULT STDMETHODCALLTYPE RunTransform(IUnknown * source, LONG x, LONG y, LONG width, LONG height, LONG a,
                                                   LONG b) = 0;
};
__CRT_UUID_DECL(IOsd, 0xD779DCEE, 0x148F, 0x4E82, 0xAE, 0x00, 0xA9, 0xC3, 0xD2, 0x8E, 0x18, 0x19)

// Sent with APPMSG_EXTRACT_THUMBNAIL (lParam = the request) to the OSD thread's window.
// The window writes result (null on failure); the sender owns the returned bitmap.
struct ThumbnailRequest
{
    HBITMAP result;
    const wchar_t *path;
    LONG width;
    LONG height;
};

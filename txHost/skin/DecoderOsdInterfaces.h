#pragma once
// The decoder card's interfaces on the OSD path, as the card's software offers them:
// the graph object that finds the decoder filter's OSD input pin, the pin's frame
// write, its frame-buffer allocation and its OSD properties.
//
// Slots are counted from 1 with IUnknown's three first (QueryInterface 1, AddRef 2,
// Release 3); declaration order is vtable order. Methods marked "reserved" occupy their
// slots of the card's vtables; the host never calls them and an implementation may
// answer E_NOTIMPL.
//
// Thread: whichever thread refreshes the OSD (normally the UI thread), one call at a
// time (the OSD lock serialises them). The objects are in-process (CLSCTX_INPROC_SERVER).
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <cstdint>

// The card's graph object: {5E91AF27-24D3-47AC-9C55-132F04C98281}.
inline constexpr CLSID CLSID_ZCardGraph = {
    0x5E91AF27, 0x24D3, 0x47AC, {0x9C, 0x55, 0x13, 0x2F, 0x04, 0xC9, 0x82, 0x81}};

// Category of the decoder filter's OSD input pin, and its name as the pin search takes it.
inline constexpr GUID CATEGORY_PIN_OSD = {0x4757FEB1, 0x883D, 0x41D4, {0x99, 0x0B, 0x2E, 0x7E, 0x90, 0x18, 0xB7, 0x3A}};
inline constexpr wchar_t kCategoryPinOsdName[] = L"CATEGORY_PIN_OSD";

// Arguments the host passes to the pin search, as the card expects them.
inline constexpr LONG kZCardPinSearchIndex = 0;
inline constexpr LONG kZCardPinSearchKind = -2;

// OSD property ids of the property interface.
inline constexpr ULONG ZCARD_OSD_PROPERTY_RECT = 822;   // value: four LONGs {0, top, width, extent}
inline constexpr ULONG ZCARD_OSD_PROPERTY_ENABLE = 824; // value: one LONG, 1 shows the OSD plane

// Stream header of one frame write (kernel-streaming stream-header layout with a
// pointer-sized data field: 48 bytes in a 32-bit process, 56 in a 64-bit one).
struct ZCardStreamHeader
{
    ULONG size;              // sizeof(ZCardStreamHeader)
    ULONG typeSpecificFlags; // 0
    LONGLONG presentationTime;
    ULONG presentationNumerator;
    ULONG presentationDenominator;
    LONGLONG duration;
    ULONG frameExtent; // the frame buffer's size in bytes
    ULONG dataUsed;    // 0
    void *data;        // the frame buffer
    ULONG optionsFlags;
#if defined(_WIN64)
    ULONG reserved;
#endif
};

// The record handed to the pin's write: its own size, the number of headers (1), the header.
struct ZCardWriteRecord
{
    ULONG recordSize; // sizeof(ZCardWriteRecord)
    ULONG headerCount;
    ZCardStreamHeader header;
};

#if defined(_WIN64)
static_assert(sizeof(ZCardStreamHeader) == 56 && offsetof(ZCardStreamHeader, data) == 40);
static_assert(sizeof(ZCardWriteRecord) == 64);
#else
static_assert(sizeof(ZCardStreamHeader) == 48 && offsetof(ZCardStreamHeader, data) == 36);
static_assert(sizeof(ZCardWriteRecord) == 56);
#endif

// The decoder filter's OSD input pin as the graph object hands it out. The host calls
// only slot 12; slots 4-11 are the pin's other operations.
MIDL_INTERFACE("6C1E40B2-5A7D-4E0B-9D63-0F8A2B41C7E5")
IZCardOsdPin : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    // Slot 12: queues one frame. record and overlapped must stay valid until the write
    // completes. S_OK: done. E_PENDING: the card signals overlapped->hEvent when done.
    // Anything else: refused, nothing pending, the event is never signalled.
    virtual HRESULT STDMETHODCALLTYPE WriteFrame(ZCardWriteRecord * record, OVERLAPPED * overlapped) = 0;
};
__CRT_UUID_DECL(IZCardOsdPin, 0x6C1E40B2, 0x5A7D, 0x4E0B, 0x9D, 0x63, 0x0F, 0x8A, 0x2B, 0x41, 0xC7, 0xE5)

// The graph object, interface {27128970-797A-460E-92EE-B63F98D755BF}.
MIDL_INTERFACE("27128970-797A-460E-92EE-B63F98D755BF")
IZCardGraph : public IUnknown
{
    // Slot 4: finds the decoder filter's pin of a category. The host passes
    // kZCardPinSearchIndex, kZCardPinSearchKind, kCategoryPinOsdName and CATEGORY_PIN_OSD.
    // S_OK: *pin holds a reference the caller releases. A failure leaves *pin null.
    virtual HRESULT STDMETHODCALLTYPE FindPin(LONG index, LONG kind, const wchar_t *categoryName, REFGUID category,
                                              IZCardOsdPin **pin) = 0;
};
__CRT_UUID_DECL(IZCardGraph, 0x27128970, 0x797A, 0x460E, 0x92, 0xEE, 0xB6, 0x3F, 0x98, 0xD7, 0x55, 0xBF)

// The pin's frame-buffer interface {9CB7F9A8-0AE5-4A2C-99DB-9B4D58967B45}.
MIDL_INTERFACE("9CB7F9A8-0AE5-4A2C-99DB-9B4D58967B45")
IZCardOsdBuffer : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // Slot 5: allocates a frame buffer of size bytes that the card can read. The buffer
    // belongs to the pin and lives as long as the pin; cookie is the card's handle of it.
    virtual HRESULT STDMETHODCALLTYPE AllocateBuffer(ULONG size, BYTE * *buffer, ULONG_PTR * cookie) = 0;
};
__CRT_UUID_DECL(IZCardOsdBuffer, 0x9CB7F9A8, 0x0AE5, 0x4A2C, 0x99, 0xDB, 0x9B, 0x4D, 0x58, 0x96, 0x7B, 0x45)

// The pin's property interface {5D896824-4239-4DDB-AF13-C80936C246BD}.
MIDL_INTERFACE("5D896824-4239-4DDB-AF13-C80936C246BD")
IZCardOsdProperties : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    // Slot 6: sets a property; value points to its LONGs (four for the rectangle, one
    // for the enable switch), read during the call only.
    virtual HRESULT STDMETHODCALLTYPE SetProperty(ULONG id, const LONG *value) = 0;
};
__CRT_UUID_DECL(IZCardOsdProperties, 0x5D896824, 0x4239, 0x4DDB, 0xAF, 0x13, 0xC8, 0x09, 0x36, 0xC2, 0x46, 0xBD)

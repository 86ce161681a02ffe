#pragma once
// The list objects of the media library as the host sees them: a ".lst" list, or a
// list read from a ".pls" or ".m3u" file. The library implements them; the host, the
// pages and the text commands use them through these interfaces.
//
// Every method runs on the UI thread and returns an HRESULT. Indices are zero-based;
// texts and items handed out belong to the caller (BSTRs freed, items released).
#include <windows.h>
#include <unknwn.h>

// One entry of a list: a snapshot that does not follow later changes of its list.
MIDL_INTERFACE("e7bf647c-c978-47b0-b6c8-fa4d3d40d495")
IPlaylistItem : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetName(BSTR * name) = 0;         // slot 3
    virtual HRESULT STDMETHODCALLTYPE GetPath(BSTR * path) = 0;         // slot 4
    virtual HRESULT STDMETHODCALLTYPE GetAviDecode(LONG * aviDecode) = 0; // slot 5: 0 auto, 1 software, 2 hardware
    virtual HRESULT STDMETHODCALLTYPE GetShoutcast(LONG * shoutcast) = 0; // slot 6: non-zero for internet radio
};
__CRT_UUID_DECL(IPlaylistItem, 0xe7bf647c, 0xc978, 0x47b0, 0xb6, 0xc8, 0xfa, 0x4d, 0x3d, 0x40, 0xd4, 0x95)

MIDL_INTERFACE("334d14e8-9d9a-46e0-a35e-f51437855840")
IPlaylist : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetName(BSTR * name) = 0;                  // slot 3: display name
    virtual HRESULT STDMETHODCALLTYPE GetCount(LONG * count) = 0;                // slot 4
    virtual HRESULT STDMETHODCALLTYPE GetItem(LONG index, IPlaylistItem **item) = 0; // slot 5
    virtual HRESULT STDMETHODCALLTYPE GetItemName(LONG index, BSTR * name) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE RemoveItem(LONG index) = 0;                // slot 7
    // slot 8: non-zero up moves the entry one place towards the start, zero towards the end.
    virtual HRESULT STDMETHODCALLTYPE MoveItem(LONG index, LONG up) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPosition(LONG * position) = 0;          // slot 9: -1 = none
    virtual HRESULT STDMETHODCALLTYPE Save() = 0;                                // slot 10
    // slot 11
    virtual HRESULT STDMETHODCALLTYPE InsertItem(LONG index, BSTR name, BSTR path, LONG aviDecode, LONG shoutcast,
                                                 LONG saveNow) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsModified(LONG * modified) = 0;           // slot 12
    virtual HRESULT STDMETHODCALLTYPE SetPosition(LONG position) = 0;            // slot 13
    virtual HRESULT STDMETHODCALLTYPE Shuffle() = 0;                             // slot 14
    virtual HRESULT STDMETHODCALLTYPE NewPlaylistName() = 0;                     // slot 15
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;                               // slot 16
    virtual HRESULT STDMETHODCALLTYPE GetPath(BSTR * path) = 0;                  // slot 17
    virtual HRESULT STDMETHODCALLTYPE SetItemAviDecode(LONG index, LONG aviDecode) = 0; // slot 18
};
__CRT_UUID_DECL(IPlaylist, 0x334d14e8, 0x9d9a, 0x46e0, 0xa3, 0x5e, 0xf5, 0x14, 0x37, 0x85, 0x58, 0x40)

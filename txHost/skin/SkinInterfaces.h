#pragma once
// The COM faces of skin elements.
//
// Every element object answers ISkinElement (or a class interface derived from it) and
// ISkinResolve; elements that can take the input focus also answer ISkinControl.
// Thread: the skin manager's callers (drawing and ticks come through the OSD), serialised
// by the skin lock. Strings handed out are BSTRs owned by the caller. Queries that do not
// apply leave their out values untouched, so callers preset them. No method throws:
// allocation failures come back as E_OUTOFMEMORY.
#include "txHost/skin/OsdInterfaces.h"

#include <windows.h>
#include <unknwn.h>

class CSkinElement;
namespace tx::skin
{
class SkinFontCache;
class SkinImageCache;
} // namespace tx::skin

MIDL_INTERFACE("EAD8AC1F-95CA-46CB-95E0-604526877B14")
ISkinElement : public IUnknown
{
    // Slot 3: reserved; E_NOTIMPL.
    virtual HRESULT STDMETHODCALLTYPE Reserved(LONG_PTR value) = 0;
    // Slot 4: draws the element through the OSD (scratch and target surfaces). E_NOTIMPL
    // for elements that never draw.
    virtual HRESULT STDMETHODCALLTYPE Draw(IOsd * osd) = 0;
    // Slots 5 and 6: the visible flag. S_OK.
    virtual HRESULT STDMETHODCALLTYPE SetVisible(BOOL visible) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisible(BOOL * visible) = 0;
    // Slot 7: a new element of the same class carrying a copy of this one's attributes
    // (not its visible flag or run-time state); *clone holds one reference. E_NOTIMPL for
    // classes that cannot be cloned, E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE Clone(ISkinElement * *clone) = 0;
    // Slot 8: binds the element to a data source or controller; the element takes its own
    // reference when it keeps it. S_OK when nothing is kept.
    virtual HRESULT STDMETHODCALLTYPE Attach(IUnknown * source, LONG_PTR value) = 0;
    // Slot 9: moves and stretches the element by a change of layout height (pixels).
    virtual HRESULT STDMETHODCALLTYPE Relayout(LONG delta) = 0;
    // Slot 10: a copy of the id (the empty string when none); E_POINTER, E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE GetId(BSTR * id) = 0;
    // Slot 11: advances animations; sets *redraw only when the element wants a redraw.
    virtual HRESULT STDMETHODCALLTYPE Animate(BOOL * redraw) = 0;
    // Slot 12: restarts animations. Slot 13: drops cached pictures and other resources
    // that can be made again (groups pass it to their children).
    virtual HRESULT STDMETHODCALLTYPE ResetAnimation() = 0;
    virtual HRESULT STDMETHODCALLTYPE ReleaseResources() = 0;
};
__CRT_UUID_DECL(ISkinElement, 0xEAD8AC1F, 0x95CA, 0x46CB, 0x95, 0xE0, 0x60, 0x45, 0x26, 0x87, 0x7B, 0x14)

MIDL_INTERFACE("2D8CA5FA-05B5-4FB6-B03F-3994BC371D00")
ISkinResolve : public IUnknown
{
    // Slot 3: the element object behind the face, without a reference. S_OK; E_POINTER.
    virtual HRESULT STDMETHODCALLTYPE GetElement(CSkinElement * *element) = 0;
    // Slot 4: adds a child element made by the skin loader (childObject: its object, from
    // the raw creator). The holder takes its own reference. E_NOTIMPL unless the class
    // holds children; E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE AddChild(ISkinElement * child, CSkinElement * childObject) = 0;
    // Slot 5: binds the element to the loaded skin: its styles to fonts of the font cache,
    // its image names to surfaces of the image cache. The caches belong to the skin
    // manager and outlive the element's use of them. S_OK for classes with nothing to bind.
    virtual HRESULT STDMETHODCALLTYPE ResolveResources(IOsd * osd, tx::skin::SkinFontCache * fonts,
                                                       tx::skin::SkinImageCache * images) = 0;
};
__CRT_UUID_DECL(ISkinResolve, 0x2D8CA5FA, 0x05B5, 0x4FB6, 0xB0, 0x3F, 0x39, 0x94, 0xBC, 0x37, 0x1D, 0x00)

// Focus directions of the skin engine.
enum SkinDirection : LONG
{
    SKIN_DIR_UP = 1,
    SKIN_DIR_DOWN = 2,
    SKIN_DIR_LEFT = 3,
    SKIN_DIR_RIGHT = 4,
};

MIDL_INTERFACE("0F30FF40-53D5-4163-B0A2-105CC5FB5571")
ISkinControl : public IUnknown
{
    // Slot 3: the rectangle of the focus. S_FALSE when the element cannot take the focus
    // (always when it is invisible); the out values are then untouched.
    virtual HRESULT STDMETHODCALLTYPE GetFocusRect(LONG * x, LONG * y, LONG * width, LONG * height) = 0;
    // Slot 4: gives the element the focus, entering from direction at (x, y). S_OK accepted,
    // S_FALSE refused.
    virtual HRESULT STDMETHODCALLTYPE SetFocus(LONG direction, LONG x, LONG y) = 0;
    // Slot 5: the point from which the focus leaves the element.
    virtual HRESULT STDMETHODCALLTYPE GetCenter(LONG * x, LONG * y) = 0;
    // Slot 6: takes the focus away.
    virtual HRESULT STDMETHODCALLTYPE KillFocus() = 0;
    // Slot 7: moves the focus inside the element; *used tells whether it did.
    virtual HRESULT STDMETHODCALLTYPE Navigate(LONG direction, BOOL * used) = 0;
    // Slot 8: the command of the focused element. The strings are new BSTRs owned by the
    // caller (left untouched when the element has none). S_OK with a command, S_FALSE when
    // activate is set and the 500 ms repeat lock refused the activation.
    virtual HRESULT STDMETHODCALLTYPE GetCommand(BOOL activate, BSTR * id, LONG * first, LONG * second, BSTR * action,
                                                 BSTR * data) = 0;
    // Slot 9: records an activation now (starts the 500 ms repeat lock). S_OK.
    virtual HRESULT STDMETHODCALLTYPE MarkActivated() = 0;
    // Slot 10: S_OK when the element used the digit (0-9), S_FALSE otherwise.
    virtual HRESULT STDMETHODCALLTYPE JumpToDigit(LONG digit) = 0;
};
__CRT_UUID_DECL(ISkinControl, 0x0F30FF40, 0x53D5, 0x4163, 0xB0, 0xA2, 0x10, 0x5C, 0xC5, 0xFB, 0x55, 0x71)

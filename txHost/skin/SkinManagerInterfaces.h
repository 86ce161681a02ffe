#pragma once
// The skin manager's faces (ISkinManager, ISkinStringTable), the page controller interface
// IPage that the skin manager drives, and the two plug-in interfaces of skin element and
// skin page plug-ins.
//
// Thread: the UI thread. Page controllers call ISkinManager from inside IPage::OnKey,
// OnCommand and OnTimer while the skin manager holds its (re-entrant) skin lock.
// Strings handed out are new BSTRs owned by the caller; strings passed in stay the
// caller's. Queries that do not apply leave their out values untouched.
#include "txHost/core/HostInterfaces.h"
#include "txHost/skin/SkinInterfaces.h"

#include <objidl.h>

MIDL_INTERFACE("08F54078-9C21-4131-902E-A2D3EC6D5E60")
ISkinManager : public IUnknown
{
    // Slot 3: opens the page of that name (exact) with a parameter and an index. Drops the
    // history after the current entry, saves the current page's state into its entry and
    // appends the new page. E_FAIL for an unknown name; the controller's Open failure
    // (the previous page stays current); E_OUTOFMEMORY.
    virtual HRESULT STDMETHODCALLTYPE OpenPage(BSTR name, LONG parameter, LONG index) = 0;
    // Slots 4 and 5: moves n entries back or forward in the history (clamped; n <= 0 does
    // nothing, S_OK). The controller's RestoreState failure keeps the previous page.
    virtual HRESULT STDMETHODCALLTYPE GoBack(LONG steps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GoForward(LONG steps) = 0;
    // Slots 6 and 7: whether the current entry is the newest or the first of the history.
    virtual HRESULT STDMETHODCALLTYPE IsLastPage(BOOL * last) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsFirstPage(BOOL * first) = 0;
    // Slots 8 and 9: to the newest and to the first entry.
    virtual HRESULT STDMETHODCALLTYPE GoToNewestPage() = 0;
    virtual HRESULT STDMETHODCALLTYPE GoToFirstPage() = 0;
    // Slot 10: the element of that id on the page whose controller is controller; one
    // reference. E_FAIL when no page has that controller or no element that id.
    virtual HRESULT STDMETHODCALLTYPE FindElement(IUnknown * controller, BSTR id, ISkinElement * *element) = 0;
    // Slot 11: shows the choice box in the look of the dialog definition dialogId with a
    // message and up to three entries (the leading non-null ones count).
    virtual HRESULT STDMETHODCALLTYPE ShowChoiceBox(BSTR dialogId, BSTR message, LONG value, BSTR entry1, BSTR entry2,
                                                    BSTR entry3) = 0;
    // Slot 12: gives the focus to the element of that id on the current page (the first
    // focusable element when it refuses); E_FAIL for an unknown id. No redraw.
    virtual HRESULT STDMETHODCALLTYPE SetFocus(BSTR id) = 0;
    // Slot 13: refreshes the OSD now.
    virtual HRESULT STDMETHODCALLTYPE Redraw() = 0;
    // Slot 14: hands the data texts of the menus of the controller's page to the host's
    // collection filter. E_FAIL when no page has that controller.
    virtual HRESULT STDMETHODCALLTYPE RegisterMenuFilters(IUnknown * controller) = 0;
    // Slot 15: a copy of the current page's name.
    virtual HRESULT STDMETHODCALLTYPE GetPageName(BSTR * name) = 0;
};
__CRT_UUID_DECL(ISkinManager, 0x08F54078, 0x9C21, 0x4131, 0x90, 0x2E, 0xA2, 0xD3, 0xEC, 0x6D, 0x5E, 0x60)

MIDL_INTERFACE("954B990D-A0E3-46CB-AA9D-795840401B82")
ISkinStringTable : public IUnknown
{
    // Slot 3: the screen text of text: a "$id$" key (more than two characters) is looked
    // up in the chosen language's table, then in English; any other text, and a key found
    // in neither, comes back as a copy of itself. A null text gives null. Never fails but
    // for E_OUTOFMEMORY and E_POINTER.
    virtual HRESULT STDMETHODCALLTYPE GetString(BSTR text, BSTR * result) = 0;
    // Slot 4: a copy of the loaded skin's folder.
    virtual HRESULT STDMETHODCALLTYPE GetSkinFolder(BSTR * folder) = 0;
};
__CRT_UUID_DECL(ISkinStringTable, 0x954B990D, 0xA0E3, 0x46CB, 0xAA, 0x9D, 0x79, 0x58, 0x40, 0x40, 0x1B, 0x82)

// The controller of one skin page. Created by behaviour name when the skin loads and
// attached once; lives as long as its page.
MIDL_INTERFACE("47931233-1B8A-4304-AAAC-60BC78682F97")
IPage : public IUnknown
{
    // Slot 3: re-opens the page from the state SaveState wrote (stream at its start).
    virtual HRESULT STDMETHODCALLTYPE RestoreState(ISkinManager * manager, IHost * host, IStream * state) = 0;
    // Slot 4: opens the page fresh (its first focusable element already has the focus).
    virtual HRESULT STDMETHODCALLTYPE Open(ISkinManager * manager, IHost * host, LONG parameter, LONG index) = 0;
    // Slot 5: writes the page's state before the page is left (result ignored).
    virtual HRESULT STDMETHODCALLTYPE SaveState(IStream * state) = 0;
    // Slot 6: sees every action first; *handled = TRUE stops the skin manager's handling.
    virtual HRESULT STDMETHODCALLTYPE OnKey(LONG action, BOOL * handled) = 0;
    // Slot 7: the activated element's command, after the host ran its program.
    virtual HRESULT STDMETHODCALLTYPE OnCommand(BSTR id, LONG first, LONG second, LONG value) = 0;
    // Slot 8: the argument of the activated element's program; null keeps the element's data.
    virtual HRESULT STDMETHODCALLTYPE GetCommandValue(BSTR id, LONG first, LONG second, LONG value,
                                                      BSTR * argument) = 0;
    // Slot 9: the focused element or its selection changed.
    virtual HRESULT STDMETHODCALLTYPE OnSelect(BSTR id, LONG first, LONG second) = 0;
    // Slot 10: the choice box was confirmed with that entry.
    virtual HRESULT STDMETHODCALLTYPE OnChoice(LONG entry) = 0;
    // Slot 11: the 100 ms tick; set *redraw to ask for a refresh.
    virtual HRESULT STDMETHODCALLTYPE OnTimer(BOOL * redraw) = 0;
    // Slot 12: rebuild the page's content.
    virtual HRESULT STDMETHODCALLTYPE Refresh() = 0;
    // Slot 13: the picture countdown expired with auto-advance on.
    virtual HRESULT STDMETHODCALLTYPE OnPictureTimer(BOOL * handled) = 0;
    // Slot 14: once, right after creation: the skin manager and the host's collection face
    // (null when the host has none).
    virtual HRESULT STDMETHODCALLTYPE Attach(ISkinManager * manager, IHostCollection * collection) = 0;
    // Slot 15: re-opens the page with a new parameter.
    virtual HRESULT STDMETHODCALLTYPE Reopen(LONG parameter) = 0;
};
__CRT_UUID_DECL(IPage, 0x47931233, 0x1B8A, 0x4304, 0xAA, 0xAC, 0x60, 0xBC, 0x78, 0x68, 0x2F, 0x97)

// A skin element plug-in: makes an element for a tag the skin engine does not know.
MIDL_INTERFACE("95034D7A-4397-4475-8D0D-C1CB1109F6F8")
ISkinElementPlugin : public IUnknown
{
    // Slot 3: the element for tag (one reference); a failure when the plug-in has none.
    virtual HRESULT STDMETHODCALLTYPE CreateElement(BSTR tag, ISkinElement * *element) = 0;
};
__CRT_UUID_DECL(ISkinElementPlugin, 0x95034D7A, 0x4397, 0x4475, 0x8D, 0x0D, 0xC1, 0xCB, 0x11, 0x09, 0xF6, 0xF8)

// A skin page plug-in: makes a page controller for a behaviour the page table lacks.
MIDL_INTERFACE("BCB28AB3-26B3-4A97-B5CE-8C28CB032839")
ISkinPagePlugin : public IUnknown
{
    // Slot 3: the controller for the behaviour name (one reference); a failure when none.
    virtual HRESULT STDMETHODCALLTYPE CreatePage(BSTR name, IPage * *page) = 0;
};
__CRT_UUID_DECL(ISkinPagePlugin, 0xBCB28AB3, 0x26B3, 0x4A97, 0xB5, 0xCE, 0x8C, 0x28, 0xCB, 0x03, 0x28, 0x39)

// Component categories of the plug-ins.
// {68B878A0-FEDF-4C46-A4B6-F70136A85AAE}
inline constexpr GUID CATID_SkinElementPlugins = {
    0x68B878A0, 0xFEDF, 0x4C46, {0xA4, 0xB6, 0xF7, 0x01, 0x36, 0xA8, 0x5A, 0xAE}};
// {174CE2A0-EABE-4FC5-A938-E8A9DBF2F1BC}
inline constexpr GUID CATID_SkinPagePlugins = {
    0x174CE2A0, 0xEABE, 0x4FC5, {0xA9, 0x38, 0xE8, 0xA9, 0xDB, 0xF2, 0xF1, 0xBC}};

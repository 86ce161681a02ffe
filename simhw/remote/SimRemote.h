#pragma once
// The simulated remote-control event source (txSimRemote.dll), standing in for the
// outside COM server that reports the buttons of the remote control.
//
// What the host relies on, as the real source offers it:
//  - class kSimRemoteClsid, created for ISimRemoteSource (an IDispatch with no members
//    of its own);
//  - IConnectionPointContainer with one connection point, for the event dispinterface
//    kRemoteEventsDiid. Advise asks the sink for that interface (not merely IDispatch)
//    and refuses the sink with CONNECT_E_CANNOTCONNECT when it lacks it;
//  - each button press calls the sink's Invoke with member 1 (kRemoteButtonDispid),
//    DISPATCH_METHOD and one VT_I4 argument, the button code.
// Connection enumeration (EnumConnectionPoints, EnumConnections) is not offered.
//
// What tests use to press buttons:
//  - in the process that holds the object: ISimRemoteControl, queried from it;
//  - from anywhere on the desktop: SimRemotePressButton (below). Each object has a hidden
//    window of class kSimRemoteWindowClass on the thread that created it; a button sent
//    there is fired on that thread, where the sinks of its apartment live.
// The class is registered with ThreadingModel "Apartment"; create it on a thread that
// runs a message loop when buttons come through its window.
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

namespace tx::simhw
{
// {207618b6-27b3-4d86-a0fe-850e0502fbf1}
inline constexpr CLSID kSimRemoteClsid = {0x207618b6, 0x27b3, 0x4d86, {0xa0, 0xfe, 0x85, 0x0e, 0x05, 0x02, 0xfb, 0xf1}};
// {565a8ba5-52ba-4025-bbf3-8ca53f9598d6}: the event dispinterface of the connection point.
inline constexpr IID kRemoteEventsDiid = {0x565a8ba5, 0x52ba, 0x4025, {0xbb, 0xf3, 0x8c, 0xa5, 0x3f, 0x95, 0x98, 0xd6}};
// The event member that carries a button code.
inline constexpr DISPID kRemoteButtonDispid = 1;

inline constexpr wchar_t kSimRemoteWindowClass[] = L"TxSimRemoteButtons";
// Sent to a source's window: wParam = the button code (a LONG); the reply is the
// HRESULT of ISimRemoteControl::FireButton.
inline constexpr UINT kSimRemotePressMessage = WM_APP + 1;
} // namespace tx::simhw

// The source's own interface, as the host creates the class for it.
MIDL_INTERFACE("bd7de804-b701-4001-9b2e-eb725ce38540")
ISimRemoteSource : public IDispatch{};
__CRT_UUID_DECL(ISimRemoteSource, 0xbd7de804, 0xb701, 0x4001, 0x9b, 0x2e, 0xeb, 0x72, 0x5c, 0xe3, 0x85, 0x40)

// The test side of the simulation. Every method runs on the caller's thread, which
// must be the object's own (apartment) thread; sinks are called synchronously, in the
// order they were advised, from a snapshot taken before the first call, so a sink may
// unadvise itself (or another) while it is called.
MIDL_INTERFACE("f1a8eb6c-ba90-4e9f-9fa9-e6d30bff7be3")
ISimRemoteControl : public IUnknown
{
    // Fires member 1 with one VT_I4 argument holding `code` at every sink.
    // S_OK: every sink answered with success. S_FALSE: no sink is connected.
    // A failure: the first failure a sink answered; the later sinks are still called.
    virtual HRESULT STDMETHODCALLTYPE FireButton(LONG code) = 0;
    // Fires any member with any arguments, for testing a sink's tolerance: `args` holds
    // `count` arguments in DISPPARAMS order (last argument first) and is not changed;
    // null with count 0 sends no arguments. Results as FireButton; E_POINTER for null
    // args with a count.
    virtual HRESULT STDMETHODCALLTYPE FireRaw(DISPID member, const VARIANT *args, UINT count) = 0;
    // The number of sinks connected now.
    virtual HRESULT STDMETHODCALLTYPE GetConnectionCount(ULONG * count) = 0;
};
__CRT_UUID_DECL(ISimRemoteControl, 0xf1a8eb6c, 0xba90, 0x4e9f, 0x9f, 0xa9, 0xe6, 0xd3, 0x0b, 0xff, 0x7b, 0xe3)

namespace tx::simhw
{
// Presses a button on every simulated remote source of the desktop (any process),
// through their windows, and waits until each has fired it. The first failure of a
// source; else S_OK when some source had a sink; else S_FALSE (no source, or no sink).
inline HRESULT SimRemotePressButton(LONG code) noexcept
{
    HRESULT result = S_FALSE;
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, kSimRemoteWindowClass, nullptr)) != nullptr)
    {
        DWORD_PTR reply = static_cast<DWORD_PTR>(E_FAIL);
        const HRESULT hr = ::SendMessageTimeoutW(window, kSimRemotePressMessage, static_cast<WPARAM>(code), 0,
                                                 SMTO_NORMAL, 10000, &reply)
                               ? static_cast<HRESULT>(reply)
                               : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
        else if (hr == S_OK && SUCCEEDED(result))
            result = S_OK;
    }
    return result;
}
} // namespace tx::simhw

#pragma once
// Interfaces of the test server's sample object: two faces of one object.
#include <windows.h>
#include <unknwn.h>

// {6D1E0C52-93B4-4E8F-A3D1-7C2B5E9F0A11}
DEFINE_GUID(CLSID_TxKitSample, 0x6d1e0c52, 0x93b4, 0x4e8f, 0xa3, 0xd1, 0x7c, 0x2b, 0x5e, 0x9f, 0x0a, 0x11);

MIDL_INTERFACE("6D1E0C53-93B4-4E8F-A3D1-7C2B5E9F0A11")
IKitSampleCounter : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Add(LONG amount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTotal(LONG * total) = 0;
};
__CRT_UUID_DECL(IKitSampleCounter, 0x6d1e0c53, 0x93b4, 0x4e8f, 0xa3, 0xd1, 0x7c, 0x2b, 0x5e, 0x9f, 0x0a, 0x11)

MIDL_INTERFACE("6D1E0C54-93B4-4E8F-A3D1-7C2B5E9F0A11")
IKitSampleName : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetName(BSTR * name) = 0;
};
__CRT_UUID_DECL(IKitSampleName, 0x6d1e0c54, 0x93b4, 0x4e8f, 0xa3, 0xd1, 0x7c, 0x2b, 0x5e, 0x9f, 0x0a, 0x11)

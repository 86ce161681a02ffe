#pragma once
// The DirectShow interface headers as our base classes use them.
#include <windows.h>
#include <strmif.h>
#include <control.h>
#include <uuids.h>
#include <evcode.h>
#include <vfwmsgs.h>
#include <amvideo.h>

// Forwards IUnknown of a class that adds interfaces of its own to a base of ours, so
// that every interface of the object shares the base's one count and identity.
#define TX_DSHOW_FORWARD_IUNKNOWN(Base)                                                                         \
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override                                               \
    {                                                                                                           \
        return Base::QueryInterface(riid, ppv);                                                                 \
    }                                                                                                           \
    STDMETHODIMP_(ULONG) AddRef() override                                                                      \
    {                                                                                                           \
        return Base::AddRef();                                                                                  \
    }                                                                                                           \
    STDMETHODIMP_(ULONG) Release() override                                                                     \
    {                                                                                                           \
        return Base::Release();                                                                                 \
    }

namespace tx::dshow
{
// Copies text into a CoTaskMemAlloc'd string for an out parameter.
HRESULT CopyToTaskMemory(const wchar_t *text, LPWSTR *out) noexcept;
// Copies text into a fixed buffer of count characters (truncating, always terminated).
void CopyToBuffer(const wchar_t *text, wchar_t *buffer, size_t count) noexcept;
} // namespace tx::dshow

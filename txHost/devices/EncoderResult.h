#pragma once
// HRESULT and the few result codes of the frame encoder, without windows.h, so the
// encoder builds natively as well. On Windows the values come from winerror.h; elsewhere
// they are defined with the same values.
#include <cstdint>

#if defined(_WIN32)
#ifndef _HRESULT_DEFINED
#define _HRESULT_DEFINED
typedef long HRESULT;
#endif
#include <winerror.h>
#else
typedef int32_t HRESULT;
#ifndef S_OK
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_NOT_SUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#endif
#endif

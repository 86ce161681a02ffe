#include "comkit/InprocServer.h"

#include "comkit/Handles.h"

#include <string>

namespace tx
{
namespace
{
std::wstring ClsidKeyPath(REFCLSID clsid)
{
    wchar_t text[64] = {};
    ::StringFromGUID2(clsid, text, ARRAYSIZE(text));
    return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

HRESULT SetStringValue(HKEY key, const wchar_t *name, const wchar_t *value)
{
    const DWORD bytes = static_cast<DWORD>((::lstrlenW(value) + 1) * sizeof(wchar_t));
    LONG rc = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value), bytes);
    return HRESULT_FROM_WIN32(rc);
}

HRESULT CreateKey(HKEY parent, const std::wstring &path, UniqueHKey &key)
{
    LONG rc = ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr);
    return HRESULT_FROM_WIN32(rc);
}
} // namespace

HRESULT ServerGetClassObject(std::span<const ServerClass> classes, REFCLSID clsid, REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const ServerClass &entry : classes)
    {
        if (*entry.clsid != clsid)
            continue;
        ComPtr<ClassFactory> factory = MakeComObject<ClassFactory>(entry.create);
        if (!factory)
            return E_OUTOFMEMORY;
        return factory->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerCanUnloadNow() noexcept
{
    return module::LockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT ServerRegister(std::span<const ServerClass> classes, HMODULE module) noexcept
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(module, path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path))
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    for (const ServerClass &entry : classes)
    {
        const std::wstring keyPath = ClsidKeyPath(*entry.clsid);
        UniqueHKey classKey;
        HRESULT hr = CreateKey(HKEY_LOCAL_MACHINE, keyPath, classKey);
        if (SUCCEEDED(hr))
            hr = SetStringValue(classKey.Get(), nullptr, entry.description);
        UniqueHKey serverKey;
        if (SUCCEEDED(hr))
            hr = CreateKey(classKey.Get(), L"InprocServer32", serverKey);
        if (SUCCEEDED(hr))
            hr = SetStringValue(serverKey.Get(), nullptr, path);
        if (SUCCEEDED(hr))
            hr = SetStringValue(serverKey.Get(), L"ThreadingModel", entry.threadingModel);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT ServerUnregister(std::span<const ServerClass> classes) noexcept
{
    HRESULT result = S_OK;
    for (const ServerClass &entry : classes)
    {
        LONG rc = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClsidKeyPath(*entry.clsid).c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
            result = HRESULT_FROM_WIN32(rc);
    }
    return result;
}

} // namespace tx

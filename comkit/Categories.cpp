#include "comkit/Categories.h"

#include "comkit/ComPtr.h"

#include <new>

namespace tx
{

HRESULT EnumerateCategoryClasses(REFGUID category, std::vector<CLSID> &classes) noexcept
{
    classes.clear();
    ComPtr<ICatInformation> info;
    HRESULT hr = ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&info));
    if (FAILED(hr))
        return hr;
    ComPtr<IEnumCLSID> enumerator;
    CATID implemented[1] = {category};
    hr = info->EnumClassesOfCategories(1, implemented, static_cast<ULONG>(-1), nullptr, &enumerator);
    if (FAILED(hr))
        return hr;
    CLSID clsid;
    ULONG fetched = 0;
    while (enumerator->Next(1, &clsid, &fetched) == S_OK && fetched == 1)
    {
        try
        {
            classes.push_back(clsid);
        }
        catch (const std::bad_alloc &)
        {
            return E_OUTOFMEMORY;
        }
    }
    return S_OK;
}

HRESULT RegisterClassInCategory(REFCLSID clsid, REFGUID category, const wchar_t *description) noexcept
{
    ComPtr<ICatRegister> reg;
    HRESULT hr = ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&reg));
    if (FAILED(hr))
        return hr;
    CATEGORYINFO info = {};
    info.catid = category;
    info.lcid = 0x409;
    ::lstrcpynW(info.szDescription, description ? description : L"", ARRAYSIZE(info.szDescription));
    hr = reg->RegisterCategories(1, &info);
    if (FAILED(hr))
        return hr;
    CATID ids[1] = {category};
    return reg->RegisterClassImplCategories(clsid, 1, ids);
}

HRESULT UnregisterClassFromCategory(REFCLSID clsid, REFGUID category) noexcept
{
    ComPtr<ICatRegister> reg;
    HRESULT hr = ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&reg));
    if (FAILED(hr))
        return hr;
    CATID ids[1] = {category};
    return reg->UnRegisterClassImplCategories(clsid, 1, ids);
}

} // namespace tx

#pragma once
// Helpers for COM and graph tests: reference counts, interface tables, graphs.
#include "comkit/ComObject.h"
#include "comkit/ComPtr.h"

#include <windows.h>
#include <strmif.h>
#include <control.h>
#include <uuids.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace tx::test
{

inline ULONG RefCount(IUnknown *object)
{
    object->AddRef();
    return object->Release();
}

// Checks that object answers exactly the interfaces marked true.
inline void ExpectInterfaces(IUnknown *object, std::initializer_list<std::pair<const IID *, bool>> table)
{
    for (const auto &[iid, supported] : table)
    {
        tx::ComPtr<IUnknown> answer;
        const HRESULT hr = object->QueryInterface(*iid, reinterpret_cast<void **>(answer.GetAddressOf()));
        if (supported)
            EXPECT_EQ(hr, S_OK) << "interface expected";
        else
            EXPECT_EQ(hr, E_NOINTERFACE) << "interface not expected";
        EXPECT_EQ(supported, answer != nullptr);
    }
}

// COM on this thread for one test.
struct ComScope
{
    ComScope()
    {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    }
    ~ComScope()
    {
        ::CoUninitialize();
    }
};

inline tx::ComPtr<IGraphBuilder> MakeGraph()
{
    tx::ComPtr<IGraphBuilder> graph;
    ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                       reinterpret_cast<void **>(graph.GetAddressOf()));
    return graph;
}

inline tx::ComPtr<IPin> FindPin(IBaseFilter *filter, const wchar_t *id)
{
    tx::ComPtr<IPin> pin;
    filter->FindPin(id, pin.GetAddressOf());
    return pin;
}

} // namespace tx::test

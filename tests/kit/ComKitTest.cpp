// The COM kit against Wine's real COM: an object of ours in an in-process server,
// registered in the prefix and created through its class factory.
#include <windows.h>
#include <initguid.h>

#include "tests/kit/server/KitSample.h"
#include "tests/support/TestPaths.h"

#include "comkit/Bstr.h"
#include "comkit/Categories.h"
#include "comkit/ClassFactory.h"
#include "comkit/Handles.h"
#include "comkit/HResult.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
ULONG RefCount(IUnknown *unknown)
{
    unknown->AddRef();
    return unknown->Release();
}

class ComApartment
{
  public:
    ComApartment()
    {
        m_hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    ~ComApartment()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    HRESULT Result() const
    {
        return m_hr;
    }

  private:
    HRESULT m_hr;
};

using ServerEntry = HRESULT(STDAPICALLTYPE *)();

class KitServer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_com.Result());
        const std::wstring path = tx::test::ExecutableFolder() + L"txKitTestServer.dll";
        m_module.Reset(::LoadLibraryW(path.c_str()));
        ASSERT_TRUE(m_module) << "cannot load the test server";
        m_register = tx::GetProcAddressAs<ServerEntry>(m_module.Get(), "DllRegisterServer");
        m_unregister = tx::GetProcAddressAs<ServerEntry>(m_module.Get(), "DllUnregisterServer");
        m_canUnload = tx::GetProcAddressAs<ServerEntry>(m_module.Get(), "DllCanUnloadNow");
        ASSERT_TRUE(m_register && m_unregister && m_canUnload);
        ASSERT_HRESULT_SUCCEEDED(m_register());
    }
    void TearDown() override
    {
        if (m_unregister)
        {
            EXPECT_HRESULT_SUCCEEDED(m_unregister());
        }
    }

    ComApartment m_com;
    tx::UniqueModule m_module;
    ServerEntry m_register = nullptr;
    ServerEntry m_unregister = nullptr;
    ServerEntry m_canUnload = nullptr;
};
} // namespace

TEST_F(KitServer, CreatesThroughFactoryWithOneSharedCount)
{
    {
        tx::ComPtr<IKitSampleCounter> counter;
        ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_TxKitSample, nullptr, CLSCTX_INPROC_SERVER,
                                                    IID_PPV_ARGS(&counter)));
        EXPECT_EQ(RefCount(counter.Get()), 1u);
        EXPECT_EQ(m_canUnload(), S_FALSE) << "a live object holds the module";

        // Every face answers, shares the count and reaches the same identity.
        tx::ComPtr<IKitSampleName> name;
        ASSERT_HRESULT_SUCCEEDED(counter.As(&name));
        EXPECT_EQ(RefCount(counter.Get()), 2u);
        tx::ComPtr<IUnknown> unknownA, unknownB;
        ASSERT_HRESULT_SUCCEEDED(counter.As(&unknownA));
        ASSERT_HRESULT_SUCCEEDED(name.As(&unknownB));
        EXPECT_EQ(unknownA.Get(), unknownB.Get());
        EXPECT_EQ(RefCount(counter.Get()), 4u);

        // Interfaces the object does not have are refused and leave no reference.
        const IID refused[] = {__uuidof(IClassFactory), __uuidof(IDispatch), IID_IPersist};
        for (const IID &iid : refused)
        {
            void *out = reinterpret_cast<void *>(1);
            EXPECT_EQ(counter->QueryInterface(iid, &out), E_NOINTERFACE);
            EXPECT_EQ(out, nullptr);
        }
        EXPECT_EQ(counter->QueryInterface(__uuidof(IUnknown), nullptr), E_POINTER);
        EXPECT_EQ(RefCount(counter.Get()), 4u);

        ASSERT_HRESULT_SUCCEEDED(counter->Add(40));
        ASSERT_HRESULT_SUCCEEDED(counter->Add(2));
        LONG total = 0;
        ASSERT_HRESULT_SUCCEEDED(counter->GetTotal(&total));
        EXPECT_EQ(total, 42);
        tx::Bstr text;
        ASSERT_HRESULT_SUCCEEDED(name->GetName(text.Put()));
        EXPECT_STREQ(text.c_str(), L"Kit sample");

        unknownA.Reset();
        unknownB.Reset();
        name.Reset();
        EXPECT_EQ(counter.Reset(), 0u) << "outstanding references";
    }
    EXPECT_EQ(m_canUnload(), S_OK) << "module lock count back at zero";
}

TEST_F(KitServer, FactoryRefusesAggregationAndCountsServerLocks)
{
    tx::ComPtr<IClassFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(::CoGetClassObject(CLSID_TxKitSample, CLSCTX_INPROC_SERVER, nullptr,
                                                IID_PPV_ARGS(&factory)));
    tx::ComPtr<IUnknown> object;
    tx::ComPtr<IUnknown> outer;
    ASSERT_HRESULT_SUCCEEDED(factory.As(&outer));
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_PPV_ARGS(&object)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    outer.Reset();

    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(m_canUnload(), S_FALSE) << "a server lock keeps the module";
    tx::ComPtr<IClassFactory> again;
    ASSERT_HRESULT_SUCCEEDED(::CoGetClassObject(CLSID_TxKitSample, CLSCTX_INPROC_SERVER, nullptr,
                                                IID_PPV_ARGS(&again)));
    ASSERT_HRESULT_SUCCEEDED(again->LockServer(FALSE));
    again.Reset();
    EXPECT_EQ(m_canUnload(), S_OK);
}

TEST_F(KitServer, UnregisteredClassIsNotFound)
{
    ASSERT_HRESULT_SUCCEEDED(m_unregister());
    tx::ComPtr<IUnknown> object;
    EXPECT_EQ(::CoCreateInstance(CLSID_TxKitSample, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)),
              REGDB_E_CLASSNOTREG);
    ASSERT_HRESULT_SUCCEEDED(m_register()); // TearDown unregisters again
}

TEST_F(KitServer, CategoryEnumerationFindsRegisteredClass)
{
    // {6D1E0C55-93B4-4E8F-A3D1-7C2B5E9F0A11}: a category of the test only.
    const GUID category = {0x6d1e0c55, 0x93b4, 0x4e8f, {0xa3, 0xd1, 0x7c, 0x2b, 0x5e, 0x9f, 0x0a, 0x11}};
    ASSERT_HRESULT_SUCCEEDED(tx::RegisterClassInCategory(CLSID_TxKitSample, category, L"Kit test category"));
    std::vector<CLSID> classes;
    ASSERT_HRESULT_SUCCEEDED(tx::EnumerateCategoryClasses(category, classes));
    ASSERT_EQ(classes.size(), 1u);
    EXPECT_EQ(classes[0], CLSID_TxKitSample);

    ASSERT_HRESULT_SUCCEEDED(tx::UnregisterClassFromCategory(CLSID_TxKitSample, category));
    ASSERT_HRESULT_SUCCEEDED(tx::EnumerateCategoryClasses(category, classes));
    EXPECT_TRUE(classes.empty());
}

namespace
{
std::vector<std::pair<HRESULT, std::wstring>> g_logged;
void RecordingLogger(HRESULT hr, const wchar_t *message) noexcept
{
    g_logged.emplace_back(hr, message);
}

HRESULT TwoSteps(HRESULT first, HRESULT second, int &reached)
{
    reached = 0;
    TX_RETURN_IF_FAILED(first, L"Failed to do the first step");
    reached = 1;
    TX_RETURN_IF_FAILED(second, L"Failed to do the second step");
    reached = 2;
    return S_FALSE;
}
} // namespace

TEST(HResultDiscipline, LogsFailureOnceAndReturnsItUnchanged)
{
    g_logged.clear();
    const tx::FailureLogger previous = tx::SetFailureLogger(&RecordingLogger);
    int reached = -1;
    EXPECT_EQ(TwoSteps(S_OK, E_OUTOFMEMORY, reached), E_OUTOFMEMORY);
    EXPECT_EQ(reached, 1);
    EXPECT_EQ(TwoSteps(S_FALSE, S_OK, reached), S_FALSE) << "successes pass and log nothing";
    EXPECT_EQ(reached, 2);
    EXPECT_EQ(TwoSteps(E_FAIL, S_OK, reached), E_FAIL);
    EXPECT_EQ(reached, 0);
    tx::SetFailureLogger(previous);

    ASSERT_EQ(g_logged.size(), 2u);
    EXPECT_EQ(g_logged[0].first, E_OUTOFMEMORY);
    EXPECT_EQ(g_logged[0].second, L"Failed to do the second step");
    EXPECT_EQ(g_logged[1].first, E_FAIL);
    EXPECT_EQ(g_logged[1].second, L"Failed to do the first step");
}

TEST(Handles, OwnersCloseExactlyOnceAndMove)
{
    tx::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    const HANDLE raw = event.Get();
    tx::UniqueHandle moved(std::move(event));
    EXPECT_FALSE(event);
    EXPECT_EQ(moved.Get(), raw);
    DWORD flags = 0;
    EXPECT_TRUE(::GetHandleInformation(raw, &flags));
    moved.Reset();
    EXPECT_FALSE(::GetHandleInformation(raw, &flags)) << "closed on reset";

    tx::UniqueFileHandle none;
    EXPECT_EQ(none.Get(), INVALID_HANDLE_VALUE);

    tx::Bstr text(L"abc");
    tx::Bstr copy = text;
    EXPECT_NE(copy.Get(), text.Get());
    EXPECT_EQ(copy.View(), L"abc");
    BSTR out = nullptr;
    EXPECT_HRESULT_SUCCEEDED(tx::Bstr().CopyTo(&out));
    EXPECT_EQ(out, nullptr);
    EXPECT_STREQ(tx::Bstr().c_str(), L"");
}

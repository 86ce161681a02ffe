// The simulated remote-control source: advising sinks, firing buttons and raw events,
// the button window, registration, and every object released to zero.
#include "simhw/remote/SimRemote.h"

#include "comkit/Bstr.h"
#include "comkit/ComObject.h"
#include "comkit/Handles.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
using namespace tx::simhw;

ULONG RefCount(IUnknown *object)
{
    object->AddRef();
    return object->Release();
}

struct Call
{
    DISPID member = 0;
    WORD flags = 0;
    UINT count = 0;
    VARTYPE firstType = VT_EMPTY;
    LONG firstValue = 0;
    std::wstring firstText;
};

// A sink that records its calls; it answers the event dispinterface unless told not to.
class RecordingSink final : public tx::ComObject<RecordingSink, IDispatch>
{
  public:
    explicit RecordingSink(bool answersEvents = true, HRESULT reply = S_OK) noexcept
        : m_answersEvents(answersEvents), m_reply(reply)
    {
    }

    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) noexcept
    {
        if (m_answersEvents && riid == kRemoteEventsDiid)
        {
            *ppv = static_cast<IDispatch *>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *, EXCEPINFO *,
                        UINT *) override
    {
        Call call;
        call.member = member;
        call.flags = flags;
        call.count = params ? params->cArgs : 0;
        if (call.count)
        {
            const VARIANT &first = params->rgvarg[0];
            call.firstType = first.vt;
            if (first.vt == VT_I4)
                call.firstValue = first.lVal;
            else if (first.vt == VT_BSTR)
                call.firstText = first.bstrVal ? first.bstrVal : L"";
        }
        calls.push_back(call);
        if (onInvoke)
            onInvoke();
        return m_reply;
    }

    std::vector<Call> calls;
    std::function<void()> onInvoke;

  private:
    bool m_answersEvents;
    HRESULT m_reply;
};

class SimRemote : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        m_module.Reset(::LoadLibraryW((tx::test::ExecutableFolder() + L"txSimRemote.dll").c_str()));
        ASSERT_TRUE(m_module);
        auto getClassObject =
            tx::GetProcAddressAs<HRESULT(WINAPI *)(REFCLSID, REFIID, void **)>(m_module.Get(), "DllGetClassObject");
        ASSERT_NE(getClassObject, nullptr);
        tx::ComPtr<IClassFactory> factory;
        ASSERT_HRESULT_SUCCEEDED(getClassObject(kSimRemoteClsid, IID_PPV_ARGS(&factory)));
        ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_PPV_ARGS(&m_source)));
        ASSERT_HRESULT_SUCCEEDED(m_source.As(&m_control));
        tx::ComPtr<IConnectionPointContainer> container;
        ASSERT_HRESULT_SUCCEEDED(m_source.As(&container));
        ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(kRemoteEventsDiid, &m_point));
    }
    void TearDown() override
    {
        m_point.Reset();
        m_control.Reset();
        if (m_source)
        {
            EXPECT_EQ(m_source.Reset(), 0u) << "the source must be released to zero";
        }
        if (m_module)
        {
            auto canUnload = tx::GetProcAddressAs<HRESULT(WINAPI *)()>(m_module.Get(), "DllCanUnloadNow");
            EXPECT_EQ(canUnload(), S_OK) << "objects of the server are still alive";
        }
        m_module.Reset();
        ::CoUninitialize();
    }

    tx::UniqueModule m_module;
    tx::ComPtr<ISimRemoteSource> m_source;
    tx::ComPtr<ISimRemoteControl> m_control;
    tx::ComPtr<IConnectionPoint> m_point;
};

TEST_F(SimRemote, AnswersItsInterfacesWithOneIdentity)
{
    const struct
    {
        IID iid;
        bool supported;
    } cases[] = {
        {__uuidof(IUnknown), true},          {__uuidof(IDispatch), true},
        {__uuidof(ISimRemoteSource), true},  {__uuidof(IConnectionPointContainer), true},
        {__uuidof(ISimRemoteControl), true}, {__uuidof(IConnectionPoint), false},
        {kRemoteEventsDiid, false},          {__uuidof(IPersist), false},
    };
    tx::ComPtr<IUnknown> identity;
    ASSERT_HRESULT_SUCCEEDED(m_source.As(&identity));
    for (const auto &c : cases)
    {
        tx::ComPtr<IUnknown> face;
        const HRESULT hr = m_source->QueryInterface(c.iid, reinterpret_cast<void **>(face.GetAddressOf()));
        EXPECT_EQ(SUCCEEDED(hr), c.supported);
        if (face)
        {
            tx::ComPtr<IUnknown> again;
            ASSERT_HRESULT_SUCCEEDED(face.As(&again));
            EXPECT_EQ(again.Get(), identity.Get());
        }
    }
}

TEST_F(SimRemote, ConnectionPointDescribesItself)
{
    IID iid = {};
    ASSERT_HRESULT_SUCCEEDED(m_point->GetConnectionInterface(&iid));
    EXPECT_EQ(iid, kRemoteEventsDiid);
    tx::ComPtr<IConnectionPointContainer> container;
    ASSERT_HRESULT_SUCCEEDED(m_point->GetConnectionPointContainer(&container));
    tx::ComPtr<IUnknown> fromPoint, fromSource;
    ASSERT_HRESULT_SUCCEEDED(container.As(&fromPoint));
    ASSERT_HRESULT_SUCCEEDED(m_source.As(&fromSource));
    EXPECT_EQ(fromPoint.Get(), fromSource.Get());

    tx::ComPtr<IConnectionPoint> other;
    EXPECT_EQ(container->FindConnectionPoint(__uuidof(IDispatch), &other), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(other, nullptr);
}

TEST_F(SimRemote, AdvisedSinkGetsEachButtonUntilUnadvised)
{
    tx::ComPtr<RecordingSink> sink = tx::MakeComObject<RecordingSink>();
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(m_point->Advise(sink.Get(), &cookie));
    EXPECT_NE(cookie, 0u);
    ULONG count = 0;
    ASSERT_HRESULT_SUCCEEDED(m_control->GetConnectionCount(&count));
    EXPECT_EQ(count, 1u);

    EXPECT_EQ(m_control->FireButton(154), S_OK);
    EXPECT_EQ(m_control->FireButton(25), S_OK);
    ASSERT_EQ(sink->calls.size(), 2u);
    EXPECT_EQ(sink->calls[0].member, kRemoteButtonDispid);
    EXPECT_EQ(sink->calls[0].flags, DISPATCH_METHOD);
    EXPECT_EQ(sink->calls[0].count, 1u);
    EXPECT_EQ(sink->calls[0].firstType, VT_I4);
    EXPECT_EQ(sink->calls[0].firstValue, 154);
    EXPECT_EQ(sink->calls[1].firstValue, 25);

    ASSERT_HRESULT_SUCCEEDED(m_point->Unadvise(cookie));
    EXPECT_EQ(m_control->FireButton(154), S_FALSE) << "no sink is connected";
    EXPECT_EQ(sink->calls.size(), 2u);
    EXPECT_EQ(m_point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(RefCount(sink.Get()), 1u) << "the source let go of the sink";
}

TEST_F(SimRemote, RefusesSinksWithoutTheEventInterface)
{
    tx::ComPtr<RecordingSink> plain = tx::MakeComObject<RecordingSink>(false);
    DWORD cookie = 7;
    EXPECT_EQ(m_point->Advise(plain.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(m_point->Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(m_point->Advise(plain.Get(), nullptr), E_POINTER);
    EXPECT_EQ(RefCount(plain.Get()), 1u);
}

TEST_F(SimRemote, FireRawSendsAnyMemberAndArguments)
{
    tx::ComPtr<RecordingSink> sink = tx::MakeComObject<RecordingSink>();
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(m_point->Advise(sink.Get(), &cookie));

    tx::Variant number(LONG(37)), text(L"154"), second(LONG(2));
    const VARIANT two[] = {second.Get(), number.Get()};
    const struct
    {
        DISPID member;
        const VARIANT *args;
        UINT count;
        VARTYPE firstType;
    } cases[] = {
        {2, &number.Get(), 1, VT_I4},
        {1, nullptr, 0, VT_EMPTY},
        {1, two, 2, VT_I4},
        {1, &text.Get(), 1, VT_BSTR},
        {DISPID_UNKNOWN, &number.Get(), 1, VT_I4},
    };
    for (const auto &c : cases)
    {
        sink->calls.clear();
        EXPECT_EQ(m_control->FireRaw(c.member, c.args, c.count), S_OK);
        ASSERT_EQ(sink->calls.size(), 1u);
        EXPECT_EQ(sink->calls[0].member, c.member);
        EXPECT_EQ(sink->calls[0].count, c.count);
        EXPECT_EQ(sink->calls[0].firstType, c.firstType);
    }
    sink->calls.clear();
    ASSERT_EQ(m_control->FireRaw(1, &text.Get(), 1), S_OK);
    ASSERT_EQ(sink->calls.size(), 1u);
    EXPECT_EQ(sink->calls[0].firstText, L"154");
    EXPECT_EQ(m_control->FireRaw(1, nullptr, 1), E_POINTER);
    // The caller's arguments are unchanged.
    EXPECT_EQ(text.Get().vt, VT_BSTR);
    EXPECT_STREQ(text.Get().bstrVal, L"154");
    ASSERT_HRESULT_SUCCEEDED(m_point->Unadvise(cookie));
}

TEST_F(SimRemote, EverySinkIsCalledInAdviseOrderDespiteFailuresAndUnadvise)
{
    std::vector<int> order;
    tx::ComPtr<RecordingSink> first = tx::MakeComObject<RecordingSink>();
    tx::ComPtr<RecordingSink> failing = tx::MakeComObject<RecordingSink>(true, DISP_E_MEMBERNOTFOUND);
    tx::ComPtr<RecordingSink> last = tx::MakeComObject<RecordingSink>();
    DWORD cookies[3] = {};
    ASSERT_HRESULT_SUCCEEDED(m_point->Advise(first.Get(), &cookies[0]));
    ASSERT_HRESULT_SUCCEEDED(m_point->Advise(failing.Get(), &cookies[1]));
    ASSERT_HRESULT_SUCCEEDED(m_point->Advise(last.Get(), &cookies[2]));
    EXPECT_TRUE(cookies[0] != cookies[1] && cookies[1] != cookies[2] && cookies[0] != cookies[2]);

    // The first sink drops itself and the last one while it is being called.
    first->onInvoke = [&] {
        order.push_back(0);
        EXPECT_HRESULT_SUCCEEDED(m_point->Unadvise(cookies[0]));
        EXPECT_HRESULT_SUCCEEDED(m_point->Unadvise(cookies[2]));
    };
    failing->onInvoke = [&] { order.push_back(1); };
    last->onInvoke = [&] { order.push_back(2); };

    EXPECT_EQ(m_control->FireButton(146), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2})) << "the snapshot of the firing still reaches every sink";
    order.clear();
    EXPECT_EQ(m_control->FireButton(146), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(order, (std::vector<int>{1}));
    ASSERT_HRESULT_SUCCEEDED(m_point->Unadvise(cookies[1]));
    for (RecordingSink *sink : {first.Get(), failing.Get(), last.Get()})
        EXPECT_EQ(RefCount(sink), 1u);
}

TEST_F(SimRemote, ButtonsPressedThroughTheWindowReachTheSinks)
{
    tx::ComPtr<RecordingSink> sink = tx::MakeComObject<RecordingSink>();
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(m_point->Advise(sink.Get(), &cookie));
    ASSERT_NE(::FindWindowExW(nullptr, nullptr, kSimRemoteWindowClass, nullptr), nullptr);

    EXPECT_EQ(SimRemotePressButton(170), S_OK);
    ASSERT_EQ(sink->calls.size(), 1u);
    EXPECT_EQ(sink->calls[0].firstValue, 170);
    EXPECT_EQ(sink->calls[0].member, kRemoteButtonDispid);

    ASSERT_HRESULT_SUCCEEDED(m_point->Unadvise(cookie));
    EXPECT_EQ(SimRemotePressButton(170), S_FALSE);
    // The window goes with the object.
    m_point.Reset();
    m_control.Reset();
    EXPECT_EQ(m_source.Reset(), 0u);
    EXPECT_EQ(::FindWindowExW(nullptr, nullptr, kSimRemoteWindowClass, nullptr), nullptr);
    EXPECT_EQ(SimRemotePressButton(170), S_FALSE);
}

TEST_F(SimRemote, ReleasingTheSourceReleasesItsSinks)
{
    tx::ComPtr<RecordingSink> sink = tx::MakeComObject<RecordingSink>();
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(m_point->Advise(sink.Get(), &cookie));
    EXPECT_EQ(RefCount(sink.Get()), 2u);
    m_point.Reset();
    m_control.Reset();
    EXPECT_EQ(m_source.Reset(), 0u);
    EXPECT_EQ(RefCount(sink.Get()), 1u);
}

// As the host makes it: CoCreateInstance of the registered class for the source's
// interface, then the connection point found through the container.
TEST(SimRemoteRegistration, CreatedByClassAsTheHostDoes)
{
    ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        tx::UniqueModule module(::LoadLibraryW((tx::test::ExecutableFolder() + L"txSimRemote.dll").c_str()));
        ASSERT_TRUE(module);
        auto registerServer = tx::GetProcAddressAs<HRESULT(WINAPI *)()>(module.Get(), "DllRegisterServer");
        ASSERT_HRESULT_SUCCEEDED(registerServer());

        tx::ComPtr<IUnknown> source;
        ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(kSimRemoteClsid, nullptr, CLSCTX_ALL, __uuidof(ISimRemoteSource),
                                                    reinterpret_cast<void **>(source.GetAddressOf())));
        tx::ComPtr<IConnectionPointContainer> container;
        ASSERT_HRESULT_SUCCEEDED(source.As(&container));
        tx::ComPtr<IConnectionPoint> point;
        ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(kRemoteEventsDiid, &point));
        tx::ComPtr<RecordingSink> sink = tx::MakeComObject<RecordingSink>();
        DWORD cookie = 0;
        ASSERT_HRESULT_SUCCEEDED(point->Advise(sink.Get(), &cookie));
        EXPECT_EQ(SimRemotePressButton(33), S_OK);
        ASSERT_EQ(sink->calls.size(), 1u);
        EXPECT_EQ(sink->calls[0].firstValue, 33);
        ASSERT_HRESULT_SUCCEEDED(point->Unadvise(cookie));
        point.Reset();
        container.Reset();
        EXPECT_EQ(source.Reset(), 0u);
    }
    ::CoUninitialize();
}
} // namespace

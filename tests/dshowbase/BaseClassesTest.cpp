// The base classes on their own: media types, interfaces, pin ids, enumerators and
// the state walk of every filter kind while unconnected.
#include "DShowTestSupport.h"
#include "TestFilters.h"
#include "dshowbase/EnumMediaTypes.h"
#include "txHost/playback/NullFilter.h"

#include <string>
#include <vector>

using namespace tx::dshow;
using tx::ComPtr;

namespace tx::test
{
namespace
{

TEST(DShowMediaType, CopyOwnsFormatBlockAndComparesByContents)
{
    CMediaType pcm = MakePcmType();
    ASSERT_TRUE(pcm.IsValid());
    CMediaType copy(pcm);
    EXPECT_TRUE(copy == pcm);
    EXPECT_NE(copy.pbFormat, pcm.pbFormat);
    copy.pbFormat[0] ^= 0xFF;
    EXPECT_FALSE(copy == pcm);

    AM_MEDIA_TYPE *allocated = CreateMediaType(pcm);
    ASSERT_NE(allocated, nullptr);
    EXPECT_TRUE(MediaTypesEqual(*allocated, pcm));
    DeleteMediaType(allocated);
    DeleteMediaType(nullptr);

    CMediaType empty;
    EXPECT_FALSE(empty.IsValid());
    EXPECT_TRUE(empty.IsPartiallySpecified());
    copy = empty;
    EXPECT_EQ(copy.pbFormat, nullptr);
    EXPECT_EQ(copy.cbFormat, 0u);
}

TEST(DShowMediaType, PartialTypesMatchOnTheirSetFields)
{
    const CMediaType pcm = MakePcmType();
    struct Case
    {
        GUID major;
        GUID sub;
        bool matches;
    } cases[] = {
        {GUID_NULL, GUID_NULL, true},
        {MEDIATYPE_Audio, GUID_NULL, true},
        {MEDIATYPE_Audio, MEDIASUBTYPE_PCM, true},
        {MEDIATYPE_Video, GUID_NULL, false},
        {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload, false},
    };
    for (const Case &c : cases)
    {
        AM_MEDIA_TYPE partial{};
        partial.majortype = c.major;
        partial.subtype = c.sub;
        EXPECT_EQ(MediaTypeMatchesPartial(pcm, partial), c.matches);
    }
}

struct FilterRow
{
    const char *what;
    ComPtr<IBaseFilter> filter;
};

// One filter of each kind of ours, each with one reference held by the row.
std::vector<FilterRow> OneOfEachKind()
{
    HRESULT hr = E_FAIL;
    std::vector<FilterRow> rows;
    rows.push_back({"source", ComPtr<IBaseFilter>(tx::MakeComObject<TestSource>(2, 8, 10000).Get())});
    rows.push_back({"transform", ComPtr<IBaseFilter>(tx::MakeComObject<TestCopyTransform>().Get())});
    rows.push_back({"in place", ComPtr<IBaseFilter>(tx::MakeComObject<TestInPlace>().Get())});
    rows.push_back({"null", ComPtr<IBaseFilter>(playback::CreateNullFilter(L"null", &hr).Get())});
    rows.push_back({"renderer", ComPtr<IBaseFilter>(tx::MakeComObject<TestSink>().Get())});
    return rows;
}

TEST(DShowFilters, AnswerTheirInterfacesAndPinsShareTheFilterCount)
{
    ComScope com;
    for (FilterRow &row : OneOfEachKind())
    {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(row.filter);
        const bool renderer = std::string(row.what) == "renderer";
        ExpectInterfaces(row.filter.Get(), {{&IID_IUnknown, true},
                                            {&IID_IPersist, true},
                                            {&IID_IMediaFilter, true},
                                            {&IID_IBaseFilter, true},
                                            {&IID_IAMFilterMiscFlags, renderer},
                                            {&IID_IMediaSeeking, renderer},
                                            {&IID_IPin, false},
                                            {&IID_IMemInputPin, false}});
        CLSID clsid{};
        EXPECT_EQ(row.filter->GetClassID(&clsid), S_OK);
        ComPtr<IAMFilterMiscFlags> flags;
        if (SUCCEEDED(row.filter.As(&flags)))
        {
            EXPECT_EQ(flags->GetMiscFlags(), static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_RENDERER));
        }
        flags.Reset();

        ComPtr<IEnumPins> pins;
        ASSERT_EQ(row.filter->EnumPins(pins.GetAddressOf()), S_OK);
        IPin *pin = nullptr;
        while (pins->Next(1, &pin, nullptr) == S_OK)
        {
            const ULONG before = RefCount(row.filter.Get());
            pin->AddRef();
            EXPECT_EQ(RefCount(row.filter.Get()), before + 1);
            pin->Release();
            ComPtr<IUnknown> identity;
            ASSERT_EQ(pin->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(identity.GetAddressOf())), S_OK);
            EXPECT_EQ(static_cast<void *>(identity.Get()), static_cast<void *>(pin));
            identity.Reset();
            PIN_DIRECTION direction{};
            EXPECT_EQ(pin->QueryDirection(&direction), S_OK);
            ExpectInterfaces(pin, {{&IID_IPin, true},
                                   {&IID_IMemInputPin, direction == PINDIR_INPUT},
                                   {&IID_IMediaSeeking, direction == PINDIR_OUTPUT && std::string(row.what) != "source"},
                                   {&IID_IBaseFilter, false}});
            pin->Release();
        }
        pins.Reset();
        // A pin held past its filter's last reference keeps the filter alive.
        ComPtr<IPin> first;
        ASSERT_EQ(row.filter->EnumPins(pins.GetAddressOf()), S_OK);
        ASSERT_EQ(pins->Next(1, first.GetAddressOf(), nullptr), S_OK);
        pins.Reset();
        EXPECT_EQ(row.filter.Detach()->Release(), 1u);
        PIN_INFO info{};
        EXPECT_EQ(first->QueryPinInfo(&info), S_OK);
        ASSERT_NE(info.pFilter, nullptr);
        info.pFilter->Release();
        EXPECT_EQ(first.Detach()->Release(), 0u);
    }
}

std::wstring PinId(IPin *pin)
{
    LPWSTR id = nullptr;
    if (FAILED(pin->QueryId(&id)))
        return L"?";
    std::wstring result = id;
    ::CoTaskMemFree(id);
    return result;
}

std::wstring PinName(IPin *pin)
{
    PIN_INFO info{};
    if (FAILED(pin->QueryPinInfo(&info)))
        return L"?";
    if (info.pFilter)
        info.pFilter->Release();
    return info.achName;
}

TEST(DShowFilters, FindPinLooksUpIdsNotNames)
{
    ComScope com;
    const std::vector<std::vector<std::pair<std::wstring, std::wstring>>> expected = {
        {{L"1", L"Output"}},
        {{L"In", L"XForm In"}, {L"Out", L"XForm Out"}},
        {{L"In", L"XForm In"}, {L"Out", L"XForm Out"}},
        {{L"In", L"XForm In"}, {L"Out", L"XForm Out"}},
        {{L"In", L"In"}},
    };
    std::vector<FilterRow> rows = OneOfEachKind();
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i)
    {
        SCOPED_TRACE(rows[i].what);
        IBaseFilter *filter = rows[i].filter.Get();
        for (const auto &[id, name] : expected[i])
        {
            ComPtr<IPin> pin = FindPin(filter, id.c_str());
            ASSERT_TRUE(pin);
            EXPECT_EQ(PinId(pin.Get()), id);
            EXPECT_EQ(PinName(pin.Get()), name);
            if (id != name)
            {
                EXPECT_FALSE(FindPin(filter, name.c_str()));
            }
        }
        IPin *missing = reinterpret_cast<IPin *>(1);
        EXPECT_EQ(filter->FindPin(L"2", &missing), VFW_E_NOT_FOUND);
        EXPECT_EQ(missing, nullptr);
        EXPECT_EQ(filter->FindPin(nullptr, &missing), E_POINTER);
        EXPECT_EQ(rows[i].filter.Detach()->Release(), 0u);
    }
}

TEST(DShowEnumerators, PinsNextSkipResetCloneAndVersionChange)
{
    ComScope com;
    ComPtr<TestSource> source = tx::MakeComObject<TestSource>(1, 1, 1);
    source->AddExtraPin();
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(source->EnumPins(pins.GetAddressOf()), S_OK);

    IPin *got[3] = {};
    ULONG fetched = 99;
    EXPECT_EQ(pins->Next(3, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(PinId(got[0]), L"1");
    EXPECT_EQ(PinId(got[1]), L"2");
    got[0]->Release();
    got[1]->Release();
    EXPECT_EQ(pins->Next(2, got, nullptr), E_POINTER);
    EXPECT_EQ(pins->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    EXPECT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(1), S_OK);
    ComPtr<IEnumPins> clone;
    ASSERT_EQ(pins->Clone(clone.GetAddressOf()), S_OK);
    ASSERT_EQ(clone->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(PinId(got[0]), L"2");
    got[0]->Release();
    EXPECT_EQ(pins->Skip(5), S_FALSE);

    // A pin added under the enumerator puts it out of sync until Reset.
    source->AddExtraPin();
    EXPECT_EQ(pins->Next(1, got, &fetched), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(pins->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
    ComPtr<IEnumPins> stale;
    EXPECT_EQ(pins->Clone(stale.GetAddressOf()), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_FALSE(stale);
    EXPECT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(3), S_OK);
    EXPECT_EQ(pins->Next(1, got, &fetched), S_FALSE);

    pins.Reset();
    clone.Reset();
    EXPECT_EQ(source.Detach()->Release(), 0u);
}

TEST(DShowEnumerators, MediaTypesOfASourcePin)
{
    ComScope com;
    ComPtr<TestSource> source = tx::MakeComObject<TestSource>(1, 1, 1);
    ComPtr<IPin> pin = FindPin(source.Get(), L"1");
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pin->EnumMediaTypes(types.GetAddressOf()), S_OK);
    AM_MEDIA_TYPE *got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_TRUE(MediaTypesEqual(*got[0], MakePcmType()));
    DeleteMediaType(got[0]);
    EXPECT_EQ(types->Skip(1), S_FALSE);
    EXPECT_EQ(types->Reset(), S_OK);
    EXPECT_EQ(types->Skip(1), S_OK);
    ComPtr<IEnumMediaTypes> clone;
    ASSERT_EQ(types->Clone(clone.GetAddressOf()), S_OK);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_FALSE);

    const CMediaType pcm = MakePcmType();
    EXPECT_EQ(pin->QueryAccept(&pcm), S_OK);
    CMediaType video(MEDIATYPE_Video);
    EXPECT_EQ(pin->QueryAccept(&video), S_FALSE);
    IPin *peer = reinterpret_cast<IPin *>(1);
    EXPECT_EQ(pin->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(peer, nullptr);
    AM_MEDIA_TYPE none{};
    EXPECT_EQ(pin->ConnectionMediaType(&none), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(pin->Disconnect(), S_FALSE);
    types.Reset();
    clone.Reset();
    pin.Reset();
    EXPECT_EQ(source.Detach()->Release(), 0u);
}

TEST(DShowEnumerators, TransformOutputOffersTypesOnlyOnceTheInputIsConnected)
{
    ComScope com;
    ComPtr<TestCopyTransform> transform = tx::MakeComObject<TestCopyTransform>();
    ComPtr<IPin> output = FindPin(transform.Get(), L"Out");
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(output->EnumMediaTypes(types.GetAddressOf()), S_OK);
    AM_MEDIA_TYPE *got = nullptr;
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(1, &got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    // Connecting the input changes what the output offers: the enumerator is stale.
    transform->OutputPin()->IncrementMediaTypeVersion();
    EXPECT_EQ(types->Next(1, &got, &fetched), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(types->Reset(), S_OK);
    EXPECT_EQ(types->Next(1, &got, &fetched), S_FALSE);
    types.Reset();
    output.Reset();
    EXPECT_EQ(transform.Detach()->Release(), 0u);
}

// Stop -> Pause -> Run -> Pause -> Stop, with GetState after each step.
void WalkStates(IBaseFilter *filter)
{
    const struct Step
    {
        const char *call;
        FILTER_STATE expected;
    } steps[] = {{"Pause", State_Paused}, {"Run", State_Running}, {"Pause", State_Paused}, {"Stop", State_Stopped},
                 {"Stop", State_Stopped}};
    FILTER_STATE state{};
    EXPECT_EQ(filter->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    for (const Step &step : steps)
    {
        SCOPED_TRACE(step.call);
        const std::string call = step.call;
        const HRESULT hr = call == "Pause" ? filter->Pause() : call == "Run" ? filter->Run(0) : filter->Stop();
        EXPECT_EQ(hr, S_OK);
        EXPECT_EQ(filter->GetState(0, &state), S_OK);
        EXPECT_EQ(state, step.expected);
    }
}

TEST(DShowFilters, UnconnectedStateWalk)
{
    ComScope com;
    for (FilterRow &row : OneOfEachKind())
    {
        SCOPED_TRACE(row.what);
        WalkStates(row.filter.Get());
        EXPECT_EQ(row.filter.Detach()->Release(), 0u);
    }
}

TEST(DShowFilters, FilterInfoAndClockOutsideAGraph)
{
    ComScope com;
    ComPtr<TestSink> sink = tx::MakeComObject<TestSink>();
    FILTER_INFO info{};
    ASSERT_EQ(sink->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, nullptr);
    EXPECT_STREQ(info.achName, L"");
    ComPtr<IReferenceClock> clock;
    EXPECT_EQ(sink->GetSyncSource(clock.GetAddressOf()), S_OK);
    EXPECT_FALSE(clock);
    LPWSTR vendor = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(sink->QueryVendorInfo(&vendor), E_NOTIMPL);
    EXPECT_EQ(vendor, nullptr);
    EXPECT_EQ(sink->NotifyEvent(EC_COMPLETE, S_OK, 0), E_NOTIMPL);
    EXPECT_EQ(sink.Detach()->Release(), 0u);
}

} // namespace
} // namespace tx::test

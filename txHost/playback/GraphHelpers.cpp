#include "txHost/playback/GraphHelpers.h"

#include "comkit/ComPtr.h"
#include "dshowbase/MediaType.h"

#include <amvideo.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

namespace tx::playback
{

namespace
{

// A pin's enumerator that never ends (a faulty filter) must not hang the builder.
constexpr ULONG kMaxTypesWalked = 4096;
constexpr ULONG kMaxPinsWalked = 1024;

// AvgTimePerFrame sits at the same place in all four video format blocks (after the
// two rectangles and the two rates of VIDEOINFOHEADER, which the others begin like).
constexpr size_t kAvgTimePerFrameOffset = offsetof(VIDEOINFOHEADER, AvgTimePerFrame);

// Calls visit for each offered type, in order, until it returns false. Every type is
// freed after the call. Returns the result of EnumMediaTypes.
template <class Visit> HRESULT ForEachMediaType(IPin *pin, Visit &&visit)
{
    if (!pin)
        return E_POINTER;
    tx::ComPtr<IEnumMediaTypes> types;
    const HRESULT hr = pin->EnumMediaTypes(types.GetAddressOf());
    if (FAILED(hr))
        return hr;
    if (!types)
        return E_POINTER;
    for (ULONG walked = 0; walked < kMaxTypesWalked; ++walked)
    {
        AM_MEDIA_TYPE *type = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &type, &fetched) != S_OK || fetched != 1 || !type)
        {
            tx::dshow::DeleteMediaType(type);
            break;
        }
        const bool more = visit(*type);
        tx::dshow::DeleteMediaType(type);
        if (!more)
            break;
    }
    return S_OK;
}

bool IsVideoFormatWithDuration(const AM_MEDIA_TYPE &type)
{
    return (type.formattype == FORMAT_VideoInfo || type.formattype == FORMAT_VideoInfo2 ||
            type.formattype == FORMAT_MPEGVideo || type.formattype == FORMAT_MPEG2Video) &&
           type.pbFormat && type.cbFormat >= kAvgTimePerFrameOffset + sizeof(LONGLONG);
}

// Calls visit for each pin of the filter with its direction until it returns false.
template <class Visit> void ForEachPin(IGraphLog *log, IBaseFilter *filter, Visit &&visit)
{
    tx::ComPtr<IEnumPins> pins;
    HRESULT hr = filter ? filter->EnumPins(pins.GetAddressOf()) : E_POINTER;
    if (SUCCEEDED(hr) && !pins)
        hr = E_POINTER;
    if (FAILED(hr))
    {
        LogIfFailed(log, hr, L"Failed to enum pins");
        return;
    }
    for (ULONG walked = 0; walked < kMaxPinsWalked; ++walked)
    {
        tx::ComPtr<IPin> pin;
        ULONG fetched = 0;
        if (pins->Next(1, pin.GetAddressOf(), &fetched) != S_OK || fetched != 1 || !pin)
            break;
        PIN_INFO info{};
        if (FAILED(pin->QueryPinInfo(&info)))
            continue;
        if (info.pFilter)
            info.pFilter->Release();
        if (!visit(pin.Get(), info.dir))
            break;
    }
}

// Hands pin out through out unless out is null or already holds a pin.
void HandOut(IPin *pin, IPin **out)
{
    if (!out || *out)
        return;
    pin->AddRef();
    *out = pin;
}

} // namespace

PinMediaKind GetPinMediaKind(IPin *pin) noexcept
{
    PinMediaKind kind = PIN_KIND_OTHER;
    ForEachMediaType(pin, [&](const AM_MEDIA_TYPE &type) {
        if (type.majortype == MEDIATYPE_Audio)
            kind = PIN_KIND_AUDIO;
        else if (type.majortype == MEDIATYPE_Video)
            kind = PIN_KIND_VIDEO;
        else if (type.majortype == MEDIATYPE_Text)
            kind = PIN_KIND_TEXT;
        else if (type.majortype == MEDIATYPE_Subtitle)
            kind = PIN_KIND_SUBTITLE;
        return false; // the first type decides
    });
    return kind;
}

bool PinOffersMp3Audio(IGraphLog *log, IPin *pin) noexcept
{
    bool mp3 = false;
    const HRESULT hr = ForEachMediaType(pin, [&](const AM_MEDIA_TYPE &type) {
        mp3 = type.majortype == MEDIATYPE_Audio && type.subtype == MEDIASUBTYPE_Mp3;
        return !mp3;
    });
    LogIfFailed(log, hr, L"Failed to enumerate media types from audio pin");
    return mp3;
}

void ClassifyAudioPin(IGraphLog *log, IPin *pin, BOOL *mp3, BOOL *vorbis) noexcept
{
    const HRESULT hr = ForEachMediaType(pin, [&](const AM_MEDIA_TYPE &type) {
        if (type.majortype == MEDIATYPE_Audio)
        {
            if (type.subtype == MEDIASUBTYPE_Mp3 && mp3)
                *mp3 = TRUE;
            else if (type.subtype == MEDIASUBTYPE_Vorbis && vorbis)
                *vorbis = TRUE;
        }
        return true;
    });
    LogIfFailed(log, hr, L"Failed to enumerate media types from audio pin");
}

LONGLONG GetPinFrameDuration(IGraphLog *log, IPin *pin) noexcept
{
    LONGLONG duration = kDefaultFrameDuration;
    const HRESULT hr = ForEachMediaType(pin, [&](const AM_MEDIA_TYPE &type) {
        if (!IsVideoFormatWithDuration(type))
            return true;
        std::memcpy(&duration, type.pbFormat + kAvgTimePerFrameOffset, sizeof(duration));
        return false;
    });
    LogIfFailed(log, hr, L"Failed to enumerate media types from pin");
    return duration;
}

HRESULT FindFiltersForTypes(IGraphLog *, const MediaTypePair *pairs, DWORD count, IEnumMoniker **filters) noexcept
{
    if (!filters)
        return E_POINTER;
    *filters = nullptr;
    if (!pairs && count)
        return E_POINTER;
    tx::ComPtr<IFilterMapper2> mapper;
    HRESULT hr = ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                    reinterpret_cast<void **>(mapper.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    tx::ComPtr<IEnumMoniker> found;
    hr = mapper->EnumMatchingFilters(found.GetAddressOf(), 0, TRUE, MERIT_NORMAL, TRUE, count,
                                     reinterpret_cast<const GUID *>(pairs), nullptr, nullptr, FALSE, TRUE, 0, nullptr,
                                     nullptr, nullptr);
    if (SUCCEEDED(hr))
        *filters = found.Detach();
    return hr;
}

HRESULT FindFiltersForPin(IGraphLog *log, IPin *pin, IEnumMoniker **filters) noexcept
{
    if (!filters)
        return E_POINTER;
    *filters = nullptr;
    ULONG count = 0;
    HRESULT hr = ForEachMediaType(pin, [&](const AM_MEDIA_TYPE &) {
        ++count;
        return true;
    });
    if (FAILED(hr))
        return LogIfFailed(log, hr, L"Failed to enumerate media types input pin");

    std::vector<MediaTypePair> pairs;
    try
    {
        pairs.reserve(count);
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
    // The second walk may see more types than the first counted (a pin whose types
    // changed meanwhile): the list is bounded by that count.
    hr = ForEachMediaType(pin, [&](const AM_MEDIA_TYPE &type) {
        if (pairs.size() >= count)
            return false;
        pairs.push_back(MediaTypePair{type.majortype, type.subtype});
        return true;
    });
    if (FAILED(hr))
        return LogIfFailed(log, hr, L"Failed to enumerate media types input pin");
    if (pairs.empty())
        return S_OK;
    return FindFiltersForTypes(log, pairs.data(), static_cast<DWORD>(pairs.size()), filters);
}

HRESULT FindFreeInputPin(IGraphLog *log, IBaseFilter *filter, IPin **input) noexcept
{
    ForEachPin(log, filter, [&](IPin *pin, PIN_DIRECTION direction) {
        if (direction != PINDIR_INPUT)
            return true;
        tx::ComPtr<IPin> peer;
        if (pin->ConnectedTo(peer.GetAddressOf()) != VFW_E_NOT_CONNECTED)
            return true;
        HandOut(pin, input);
        return false;
    });
    return S_OK;
}

HRESULT FindMediaOutputPins(IGraphLog *log, IBaseFilter *filter, IPin **video, IPin **audio) noexcept
{
    ForEachPin(log, filter, [&](IPin *pin, PIN_DIRECTION direction) {
        if (direction != PINDIR_OUTPUT)
            return true;
        const PinMediaKind kind = GetPinMediaKind(pin);
        if (kind == PIN_KIND_AUDIO)
            HandOut(pin, audio);
        else if (kind == PIN_KIND_VIDEO)
            HandOut(pin, video);
        return true;
    });
    return S_OK;
}

HRESULT FindFirstPins(IGraphLog *log, IBaseFilter *filter, IPin **input, IPin **output) noexcept
{
    bool foundInput = false;
    bool foundOutput = false;
    ForEachPin(log, filter, [&](IPin *pin, PIN_DIRECTION direction) {
        if (direction == PINDIR_INPUT && !foundInput)
        {
            foundInput = true;
            HandOut(pin, input);
        }
        else if (direction == PINDIR_OUTPUT && !foundOutput)
        {
            foundOutput = true;
            HandOut(pin, output);
        }
        return !(foundInput && foundOutput);
    });
    return foundInput && foundOutput ? S_OK : E_FAIL;
}

} // namespace tx::playback

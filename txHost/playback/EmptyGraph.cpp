#include "txHost/playback/EmptyGraph.h"
#include "txHost/playback/DecoderCard.h"

#include "comkit/ComPtr.h"

#include <control.h>

namespace tx::playback
{

namespace
{
// A graph cannot hold more filters than this; a graph that keeps refusing or
// re-adding filters must not keep the walk going for ever.
constexpr ULONG kMaxWalkSteps = 4096;

tx::ComPtr<IUnknown> Identity(IUnknown *object)
{
    tx::ComPtr<IUnknown> identity;
    if (object)
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(identity.GetAddressOf()));
    return identity;
}
} // namespace

void EmptyGraph(IGraphBuilder *graph, IBaseFilter *decoder, bool releaseAll) noexcept
{
    if (!graph)
        return;
    tx::ComPtr<IMediaControl> control;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(control.GetAddressOf()))) &&
        control)
        control->Stop();

    if (decoder)
    {
        for (const wchar_t *id : {kDecoderAudioIn, kDecoderVideoIn})
        {
            tx::ComPtr<IPin> pin;
            if (SUCCEEDED(decoder->FindPin(id, pin.GetAddressOf())) && pin)
            {
                // Only this end: the graph clears the peer when it removes its filter.
                pin->Disconnect();
                pin->EndOfStream();
            }
        }
    }

    const tx::ComPtr<IUnknown> keep = releaseAll ? tx::ComPtr<IUnknown>() : Identity(decoder);
    tx::ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.GetAddressOf())) || !filters)
        return;
    for (ULONG step = 0; step < kMaxWalkSteps; ++step)
    {
        tx::ComPtr<IBaseFilter> filter;
        ULONG fetched = 0;
        if (filters->Next(1, filter.GetAddressOf(), &fetched) != S_OK || fetched != 1 || !filter)
            break;
        if (keep && Identity(filter.Get()).Get() == keep.Get())
            continue;
        if (SUCCEEDED(graph->RemoveFilter(filter.Get())))
            filters->Reset(); // removal invalidates the enumeration: walk again
    }
}

} // namespace tx::playback

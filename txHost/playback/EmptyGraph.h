#pragma once
// Taking a play's graph apart before the next play.
#include <strmif.h>

namespace tx::playback
{

// Stops the graph, disconnects the decoder's "Audio In" and "Video In" (and ends their
// streams), and removes every filter but the decoder (releaseAll false; the decoder
// is recognised by COM identity) or every filter at all (releaseAll true). A filter
// that refuses removal stays. Nothing happens without a graph; decoder may be null.
// Nothing is reported. UI thread.
void EmptyGraph(IGraphBuilder *graph, IBaseFilter *decoder, bool releaseAll) noexcept;

} // namespace tx::playback

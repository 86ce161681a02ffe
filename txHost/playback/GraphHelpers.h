#pragma once
// Small stateless helpers that the graph builders share: classifying pins by the
// media types they offer, finding pins of a filter by direction and kind, finding
// registered filters that accept a pin's types, and a video pin's frame duration.
//
// Pins are found by enumeration and QueryPinInfo; pins by id are found with
// IBaseFilter::FindPin by the callers. Every pin handed out carries a reference the
// caller releases; an out parameter that already holds a pin is left as it is, and a
// null out parameter is skipped. Failures are reported to the log (may be null).
// Call on the thread that builds the graph.
#include "txHost/playback/GraphLog.h"

#include <strmif.h>

namespace tx::playback
{

// Kind of a pin by the major type of the first media type it offers.
enum PinMediaKind : int
{
    PIN_KIND_OTHER = 0, // anything else, or no type offered
    PIN_KIND_AUDIO = 1,
    PIN_KIND_VIDEO = 2,
    PIN_KIND_TEXT = 3,
    PIN_KIND_SUBTITLE = 4,
};

// The subtitle major type {e487eb08-6b26-4be9-9dd3-993434d313fd} and the Vorbis
// audio subtype {cddca2d5-6d75-4f98-840e-737bedd5c63b}.
inline constexpr GUID MEDIATYPE_Subtitle = {
    0xe487eb08, 0x6b26, 0x4be9, {0x9d, 0xd3, 0x99, 0x34, 0x34, 0xd3, 0x13, 0xfd}};
inline constexpr GUID MEDIASUBTYPE_Vorbis = {
    0xcddca2d5, 0x6d75, 0x4f98, {0x84, 0x0e, 0x73, 0x7b, 0xed, 0xd5, 0xc6, 0x3b}};
inline constexpr GUID MEDIASUBTYPE_Mp3 = {0x00000055, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Frame duration used when a pin tells none: one frame at about 23.976 frames/s.
inline constexpr LONGLONG kDefaultFrameDuration = 417188;

// A {major type, subtype} pair of the registered-filter search.
struct MediaTypePair
{
    GUID majorType;
    GUID subtype;
};
static_assert(sizeof(MediaTypePair) == 32);

// Kind of the pin's first offered type (only that one type is looked at).
PinMediaKind GetPinMediaKind(IPin *pin) noexcept;

// True when any offered type is audio with the MP3 subtype.
bool PinOffersMp3Audio(IGraphLog *log, IPin *pin) noexcept;

// Sets *mp3 when an offered type is audio/MP3 and *vorbis when one is audio/Vorbis.
// The flags are only ever set to TRUE, never cleared; null flags are skipped.
void ClassifyAudioPin(IGraphLog *log, IPin *pin, BOOL *mp3, BOOL *vorbis) noexcept;

// AvgTimePerFrame of the first offered type with a VIDEOINFOHEADER, VIDEOINFOHEADER2,
// MPEG1VIDEOINFO or MPEG2VIDEOINFO format block; kDefaultFrameDuration when none.
LONGLONG GetPinFrameDuration(IGraphLog *log, IPin *pin) noexcept;

// Registered filters (merit at least MERIT_NORMAL, with an output pin) whose input
// takes one of the pairs. *filters is null unless S_OK; the caller releases it.
HRESULT FindFiltersForTypes(IGraphLog *log, const MediaTypePair *pairs, DWORD count, IEnumMoniker **filters) noexcept;

// The same for every type the pin offers. A pin that offers no type: S_OK with
// *filters null. E_OUTOFMEMORY when the pair list cannot be allocated.
HRESULT FindFiltersForPin(IGraphLog *log, IPin *pin, IEnumMoniker **filters) noexcept;

// First input pin that is not connected. S_OK also when none was found.
HRESULT FindFreeInputPin(IGraphLog *log, IBaseFilter *filter, IPin **input) noexcept;

// First video and first audio output pin (by GetPinMediaKind). S_OK also when none.
HRESULT FindMediaOutputPins(IGraphLog *log, IBaseFilter *filter, IPin **video, IPin **audio) noexcept;

// First input and first output pin; E_FAIL unless a pin of each direction was found.
HRESULT FindFirstPins(IGraphLog *log, IBaseFilter *filter, IPin **input, IPin **output) noexcept;

} // namespace tx::playback

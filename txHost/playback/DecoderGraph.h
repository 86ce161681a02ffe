#pragma once
// The one filter graph of a play and the card's decoder filter at its end: creating
// the graph and its control interfaces, creating the decoder and adding it as
// "Osterlund Hardware Decoder", the video window with the graph's event notification
// towards the main window, and running the graph on the graph thread.
//
// The host keeps a CDecoderGraph and calls these from its play sequence; what they
// create is released by the host's stop (ReleaseGraph), not here.
#include "txHost/playback/FilterInstance.h"
#include "txHost/playback/GraphLog.h"

#include "comkit/ComPtr.h"

#include <strmif.h>
#include <control.h>

namespace tx::playback
{

// The graph's event notification message to the main window (WM_APP + 1), instance
// data 0; equal to the host's APPMSG_GRAPH_EVENT.
inline constexpr UINT kGraphEventMessage = WM_APP + 1;
// Style of the video window: a clipped child of the main window.
inline constexpr LONG kVideoWindowStyle = WS_CHILD | WS_CLIPSIBLINGS;

struct DecoderGraph
{
    tx::ComPtr<IGraphBuilder> graph;
    tx::ComPtr<IMediaControl> control;
    // Set by the play sequence for a graph that the graph thread starts; RunGraph
    // releases it. The UI thread writes it only while no graph thread runs.
    tx::ComPtr<IMediaControl> threadControl;
    tx::ComPtr<IVideoWindow> videoWindow;
    tx::ComPtr<IMediaEventEx> events;
    tx::ComPtr<IMediaSeeking> seeking;
    tx::ComPtr<IBaseFilter> decoder;
};

// Creates the graph when there is none (adding a decoder that already exists) and
// queries IMediaControl, IVideoWindow, IMediaEventEx and IMediaSeeking afresh. S_OK
// when all four were obtained, else E_FAIL. UI thread.
HRESULT CreateFilterGraph(DecoderGraph &state, IGraphLog *log) noexcept;

// Creates the decoder when there is none (through create, CreateFilterInstance by
// default) and adds it to an existing graph. The last HRESULT. UI thread.
HRESULT CreateZiduzDecoder(DecoderGraph &state, IGraphLog *log,
                           FilterInstanceFactory create = &CreateFilterInstance) noexcept;

// With video present, puts the video window into mainWindow's client area; then, when
// everything succeeded, sets mainWindow as the notify window for kGraphEventMessage.
// The last HRESULT. UI thread.
HRESULT SetUpVideoWindow(DecoderGraph &state, IGraphLog *log, HWND mainWindow, bool videoPresent) noexcept;

// Runs the graph through threadControl, logs a failure, and releases threadControl.
// The result reaches nobody else. Graph thread (or UI thread).
void RunGraph(DecoderGraph &state, IGraphLog *log) noexcept;

// What the graph thread needs; both outlive the thread.
struct GraphThreadContext
{
    DecoderGraph *state;
    IGraphLog *log;
};

// Thread routine: OleInitialize, RunGraph, OleUninitialize. parameter is a
// GraphThreadContext. Returns 0.
DWORD WINAPI GraphThreadProc(void *parameter) noexcept;

} // namespace tx::playback

#include "txHost/playback/DecoderGraph.h"
#include "txHost/playback/DecoderCard.h"

#include <ole2.h>
#include <uuids.h>

namespace tx::playback
{

namespace
{
template <class T> HRESULT Query(IUnknown *object, REFIID riid, tx::ComPtr<T> &out)
{
    out.Reset();
    return object->QueryInterface(riid, reinterpret_cast<void **>(out.GetAddressOf()));
}
} // namespace

HRESULT CreateFilterGraph(DecoderGraph &state, IGraphLog *log) noexcept
{
    if (!state.graph)
    {
        const HRESULT hr = ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                              IID_IGraphBuilder, reinterpret_cast<void **>(state.graph.GetAddressOf()));
        LogIfFailed(log, hr, L"Failed to create filter graph");
        if (SUCCEEDED(hr) && state.graph && state.decoder)
            LogIfFailed(log, state.graph->AddFilter(state.decoder.Get(), kDecoderGraphName),
                        L"Failed to add ZIduz decoder to filter graph");
    }
    // Each call refreshes the four interfaces; without a graph they are all released.
    state.control.Reset();
    state.videoWindow.Reset();
    state.events.Reset();
    state.seeking.Reset();
    if (!state.graph)
        return E_FAIL;
    const bool all = SUCCEEDED(Query(state.graph.Get(), IID_IMediaControl, state.control)) &&
                     SUCCEEDED(Query(state.graph.Get(), IID_IVideoWindow, state.videoWindow)) &&
                     SUCCEEDED(Query(state.graph.Get(), IID_IMediaEventEx, state.events)) &&
                     SUCCEEDED(Query(state.graph.Get(), IID_IMediaSeeking, state.seeking));
    return all && state.control && state.videoWindow && state.events && state.seeking ? S_OK : E_FAIL;
}

HRESULT CreateZiduzDecoder(DecoderGraph &state, IGraphLog *log, FilterInstanceFactory create) noexcept
{
    if (state.decoder)
        return S_OK;
    if (!create)
        return E_POINTER;
    HRESULT hr = create(kDecoderModule, CLSID_ZiduzDecoder, IID_IBaseFilter,
                        reinterpret_cast<void **>(state.decoder.GetAddressOf()));
    if (SUCCEEDED(hr) && !state.decoder)
        hr = E_POINTER;
    if (FAILED(hr))
    {
        state.decoder.Reset();
        return LogIfFailed(log, hr, L"Failed to CoCreate ZIduz decoder");
    }
    if (state.graph)
        hr = LogIfFailed(log, state.graph->AddFilter(state.decoder.Get(), kDecoderGraphName),
                         L"Failed to add ZIduz decoder to filter graph");
    return hr;
}

HRESULT SetUpVideoWindow(DecoderGraph &state, IGraphLog *log, HWND mainWindow, bool videoPresent) noexcept
{
    HRESULT hr = S_OK;
    if (state.videoWindow)
    {
        if (videoPresent)
        {
            IVideoWindow *window = state.videoWindow.Get();
            hr = window->put_Owner(reinterpret_cast<OAHWND>(mainWindow));
            if (SUCCEEDED(hr))
                hr = window->put_WindowStyle(kVideoWindowStyle);
            if (SUCCEEDED(hr))
            {
                RECT client{};
                if (!::GetClientRect(mainWindow, &client))
                    hr = HRESULT_FROM_WIN32(::GetLastError());
                if (SUCCEEDED(hr))
                    hr = window->SetWindowPosition(0, 0, client.right - client.left, client.bottom - client.top);
            }
        }
        LogIfFailed(log, hr, L"Failed to get video window");
    }
    if (state.events && SUCCEEDED(hr))
        hr =
            LogIfFailed(log, state.events->SetNotifyWindow(reinterpret_cast<OAHWND>(mainWindow), kGraphEventMessage, 0),
                        L"Failed to set notify window");
    return hr;
}

void RunGraph(DecoderGraph &state, IGraphLog *log) noexcept
{
    if (!state.threadControl)
        return;
    LogIfFailed(log, state.threadControl->Run(), L"Failed to run filter graph");
    state.threadControl.Reset();
}

DWORD WINAPI GraphThreadProc(void *parameter) noexcept
{
    auto *context = static_cast<GraphThreadContext *>(parameter);
    if (!context || !context->state)
        return 0;
    if (SUCCEEDED(::OleInitialize(nullptr)))
    {
        RunGraph(*context->state, context->log);
        ::OleUninitialize();
    }
    return 0;
}

} // namespace tx::playback

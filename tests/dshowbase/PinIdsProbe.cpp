// Prints the pin ids (IPin::QueryId) and names of the system's stock splitters and
// decoders, unconnected and, for the parsers, after a file source is connected to
// them, since a splitter makes its output pins only once it knows the stream.
//   txDShowPinIds [file.wav] [file.mpa] [file.avi]
#include "comkit/ComPtr.h"

#include <windows.h>
#include <dshow.h>

#include <cstdio>
#include <cwchar>

namespace
{

// Wine registers its MPEG layer-3 decoder under this class id (ACM-based MP3 decoders
// under Windows use the same one).
const CLSID kMp3Decoder = {0x38be3000, 0xdbf4, 0x11d0, {0x86, 0x0e, 0x00, 0xa0, 0x24, 0xcf, 0xef, 0x6d}};

// The documented class id of the WAVE parser, which mingw-w64's uuids.h lacks.
const CLSID kWaveParser = {0xd51bd5a1, 0x7548, 0x11cf, {0xa5, 0x20, 0x00, 0x80, 0xc7, 0x7e, 0xf5, 0x8a}};

void PrintPins(IBaseFilter *filter)
{
    tx::ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.GetAddressOf())))
        return;
    IPin *pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK)
    {
        LPWSTR id = nullptr;
        PIN_INFO info{};
        pin->QueryId(&id);
        pin->QueryPinInfo(&info);
        if (info.pFilter)
            info.pFilter->Release();
        std::wprintf(L"    %ls pin: id \"%ls\", name \"%ls\"\n", info.dir == PINDIR_INPUT ? L"input" : L"output",
                     id ? id : L"?", info.achName);
        ::CoTaskMemFree(id);
        pin->Release();
    }
}

tx::ComPtr<IBaseFilter> Create(const CLSID &clsid, const wchar_t *what)
{
    tx::ComPtr<IBaseFilter> filter;
    const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                          reinterpret_cast<void **>(filter.GetAddressOf()));
    std::wprintf(L"%ls: %ls (0x%08lX)\n", what, SUCCEEDED(hr) ? L"created" : L"not created",
                 static_cast<unsigned long>(hr));
    return filter;
}

void ProbeWithFile(const CLSID &clsid, const wchar_t *what, const wchar_t *file)
{
    tx::ComPtr<IGraphBuilder> graph;
    if (FAILED(::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void **>(graph.GetAddressOf()))))
        return;
    tx::ComPtr<IBaseFilter> reader = Create(CLSID_AsyncReader, L"  file source");
    tx::ComPtr<IBaseFilter> parser = Create(clsid, what);
    tx::ComPtr<IFileSourceFilter> load;
    if (!reader || !parser || FAILED(reader.As(&load)) || FAILED(load->Load(file, nullptr)))
        return;
    graph->AddFilter(reader.Get(), L"file");
    graph->AddFilter(parser.Get(), L"parser");
    tx::ComPtr<IPin> output;
    tx::ComPtr<IPin> input;
    reader->FindPin(L"Output", output.GetAddressOf());
    tx::ComPtr<IEnumPins> pins;
    parser->EnumPins(pins.GetAddressOf());
    pins->Next(1, input.GetAddressOf(), nullptr);
    const HRESULT hr = output && input ? graph->ConnectDirect(output.Get(), input.Get(), nullptr) : E_FAIL;
    std::wprintf(L"  connected to %ls: 0x%08lX\n", file, static_cast<unsigned long>(hr));
    PrintPins(parser.Get());
    graph->RemoveFilter(parser.Get());
    graph->RemoveFilter(reader.Get());
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        struct
        {
            const CLSID *clsid;
            const wchar_t *what;
            int fileArgument;
        } filters[] = {
            {&CLSID_MPEG1Splitter, L"MPEG-1 splitter (CLSID_MPEG1Splitter)", 2},
            {&CLSID_AviSplitter, L"AVI splitter (CLSID_AviSplitter)", 3},
            {&kWaveParser, L"WAVE parser (CLSID_WAVEParser)", 1},
            {&CLSID_CMpegAudioCodec, L"MPEG audio decoder (CLSID_CMpegAudioCodec)", 0},
            {&kMp3Decoder, L"MPEG layer-3 decoder {38BE3000-DBF4-11D0-860E-00A024CFEF6D}", 0},
            {&CLSID_ACMWrapper, L"ACM wrapper (CLSID_ACMWrapper)", 0},
        };
        for (const auto &f : filters)
        {
            tx::ComPtr<IBaseFilter> filter = Create(*f.clsid, f.what);
            if (filter)
                PrintPins(filter.Get());
            filter.Reset();
            if (f.fileArgument > 0 && f.fileArgument < argc)
                ProbeWithFile(*f.clsid, f.what, argv[f.fileArgument]);
        }
    }
    ::CoUninitialize();
    return 0;
}

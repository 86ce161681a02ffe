#pragma once
// Helpers of the playback tests: a filter whose pins offer given media types (for the
// graph helpers and for feeding the simulated decoder by hand), a recording log, and
// media types.
#include "dshowbase/BasePin.h"
#include "txHost/playback/GraphLog.h"

#include "comkit/ComPtr.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tx::test
{

class RecordingLog final : public tx::playback::IGraphLog
{
  public:
    void LogHResult(HRESULT hr, const wchar_t *message) noexcept override
    {
        lines.emplace_back(message ? message : L"", hr);
    }
    bool Has(const wchar_t *message) const
    {
        for (const auto &line : lines)
            if (line.first == message)
                return true;
        return false;
    }
    std::vector<std::pair<std::wstring, HRESULT>> lines;
};

dshow::CMediaType MakeType(const GUID &major, const GUID &subtype, const GUID &format = GUID_NULL,
                           ULONG formatSize = 0);
// A PCM type with its WAVEFORMATEX (bits 16 unless given).
dshow::CMediaType MakePcm(WORD channels, DWORD rate, WORD bits = 16);
// A video type with a VIDEOINFOHEADER-like block (any of the four video formats)
// whose AvgTimePerFrame is frameTime.
dshow::CMediaType MakeVideo(const GUID &subtype, const GUID &format, LONGLONG frameTime, LONG width = 720,
                            LONG height = 480);
// A FOURCC subtype from four characters.
GUID FourccSubtype(const char (&fourcc)[5]);

class TestPinFilter;

// A pin offering fixed types; an input takes any type unless told otherwise.
class TestPin final : public dshow::CBasePin
{
  public:
    TestPin(TestPinFilter *filter, const wchar_t *id, PIN_DIRECTION direction, std::vector<dshow::CMediaType> types);
    STDMETHODIMP BeginFlush() override
    {
        return S_OK;
    }
    STDMETHODIMP EndFlush() override
    {
        return S_OK;
    }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes **types) override;
    HRESULT CheckMediaType(const dshow::CMediaType &type) override;
    HRESULT GetMediaType(int position, dshow::CMediaType *type) override;

    bool failEnumeration = false;
    // Types the pin offers from its second enumeration on (a pin whose types grow).
    std::vector<dshow::CMediaType> laterTypes;

  private:
    std::vector<dshow::CMediaType> m_types;
    int m_enumerations = 0;
};

class TestPinFilter final : public dshow::CBaseFilter
{
  public:
    TestPinFilter() noexcept : CBaseFilter(L"test pins", CLSID_NULL)
    {
    }
    TestPin *Add(const wchar_t *id, PIN_DIRECTION direction, std::vector<dshow::CMediaType> types = {});
    int GetPinCount() override
    {
        return static_cast<int>(m_pins.size());
    }
    dshow::CBasePin *GetPin(int index) override
    {
        return index >= 0 && index < GetPinCount() ? m_pins[index].get() : nullptr;
    }

  private:
    std::vector<std::unique_ptr<TestPin>> m_pins;
};

inline tx::ComPtr<TestPinFilter> MakeTestPinFilter()
{
    tx::ComPtr<TestPinFilter> filter;
    filter.Attach(new TestPinFilter());
    return filter;
}

inline ULONG RefCountOf(IUnknown *object)
{
    object->AddRef();
    return object->Release();
}

} // namespace tx::test

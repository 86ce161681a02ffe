#include "tests/playback/PlaybackTestSupport.h"

#include "dshowbase/EnumMediaTypes.h"

#include <mmreg.h>
#include <uuids.h>

#include <amvideo.h>

#include <cstddef>
#include <cstring>

namespace tx::test
{

dshow::CMediaType MakeType(const GUID &major, const GUID &subtype, const GUID &format, ULONG formatSize)
{
    dshow::CMediaType type(major);
    type.SetSubtype(subtype);
    type.SetFormatType(format);
    if (formatSize)
        type.AllocFormatBuffer(formatSize);
    return type;
}

dshow::CMediaType MakePcm(WORD channels, DWORD rate, WORD bits)
{
    dshow::CMediaType type(MEDIATYPE_Audio);
    type.SetSubtype(MEDIASUBTYPE_PCM);
    type.SetFormatType(FORMAT_WaveFormatEx);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    type.SetFormat(&format, sizeof(format));
    type.SetSampleSize(format.nBlockAlign);
    return type;
}

dshow::CMediaType MakeVideo(const GUID &subtype, const GUID &format, LONGLONG frameTime, LONG width, LONG height)
{
    dshow::CMediaType type(MEDIATYPE_Video);
    type.SetSubtype(subtype);
    type.SetFormatType(format);
    // Large enough for any of the four headers; AvgTimePerFrame sits at the same place
    // in all of them.
    BYTE *block = type.AllocFormatBuffer(256);
    std::memcpy(block + offsetof(VIDEOINFOHEADER, AvgTimePerFrame), &frameTime, sizeof(frameTime));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    const size_t headerOffset = (format == FORMAT_VideoInfo2 || format == FORMAT_MPEG2Video) ? 72 : 48;
    std::memcpy(block + headerOffset, &header, sizeof(header));
    return type;
}

GUID FourccSubtype(const char (&fourcc)[5])
{
    GUID guid = {0, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    guid.Data1 = static_cast<DWORD>(static_cast<unsigned char>(fourcc[0])) |
                 (static_cast<DWORD>(static_cast<unsigned char>(fourcc[1])) << 8) |
                 (static_cast<DWORD>(static_cast<unsigned char>(fourcc[2])) << 16) |
                 (static_cast<DWORD>(static_cast<unsigned char>(fourcc[3])) << 24);
    return guid;
}

TestPin::TestPin(TestPinFilter *filter, const wchar_t *id, PIN_DIRECTION direction,
                 std::vector<dshow::CMediaType> types)
    : CBasePin(filter, id, id, direction), m_types(std::move(types))
{
}

STDMETHODIMP TestPin::EnumMediaTypes(IEnumMediaTypes **types)
{
    if (failEnumeration)
        return E_UNEXPECTED;
    ++m_enumerations;
    return CBasePin::EnumMediaTypes(types);
}

HRESULT TestPin::CheckMediaType(const dshow::CMediaType &type)
{
    if (Direction() == PINDIR_INPUT || m_types.empty())
        return S_OK;
    for (const auto &own : m_types)
        if (own == type)
            return S_OK;
    return S_FALSE;
}

HRESULT TestPin::GetMediaType(int position, dshow::CMediaType *type)
{
    if (position < 0)
        return E_INVALIDARG;
    if (static_cast<size_t>(position) < m_types.size())
        return type->Set(m_types[position]);
    const size_t later = static_cast<size_t>(position) - m_types.size();
    if (m_enumerations > 1 && later < laterTypes.size())
        return type->Set(laterTypes[later]);
    return VFW_S_NO_MORE_ITEMS;
}

TestPin *TestPinFilter::Add(const wchar_t *id, PIN_DIRECTION direction, std::vector<dshow::CMediaType> types)
{
    m_pins.push_back(std::make_unique<TestPin>(this, id, direction, std::move(types)));
    IncrementPinVersion();
    return m_pins.back().get();
}

} // namespace tx::test

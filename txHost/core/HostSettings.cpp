#include "txHost/core/HostSettings.h"

#include <shlwapi.h>

#include <cwchar>
#include <iterator>

namespace tx::host
{

HostGlobals g_hostGlobals;

namespace
{

enum class Kind
{
    Number, // REG_DWORD into a LONG
    Real,   // REG_SZ of at most 100 characters parsed with "%lf" into a double
    Path,   // REG_SZ of at most 260 characters into a string, one trailing backslash removed
};

struct Setting
{
    const wchar_t *name;
    Kind kind;
    LONG numberDefault;
    const wchar_t *textDefault;
    // Stored numbers outside [minimum, maximum] keep the default (for values used as indexes).
    LONG minimum;
    LONG maximum;
    void *(*field)(HostSettings &);
};

constexpr LONG kAny = 0;

#define TX_NUMBER(name, def, member)                                                                                \
    {                                                                                                               \
        L##name, Kind::Number, def, nullptr, kAny, kAny, [](HostSettings &s) -> void * { return &s.member; }         \
    }
#define TX_RANGED(name, def, lo, hi, member)                                                                        \
    {                                                                                                               \
        L##name, Kind::Number, def, nullptr, lo, hi, [](HostSettings &s) -> void * { return &s.member; }             \
    }
#define TX_REAL(name, def, member)                                                                                  \
    {                                                                                                               \
        L##name, Kind::Real, 0, L##def, kAny, kAny, [](HostSettings &s) -> void * { return &s.member; }              \
    }
#define TX_PATH(name, member)                                                                                       \
    {                                                                                                               \
        L##name, Kind::Path, 0, L"", kAny, kAny, [](HostSettings &s) -> void * { return &s.member; }                 \
    }
#define TX_OVERSCAN(output, outputName, side, sideName)                                                             \
    {                                                                                                               \
        L"Overscan" L##outputName L##sideName, Kind::Number, 0, nullptr, kAny, kAny,                                \
            [](HostSettings &s) -> void * { return &s.overscan[output][side]; }                                     \
    }
#define TX_OVERSCAN_OUTPUT(output, outputName)                                                                      \
    TX_OVERSCAN(output, outputName, 0, "Left"), TX_OVERSCAN(output, outputName, 1, "Right"),                        \
        TX_OVERSCAN(output, outputName, 2, "Top"), TX_OVERSCAN(output, outputName, 3, "Bottom")

// The values the host object reads at construction, in reading order. SlideShowDelay is
// read here as stored; ReadHostSettings derives the wait from it.
const Setting kSettings[] = {
    TX_NUMBER("SlideShowDelay", 4, slideShowWait),
    TX_NUMBER("Subtitle", 0, subtitle),
    TX_NUMBER("AVIDecode", 0, aviDecode),
    TX_NUMBER("OSDTimeOut", 15, osdTimeOut),
    TX_NUMBER("FFTime", 10, ffTime),
    TX_NUMBER("REWTime", 10, rewTime),
    TX_NUMBER("NEXTTime", 60, nextTime),
    TX_NUMBER("PREVTime", 60, prevTime),
    TX_NUMBER("OverrideNEXTPREV", 0, overrideNextPrev),
    TX_NUMBER("PVRBuffer", 3, pvrBuffer),
    TX_NUMBER("Volume", -300, volume),
    TX_NUMBER("Brightness", 500, brightness),
    TX_NUMBER("Contrast", 500, contrast),
    TX_NUMBER("Saturation", 500, saturation),
    // "Log" is read by the host log when it opens its file.
    TX_NUMBER("MediasXMLOnly", 0, mediasXmlOnly),
    TX_NUMBER("NoExtCollection", 0, noExtCollection),
    TX_RANGED("OutputMode", 0, 0, kOutputCount - 1, outputMode),
    TX_NUMBER("AntiflickerOverride", 0, antiflickerOverride),
    TX_NUMBER("TVAspect", 0, tvAspect),
    TX_NUMBER("AvoidVerticalScale", 0, avoidVerticalScale),
    TX_NUMBER("SourceAspect", 0, sourceAspect),
    TX_NUMBER("SubtitleFPSType", 0, subtitleFpsType),
    TX_NUMBER("UseKeyMouse", 0, useKeyMouse),
    TX_NUMBER("PreservePALOSD", 0, preservePalOsd),
    TX_NUMBER("NoBackground", 0, noBackground),
    TX_NUMBER("FastPicture", 0, fastPicture),
    TX_REAL("CustomAspect", "1.00", customAspect),
    TX_REAL("DefinedAspect", "1.00", definedAspect),
    TX_REAL("SubtitleFPS", "23.97", subtitleFps),
    TX_REAL("CustomSubtitleFPS", "23.97", customSubtitleFps),
    TX_OVERSCAN_OUTPUT(0, "Composite"),
    TX_OVERSCAN_OUTPUT(1, "ComponentYUV"),
    TX_OVERSCAN_OUTPUT(2, "ComponentRGB"),
    TX_OVERSCAN_OUTPUT(3, "ScartRGB"),
    TX_OVERSCAN_OUTPUT(4, "VGA"),
    TX_RANGED("AudioMode", 0, 0, 2, audioMode),
    TX_NUMBER("Pre2Driver", 0, pre2Driver),
    TX_NUMBER("SyncVBR", 0, syncVbr),
    TX_NUMBER("ContinuePlay", 0, continuePlay),
    TX_NUMBER("DisableAutoPlay", 0, disableAutoPlay),
    TX_NUMBER("DisablePicturePreview", 0, disablePicturePreview),
    TX_NUMBER("AutoFreq", 0, autoFreq),
    TX_PATH("ImageRoot", imageRoot),
    TX_PATH("DVDImageRoot", dvdImageRoot),
    TX_PATH("DVDCollectionXML", dvdCollectionXml),
    TX_NUMBER("ChannelAliasing", 0, channelAliasing),
    TX_NUMBER("CleanPause", 0, cleanPause),
};

#undef TX_NUMBER
#undef TX_RANGED
#undef TX_REAL
#undef TX_PATH
#undef TX_OVERSCAN
#undef TX_OVERSCAN_OUTPUT

void ReadSetting(const Setting &setting, HostSettings &settings)
{
    void *field = setting.field(settings);
    switch (setting.kind)
    {
    case Kind::Number: {
        DWORD value = 0;
        ReadHostDword(setting.name, static_cast<DWORD>(setting.numberDefault), &value);
        LONG number = static_cast<LONG>(value);
        if (setting.minimum != setting.maximum && (number < setting.minimum || number > setting.maximum))
            number = setting.numberDefault;
        *static_cast<LONG *>(field) = number;
        break;
    }
    case Kind::Real: {
        double value = 0.0;
        ParseHostReal(setting.textDefault, &value);
        wchar_t text[kNumberTextChars];
        ::wcscpy_s(text, setting.textDefault);
        if (ReadHostString(setting.name, text, kNumberTextChars))
            ParseHostReal(text, &value);
        *static_cast<double *>(field) = value;
        break;
    }
    case Kind::Path: {
        wchar_t text[kPathChars] = L"";
        ReadHostString(setting.name, text, kPathChars);
        auto &path = *static_cast<std::wstring *>(field);
        path = text;
        RemoveTrailingBackslash(path);
        break;
    }
    }
}

} // namespace

void ReadHostDword(const wchar_t *name, DWORD defaultValue, DWORD *value) noexcept
{
    *value = defaultValue;
    DWORD type = REG_NONE;
    DWORD stored = 0;
    DWORD bytes = sizeof(stored);
    const LSTATUS status = ::SHRegGetUSValueW(kHostKey, name, &type, &stored, &bytes, FALSE, nullptr, 0);
    // Only a real number is taken: four bytes of a text are not a setting.
    if (status == ERROR_SUCCESS && type == REG_DWORD && bytes == sizeof(stored))
        *value = stored;
}

DWORD ReadHostDword(const wchar_t *name, DWORD defaultValue) noexcept
{
    DWORD value = 0;
    ReadHostDword(name, defaultValue, &value);
    return value;
}

bool ReadHostString(const wchar_t *name, wchar_t *buffer, DWORD chars) noexcept
{
    if (!buffer || chars == 0)
        return false;
    buffer[chars - 1] = L'\0';
    // Read aside, so a failed or partial read leaves the caller's default intact.
    wchar_t text[1024];
    if (chars > std::size(text))
        chars = static_cast<DWORD>(std::size(text));
    DWORD type = REG_NONE;
    DWORD bytes = chars * sizeof(wchar_t);
    const LSTATUS status = ::SHRegGetUSValueW(kHostKey, name, &type, text, &bytes, FALSE, nullptr, 0);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return false;
    DWORD length = bytes / sizeof(wchar_t);
    if (length > 0 && text[length - 1] == L'\0')
        --length;
    if (length >= chars) // no room for the terminating zero
        return false;
    text[length] = L'\0';
    // A stored text may carry its own zero earlier; stop there as a reader would.
    ::wcscpy_s(buffer, chars, text);
    return true;
}

// Written straight into the current user's key (creating it when missing), which is what
// the shell's forced-user write does; Wine's shell functions do not create the key.
void WriteHostDword(const wchar_t *name, DWORD value) noexcept
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kHostKey, name, REG_DWORD, &value, sizeof(value));
}

void WriteHostString(const wchar_t *name, const wchar_t *value) noexcept
{
    const wchar_t *text = value ? value : L"";
    const DWORD bytes = static_cast<DWORD>((::wcslen(text) + 1) * sizeof(wchar_t));
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kHostKey, name, REG_SZ, text, bytes);
}

void WriteHostReal(const wchar_t *name, double value, const wchar_t *format) noexcept
{
    wchar_t text[kNumberTextChars];
    if (::swprintf(text, std::size(text), format, value) < 0)
        return;
    WriteHostString(name, text);
}

bool ParseHostReal(const wchar_t *text, double *value) noexcept
{
    double parsed = 0.0;
    if (!text || ::swscanf(text, L"%lf", &parsed) != 1)
        return false;
    *value = parsed;
    return true;
}

void RemoveTrailingBackslash(std::wstring &path)
{
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
}

void ReadHostSettings(HostSettings &settings)
{
    for (const Setting &setting : kSettings)
        ReadSetting(setting, settings);
    // The stored delay counts from the start of a picture's transition; the wait after
    // the picture is shown is two seconds shorter, and at least one.
    settings.slideShowWait = settings.slideShowWait <= 2 ? 1 : settings.slideShowWait - 2;
}

void PublishHostGlobals(const HostSettings &settings)
{
    g_hostGlobals.antiflickerOverride = settings.antiflickerOverride;
    g_hostGlobals.noBackground = settings.noBackground;
    g_hostGlobals.fastPicture = settings.fastPicture;
    g_hostGlobals.pre2Driver = settings.pre2Driver;
    g_hostGlobals.syncVbr = settings.syncVbr;
    g_hostGlobals.disablePicturePreview = settings.disablePicturePreview;
    g_hostGlobals.imageRoot = settings.imageRoot;
    g_hostGlobals.dvdImageRoot = settings.dvdImageRoot;
    g_hostGlobals.dvdCollectionXml = settings.dvdCollectionXml;
}

} // namespace tx::host

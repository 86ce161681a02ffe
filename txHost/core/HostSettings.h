#pragma once
// The host's settings store: named values under one registry key, a user-wide value
// over a machine-wide one over the built-in default. Every value the host object reads
// at construction is declared once, in the table of HostSettings.cpp.
#include <windows.h>

#include <string>

namespace tx::host
{

// Below HKEY_CURRENT_USER, and as the fallback below HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kHostKey[] = L"Software\\Vorn\\Tessaronix\\2.0\\TXHost";

// Sizes of the text values as the options sheet writes them (characters, with the zero).
inline constexpr DWORD kPathChars = 260;
inline constexpr DWORD kNumberTextChars = 100;

// Stores the default into *value, then the stored number when one of type REG_DWORD
// exists (user first, then machine). A value of another type or size keeps the default.
void ReadHostDword(const wchar_t *name, DWORD defaultValue, DWORD *value) noexcept;
DWORD ReadHostDword(const wchar_t *name, DWORD defaultValue) noexcept;
// Reads a REG_SZ into a buffer that the caller filled with its default; the buffer is
// left as it was when the value is missing, of another type or too long, and is always
// zero-terminated. Returns whether the stored text was taken.
bool ReadHostString(const wchar_t *name, wchar_t *buffer, DWORD chars) noexcept;
// Writes go to the current user's key only, never to the machine's. Failures are ignored.
void WriteHostDword(const wchar_t *name, DWORD value) noexcept;
void WriteHostString(const wchar_t *name, const wchar_t *value) noexcept;
// Reals are stored as text, with "%1.2lf" (aspect ratios) or "%2.2lf" (frame rates).
void WriteHostReal(const wchar_t *name, double value, const wchar_t *format) noexcept;

// Parses a real number stored as text ("%lf"); false leaves *value untouched.
bool ParseHostReal(const wchar_t *text, double *value) noexcept;
// Removes one trailing backslash ("C:\Pictures\" -> "C:\Pictures").
void RemoveTrailingBackslash(std::wstring &path);

// Outputs in the order of the OutputMode values, and the sides of a picture.
inline constexpr int kOutputCount = 5; // Composite, ComponentYUV, ComponentRGB, ScartRGB, VGA
inline constexpr int kSideCount = 4;   // Left, Right, Top, Bottom

// Every value the host object reads at construction, as kept in memory.
struct HostSettings
{
    LONG slideShowWait = 2; // SlideShowDelay minus 2, at least 1: seconds after a picture is shown
    LONG subtitle = 0;
    LONG aviDecode = 0; // 0 automatic, 1 software, 2 hardware
    LONG osdTimeOut = 15;
    LONG ffTime = 10;
    LONG rewTime = 10;
    LONG nextTime = 60;
    LONG prevTime = 60;
    LONG overrideNextPrev = 0;
    LONG pvrBuffer = 3;
    LONG volume = -300; // hundredths of a decibel, -600..0
    LONG brightness = 500;
    LONG contrast = 500;
    LONG saturation = 500;
    LONG mediasXmlOnly = 0;
    LONG noExtCollection = 0;
    LONG outputMode = 0; // 0..4, indexes overscan
    LONG antiflickerOverride = 0;
    LONG tvAspect = 0;
    LONG avoidVerticalScale = 0;
    LONG sourceAspect = 0;
    LONG subtitleFpsType = 0;
    LONG useKeyMouse = 0;
    LONG preservePalOsd = 0;
    LONG noBackground = 0;
    LONG fastPicture = 0;
    double customAspect = 1.0;
    double definedAspect = 1.0;
    double subtitleFps = 23.97;
    double customSubtitleFps = 23.97;
    LONG overscan[kOutputCount][kSideCount] = {};
    LONG audioMode = 0; // 0 analog, 1 PCM, 2 AC3
    LONG pre2Driver = 0;
    LONG syncVbr = 0;
    LONG continuePlay = 0;
    LONG disableAutoPlay = 0;
    LONG disablePicturePreview = 0;
    LONG autoFreq = 0;
    std::wstring imageRoot;        // without a trailing backslash
    std::wstring dvdImageRoot;     // without a trailing backslash
    std::wstring dvdCollectionXml; // without a trailing backslash
    LONG channelAliasing = 0;
    LONG cleanPause = 0;
};

// Reads every value of the table (defaults first), then derives the kept forms.
void ReadHostSettings(HostSettings &settings);

// The switches and folders that other subsystems read process-wide. Written by the host
// object's constructor on the UI thread before any other thread starts.
struct HostGlobals
{
    LONG antiflickerOverride = 0;
    LONG noBackground = 0;
    LONG fastPicture = 0;
    LONG pre2Driver = 0;
    LONG syncVbr = 0;
    LONG disablePicturePreview = 0;
    std::wstring imageRoot;
    std::wstring dvdImageRoot;
    std::wstring dvdCollectionXml;
};
extern HostGlobals g_hostGlobals;
void PublishHostGlobals(const HostSettings &settings);

} // namespace tx::host

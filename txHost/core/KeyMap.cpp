#include "txHost/core/KeyMap.h"

#include "txHost/core/Actions.h"

#include <climits>
#include <new>

namespace tx::host
{
namespace
{
struct NamedAction
{
    const wchar_t *name;
    int action;
};

// The msg names of msgs.xml, in the order of the action numbers 2..37.
constexpr NamedAction kMessageNameTable[] = {
    {L"msgProgram", ACTION_PROGRAM},
    {L"msgLeft", ACTION_LEFT},
    {L"msgRight", ACTION_RIGHT},
    {L"msgUp", ACTION_UP},
    {L"msgDown", ACTION_DOWN},
    {L"msgSelect", ACTION_SELECT},
    {L"msgMenu", ACTION_MENU},
    {L"msgTitle", ACTION_TITLE},
    {L"msgOSD", ACTION_OSD},
    {L"msgLanguage", ACTION_LANGUAGE},
    {L"msgAngle", ACTION_ANGLE},
    {L"msgSubtitle", ACTION_SUBTITLE},
    {L"msgPlayPause", ACTION_PLAY_PAUSE},
    {L"msgStop", ACTION_STOP},
    {L"msgSlow", ACTION_SLOW},
    {L"msgEject", ACTION_EJECT},
    {L"msgRewind", ACTION_REWIND},
    {L"msgFastForward", ACTION_FAST_FORWARD},
    {L"msgPrevious", ACTION_PREVIOUS},
    {L"msgNext", ACTION_NEXT},
    {L"msgVolumeUp", ACTION_VOLUME_UP},
    {L"msgVolumeDown", ACTION_VOLUME_DOWN},
    {L"msgMute", ACTION_MUTE},
    {L"msgLR", ACTION_AUDIO_CHANNEL},
    {L"msg0", ACTION_DIGIT_0},
    {L"msg1", ACTION_DIGIT_1},
    {L"msg2", ACTION_DIGIT_2},
    {L"msg3", ACTION_DIGIT_3},
    {L"msg4", ACTION_DIGIT_4},
    {L"msg5", ACTION_DIGIT_5},
    {L"msg6", ACTION_DIGIT_6},
    {L"msg7", ACTION_DIGIT_7},
    {L"msg8", ACTION_DIGIT_8},
    {L"msg9", ACTION_DIGIT_9},
    {L"msgVGATV", ACTION_VGA_TV},
    {L"msgEnt", ACTION_ENTER},
};
static_assert(sizeof(kMessageNameTable) / sizeof(kMessageNameTable[0]) == 36);

struct NamedKey
{
    const wchar_t *name;
    uint32_t code;
};

// Virtual-key names with their standard codes. Letters and digits, which have no
// system names, are VK_A..VK_Z and VK_0..VK_9. Keys without a name here (mouse
// buttons, OEM, browser and media keys) are written as numbers.
constexpr NamedKey kKeyNameTable[] = {
    {L"VK_CANCEL", 0x03},     {L"VK_BACK", 0x08},    {L"VK_TAB", 0x09},        {L"VK_CLEAR", 0x0C},
    {L"VK_RETURN", 0x0D},     {L"VK_SHIFT", 0x10},   {L"VK_CONTROL", 0x11},    {L"VK_MENU", 0x12},
    {L"VK_PAUSE", 0x13},      {L"VK_CAPITAL", 0x14}, {L"VK_KANA", 0x15},       {L"VK_JUNJA", 0x17},
    {L"VK_FINAL", 0x18},      {L"VK_HANJA", 0x19},   {L"VK_ESCAPE", 0x1B},     {L"VK_CONVERT", 0x1C},
    {L"VK_NONCONVERT", 0x1D}, {L"VK_ACCEPT", 0x1E},  {L"VK_MODECHANGE", 0x1F}, {L"VK_SPACE", 0x20},
    {L"VK_PRIOR", 0x21},      {L"VK_NEXT", 0x22},    {L"VK_END", 0x23},        {L"VK_HOME", 0x24},
    {L"VK_LEFT", 0x25},       {L"VK_UP", 0x26},      {L"VK_RIGHT", 0x27},      {L"VK_DOWN", 0x28},
    {L"VK_SELECT", 0x29},     {L"VK_PRINT", 0x2A},   {L"VK_EXECUTE", 0x2B},    {L"VK_SNAPSHOT", 0x2C},
    {L"VK_INSERT", 0x2D},     {L"VK_DELETE", 0x2E},  {L"VK_HELP", 0x2F},       {L"VK_0", 0x30},
    {L"VK_1", 0x31},          {L"VK_2", 0x32},       {L"VK_3", 0x33},          {L"VK_4", 0x34},
    {L"VK_5", 0x35},          {L"VK_6", 0x36},       {L"VK_7", 0x37},          {L"VK_8", 0x38},
    {L"VK_9", 0x39},          {L"VK_A", 0x41},       {L"VK_B", 0x42},          {L"VK_C", 0x43},
    {L"VK_D", 0x44},          {L"VK_E", 0x45},       {L"VK_F", 0x46},          {L"VK_G", 0x47},
    {L"VK_H", 0x48},          {L"VK_I", 0x49},       {L"VK_J", 0x4A},          {L"VK_K", 0x4B},
    {L"VK_L", 0x4C},          {L"VK_M", 0x4D},       {L"VK_N", 0x4E},          {L"VK_O", 0x4F},
    {L"VK_P", 0x50},          {L"VK_Q", 0x51},       {L"VK_R", 0x52},          {L"VK_S", 0x53},
    {L"VK_T", 0x54},          {L"VK_U", 0x55},       {L"VK_V", 0x56},          {L"VK_W", 0x57},
    {L"VK_X", 0x58},          {L"VK_Y", 0x59},       {L"VK_Z", 0x5A},          {L"VK_LWIN", 0x5B},
    {L"VK_RWIN", 0x5C},       {L"VK_APPS", 0x5D},    {L"VK_NUMPAD0", 0x60},    {L"VK_NUMPAD1", 0x61},
    {L"VK_NUMPAD2", 0x62},    {L"VK_NUMPAD3", 0x63}, {L"VK_NUMPAD4", 0x64},    {L"VK_NUMPAD5", 0x65},
    {L"VK_NUMPAD6", 0x66},    {L"VK_NUMPAD7", 0x67}, {L"VK_NUMPAD8", 0x68},    {L"VK_NUMPAD9", 0x69},
    {L"VK_MULTIPLY", 0x6A},   {L"VK_ADD", 0x6B},     {L"VK_SEPARATOR", 0x6C},  {L"VK_SUBTRACT", 0x6D},
    {L"VK_DECIMAL", 0x6E},    {L"VK_DIVIDE", 0x6F},  {L"VK_F1", 0x70},         {L"VK_F2", 0x71},
    {L"VK_F3", 0x72},         {L"VK_F4", 0x73},      {L"VK_F5", 0x74},         {L"VK_F6", 0x75},
    {L"VK_F7", 0x76},         {L"VK_F8", 0x77},      {L"VK_F9", 0x78},         {L"VK_F10", 0x79},
    {L"VK_F11", 0x7A},        {L"VK_F12", 0x7B},     {L"VK_F13", 0x7C},        {L"VK_F14", 0x7D},
    {L"VK_F15", 0x7E},        {L"VK_F16", 0x7F},     {L"VK_F17", 0x80},        {L"VK_F18", 0x81},
    {L"VK_F19", 0x82},        {L"VK_F20", 0x83},     {L"VK_F21", 0x84},        {L"VK_F22", 0x85},
    {L"VK_F23", 0x86},        {L"VK_F24", 0x87},     {L"VK_NUMLOCK", 0x90},    {L"VK_SCROLL", 0x91},
};
static_assert(sizeof(kKeyNameTable) / sizeof(kKeyNameTable[0]) == 116);

wchar_t FoldAscii(wchar_t c) noexcept
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsCSpace(wchar_t c) noexcept
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}
} // namespace

bool NamesEqualIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

int MessageNameAction(std::wstring_view name) noexcept
{
    for (const NamedAction &row : kMessageNameTable)
        if (NamesEqualIgnoringCase(name, row.name))
            return row.action;
    return ACTION_NONE;
}

uint32_t KeyNameCode(std::wstring_view name) noexcept
{
    for (const NamedKey &row : kKeyNameTable)
        if (NamesEqualIgnoringCase(name, row.name))
            return row.code;
    return 0;
}

int32_t ReadDecimalPrefix(std::wstring_view text) noexcept
{
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    // Accumulated as a magnitude and clamped, so a long run of digits cannot overflow.
    int64_t magnitude = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
    {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

uint32_t ParseKeyCode(std::wstring_view text) noexcept
{
    if (const uint32_t named = KeyNameCode(text))
        return named;
    return static_cast<uint32_t>(ReadDecimalPrefix(text));
}

bool KeyMap::Append(uint32_t virtualKey, int32_t action) noexcept
{
    try
    {
        m_entries.push_back({virtualKey, action});
        return true;
    }
    catch (const std::bad_alloc &)
    {
        return false;
    }
}

bool KeyMap::AppendCode(std::wstring_view codeText, int32_t action) noexcept
{
    const uint32_t key = ParseKeyCode(codeText);
    return key != 0 && Append(key, action);
}

int32_t KeyMap::Lookup(uint32_t virtualKey) const noexcept
{
    for (const KeyMapEntry &entry : m_entries)
        if (entry.virtualKey == virtualKey)
            return entry.action;
    return ACTION_NONE;
}

} // namespace tx::host

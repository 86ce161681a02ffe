#pragma once
// The typed attributes of skin elements: the value records, their text forms and the
// tables that say which XML attribute fills which field of an element object.
//
// Portable (no windows.h): the Windows build reads the XML through MSXML and hands the
// texts here; the parsing and the overlay rules are the same in both trees.
//
// Skin colours are held as GDI colour values: 0xAABBGGRR (red and blue exchanged from
// the text's order, the alpha byte kept as written).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tx::skin
{

#if defined(_WIN32)
using SkinChar = wchar_t;
#define TX_SKIN_TEXT(s) L##s
#else
using SkinChar = char16_t;
#define TX_SKIN_TEXT(s) u##s
#endif
using SkinString = std::basic_string<SkinChar>;
using SkinStringView = std::basic_string_view<SkinChar>;

// HRESULT values the parser reports, spelled out so that this file needs no windows.h.
inline constexpr int32_t kSkinOk = 0;
inline constexpr int32_t kSkinInvalidArg = static_cast<int32_t>(0x80070057);
inline constexpr int32_t kSkinOutOfMemory = static_cast<int32_t>(0x8007000E);

enum SkinAttrType : uint32_t
{
    SKINATTR_INT = 0,
    SKINATTR_PAIR = 1,
    SKINATTR_MARGIN = 2,
    SKINATTR_IMAGE = 3,
    SKINATTR_COLOR = 4,
    SKINATTR_HEADER = 5,
    SKINATTR_COLOR_INT_INT = 6,
    SKINATTR_ALIGN = 7,
    SKINATTR_STYLE = 8,
    SKINATTR_BOOL = 9,
    SKINATTR_STRING = 10,
    SKINATTR_RECT = 11,
    SKINATTR_MENUSTYLE = 12,
    SKINATTR_SORT = 13,
    SKINATTR_RESIZE = 14,
};

enum SkinResizeMode : int32_t
{
    SKIN_RESIZE_NONE = 0,
    SKIN_RESIZE_MOVE = 1,
    SKIN_RESIZE_SCALE = 2,
};

// Field types of the records, one per SkinAttrType.
struct SkinPair // SKINATTR_PAIR: x, y or width, height
{
    int32_t a = 0;
    int32_t b = 0;
};
struct SkinMargin // SKINATTR_MARGIN
{
    int32_t values[4] = {};
};
struct SkinImageRef // SKINATTR_IMAGE: image name in the skin folder and its key colour
{
    SkinString name;
    uint32_t key = 0;
};
struct SkinHeader // SKINATTR_HEADER
{
    uint32_t colour = 0;
    int32_t value = 0;
};
struct SkinColorIntInt // SKINATTR_COLOR_INT_INT
{
    uint32_t colour = 0;
    int32_t a = 0;
    int32_t b = 0;
};
struct SkinStyle // SKINATTR_STYLE
{
    SkinString face;
    int32_t width = 12; // character width in points
    int32_t height = 0; // character height in points
    uint32_t textColour = 0xFFFFFF;
    uint32_t background = 0; // alpha in the top byte
    int32_t weight = 400;
    int32_t italic = 0;     // BOOL
    int32_t decoration = 0; // 0 none, 1 strikeout, 2 underline
    int32_t effect = 0;     // 0 none, 1 outline, 2 shadow
};
struct SkinRectStyle // SKINATTR_RECT: a rounded rectangle
{
    uint32_t fill = 0;
    int32_t cornerWidth = 0;
    int32_t cornerHeight = 0;
    uint32_t border = 0;
    int32_t borderWidth = 0;
};
// SKINATTR_INT, _COLOR, _ALIGN, _MENUSTYLE, _SORT, _RESIZE: int32_t (colours uint32_t);
// SKINATTR_BOOL: uint8_t; SKINATTR_STRING: SkinString.

// A colour text: one prefix character (skipped unread), then hexadecimal digits, six
// (RGB) or eight (ARGB); any other character counts as the digit 0. Longer texts keep
// the low 32 bits of the digits read. Returned as 0xAABBGGRR.
uint32_t ParseSkinColour(SkinStringView text) noexcept;

// Parses text into the field (of the record type of 'type'). Blank fields leave their
// part of the record unchanged; malformed numbers and keywords read as 0. kSkinInvalidArg
// for a type above 14. Throws std::bad_alloc when a string cannot be copied.
int32_t ParseSkinAttribute(SkinStringView text, uint32_t type, void *field);
// Writes the type's default into the field; kSkinInvalidArg for an unknown type.
int32_t ResetSkinAttribute(uint32_t type, void *field) noexcept;

// The field of an object that receives an attribute: given the object (as the caller of
// ApplySkinAttributeRows passed it), the address of the field.
using SkinFieldAccessor = void *(*)(void *object);

// The accessor of member of Type for objects passed as Type*.
#define TX_SKIN_FIELD(Type, member) [](void *object) -> void * { return &static_cast<Type *>(object)->member; }

// One attribute of a tag: its name (null: the element's text content), its type and the
// field that receives it.
struct SkinAttrRow
{
    const SkinChar *name;
    uint32_t type;
    SkinFieldAccessor field;
};

// How one attribute was found on the XML element.
enum class SkinAttrLookup
{
    Present, // text holds the value
    Absent,
};

// Reads one attribute (name null: the text content) into text; a failure is returned and
// ends the application.
using SkinAttrReader = std::function<int32_t(const SkinChar *name, SkinString &text, SkinAttrLookup &lookup)>;

// Fills the fields of rows from reader into object. Without overlay every
// field is reset first (absent attributes keep the default); with overlay absent
// attributes keep the field and present ones are parsed over it. The text content is
// always parsed. Returns the first failure (earlier fields keep their values) or kSkinOk.
// Throws std::bad_alloc when a string cannot be copied.
int32_t ApplySkinAttributeRows(const SkinAttrRow *rows, size_t count, void *object, bool overlay,
                               const SkinAttrReader &reader);

// Moves y (and stretches height) of a positioned element by a change d of layout height:
// y -= d / 2 (toward zero), then move adds d to y and scale adds d to height.
void RelayoutVertical(int32_t delta, int32_t resizeMode, int32_t &y, int32_t &height) noexcept;

// The 500 ms repeat lock of activations. Ticks are milliseconds that wrap at 2^32; the
// difference is taken unsigned so a wrap between two activations is harmless.
struct SkinRepeatLock
{
    static constexpr uint32_t kIntervalMs = 500;
    uint32_t lastTick = 0;
    uint32_t active = 0;

    // Allows the first activation and any at least 500 ms after the previous call (allowed
    // or not); always restarts the interval.
    bool Allow(uint32_t now) noexcept
    {
        bool allowed = !active || static_cast<uint32_t>(now - lastTick) >= kIntervalMs;
        lastTick = now;
        active = 1;
        return allowed;
    }
    void Mark(uint32_t now) noexcept
    {
        lastTick = now;
        active = 1;
    }
};

} // namespace tx::skin

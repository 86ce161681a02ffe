// Parsing of skin attribute texts into the value records of the element objects.
#include "txHost/skin/SkinAttributes.h"

namespace tx::skin
{
namespace
{

bool IsBlank(SkinChar c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n';
}

SkinStringView SkipBlanks(SkinStringView text) noexcept
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.substr(i);
}

// Splits text at "," into at most count fields; the last one keeps the rest, missing ones
// are empty.
template <size_t N> void SplitFields(SkinStringView text, SkinStringView (&fields)[N]) noexcept
{
    for (size_t i = 0; i < N; ++i)
    {
        if (i == N - 1)
        {
            fields[i] = text;
            break;
        }
        size_t comma = text.find(SkinChar(','));
        if (comma == SkinStringView::npos)
        {
            fields[i] = text;
            text = SkinStringView();
            for (size_t j = i + 1; j < N; ++j)
                fields[j] = SkinStringView();
            break;
        }
        fields[i] = text.substr(0, comma);
        text = text.substr(comma + 1);
    }
}

// Decimal with an optional sign, read up to the first non-digit; wraps like a 32-bit
// register instead of overflowing.
int32_t ReadInteger(SkinStringView text) noexcept
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

bool EqualsExact(SkinStringView text, const char *keyword) noexcept
{
    size_t i = 0;
    for (; keyword[i]; ++i)
        if (i >= text.size() || text[i] != static_cast<SkinChar>(keyword[i]))
            return false;
    return i == text.size();
}

bool EqualsNoCase(SkinStringView text, const char *keyword) noexcept
{
    auto lower = [](uint32_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    size_t i = 0;
    for (; keyword[i]; ++i)
        if (i >= text.size() || lower(static_cast<uint32_t>(text[i])) != lower(static_cast<uint8_t>(keyword[i])))
            return false;
    return i == text.size();
}

// Applies one field: leading blanks skipped; a blank field changes nothing.
template <class F> void WithField(SkinStringView field, F &&apply)
{
    field = SkipBlanks(field);
    if (!field.empty())
        apply(field);
}

} // namespace

uint32_t ParseSkinColour(SkinStringView text) noexcept
{
    uint32_t value = 0;
    for (size_t i = 1; i < text.size(); ++i)
    {
        uint32_t c = static_cast<uint32_t>(text[i]);
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        value = (value << 4) | digit;
    }
    return (value & 0xFF00FF00u) | ((value >> 16) & 0xFFu) | ((value & 0xFFu) << 16);
}

int32_t ParseSkinAttribute(SkinStringView text, uint32_t type, void *field)
{
    if (type > SKINATTR_RESIZE)
        return kSkinInvalidArg;
    auto integer = [](int32_t &target) { return [&target](SkinStringView f) { target = ReadInteger(f); }; };
    auto colour = [](uint32_t &target) { return [&target](SkinStringView f) { target = ParseSkinColour(f); }; };
    auto string = [](SkinString &target) { return [&target](SkinStringView f) { target.assign(f); }; };

    switch (type)
    {
    case SKINATTR_INT:
        WithField(text, integer(*static_cast<int32_t *>(field)));
        break;
    case SKINATTR_PAIR: {
        auto &pair = *static_cast<SkinPair *>(field);
        SkinStringView f[2];
        SplitFields(text, f);
        WithField(f[0], integer(pair.a));
        WithField(f[1], integer(pair.b));
        break;
    }
    case SKINATTR_MARGIN: {
        auto &margin = *static_cast<SkinMargin *>(field);
        SkinStringView f[4];
        SplitFields(text, f);
        for (int i = 0; i < 4; ++i)
            WithField(f[i], integer(margin.values[i]));
        break;
    }
    case SKINATTR_IMAGE: {
        auto &image = *static_cast<SkinImageRef *>(field);
        SkinStringView f[2];
        SplitFields(text, f);
        WithField(f[0], string(image.name));
        WithField(f[1], colour(image.key));
        break;
    }
    case SKINATTR_COLOR:
        WithField(text, colour(*static_cast<uint32_t *>(field)));
        break;
    case SKINATTR_HEADER: {
        auto &header = *static_cast<SkinHeader *>(field);
        SkinStringView f[2];
        SplitFields(text, f);
        WithField(f[0], colour(header.colour));
        WithField(f[1], integer(header.value));
        break;
    }
    case SKINATTR_COLOR_INT_INT: {
        auto &record = *static_cast<SkinColorIntInt *>(field);
        SkinStringView f[3];
        SplitFields(text, f);
        WithField(f[0], colour(record.colour));
        WithField(f[1], integer(record.a));
        WithField(f[2], integer(record.b));
        break;
    }
    case SKINATTR_ALIGN:
        WithField(text, [field](SkinStringView f) {
            *static_cast<int32_t *>(field) = EqualsExact(f, "left") ? 0 : EqualsExact(f, "right") ? 1 : 2;
        });
        break;
    case SKINATTR_STYLE: {
        auto &style = *static_cast<SkinStyle *>(field);
        SkinStringView f[9];
        SplitFields(text, f);
        WithField(f[0], string(style.face));
        WithField(f[1], [&style](SkinStringView v) { style.italic = EqualsNoCase(v, "italic") ? 1 : 0; });
        WithField(f[2], integer(style.weight));
        WithField(f[3], [&style](SkinStringView v) {
            style.decoration = EqualsNoCase(v, "strikeout") ? 1 : EqualsNoCase(v, "underline") ? 2 : 0;
        });
        WithField(f[4], [&style](SkinStringView v) {
            style.effect = EqualsNoCase(v, "outline") ? 1 : EqualsNoCase(v, "shadow") ? 2 : 0;
        });
        WithField(f[5], integer(style.width));
        WithField(f[6], integer(style.height));
        WithField(f[7], colour(style.textColour));
        WithField(f[8], colour(style.background));
        break;
    }
    case SKINATTR_BOOL:
        WithField(text, [field](SkinStringView f) { *static_cast<uint8_t *>(field) = EqualsExact(f, "yes") ? 1 : 0; });
        break;
    case SKINATTR_STRING:
        static_cast<SkinString *>(field)->assign(text);
        break;
    case SKINATTR_RECT: {
        auto &rect = *static_cast<SkinRectStyle *>(field);
        SkinStringView f[5];
        SplitFields(text, f);
        WithField(f[0], colour(rect.fill));
        WithField(f[1], integer(rect.cornerWidth));
        WithField(f[2], integer(rect.cornerHeight));
        WithField(f[3], colour(rect.border));
        WithField(f[4], integer(rect.borderWidth));
        break;
    }
    case SKINATTR_MENUSTYLE:
        WithField(text,
                  [field](SkinStringView f) { *static_cast<int32_t *>(field) = EqualsExact(f, "leftsquare") ? 1 : 0; });
        break;
    case SKINATTR_SORT:
        WithField(text, [field](SkinStringView f) {
            *static_cast<int32_t *>(field) = EqualsExact(f, "alpha")    ? 1
                                             : EqualsExact(f, "phone")  ? 2
                                             : EqualsExact(f, "length") ? 3
                                                                        : 0;
        });
        break;
    case SKINATTR_RESIZE:
        WithField(text, [field](SkinStringView f) {
            *static_cast<int32_t *>(field) = EqualsExact(f, "move") ? 1 : EqualsExact(f, "scale") ? 2 : 0;
        });
        break;
    }
    return kSkinOk;
}

int32_t ResetSkinAttribute(uint32_t type, void *field) noexcept
{
    switch (type)
    {
    case SKINATTR_INT:
    case SKINATTR_COLOR:
    case SKINATTR_ALIGN:
    case SKINATTR_MENUSTYLE:
    case SKINATTR_SORT:
    case SKINATTR_RESIZE:
        *static_cast<int32_t *>(field) = 0;
        break;
    case SKINATTR_PAIR:
        *static_cast<SkinPair *>(field) = SkinPair();
        break;
    case SKINATTR_MARGIN:
        *static_cast<SkinMargin *>(field) = SkinMargin();
        break;
    case SKINATTR_IMAGE: // the name is kept
        static_cast<SkinImageRef *>(field)->key = 0;
        break;
    case SKINATTR_HEADER:
        *static_cast<SkinHeader *>(field) = SkinHeader();
        break;
    case SKINATTR_COLOR_INT_INT:
        *static_cast<SkinColorIntInt *>(field) = SkinColorIntInt();
        break;
    case SKINATTR_STYLE: { // the face is kept
        auto &style = *static_cast<SkinStyle *>(field);
        style.width = 12;
        style.height = 0;
        style.textColour = 0xFFFFFF;
        style.background = 0;
        style.weight = 400;
        style.italic = 0;
        style.decoration = 0;
        style.effect = 0;
        break;
    }
    case SKINATTR_BOOL:
        *static_cast<uint8_t *>(field) = 0;
        break;
    case SKINATTR_STRING:
        static_cast<SkinString *>(field)->clear(); // never allocates
        break;
    case SKINATTR_RECT:
        *static_cast<SkinRectStyle *>(field) = SkinRectStyle();
        break;
    default:
        return kSkinInvalidArg;
    }
    return kSkinOk;
}

int32_t ApplySkinAttributeRows(const SkinAttrRow *rows, size_t count, void *object, bool overlay,
                               const SkinAttrReader &reader)
{
    for (size_t i = 0; i < count; ++i)
    {
        const SkinAttrRow &row = rows[i];
        void *field = row.field(object);
        SkinString text;
        SkinAttrLookup lookup = SkinAttrLookup::Absent;
        int32_t hr = reader(row.name, text, lookup);
        if (hr < 0)
            return hr;
        if (row.name && !overlay)
        {
            hr = ResetSkinAttribute(row.type, field);
            if (hr < 0)
                return hr;
        }
        if (lookup == SkinAttrLookup::Present || !row.name)
        {
            hr = ParseSkinAttribute(text, row.type, field);
            if (hr < 0)
                return hr;
        }
    }
    return kSkinOk;
}

void RelayoutVertical(int32_t delta, int32_t resizeMode, int32_t &y, int32_t &height) noexcept
{
    y -= delta / 2; // C++ division truncates toward zero
    if (resizeMode == SKIN_RESIZE_MOVE)
        y += delta;
    else if (resizeMode == SKIN_RESIZE_SCALE)
        height += delta;
}

} // namespace tx::skin

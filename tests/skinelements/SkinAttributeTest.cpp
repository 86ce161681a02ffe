// Attribute texts of skin elements, the overlay rules, vertical relayout and the repeat
// lock, natively under the sanitizers too.
#include "txHost/skin/SkinAttributes.h"

#include <gtest/gtest.h>

#include <map>

namespace
{

using namespace tx::skin;

TEST(SkinAttributeTest, ColoursSwapRedAndBlueAndReadOddCharactersAsZero)
{
    struct Case
    {
        const SkinChar *text;
        uint32_t expected;
    };
    const Case cases[] = {
        {TX_SKIN_TEXT("#FF8000"), 0x000080FFu},     {TX_SKIN_TEXT("#80FF8000"), 0x800080FFu}, {TX_SKIN_TEXT("#"), 0u},
        {TX_SKIN_TEXT("#FF80 0"), 0x000080FFu},     // the blank is a 0 digit
        {TX_SKIN_TEXT("xff8000"), 0x000080FFu},     // any prefix, lower case digits
        {TX_SKIN_TEXT("#FFGG00"), 0x000000FFu},     // non-hex digits count as 0
        {TX_SKIN_TEXT("#1122334455"), 0x22554433u}, // longer: the low 32 bits
    };
    for (const Case &c : cases)
    {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(kSkinOk, ParseSkinAttribute(c.text, SKINATTR_COLOR, &value));
        EXPECT_EQ(c.expected, value) << std::hex << c.expected;
    }
}

TEST(SkinAttributeTest, PairsMarginsAndIntegers)
{
    SkinPair pair{1, 2};
    ParseSkinAttribute(TX_SKIN_TEXT("10"), SKINATTR_PAIR, &pair);
    EXPECT_EQ(10, pair.a);
    EXPECT_EQ(2, pair.b);
    ParseSkinAttribute(TX_SKIN_TEXT(", 20"), SKINATTR_PAIR, &pair);
    EXPECT_EQ(10, pair.a);
    EXPECT_EQ(20, pair.b);
    ParseSkinAttribute(TX_SKIN_TEXT(" \t-5,\n7x,9"), SKINATTR_PAIR, &pair);
    EXPECT_EQ(-5, pair.a);
    EXPECT_EQ(7, pair.b); // the rest of the text stays in the last field: reading stops at "x"

    SkinMargin margin{{9, 9, 9, 9}};
    ParseSkinAttribute(TX_SKIN_TEXT("1,,3"), SKINATTR_MARGIN, &margin);
    EXPECT_EQ(1, margin.values[0]);
    EXPECT_EQ(9, margin.values[1]);
    EXPECT_EQ(3, margin.values[2]);
    EXPECT_EQ(9, margin.values[3]);

    int32_t value = 5;
    ParseSkinAttribute(TX_SKIN_TEXT("  "), SKINATTR_INT, &value);
    EXPECT_EQ(5, value); // blank text leaves the field
    ParseSkinAttribute(TX_SKIN_TEXT("abc"), SKINATTR_INT, &value);
    EXPECT_EQ(0, value);
    ParseSkinAttribute(TX_SKIN_TEXT("99999999999"), SKINATTR_INT, &value); // wraps, no UB
    ParseSkinAttribute(TX_SKIN_TEXT("-"), SKINATTR_INT, &value);
    EXPECT_EQ(0, value);
}

TEST(SkinAttributeTest, StyleTextUsesItsOwnFieldOrder)
{
    SkinStyle style;
    ParseSkinAttribute(TX_SKIN_TEXT("Arial, italic, 700, underline, shadow, 14, 20, #FFFFFF, #80000000"),
                       SKINATTR_STYLE, &style);
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("Arial")), style.face);
    EXPECT_EQ(1, style.italic);
    EXPECT_EQ(700, style.weight);
    EXPECT_EQ(2, style.decoration);
    EXPECT_EQ(2, style.effect);
    EXPECT_EQ(14, style.width);
    EXPECT_EQ(20, style.height);
    EXPECT_EQ(0xFFFFFFu, style.textColour);
    EXPECT_EQ(0x80000000u, style.background);

    SkinStyle before = style;
    ParseSkinAttribute(TX_SKIN_TEXT("Tahoma,,,,,,,,"), SKINATTR_STYLE, &style);
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("Tahoma")), style.face);
    EXPECT_EQ(before.italic, style.italic);
    EXPECT_EQ(before.weight, style.weight);
    EXPECT_EQ(before.background, style.background);

    ParseSkinAttribute(TX_SKIN_TEXT("X,ITALIC,400,StrikeOut,Outline"), SKINATTR_STYLE, &style);
    EXPECT_EQ(1, style.italic);
    EXPECT_EQ(1, style.decoration);
    EXPECT_EQ(1, style.effect);
    ParseSkinAttribute(TX_SKIN_TEXT("X,plain,400,none,glow"), SKINATTR_STYLE, &style);
    EXPECT_EQ(0, style.italic);
    EXPECT_EQ(0, style.decoration);
    EXPECT_EQ(0, style.effect);
}

TEST(SkinAttributeTest, KeywordsAreExact)
{
    struct Case
    {
        uint32_t type;
        const SkinChar *text;
        int32_t expected;
    };
    const Case cases[] = {
        {SKINATTR_ALIGN, TX_SKIN_TEXT("left"), 0},           {SKINATTR_ALIGN, TX_SKIN_TEXT("right"), 1},
        {SKINATTR_ALIGN, TX_SKIN_TEXT("Left"), 2},           {SKINATTR_ALIGN, TX_SKIN_TEXT("center"), 2},
        {SKINATTR_MENUSTYLE, TX_SKIN_TEXT("leftsquare"), 1}, {SKINATTR_MENUSTYLE, TX_SKIN_TEXT("round"), 0},
        {SKINATTR_SORT, TX_SKIN_TEXT("alpha"), 1},           {SKINATTR_SORT, TX_SKIN_TEXT("phone"), 2},
        {SKINATTR_SORT, TX_SKIN_TEXT("length"), 3},          {SKINATTR_SORT, TX_SKIN_TEXT("length "), 0},
        {SKINATTR_RESIZE, TX_SKIN_TEXT("move"), 1},          {SKINATTR_RESIZE, TX_SKIN_TEXT("  scale"), 2},
        {SKINATTR_RESIZE, TX_SKIN_TEXT("none"), 0},
    };
    for (const Case &c : cases)
    {
        int32_t value = -1;
        ParseSkinAttribute(c.text, c.type, &value);
        EXPECT_EQ(c.expected, value) << c.type;
    }

    struct BoolCase
    {
        const SkinChar *text;
        uint8_t expected;
    };
    const BoolCase bools[] = {{TX_SKIN_TEXT("yes"), 1},
                              {TX_SKIN_TEXT("Yes"), 0},
                              {TX_SKIN_TEXT("yes "), 0},
                              {TX_SKIN_TEXT(" yes"), 1},
                              {TX_SKIN_TEXT("no"), 0}};
    for (const BoolCase &c : bools)
    {
        uint8_t value = 7;
        ParseSkinAttribute(c.text, SKINATTR_BOOL, &value);
        EXPECT_EQ(c.expected, value);
    }
}

TEST(SkinAttributeTest, StringsImagesAndRects)
{
    SkinString text = TX_SKIN_TEXT("old");
    ParseSkinAttribute(TX_SKIN_TEXT("  a, b "), SKINATTR_STRING, &text);
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("  a, b ")), text); // taken whole, blanks included

    SkinImageRef image;
    ParseSkinAttribute(TX_SKIN_TEXT("back.png, #00FF00"), SKINATTR_IMAGE, &image);
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("back.png")), image.name);
    EXPECT_EQ(0x00FF00u, image.key);
    ResetSkinAttribute(SKINATTR_IMAGE, &image);
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("back.png")), image.name); // reset keeps the name
    EXPECT_EQ(0u, image.key);

    SkinRectStyle rect;
    ParseSkinAttribute(TX_SKIN_TEXT("#102030,4,5,#405060,2"), SKINATTR_RECT, &rect);
    EXPECT_EQ(0x302010u, rect.fill);
    EXPECT_EQ(4, rect.cornerWidth);
    EXPECT_EQ(5, rect.cornerHeight);
    EXPECT_EQ(0x605040u, rect.border);
    EXPECT_EQ(2, rect.borderWidth);

    SkinHeader header;
    ParseSkinAttribute(TX_SKIN_TEXT("#0000FF,3,4"), SKINATTR_HEADER, &header);
    EXPECT_EQ(0xFF0000u, header.colour);
    EXPECT_EQ(3, header.value); // "3,4" stays in the last field; reading stops at ","
}

TEST(SkinAttributeTest, UnknownTypesAreRejected)
{
    int32_t value = 0;
    EXPECT_EQ(kSkinInvalidArg, ParseSkinAttribute(TX_SKIN_TEXT("1"), 15, &value));
    EXPECT_EQ(kSkinInvalidArg, ResetSkinAttribute(15, &value));

    SkinStyle style;
    style.face = TX_SKIN_TEXT("Face");
    style.weight = 900;
    EXPECT_EQ(kSkinOk, ResetSkinAttribute(SKINATTR_STYLE, &style));
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("Face")), style.face);
    EXPECT_EQ(400, style.weight);
    EXPECT_EQ(12, style.width);
    EXPECT_EQ(0xFFFFFFu, style.textColour);
}

struct Fields
{
    int32_t size = 0;
    uint32_t colour = 0;
    SkinString text;
    SkinStyle style;
};

const SkinAttrRow kRows[] = {
    {TX_SKIN_TEXT("size"), SKINATTR_INT, TX_SKIN_FIELD(Fields, size)},
    {TX_SKIN_TEXT("colour"), SKINATTR_COLOR, TX_SKIN_FIELD(Fields, colour)},
    {nullptr, SKINATTR_STRING, TX_SKIN_FIELD(Fields, text)},
    {TX_SKIN_TEXT("style"), SKINATTR_STYLE, TX_SKIN_FIELD(Fields, style)},
};

SkinAttrReader ReaderOf(std::map<SkinString, SkinString> attributes, SkinString content)
{
    return [attributes, content](const SkinChar *name, SkinString &text, SkinAttrLookup &lookup) -> int32_t {
        if (!name)
        {
            text = content;
            lookup = SkinAttrLookup::Present;
            return kSkinOk;
        }
        auto it = attributes.find(name);
        lookup = it == attributes.end() ? SkinAttrLookup::Absent : SkinAttrLookup::Present;
        if (it != attributes.end())
            text = it->second;
        return kSkinOk;
    };
}

TEST(SkinAttributeTest, FreshLoadResetsAndOverlayKeeps)
{
    Fields fields;
    fields.size = 33;
    fields.colour = 0x123456;
    fields.style.weight = 900;
    ASSERT_EQ(kSkinOk,
              ApplySkinAttributeRows(kRows, 4, &fields, false,
                                     ReaderOf({{TX_SKIN_TEXT("size"), TX_SKIN_TEXT("  ")}}, TX_SKIN_TEXT("t"))));
    EXPECT_EQ(0, fields.size);    // blank on a fresh load leaves the default
    EXPECT_EQ(0u, fields.colour); // absent on a fresh load: default
    EXPECT_EQ(400, fields.style.weight);
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("t")), fields.text);

    fields.size = 5;
    fields.colour = 0x42;
    ASSERT_EQ(kSkinOk,
              ApplySkinAttributeRows(kRows, 4, &fields, true,
                                     ReaderOf({{TX_SKIN_TEXT("style"), TX_SKIN_TEXT(",,700")}}, TX_SKIN_TEXT("u"))));
    EXPECT_EQ(5, fields.size); // absent in overlay mode: kept
    EXPECT_EQ(0x42u, fields.colour);
    EXPECT_EQ(700, fields.style.weight);
    EXPECT_EQ(SkinString(TX_SKIN_TEXT("u")), fields.text); // the content is always read
}

TEST(SkinAttributeTest, AReadFailureStopsAndKeepsWhatWasApplied)
{
    Fields fields;
    int calls = 0;
    SkinAttrReader failing = [&calls](const SkinChar *, SkinString &text, SkinAttrLookup &lookup) -> int32_t {
        if (++calls == 2)
            return static_cast<int32_t>(0x80004005);
        text = TX_SKIN_TEXT("8");
        lookup = SkinAttrLookup::Present;
        return kSkinOk;
    };
    fields.colour = 0x99;
    EXPECT_EQ(static_cast<int32_t>(0x80004005), ApplySkinAttributeRows(kRows, 4, &fields, false, failing));
    EXPECT_EQ(8, fields.size);
    EXPECT_EQ(0x99u, fields.colour); // the failed row is untouched

    const SkinAttrRow bad[] = {{TX_SKIN_TEXT("size"), 20, TX_SKIN_FIELD(Fields, size)}};
    EXPECT_EQ(kSkinInvalidArg, ApplySkinAttributeRows(bad, 1, &fields, false, ReaderOf({}, {})));
}

TEST(SkinAttributeTest, RelayoutByLayoutHeightDifference)
{
    struct Case
    {
        int32_t delta, mode, y, height, expectedY, expectedHeight;
    };
    const Case cases[] = {
        {96, SKIN_RESIZE_NONE, 100, 10, 52, 10},   {96, SKIN_RESIZE_MOVE, 100, 10, 148, 10},
        {96, SKIN_RESIZE_SCALE, 100, 10, 52, 106}, {-97, SKIN_RESIZE_NONE, 100, 10, 148, 10},
        {-97, SKIN_RESIZE_MOVE, 100, 10, 51, 10},  {-97, SKIN_RESIZE_SCALE, 100, 110, 148, 13},
        {0, SKIN_RESIZE_SCALE, 7, 8, 7, 8},
    };
    for (const Case &c : cases)
    {
        int32_t y = c.y, height = c.height;
        RelayoutVertical(c.delta, c.mode, y, height);
        EXPECT_EQ(c.expectedY, y) << c.delta << " mode " << c.mode;
        EXPECT_EQ(c.expectedHeight, height) << c.delta << " mode " << c.mode;
    }
}

TEST(SkinAttributeTest, RepeatLockCountsUnsignedAcrossTheTickWrap)
{
    SkinRepeatLock lock;
    EXPECT_TRUE(lock.Allow(1000));  // first activation
    EXPECT_FALSE(lock.Allow(1499)); // 499 ms
    EXPECT_FALSE(lock.Allow(1998)); // 499 ms after the refused one: restarted
    EXPECT_TRUE(lock.Allow(2498));  // exactly 500 ms

    SkinRepeatLock wrap;
    EXPECT_TRUE(wrap.Allow(0xFFFFFF00u));
    EXPECT_FALSE(wrap.Allow(0x000000F0u)); // 496 ms across the wrap
    EXPECT_TRUE(wrap.Allow(0x000000F0u + 500));

    SkinRepeatLock marked;
    marked.Mark(0xFFFFFFFFu);
    EXPECT_FALSE(marked.Allow(0x000001F2u)); // 499 ms after the mark, across the wrap
    EXPECT_TRUE(marked.Allow(0x000001F2u + 500));
}

} // namespace

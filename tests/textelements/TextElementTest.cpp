// The text, image, rect, blockrect and slider elements under Wine, drawing into a fake OSD
// whose scratch surface is a DIB of the test's own: geometry, palette indices in the
// scratch pixels and the copies to the OSD are checked, not anti-aliased text pixels.
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinImage.h"
#include "txHost/skin/SkinRect.h"
#include "txHost/skin/SkinShapeGeometry.h"
#include "txHost/skin/SkinSlider.h"
#include "txHost/skin/SkinText.h"
#include "txHost/skin/TextRaster.h"

#include "comkit/Bstr.h"
#include "comkit/ComObject.h"
#include "comkit/ComPtr.h"
#include "comkit/Module.h"
#include "comkit/Msxml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using tx::ComPtr;
using namespace tx::skin;

constexpr LONG kOsdWidth = 320;
constexpr LONG kOsdHeight = 240;
constexpr BYTE kFirstFreeIndex = 22;
constexpr DWORD kUntouched = 0x12345678;

struct CopyCall
{
    LONG x, y, w, h;
    BOOL indexMode, smooth, useKey;
    DWORD key;
};

struct TransformCall
{
    LONG x, y, w, h, a, b;
};

// An OSD of the test's own: a top-down 32-bit DIB as the scratch surface, a palette that
// hands out indexes from 22 up to a limit, and a record of every copy and transform.
class CFakeOsd : public tx::ComObject<CFakeOsd, IOsd>
{
  public:
    CFakeOsd()
    {
        m_dc = ::CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kOsdWidth, -kOsdHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        Clear(0x00ABCDEF);
    }
    ~CFakeOsd() override
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }

    STDMETHODIMP GetPaletteIndex(DWORD colour, BYTE *index) override
    {
        requested.push_back(colour);
        for (size_t i = 0; i < colours.size(); ++i)
            if (colours[i] == colour)
            {
                *index = static_cast<BYTE>(kFirstFreeIndex + i);
                return S_OK;
            }
        if (colours.size() >= paletteRoom)
            return E_UNEXPECTED;
        colours.push_back(colour);
        *index = static_cast<BYTE>(kFirstFreeIndex + colours.size() - 1);
        return S_OK;
    }
    STDMETHODIMP GetTargetBits(DWORD **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSize(LONG *width, LONG *height) override
    {
        *width = kOsdWidth;
        *height = kOsdHeight;
        return S_OK;
    }
    STDMETHODIMP GetTargetDC(HDC *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetScratchDC(HDC *dc) override
    {
        if (failScratch)
            return E_FAIL;
        *dc = m_dc;
        return S_OK;
    }
    STDMETHODIMP CopyFromScratch(LONG x, LONG y, LONG w, LONG h, BOOL indexMode, BOOL smooth, BOOL useKey,
                                 DWORD key) override
    {
        copies.push_back({x, y, w, h, indexMode, smooth, useKey, key});
        // Like the OSD, without the smoothing filter: index pixels get the top bit, keyed
        // source values are skipped.
        ::GdiFlush();
        for (LONG row = y < 0 ? 0 : y; row < y + h && row < kOsdHeight; ++row)
            for (LONG col = x < 0 ? 0 : x; col < x + w && col < kOsdWidth; ++col)
            {
                DWORD p = m_bits[row * kOsdWidth + col] & 0x00FFFFFF;
                if (useKey && p == key)
                    continue;
                target[row * kOsdWidth + col] = indexMode ? (p | 0xFF000000) : p;
            }
        return S_OK;
    }
    STDMETHODIMP GetFactor(double *value) override
    {
        *value = factor;
        return S_OK;
    }
    STDMETHODIMP RunTransform(IUnknown *, LONG x, LONG y, LONG w, LONG h, LONG a, LONG b) override
    {
        transforms.push_back({x, y, w, h, a, b});
        return S_OK;
    }

    DWORD Target(LONG x, LONG y) const
    {
        return target[y * kOsdWidth + x];
    }
    DWORD Pixel(LONG x, LONG y)
    {
        ::GdiFlush();
        return m_bits[y * kOsdWidth + x];
    }
    void Clear(DWORD value)
    {
        ::GdiFlush();
        for (LONG i = 0; i < kOsdWidth * kOsdHeight; ++i)
            m_bits[i] = value;
    }
    // Rows of the rectangle holding a pixel that differs from value; first and last (-1).
    std::pair<LONG, LONG> InkRows(LONG x, LONG y, LONG w, LONG h, DWORD value)
    {
        ::GdiFlush();
        LONG first = -1, last = -1;
        for (LONG row = y; row < y + h; ++row)
            for (LONG col = x; col < x + w; ++col)
                if ((m_bits[row * kOsdWidth + col] & 0x00FFFFFF) != value)
                {
                    if (first < 0)
                        first = row;
                    last = row;
                    break;
                }
        return {first, last};
    }
    std::pair<LONG, LONG> InkColumns(LONG x, LONG y, LONG w, LONG h, DWORD value)
    {
        ::GdiFlush();
        LONG first = -1, last = -1;
        for (LONG col = x; col < x + w; ++col)
            for (LONG row = y; row < y + h; ++row)
                if ((m_bits[row * kOsdWidth + col] & 0x00FFFFFF) != value)
                {
                    if (first < 0)
                        first = col;
                    last = col;
                    break;
                }
        return {first, last};
    }

    size_t paletteRoom = 234;
    bool failScratch = false;
    double factor = 1.0;
    std::vector<DWORD> colours;
    std::vector<DWORD> requested;
    std::vector<CopyCall> copies;
    std::vector<TransformCall> transforms;
    std::vector<DWORD> target = std::vector<DWORD>(kOsdWidth * kOsdHeight, kUntouched);

  private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD *m_bits = nullptr;
};

// A string table of the test: "$Hello$" is "Bonjour", every other text itself.
class CFakeStrings : public tx::ComObject<CFakeStrings, ISkinStringTable>
{
  public:
    STDMETHODIMP GetString(BSTR text, BSTR *result) override
    {
        ++calls;
        std::wstring in = text ? text : L"";
        *result = ::SysAllocString(in == L"$Hello$" ? L"Bonjour" : in.c_str());
        return S_OK;
    }
    STDMETHODIMP GetSkinFolder(BSTR *folder) override
    {
        *folder = nullptr;
        return E_NOTIMPL;
    }
    int calls = 0;
};

class TextElementTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        locksBefore = tx::module::LockCount();
        InitTextRaster();
        osd = tx::MakeComObject<CFakeOsd>();
        ASSERT_TRUE(osd);
    }
    void TearDown() override
    {
        osd.Reset();
        fonts.Clear();
        EXPECT_EQ(locksBefore, tx::module::LockCount()) << "an object was not released";
    }

    template <class T> ComPtr<ISkinElement> Make(HRESULT (*creator)(ISkinElement **), T **object)
    {
        ComPtr<ISkinElement> element;
        EXPECT_EQ(S_OK, creator(element.GetAddressOf()));
        ComPtr<ISkinResolve> resolve;
        EXPECT_EQ(S_OK, element.As(&resolve));
        CSkinElement *base = nullptr;
        resolve->GetElement(&base);
        *object = static_cast<T *>(base);
        return element;
    }

    // A text element at 20,20 sized w x h with a 12-point font, resolved.
    ComPtr<ISkinElement> MakeText(CSkinText **text, LONG w, LONG h, bool multiline)
    {
        ComPtr<ISkinElement> element = Make(&CreateSkinTextElement, text);
        CSkinText *t = *text;
        t->pos = {20, 20};
        t->size = {w, h};
        t->style.face = L"Tahoma";
        t->style.width = 0;
        t->style.height = 12;
        t->style.textColour = 0x00FFFFFF;
        t->style.background = 0xFF000080; // opaque dark red as a GDI colour
        t->multiline = multiline ? 1 : 0;
        t->scrollwidth = 10;
        t->rectScrollBack = {0xFF404040, 0, 0, 0xFF808080, 1};
        t->rectScrollNosel = {0xFF00FF00, 0, 0, 0xFF00FF00, 1};
        t->rectScrollFocus = {0xFFFF0000, 0, 0, 0xFFFF0000, 1};
        ComPtr<ISkinResolve> resolve;
        element.As(&resolve);
        EXPECT_EQ(S_OK, resolve->ResolveResources(osd.Get(), &fonts, &images));
        return element;
    }

    LONG LineHeightOf(CSkinText *)
    {
        SkinStyle style;
        style.face = L"Tahoma";
        style.width = 0;
        style.height = 12;
        HFONT font = fonts.GetFont(style);
        HDC dc = nullptr;
        osd->GetScratchDC(&dc);
        HGDIOBJ old = ::SelectObject(dc, font);
        SIZE size{};
        MeasureText(dc, L" ", 1, &size);
        ::SelectObject(dc, old);
        return size.cy;
    }

    LONG locksBefore = 0;
    ComPtr<CFakeOsd> osd;
    SkinFontCache fonts;
    SkinImageCache images;
};

// The premultiplied background of 0xFF000080 in the DIB's 0x00RRGGBB order.
constexpr DWORD kTextKey = 0x00800000;

TEST_F(TextElementTest, FacesShareOneObjectAndTextsGoThroughTheStringTable)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = Make(&CreateSkinTextElement, &text);
    ComPtr<ISkinText> face;
    ASSERT_EQ(S_OK, element.As(&face));
    ComPtr<ISkinControl> control;
    ASSERT_EQ(S_OK, element.As(&control));
    ComPtr<ISkinElement> again;
    ASSERT_EQ(S_OK, control.As(&again));
    EXPECT_EQ(element.Get(), again.Get());

    tx::Bstr got;
    EXPECT_EQ(S_OK, face->GetText(got.Put()));
    EXPECT_TRUE(got.IsNull()); // no text yet

    // Without a source the text is kept as given; attaching one translates it.
    EXPECT_EQ(S_OK, face->SetText(tx::Bstr(L"$Hello$").Get()));
    auto strings = tx::MakeComObject<CFakeStrings>();
    EXPECT_EQ(S_OK, element->Attach(strings.Get(), 0));
    EXPECT_EQ(S_OK, face->GetText(got.Put()));
    EXPECT_STREQ(L"Bonjour", got.c_str());

    EXPECT_EQ(S_OK, face->SetText(tx::Bstr(L"$Hello$").Get()));
    EXPECT_EQ(S_OK, face->GetText(got.Put()));
    EXPECT_STREQ(L"Bonjour", got.c_str());
    EXPECT_EQ(S_OK, face->SetText(tx::Bstr(L"$$").Get()));
    EXPECT_EQ(S_OK, face->GetText(got.Put()));
    EXPECT_STREQ(L"$$", got.c_str());

    // Appended text is taken as it is.
    const int before = strings->calls;
    EXPECT_EQ(S_OK, face->AppendText(tx::Bstr(L"$Hello$").Get()));
    EXPECT_EQ(before, strings->calls);
    EXPECT_EQ(S_OK, face->GetText(got.Put()));
    EXPECT_STREQ(L"$$$Hello$", got.c_str());

    text->data = L"payload";
    EXPECT_EQ(S_OK, face->GetData(got.Put()));
    EXPECT_STREQ(L"payload", got.c_str());
    EXPECT_EQ(S_OK, face->SetPosition(7, 9));
    EXPECT_EQ(S_OK, face->SetAlign(1));
    EXPECT_EQ(7, text->pos.a);
    EXPECT_EQ(9, text->pos.b);
    EXPECT_EQ(1, text->align);

    // An object that is no string table is refused and the source stays.
    EXPECT_EQ(E_NOINTERFACE, element->Attach(osd.Get(), 0));
    EXPECT_EQ(S_OK, element->Attach(nullptr, 0));
}

TEST_F(TextElementTest, SingleLineAlignmentPlacesTheText)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = MakeText(&text, 200, 30, false);
    ComPtr<ISkinText> face;
    element.As(&face);
    face->SetText(tx::Bstr(L"Abc").Get());

    struct Case
    {
        LONG align;
        const char *name;
    } cases[] = {{0, "left"}, {1, "right"}, {2, "centre"}};
    std::vector<std::pair<LONG, LONG>> ink;
    for (const Case &c : cases)
    {
        text->align = c.align;
        osd->copies.clear();
        ASSERT_EQ(S_OK, element->Draw(osd.Get())) << c.name;
        ASSERT_EQ(1u, osd->copies.size()) << c.name;
        const CopyCall &copy = osd->copies[0];
        EXPECT_EQ(20, copy.x);
        EXPECT_EQ(20, copy.y);
        EXPECT_EQ(200, copy.w);
        EXPECT_EQ(30, copy.h);
        EXPECT_FALSE(copy.indexMode);
        EXPECT_TRUE(copy.smooth);
        EXPECT_TRUE(copy.useKey);
        EXPECT_EQ(kTextKey, copy.key) << c.name;
        ink.push_back(osd->InkColumns(20, 20, 200, 30, kTextKey));
        ASSERT_GE(ink.back().first, 0) << c.name;
    }
    EXPECT_LT(ink[0].first, 20 + 4);   // left edge at x
    EXPECT_GT(ink[1].second, 220 - 4); // right edge at x + w
    const LONG centre = (ink[2].first + ink[2].second) / 2;
    EXPECT_NEAR(120, centre, 3); // centred on x + w/2
}

TEST_F(TextElementTest, PathEllipsisKeepsALongPathInsideTheWidth)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = MakeText(&text, 120, 30, false);
    ComPtr<ISkinText> face;
    element.As(&face);
    face->SetText(tx::Bstr(L"C:\\Music\\Some long folder name\\Another folder\\track.mp3").Get());
    text->path = 1;
    osd->Clear(kTextKey);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    auto ink = osd->InkColumns(0, 20, kOsdWidth, 30, kTextKey);
    EXPECT_GE(ink.first, 20);
    EXPECT_LE(ink.second, 140);

    // Right-aligned, the shortened path still stays inside and reaches the right part.
    text->align = 1;
    osd->Clear(kTextKey);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ink = osd->InkColumns(0, 20, kOsdWidth, 30, kTextKey);
    EXPECT_GE(ink.first, 20);
    EXPECT_LE(ink.second, 140);
    EXPECT_GT(ink.second, 110);
    text->align = 0;

    text->path = 0; // without path the text runs past the element
    osd->Clear(kTextKey);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ink = osd->InkColumns(0, 20, kOsdWidth, 30, kTextKey);
    EXPECT_GT(ink.second, 140);
}

TEST_F(TextElementTest, MultiLineTextThatFitsHasNoScrollBarAndNoFocus)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = MakeText(&text, 200, 100, true);
    ComPtr<ISkinText> face;
    element.As(&face);
    face->SetText(tx::Bstr(L"one two").Get());
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->requested.empty());
    ASSERT_EQ(1u, osd->copies.size());
    EXPECT_EQ(200, osd->copies[0].w);
    EXPECT_EQ(-1, text->ScrollState().total);

    ComPtr<ISkinControl> control;
    element.As(&control);
    LONG x = -5, y = -5, w = -5, h = -5;
    EXPECT_EQ(S_FALSE, control->GetFocusRect(&x, &y, &w, &h));
    EXPECT_EQ(-5, x);
    EXPECT_EQ(S_FALSE, control->SetFocus(2, 0, 0));
    LONG cx = 0, cy = 0;
    EXPECT_EQ(S_OK, control->GetCenter(&cx, &cy));
    EXPECT_EQ(120, cx);
    EXPECT_EQ(70, cy);

    // A null text draws the background and copies nothing.
    face->SetText(nullptr);
    osd->copies.clear();
    EXPECT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->copies.empty());
}

TEST_F(TextElementTest, OverflowingTextShowsAScrollBarInPaletteIndicesAndTakesTheFocus)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = MakeText(&text, 200, 100, true);
    ComPtr<ISkinText> face;
    element.As(&face);
    std::wstring many;
    for (int i = 0; i < 20; ++i)
        many += L"line " + std::to_wstring(i) + L"\n";
    face->SetText(tx::Bstr(many.c_str()).Get());
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));

    const LONG lh = LineHeightOf(text);
    ASSERT_GT(lh, 0);
    EXPECT_EQ(lh, text->LineHeight());
    EXPECT_EQ(20, text->ScrollState().total);
    EXPECT_EQ((100 - lh - 1) / lh + 1, text->ScrollState().visible); // tops above bottom - lh
    EXPECT_EQ(0, text->ScrollState().position);

    // Track fill, track border, thumb fill, thumb border, as OSD colours (red and blue swapped).
    ASSERT_EQ(4u, osd->requested.size());
    EXPECT_EQ(SkinColourToOsd(0xFF404040), osd->requested[0]);
    EXPECT_EQ(SkinColourToOsd(0xFF808080), osd->requested[1]);
    EXPECT_EQ(SkinColourToOsd(0xFF00FF00), osd->requested[2]);

    ASSERT_EQ(2u, osd->copies.size());
    const CopyCall &bar = osd->copies[0];
    EXPECT_EQ(20 + 200 - 10 - 1, bar.x);
    EXPECT_EQ(19, bar.y);
    EXPECT_EQ(12, bar.w);
    EXPECT_EQ(102, bar.h);
    EXPECT_TRUE(bar.indexMode);
    EXPECT_FALSE(bar.smooth);
    EXPECT_TRUE(bar.useKey);
    EXPECT_EQ(0u, bar.key);
    const CopyCall &body = osd->copies[1];
    EXPECT_EQ(200 - 10 - 6, body.w);
    EXPECT_EQ(kTextKey, body.key);

    // On the OSD: the thumb at the top, at least 30 high, as index pixels of the thumb's
    // fill; the track below; colour 0 around the track keyed out.
    const DWORD trackFill = 0xFF000000 | kFirstFreeIndex;
    const DWORD thumbFill = 0xFF000000 | (kFirstFreeIndex + 2);
    EXPECT_EQ(thumbFill, osd->Target(215, 25));
    EXPECT_EQ(thumbFill, osd->Target(215, 20 + 28));
    EXPECT_EQ(trackFill, osd->Target(215, 20 + 90));
    EXPECT_EQ(kUntouched, osd->Target(209, 60));
    // The text body: true-colour pixels, the background keyed out.
    EXPECT_EQ(kUntouched, osd->Target(200, 115));
    EXPECT_EQ(0u, osd->Target(25, 25) & 0xFF000000);

    ComPtr<ISkinControl> control;
    element.As(&control);
    LONG x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(S_OK, control->GetFocusRect(&x, &y, &w, &h));
    EXPECT_EQ(200, w);
    EXPECT_EQ(S_OK, control->SetFocus(2, 0, 0));
    osd->requested.clear();
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ASSERT_EQ(4u, osd->requested.size());
    EXPECT_EQ(SkinColourToOsd(0xFFFF0000), osd->requested[2]); // the focused thumb
    EXPECT_EQ(E_NOTIMPL, control->JumpToDigit(3));
    EXPECT_EQ(S_OK, control->KillFocus());
    EXPECT_FALSE(text->HasFocus());

    // A new text starts unmeasured: no focus until a draw finds it too long.
    face->SetText(tx::Bstr(L"short").Get());
    EXPECT_EQ(S_FALSE, control->GetFocusRect(&x, &y, &w, &h));

    // A text element fills only the id of a command.
    text->id = L"info";
    tx::Bstr idOut, actionOut;
    LONG first = 42;
    EXPECT_EQ(S_OK, control->GetCommand(TRUE, idOut.Put(), &first, nullptr, actionOut.Put(), nullptr));
    EXPECT_STREQ(L"info", idOut.c_str());
    EXPECT_TRUE(actionOut.IsNull());
    EXPECT_EQ(42, first);
}

TEST_F(TextElementTest, ScrollingMovesALineWithAHalfLineTick)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = MakeText(&text, 200, 100, true);
    ComPtr<ISkinText> face;
    element.As(&face);
    // Two empty lines first, so the first drawn line stays inside the element while moving.
    std::wstring many = L"\n\n";
    for (int i = 0; i < 12; ++i)
        many += L"Wg" + std::to_wstring(i) + L"\n";
    face->SetText(tx::Bstr(many.c_str()).Get());
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    const LONG lh = text->LineHeight();
    const LONG before = osd->InkRows(20, 20, 184, 100, kTextKey).first;

    ComPtr<ISkinControl> control;
    element.As(&control);
    BOOL handled = FALSE;
    EXPECT_EQ(S_OK, control->Navigate(2, &handled));
    EXPECT_TRUE(handled);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    const LONG halfway = osd->InkRows(20, 20, 184, 100, kTextKey).first;
    BOOL redraw = FALSE;
    EXPECT_EQ(S_OK, element->Animate(&redraw));
    EXPECT_TRUE(redraw);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    const LONG settled = osd->InkRows(20, 20, 184, 100, kTextKey).first;
    redraw = FALSE;
    EXPECT_EQ(S_OK, element->Animate(&redraw));
    EXPECT_FALSE(redraw);
    // The second line now stands where the first stood; half a line lower during the tick.
    EXPECT_EQ(before - lh, settled);
    EXPECT_EQ(settled + lh / 2, halfway);

    // Down to the last page, then one more: nothing moves and handled stays unset.
    const int32_t last = text->ScrollState().total - text->ScrollState().visible;
    for (int i = 0; i < 40; ++i)
    {
        handled = FALSE;
        control->Navigate(2, &handled);
        element->Animate(&redraw);
    }
    EXPECT_EQ(last, text->ScrollState().position);
    EXPECT_FALSE(handled);
    handled = FALSE;
    control->Navigate(1, &handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(last - 1, text->ScrollState().position);
}

TEST_F(TextElementTest, AppendedTextShowsTheEndAndAFullPaletteLeavesItUndrawn)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = MakeText(&text, 200, 100, true);
    ComPtr<ISkinText> face;
    element.As(&face);
    face->SetText(tx::Bstr(L"first\n").Get());
    for (int i = 0; i < 15; ++i)
        face->AppendText(tx::Bstr((L"more " + std::to_wstring(i) + L"\n").c_str()).Get());
    EXPECT_EQ(-1, text->ScrollState().position);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_EQ(16, text->ScrollState().total);
    EXPECT_EQ(text->ScrollState().total - text->ScrollState().visible, text->ScrollState().position);

    // The thumb sits at the bottom of the track.
    EXPECT_EQ(0xFF000000 | (kFirstFreeIndex + 2), osd->Target(215, 20 + 97));

    face->AppendText(tx::Bstr(L"x").Get());
    osd->paletteRoom = 1; // track fill fits, the rest does not
    osd->colours.clear();
    osd->copies.clear();
    EXPECT_EQ(E_UNEXPECTED, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->copies.empty());
}

TEST_F(TextElementTest, ABlockNarrowerThanACharacterStillDrawsAndEnds)
{
    for (uint8_t byCharacters : {0, 1})
    {
        CSkinText *text = nullptr;
        ComPtr<ISkinElement> element = MakeText(&text, 3, 200, true);
        text->nobreak = byCharacters;
        ComPtr<ISkinText> face;
        element.As(&face);
        face->SetText(tx::Bstr(L"abc def").Get());
        osd->copies.clear();
        ASSERT_EQ(S_OK, element->Draw(osd.Get()));
        // No room for a scroll bar: the overflow is cut and the element copied whole.
        ASSERT_EQ(1u, osd->copies.size());
        EXPECT_EQ(3, osd->copies[0].w);
        EXPECT_EQ(-1, text->ScrollState().total);

        // Room for a bar but not for a character: one character per line, scrolling.
        text->size = {20, 40}; // 4 pixels left for the text
        face->SetText(tx::Bstr(L"WWWWWWWWWW").Get());
        ASSERT_EQ(S_OK, element->Draw(osd.Get()));
        EXPECT_EQ(10, text->ScrollState().total);
    }
}

TEST_F(TextElementTest, CloneCopiesAttributesButNotTheLayoutState)
{
    CSkinText *text = nullptr;
    ComPtr<ISkinElement> element = MakeText(&text, 200, 40, true);
    text->id = L"t";
    text->data = L"d";
    text->nobreak = 1;
    text->resize = SKIN_RESIZE_SCALE;
    ComPtr<ISkinText> face;
    element.As(&face);
    face->SetText(tx::Bstr(L"a\nb\nc\nd\ne\nf").Get());
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ASSERT_GE(text->ScrollState().total, 0);

    ComPtr<ISkinElement> copy;
    ASSERT_EQ(S_OK, element->Clone(copy.GetAddressOf()));
    ComPtr<ISkinResolve> resolve;
    copy.As(&resolve);
    CSkinElement *base = nullptr;
    resolve->GetElement(&base);
    auto *clone = static_cast<CSkinText *>(base);
    EXPECT_EQ(text->text, clone->text);
    EXPECT_EQ(L"d", clone->data);
    EXPECT_EQ(L"t", clone->id);
    EXPECT_EQ(1, clone->nobreak);
    EXPECT_EQ(L"Tahoma", clone->style.face);
    EXPECT_EQ(10, clone->scrollwidth);
    EXPECT_EQ(-1, clone->ScrollState().total);

    EXPECT_EQ(S_OK, copy->Relayout(96));
    EXPECT_EQ(20 - 48, clone->pos.b);
    EXPECT_EQ(40 + 96, clone->size.b);
}

TEST_F(TextElementTest, RectDrawsPaletteIndicesAndFailsCleanlyOnAFullPalette)
{
    CSkinRect *rect = nullptr;
    ComPtr<ISkinElement> element = Make(&CreateSkinRectElement, &rect);
    rect->pos = {30, 40};
    rect->size = {50, 20};
    rect->rect = {0xFF112233, 0, 0, 0xFF445566, 2};
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ASSERT_EQ(2u, osd->requested.size());
    EXPECT_EQ(0xFF332211u, osd->requested[0]); // red and blue exchanged for the palette
    EXPECT_EQ(0xFF665544u, osd->requested[1]);
    EXPECT_EQ(DWORD(kFirstFreeIndex), osd->Pixel(55, 50) & 0x00FFFFFF);     // fill
    EXPECT_EQ(DWORD(kFirstFreeIndex + 1), osd->Pixel(30, 50) & 0x00FFFFFF); // border
    EXPECT_EQ(0u, osd->Pixel(28, 38) & 0x00FFFFFF);                         // cleared corner
    ASSERT_EQ(1u, osd->copies.size());
    const CopyCall &copy = osd->copies[0];
    EXPECT_EQ(28, copy.x);
    EXPECT_EQ(38, copy.y);
    EXPECT_EQ(54, copy.w);
    EXPECT_EQ(24, copy.h);
    EXPECT_TRUE(copy.indexMode);
    EXPECT_FALSE(copy.smooth);
    EXPECT_TRUE(copy.useKey);
    EXPECT_EQ(0u, copy.key);

    ComPtr<ISkinRect> bar;
    ASSERT_EQ(S_OK, element.As(&bar));
    EXPECT_EQ(S_OK, bar->SetLength(0));
    LONG length = -1;
    EXPECT_EQ(S_OK, bar->GetLength(&length));
    EXPECT_EQ(0, length);
    osd->copies.clear();
    EXPECT_EQ(S_OK, element->Draw(osd.Get())); // a zero-length bar still draws its outline

    osd->colours.clear();
    osd->paletteRoom = 1;
    osd->copies.clear();
    EXPECT_EQ(E_UNEXPECTED, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->copies.empty());

    ComPtr<ISkinControl> control;
    EXPECT_EQ(E_NOINTERFACE, element.As(&control));
}

TEST_F(TextElementTest, BlockRectShowsBlocksThatEndLeftOfTheRightEdge)
{
    CSkinBlockRect *blocks = nullptr;
    ComPtr<ISkinElement> element = Make(&CreateSkinBlockRectElement, &blocks);
    blocks->pos = {100, 100};
    blocks->size = {100, 10};
    blocks->rect = {0xFF0000FF, 0, 0, 0xFF0000FF, 0};
    blocks->itemwidth = 10;
    blocks->itemspace = 0;
    auto blockAt = [&](LONG x) { return (osd->Pixel(x, 105) & 0x00FFFFFF) == kFirstFreeIndex; };

    osd->Clear(0x00ABCDEF);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_TRUE(blockAt(105));
    EXPECT_TRUE(blockAt(185));  // the ninth block
    EXPECT_FALSE(blockAt(195)); // the tenth would end exactly at x + w

    // itemwidth + itemspace that never advances: at most one block, and the draw ends.
    for (int32_t space : {-10, -25})
    {
        blocks->itemspace = space;
        osd->Clear(0x00ABCDEF);
        ASSERT_EQ(S_OK, element->Draw(osd.Get()));
        EXPECT_TRUE(blockAt(105));
        EXPECT_FALSE(blockAt(125));
    }

    // A bar not wider than a block shows none.
    blocks->itemspace = 0;
    ComPtr<ISkinBlockRect> bar;
    ASSERT_EQ(S_OK, element.As(&bar));
    bar->SetLength(10);
    osd->Clear(0x00ABCDEF);
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_FALSE(blockAt(105));

    // A huge width stops at the OSD's edge.
    bar->SetLength(0x7FFFFFF0);
    blocks->itemwidth = 1;
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
}

TEST_F(TextElementTest, ImageKeepsItsAspectAndKeysOnlyWithAColour)
{
    CSkinImage *image = nullptr;
    ComPtr<ISkinElement> element = Make(&CreateSkinImageElement, &image);
    image->pos = {10, 20};
    image->size = {200, 100};
    image->keepaspect = 1;

    // Without a picture: the background is filled and nothing reaches the OSD.
    image->src.key = 0x80FFFFFF;
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->copies.empty());
    EXPECT_EQ(0x00808080u, osd->Pixel(50, 50) & 0x00FFFFFF); // premultiplied background

    images.SetLoader([](const wchar_t *, IPictureSurface **surface) noexcept {
        return CreatePictureSurface(64, 64, nullptr, 64, surface);
    });
    image->src.name = L"square.png";
    ComPtr<ISkinResolve> resolve;
    element.As(&resolve);
    ASSERT_EQ(S_OK, resolve->ResolveResources(osd.Get(), &fonts, &images));
    ASSERT_NE(nullptr, image->Picture());

    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ASSERT_EQ(1u, osd->transforms.size());
    const TransformCall &t = osd->transforms[0];
    EXPECT_EQ(60, t.x);
    EXPECT_EQ(20, t.y);
    EXPECT_EQ(100, t.w);
    EXPECT_EQ(100, t.h);
    EXPECT_EQ(64, t.a);
    EXPECT_EQ(64, t.b);
    ASSERT_EQ(1u, osd->copies.size());
    EXPECT_EQ(60, osd->copies[0].x);
    EXPECT_EQ(100, osd->copies[0].w);
    EXPECT_FALSE(osd->copies[0].indexMode);
    EXPECT_TRUE(osd->copies[0].smooth);
    EXPECT_TRUE(osd->copies[0].useKey);
    EXPECT_EQ(0x00808080u, osd->copies[0].key);

    // A colour of 0 copies without a key, so black picture pixels show.
    image->src.key = 0;
    osd->copies.clear();
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ASSERT_EQ(1u, osd->copies.size());
    EXPECT_FALSE(osd->copies[0].useKey);

    // Zero sizes neither divide by zero nor scale anything.
    image->size = {0, 100};
    osd->transforms.clear();
    osd->copies.clear();
    EXPECT_EQ(S_OK, element->Draw(osd.Get()));
    image->size = {200, 0};
    EXPECT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->transforms.empty());
    EXPECT_TRUE(osd->copies.empty());

    // A failed scratch DC is the draw's result.
    osd->failScratch = true;
    EXPECT_EQ(E_FAIL, element->Draw(osd.Get()));
    osd->failScratch = false;

    // No src name: E_FAIL; an unknown one: no picture, S_OK.
    image->src.name.clear();
    EXPECT_EQ(E_FAIL, resolve->ResolveResources(osd.Get(), &fonts, &images));
    EXPECT_EQ(nullptr, image->Picture());
    images.SetLoader([](const wchar_t *, IPictureSurface **) noexcept { return E_FAIL; });
    image->src.name = L"missing.png";
    EXPECT_EQ(S_OK, resolve->ResolveResources(osd.Get(), &fonts, &images));
    EXPECT_EQ(nullptr, image->Picture());
    images.Clear();

    // ISkinImage::SetPicture through the loader seam.
    CSkinImage::SetPictureLoader([](const wchar_t *path, IPictureSurface **surface) noexcept {
        return std::wstring(path) == L"C:\\pic.jpg" ? CreatePictureSurface(8, 4, nullptr, 8, surface) : E_FAIL;
    });
    ComPtr<ISkinImage> face;
    ASSERT_EQ(S_OK, element.As(&face));
    EXPECT_EQ(S_OK, face->SetPicture(tx::Bstr(L"C:\\pic.jpg").Get()));
    EXPECT_NE(nullptr, image->Picture());
    EXPECT_EQ(E_FAIL, face->SetPicture(tx::Bstr(L"C:\\other.jpg").Get()));
    EXPECT_EQ(nullptr, image->Picture());
    CSkinImage::SetPictureLoader(nullptr);
}

TEST_F(TextElementTest, SliderKeepsItsAttributesButNeverDraws)
{
    CSkinSlider *slider = nullptr;
    ComPtr<ISkinElement> element = Make(&CreateSkinSliderElement, &slider);
    slider->pos = {1, 2};
    slider->size = {3, 4};
    slider->imageMarkerFocus = {L"marker.png", 0xFF00FF00};
    slider->id = L"s";
    EXPECT_EQ(E_NOTIMPL, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->copies.empty());
    EXPECT_TRUE(osd->requested.empty());

    ComPtr<ISkinElement> copy;
    ASSERT_EQ(S_OK, element->Clone(copy.GetAddressOf()));
    ComPtr<ISkinResolve> resolve;
    copy.As(&resolve);
    CSkinElement *base = nullptr;
    resolve->GetElement(&base);
    auto *clone = static_cast<CSkinSlider *>(base);
    EXPECT_EQ(L"marker.png", clone->imageMarkerFocus.name);
    EXPECT_EQ(0xFF00FF00u, clone->imageMarkerFocus.key);
    EXPECT_EQ(3, clone->size.a);
    EXPECT_EQ(L"s", clone->id);
    ComPtr<ISkinControl> control;
    EXPECT_EQ(E_NOINTERFACE, copy.As(&control));
}

// The tags' attribute tables read real skin XML into the element fields.
TEST_F(TextElementTest, TagAttributesFillTheFields)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        ComPtr<IXMLDOMDocument2> document;
        ASSERT_EQ(S_OK,
                  ::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IXMLDOMDocument2),
                                     reinterpret_cast<void **>(document.GetAddressOf())));
        auto load = [&](const wchar_t *xml) {
            VARIANT_BOOL ok = VARIANT_FALSE;
            EXPECT_EQ(S_OK, document->loadXML(tx::Bstr(xml).Get(), &ok));
            ComPtr<IXMLDOMElement> node;
            EXPECT_EQ(S_OK, document->get_documentElement(node.GetAddressOf()));
            return node;
        };

        CSkinText *text = nullptr;
        ComPtr<ISkinElement> textElement = Make(&CreateSkinTextElement, &text);
        ASSERT_EQ(1u, CSkinText::kPartCount);
        ASSERT_EQ(16u, CSkinText::kAttributeCount);
        ComPtr<IXMLDOMElement> node =
            load(L"<text pos='5,6' size='100,20' align='right' multiline='yes' nobreak='yes' path='yes' "
                 L"rtlreading='yes' scrollwidth='8' data='payload' id='info' resize='move'>$Hello$</text>");
        ASSERT_EQ(S_OK, ApplySkinAttributes(CSkinText::kParts[0], node.Get(), text, false));
        EXPECT_EQ(5, text->pos.a);
        EXPECT_EQ(20, text->size.b);
        EXPECT_EQ(1, text->align);
        EXPECT_EQ(1, text->multiline);
        EXPECT_EQ(1, text->nobreak);
        EXPECT_EQ(1, text->path);
        EXPECT_EQ(1, text->rtlreading);
        EXPECT_EQ(8, text->scrollwidth);
        EXPECT_EQ(L"payload", text->data);
        EXPECT_EQ(L"info", text->id);
        EXPECT_EQ(SKIN_RESIZE_MOVE, text->resize);
        EXPECT_EQ(L"$Hello$", text->text);

        CSkinBlockRect *blocks = nullptr;
        ComPtr<ISkinElement> blockElement = Make(&CreateSkinBlockRectElement, &blocks);
        node = load(L"<blockrect pos='1,2' size='30,4' itemwidth='6' itemspace='2' id='bar'/>");
        ASSERT_EQ(S_OK, ApplySkinAttributes(CSkinBlockRect::kParts[0], node.Get(), blocks, false));
        EXPECT_EQ(6, blocks->itemwidth);
        EXPECT_EQ(2, blocks->itemspace);
        EXPECT_EQ(30, blocks->size.a);
        EXPECT_EQ(L"bar", blocks->id);

        CSkinImage *image = nullptr;
        ComPtr<ISkinElement> imageElement = Make(&CreateSkinImageElement, &image);
        node = load(L"<image src='logo.png' keepaspect='yes' size='10,10'/>");
        ASSERT_EQ(S_OK, ApplySkinAttributes(CSkinImage::kParts[0], node.Get(), image, false));
        EXPECT_EQ(L"logo.png", image->src.name);
        EXPECT_EQ(1, image->keepaspect);

        CSkinSlider *slider = nullptr;
        ComPtr<ISkinElement> sliderElement = Make(&CreateSkinSliderElement, &slider);
        node = load(L"<slider image-left='l.png' image-marker-phantom='p.png'/>");
        ASSERT_EQ(S_OK, ApplySkinAttributes(CSkinSlider::kParts[0], node.Get(), slider, false));
        EXPECT_EQ(L"l.png", slider->imageLeft.name);
        EXPECT_EQ(L"p.png", slider->imageMarkerPhantom.name);
        EXPECT_EQ(5u, CSkinRect::kAttributeCount);
    }
    ::CoUninitialize();
}

} // namespace

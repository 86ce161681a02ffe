// Button, buttonimg and menu elements under Wine: focus, navigation through the faces,
// the repeat lock with an injected clock, blink and flash ticks, captions through the
// string lookup, menu items and selection, drawing into a DIB of ours, and the action
// text handed unchanged to the host's run-program call.
#include "txHost/skin/SkinButton.h"
#include "txHost/skin/SkinButtonImg.h"
#include "txHost/skin/SkinMenu.h"
#include "txHost/skin/SkinManagerInterfaces.h"

#include "comkit/Bstr.h"
#include "comkit/ComObject.h"
#include "comkit/ComPtr.h"
#include "comkit/Module.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using tx::ComPtr;
using namespace tx::skin;

DWORD g_now = 0;
DWORD TestClock() noexcept
{
    return g_now;
}

// The string table: "$Key$" texts become "<Key>", others come back unchanged.
class FakeStrings : public tx::ComObject<FakeStrings, ISkinStringTable>
{
  public:
    STDMETHODIMP GetString(BSTR text, BSTR *result) override
    {
        std::wstring in = text ? text : L"";
        if (in.size() > 2 && in.front() == L'$' && in.back() == L'$')
            in = L"<" + in.substr(1, in.size() - 2) + L">";
        *result = ::SysAllocString(in.c_str());
        return *result ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetSkinFolder(BSTR *folder) override
    {
        *folder = nullptr;
        return E_NOTIMPL;
    }
};

// An OSD over a DIB of ours: a palette that can run out, and a log of the copies.
class FakeOsd : public tx::ComObject<FakeOsd, IOsd>
{
  public:
    struct Copy
    {
        LONG x, y, w, h;
        BOOL index, smooth, useKey;
        DWORD key;
    };
    FakeOsd()
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 720, -480, 1, 32, BI_RGB};
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
    }
    ~FakeOsd()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    STDMETHODIMP GetPaletteIndex(DWORD colour, BYTE *index) override
    {
        for (size_t i = 0; i < palette.size(); ++i)
            if (palette[i] == colour)
                return *index = static_cast<BYTE>(i + 1), S_OK;
        if (palette.size() >= paletteRoom)
            return E_UNEXPECTED;
        palette.push_back(colour);
        *index = static_cast<BYTE>(palette.size());
        return S_OK;
    }
    STDMETHODIMP GetTargetBits(DWORD **bits) override
    {
        *bits = m_bits;
        return S_OK;
    }
    STDMETHODIMP GetSize(LONG *w, LONG *h) override
    {
        *w = 720;
        *h = 480;
        return S_OK;
    }
    STDMETHODIMP GetTargetDC(HDC *dc) override
    {
        *dc = m_dc;
        return S_OK;
    }
    STDMETHODIMP GetScratchDC(HDC *dc) override
    {
        *dc = m_dc;
        return S_OK;
    }
    STDMETHODIMP CopyFromScratch(LONG x, LONG y, LONG w, LONG h, BOOL index, BOOL smooth, BOOL useKey,
                                 DWORD key) override
    {
        copies.push_back({x, y, w, h, index, smooth, useKey, key});
        ::GdiFlush();
        for (LONG row = y; row < y + h && row < 480; ++row)
            for (LONG column = x; column < x + w && column < 720; ++column)
            {
                if (row < 0 || column < 0)
                    continue;
                DWORD p = m_bits[row * 720 + column] & 0x00FFFFFF;
                if (useKey && p == key)
                    continue;
                target[row * 720 + column] = index ? (p | 0xFF000000) : p;
            }
        return S_OK;
    }
    STDMETHODIMP GetFactor(double *factor) override
    {
        *factor = 1.0;
        return S_OK;
    }
    STDMETHODIMP RunTransform(IUnknown *, LONG, LONG, LONG, LONG, LONG, LONG) override
    {
        return S_OK;
    }
    // A pixel of the target (what the copies delivered).
    DWORD Pixel(int x, int y) const
    {
        return target[y * 720 + x];
    }

    std::vector<DWORD> target = std::vector<DWORD>(720 * 480, 0);
    std::vector<DWORD> palette;
    size_t paletteRoom = 256;
    std::vector<Copy> copies;

  private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD *m_bits = nullptr;
};

class MenuElementTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        locksBefore = tx::module::LockCount();
        g_now = 100000;
        SetSkinTickSource(&TestClock);
    }
    void TearDown() override
    {
        SetSkinTickSource(nullptr);
        EXPECT_EQ(locksBefore, tx::module::LockCount()) << "an object was not released";
    }

    template <class T> ComPtr<ISkinElement> Make(T **object)
    {
        ComPtr<ISkinElement> element;
        EXPECT_EQ(S_OK, CreateSkinElementWithObject<T>(element.GetAddressOf(), object));
        return element;
    }
    template <class I> ComPtr<I> As(IUnknown *unknown)
    {
        ComPtr<I> face;
        EXPECT_EQ(S_OK, unknown->QueryInterface(__uuidof(I), reinterpret_cast<void **>(face.GetAddressOf())));
        return face;
    }

    // A menu with count items "i0".."iN" in columns columns; item k has action "run k".
    ComPtr<ISkinElement> MakeMenu(CSkinMenu **menu, int count, int columns)
    {
        ComPtr<ISkinElement> element = Make(menu);
        (*menu)->id = L"main";
        (*menu)->pos = {50, 60};
        (*menu)->size = {100, 20};
        (*menu)->colSpace = 10;
        (*menu)->lineSpace = 5;
        (*menu)->col = columns;
        for (int k = 0; k < count; ++k)
        {
            CSkinMenuItem *item = nullptr;
            ComPtr<ISkinElement> child = Make(&item);
            item->id = L"i" + std::to_wstring(k);
            item->text = L"$Item" + std::to_wstring(k) + L"$";
            item->action = L"run " + std::to_wstring(k);
            item->data = L"data" + std::to_wstring(k);
            item->nav = L"nav" + std::to_wstring(k);
            EXPECT_EQ(S_OK, As<ISkinResolve>(element.Get())->AddChild(child.Get(), item));
        }
        return element;
    }

    struct Command
    {
        HRESULT hr;
        tx::Bstr id, action, second;
        LONG first = -7, fourth = -9;
    };
    static Command Activate(ISkinControl *control, BOOL activate = TRUE)
    {
        Command c;
        c.hr = control->GetCommand(activate, c.id.Put(), &c.first, &c.fourth, c.action.Put(), c.second.Put());
        return c;
    }

    LONG locksBefore = 0;
};

TEST_F(MenuElementTest, ButtonRepeatLockBlinkAndCommand)
{
    CSkinButton *button = nullptr;
    ComPtr<ISkinElement> element = Make(&button);
    button->id = L"ok";
    button->action = L"player.exe %s%n";
    ComPtr<ISkinControl> control = As<ISkinControl>(element.Get());
    ASSERT_EQ(S_OK, control->SetFocus(SKIN_DIR_DOWN, 0, 0));

    // (time since the previous activation, expected result)
    struct Step
    {
        DWORD after;
        HRESULT expected;
    } steps[] = {{0, S_OK}, {499, S_FALSE}, {500, S_OK}, {500, S_OK}, {0, S_FALSE}};
    for (const Step &step : steps)
    {
        g_now += step.after;
        Command c = Activate(control.Get());
        EXPECT_EQ(step.expected, c.hr) << "after " << step.after;
        if (c.hr == S_OK)
        {
            EXPECT_STREQ(L"ok", c.id.Get());
            EXPECT_STREQ(L"ok", c.second.Get());
            EXPECT_STREQ(L"player.exe %s%n", c.action.Get()); // the skin's text, untouched
            EXPECT_EQ(-7, c.first);
            EXPECT_EQ(-9, c.fourth);
        }
        else
        {
            EXPECT_TRUE(c.id.IsNull());
            EXPECT_TRUE(c.action.IsNull());
        }
    }

    // An accepted activation blinks for one tick; a report without activation does not.
    BOOL redraw = FALSE;
    EXPECT_TRUE(button->IsBlinking());
    EXPECT_EQ(S_OK, element->Animate(&redraw));
    EXPECT_TRUE(redraw);
    EXPECT_FALSE(button->IsBlinking());
    redraw = FALSE;
    EXPECT_EQ(S_OK, element->Animate(&redraw));
    EXPECT_FALSE(redraw);
    EXPECT_EQ(S_OK, Activate(control.Get(), FALSE).hr);
    EXPECT_FALSE(button->IsBlinking());

    // noblink keeps the look; MarkActivated arms the lock.
    button->noBlink = 1;
    g_now += 1000;
    EXPECT_EQ(S_OK, Activate(control.Get()).hr);
    EXPECT_FALSE(button->IsBlinking());
    g_now += 1000;
    EXPECT_EQ(S_OK, control->MarkActivated());
    g_now += 499;
    EXPECT_EQ(S_FALSE, Activate(control.Get()).hr);
}

TEST_F(MenuElementTest, ButtonFocusAndCaptionThroughTheStringTable)
{
    CSkinButton *button = nullptr;
    ComPtr<ISkinElement> element = Make(&button);
    button->pos = {10, 20};
    button->size = {101, 31};
    button->text = L"$Play$";
    ComPtr<ISkinControl> control = As<ISkinControl>(element.Get());
    ComPtr<ISkinButton> face = As<ISkinButton>(element.Get());

    LONG x = -1, y = -1, w = -1, h = -1;
    EXPECT_EQ(S_OK, control->GetFocusRect(&x, &y, &w, &h));
    EXPECT_EQ(101, w);
    EXPECT_EQ(S_OK, control->GetCenter(&x, &y));
    EXPECT_EQ(60, x);
    EXPECT_EQ(35, y);
    BOOL used = TRUE;
    EXPECT_EQ(S_OK, control->Navigate(SKIN_DIR_RIGHT, &used));
    EXPECT_FALSE(used);
    EXPECT_EQ(E_NOTIMPL, control->JumpToDigit(1));

    element->SetVisible(FALSE);
    x = -1;
    EXPECT_EQ(S_FALSE, control->GetFocusRect(&x, &y, &w, &h));
    EXPECT_EQ(-1, x);
    EXPECT_EQ(S_FALSE, control->SetFocus(SKIN_DIR_DOWN, 0, 0));
    EXPECT_FALSE(button->HasFocus());

    {
        ComPtr<FakeStrings> strings = tx::MakeComObject<FakeStrings>();
        EXPECT_EQ(S_OK, element->Attach(strings.Get(), 0));
        tx::Bstr caption;
        EXPECT_EQ(S_OK, face->GetText(caption.Put()));
        EXPECT_STREQ(L"<Play>", caption.Get());
        tx::Bstr key(L"$Stop$");
        EXPECT_EQ(S_OK, face->SetText(key.Get()));
        EXPECT_EQ(S_OK, face->GetText(caption.Put()));
        EXPECT_STREQ(L"<Stop>", caption.Get());
    }

    // A clone carries the attributes but not the focus.
    element->SetVisible(TRUE);
    control->SetFocus(SKIN_DIR_DOWN, 0, 0);
    ComPtr<ISkinElement> clone;
    ASSERT_EQ(S_OK, element->Clone(clone.GetAddressOf()));
    tx::Bstr cloneCaption;
    EXPECT_EQ(S_OK, As<ISkinButton>(clone.Get())->GetText(cloneCaption.Put()));
    EXPECT_STREQ(L"<Stop>", cloneCaption.Get());
    x = 0;
    EXPECT_EQ(S_OK, As<ISkinControl>(clone.Get())->GetCenter(&x, &y));
    EXPECT_EQ(60, x);
}

TEST_F(MenuElementTest, ButtonDrawsFrameInPaletteFormAndFailsWholeWithoutRoom)
{
    CSkinButton *button = nullptr;
    ComPtr<ISkinElement> element = Make(&button);
    button->pos = {100, 100};
    button->size = {80, 30};
    button->rectNosel = {0x0000FF, 0, 0, 0x00FF00, 2};
    button->rectFocus = {0xFF0000, 0, 0, 0x00FF00, 2};
    button->styleNosel.background = 0x80FFFFFF; // half white: key (127,127,127)
    button->margin = {{5, 7, 3, 0}};
    ComPtr<FakeOsd> osd = tx::MakeComObject<FakeOsd>();

    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ASSERT_EQ(2u, osd->copies.size());
    const FakeOsd::Copy &frame = osd->copies[0];
    EXPECT_EQ(98, frame.x);
    EXPECT_EQ(84, frame.w);
    EXPECT_TRUE(frame.index);
    const FakeOsd::Copy &caption = osd->copies[1];
    EXPECT_FALSE(caption.index);
    EXPECT_TRUE(caption.smooth);
    EXPECT_EQ(0x808080u, caption.key);
    // Fill colour 0x0000FF (GDI red) is asked for in the OSD's order.
    EXPECT_EQ(0x00FF0000u, osd->palette[0]);

    osd->copies.clear();
    osd->palette.clear();
    osd->paletteRoom = 1; // room for the fill, none for the border
    EXPECT_EQ(E_UNEXPECTED, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->copies.empty());
}

TEST_F(MenuElementTest, ButtonImgWithoutFocusImageNeverTakesTheFocus)
{
    CSkinButtonImg *button = nullptr;
    ComPtr<ISkinElement> element = Make(&button);
    ComPtr<ISkinControl> control = As<ISkinControl>(element.Get());
    EXPECT_EQ(S_FALSE, control->SetFocus(SKIN_DIR_DOWN, 0, 0));
    button->imageFocus.name = L"focus.png";
    EXPECT_EQ(S_OK, control->SetFocus(SKIN_DIR_DOWN, 0, 0));
    button->action = L"a %s%n";
    Command c = Activate(control.Get());
    EXPECT_EQ(S_OK, c.hr);
    EXPECT_STREQ(L"a %s%n", c.action.Get());
    EXPECT_TRUE(button->IsBlinking());
    g_now += 10;
    EXPECT_EQ(S_FALSE, Activate(control.Get()).hr);
    // No image found: only the background fill, nothing reaches the OSD.
    ComPtr<FakeOsd> osd = tx::MakeComObject<FakeOsd>();
    EXPECT_EQ(S_OK, element->Draw(osd.Get()));
    EXPECT_TRUE(osd->copies.empty());
}

TEST_F(MenuElementTest, MenuNavigatesAndEntersAtTheNearestColumn)
{
    CSkinMenu *menu = nullptr;
    ComPtr<ISkinElement> element = MakeMenu(&menu, 7, 2);
    ComPtr<ISkinControl> control = As<ISkinControl>(element.Get());

    LONG x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(S_OK, control->GetFocusRect(&x, &y, &w, &h));
    EXPECT_EQ(220, w);
    EXPECT_EQ(100, h);

    // Entering from below near the second column: its last item, lowered to 6.
    ASSERT_EQ(S_OK, control->SetFocus(SKIN_DIR_UP, 205, 999));
    EXPECT_EQ(6, menu->Cursor());
    struct Move
    {
        LONG direction;
        BOOL used;
        LONG cursor;
    } moves[] = {{SKIN_DIR_DOWN, FALSE, 6}, {SKIN_DIR_LEFT, TRUE, 2},  {SKIN_DIR_DOWN, TRUE, 3},
                 {SKIN_DIR_RIGHT, FALSE, 3}, {SKIN_DIR_UP, TRUE, 2},   {SKIN_DIR_RIGHT, TRUE, 6},
                 {SKIN_DIR_RIGHT, FALSE, 6}};
    for (const Move &m : moves)
    {
        BOOL used = -1;
        EXPECT_EQ(S_OK, control->Navigate(m.direction, &used));
        EXPECT_EQ(m.used, used) << m.direction;
        EXPECT_EQ(m.cursor, menu->Cursor()) << m.direction;
    }
    EXPECT_EQ(S_OK, control->GetCenter(&x, &y));
    EXPECT_EQ(210, x);
    EXPECT_EQ(120, y);
    ASSERT_EQ(S_OK, control->SetFocus(SKIN_DIR_DOWN, 0, 0));
    EXPECT_EQ(0, menu->Cursor());
}

TEST_F(MenuElementTest, MenuCommandSelectionAndFlash)
{
    CSkinMenu *menu = nullptr;
    ComPtr<ISkinElement> element = MakeMenu(&menu, 3, 1);
    ComPtr<ISkinControl> control = As<ISkinControl>(element.Get());
    ComPtr<ISkinMenu> face = As<ISkinMenu>(element.Get());
    menu->Item(1)->action = L"viewer.exe %s%n";
    control->SetFocus(SKIN_DIR_DOWN, 0, 0);
    BOOL used = FALSE;
    control->Navigate(SKIN_DIR_DOWN, &used);

    Command c = Activate(control.Get());
    ASSERT_EQ(S_OK, c.hr);
    EXPECT_STREQ(L"main", c.id.Get());
    EXPECT_EQ(1, c.first);
    EXPECT_EQ(-9, c.fourth);
    EXPECT_STREQ(L"viewer.exe %s%n", c.action.Get());
    EXPECT_STREQ(L"i1", c.second.Get());
    EXPECT_EQ(1, menu->Chosen());
    EXPECT_TRUE(menu->IsFlashing());

    // Within 500 ms: refused, the chosen item stays.
    control->Navigate(SKIN_DIR_DOWN, &used);
    g_now += 499;
    EXPECT_EQ(S_FALSE, Activate(control.Get()).hr);
    EXPECT_EQ(1, menu->Chosen());
    g_now += 500;
    EXPECT_EQ(S_OK, Activate(control.Get()).hr);
    EXPECT_EQ(2, menu->Chosen());

    BOOL redraw = FALSE;
    element->Animate(&redraw);
    EXPECT_TRUE(redraw);
    EXPECT_FALSE(menu->IsFlashing());

    // GetSelection: the chosen item only with keepselect.
    LONG selection = -1;
    control->Navigate(SKIN_DIR_UP, &used);
    EXPECT_EQ(S_OK, face->GetSelection(&selection));
    EXPECT_EQ(1, selection);
    menu->Item(2)->keepSelect = 1;
    EXPECT_EQ(S_OK, face->GetSelection(&selection));
    EXPECT_EQ(2, selection);
    EXPECT_EQ(S_OK, face->SetSelection(99));
    EXPECT_EQ(2, menu->Cursor());
    EXPECT_EQ(S_OK, face->SetSelection(-4));
    EXPECT_EQ(0, menu->Chosen());
}

TEST_F(MenuElementTest, MenuItemsTextsAndClone)
{
    CSkinMenu *menu = nullptr;
    ComPtr<ISkinElement> element = MakeMenu(&menu, 2, 1);
    ComPtr<ISkinMenu> face = As<ISkinMenu>(element.Get());
    {
        ComPtr<FakeStrings> strings = tx::MakeComObject<FakeStrings>();
        EXPECT_EQ(S_OK, element->Attach(strings.Get(), 0));
    }
    EXPECT_EQ(L"<Item0>", menu->Item(0)->text);

    LONG count = 0;
    EXPECT_EQ(S_OK, face->GetCount(&count));
    EXPECT_EQ(2, count);
    tx::Bstr id, nav, data;
    EXPECT_EQ(S_OK, face->GetItem(1, id.Put(), nullptr, data.Put()));
    EXPECT_STREQ(L"i1", id.Get());
    EXPECT_STREQ(L"data1", data.Get());
    EXPECT_EQ(E_INVALIDARG, face->GetItem(2, id.Put(), nav.Put(), data.Put()));
    EXPECT_EQ(E_INVALIDARG, face->GetItem(-1, id.Put(), nav.Put(), data.Put()));

    tx::Bstr itemId(L"i1"), key(L"$Back$"), unknown(L"I1");
    EXPECT_EQ(S_OK, face->SetItemText(itemId.Get(), key.Get()));
    EXPECT_EQ(L"<Back>", menu->Item(1)->text);
    EXPECT_EQ(E_INVALIDARG, face->SetItemText(unknown.Get(), key.Get()));

    ComPtr<ISkinElement> clone;
    ASSERT_EQ(S_OK, element->Clone(clone.GetAddressOf()));
    LONG cloneCount = 0;
    As<ISkinMenu>(clone.Get())->GetCount(&cloneCount);
    EXPECT_EQ(2, cloneCount);
    tx::Bstr cloneNav;
    EXPECT_EQ(S_OK, As<ISkinMenu>(clone.Get())->GetItem(0, nullptr, cloneNav.Put(), nullptr));
    EXPECT_STREQ(L"nav0", cloneNav.Get());
}

TEST_F(MenuElementTest, EmptyMenuAndNonPositiveColumnsAreGuarded)
{
    CSkinMenu *menu = nullptr;
    ComPtr<ISkinElement> element = MakeMenu(&menu, 0, 0);
    ComPtr<ISkinControl> control = As<ISkinControl>(element.Get());
    ComPtr<ISkinMenu> face = As<ISkinMenu>(element.Get());
    LONG x = -1, y, w, h;
    EXPECT_EQ(S_FALSE, control->GetFocusRect(&x, &y, &w, &h));
    EXPECT_EQ(S_FALSE, control->SetFocus(SKIN_DIR_DOWN, 0, 0));
    EXPECT_EQ(S_FALSE, Activate(control.Get()).hr);
    BOOL used = TRUE;
    EXPECT_EQ(S_OK, control->Navigate(SKIN_DIR_DOWN, &used));
    EXPECT_FALSE(used);
    EXPECT_EQ(S_OK, face->SetSelection(3));
    LONG selection = -1;
    EXPECT_EQ(S_OK, face->GetSelection(&selection));
    EXPECT_EQ(0, selection);
    tx::Bstr itemId(L"x"), text(L"y");
    EXPECT_EQ(E_INVALIDARG, face->SetItemText(itemId.Get(), text.Get()));
    ComPtr<FakeOsd> osd = tx::MakeComObject<FakeOsd>();
    EXPECT_EQ(S_OK, element->Draw(osd.Get()));

    CSkinMenu *negative = nullptr;
    ComPtr<ISkinElement> other = MakeMenu(&negative, 3, -2);
    EXPECT_EQ(S_OK, As<ISkinResolve>(other.Get())->ResolveResources(nullptr, nullptr, nullptr));
    EXPECT_EQ(1, negative->col);
    EXPECT_EQ(3, negative->Grid().RowsPerColumn());
}

TEST_F(MenuElementTest, MenuDrawsEveryCellWithTheLeftSquareStyle)
{
    CSkinMenu *menu = nullptr;
    ComPtr<ISkinElement> element = MakeMenu(&menu, 3, 2);
    menu->rectNosel = {0x0000FF, 16, 16, 0x0000FF, 0};
    menu->menuStyle = 1;
    ComPtr<FakeOsd> osd = tx::MakeComObject<FakeOsd>();
    ASSERT_EQ(S_OK, element->Draw(osd.Get()));
    ASSERT_EQ(6u, osd->copies.size()); // frame and text per item
    EXPECT_EQ(160, osd->copies[4].x);  // item 2 opens the second column
    EXPECT_EQ(60, osd->copies[4].y);
    // The top-left corner pixel is inside the square corner; the top-right one is cut
    // off by the rounding.
    BYTE index = 0;
    osd->GetPaletteIndex(0x00FF0000, &index);
    EXPECT_EQ(0xFF000000u | index, osd->Pixel(50, 60));
    EXPECT_EQ(0u, osd->Pixel(149, 60)); // key 0: the rounded corner stays transparent
}

} // namespace

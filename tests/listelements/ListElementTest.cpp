// The list and list img elements through their COM faces, their drawing into an OSD of
// our own, and the choice box drawing.
#include "txHost/skin/ChoiceBoxDraw.h"
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinList.h"
#include "txHost/skin/SkinListImg.h"

#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "comkit/Module.h"
#include "tests/listelements/TestOsd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tx::ComPtr;
using tx::test::TestOsd;
using namespace tx::skin;

namespace
{

DWORD g_now = 100000;
DWORD TestClock() noexcept
{
    return g_now;
}

class ListTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        locksBefore = tx::module::LockCount();
        SetSkinTickSource(&TestClock);
    }
    void TearDown() override
    {
        SetSkinTickSource(nullptr);
        CSkinList::SetTextCompare(nullptr);
        EXPECT_EQ(locksBefore, tx::module::LockCount()) << "an element was not released";
    }

    // A single-column list of 20-pixel rows, 5 apart, in a 100-pixel area: V = 3.
    ComPtr<ISkinList> MakeList(CSkinList **object, int32_t sort = SKIN_LIST_SORT_NONE, bool distinct = false)
    {
        ComPtr<ISkinElement> element;
        CSkinList *list = nullptr;
        EXPECT_EQ(CreateSkinElementWithObject<CSkinList>(element.GetAddressOf(), &list), S_OK);
        list->pos = {40, 30};
        list->size = {200, 100};
        list->height = 20;
        list->lineSpace = 5;
        list->colSpace = 4;
        list->scrollWidth = 12;
        list->sort = sort;
        list->distinct = distinct ? 1 : 0;
        list->id = L"files";
        list->action = L"open";
        list->nav = L"back";
        list->rect = {0xFF202020, 0, 0, 0xFF808080, 2};
        list->nosel.rect = {0xFF400000, 0, 0, 0xFF400000, 1};
        list->sel.rect = {0xFF004000, 0, 0, 0xFF004000, 1};
        list->focus.rect = {0xFF000040, 0, 0, 0xFF000040, 1};
        list->rectScrollBack = {0xFF101010, 0, 0, 0xFF101010, 1};
        list->rectScrollNosel = {0xFF505050, 0, 0, 0xFF505050, 1};
        list->rectScrollFocus = {0xFF00A0A0, 0, 0, 0xFF00A0A0, 1};
        ComPtr<ISkinList> face;
        EXPECT_EQ(element.As(&face), S_OK);
        if (object)
            *object = list;
        return face;
    }

    static void Add(ISkinList *list, const wchar_t *text, LONG data, const wchar_t *key = L"",
                    const wchar_t *image1 = nullptr)
    {
        tx::Bstr t(text), k(key), i1(image1 ? image1 : L"");
        ASSERT_EQ(list->AddItem(t.Get(), k.Get(), data, image1 ? i1.Get() : nullptr, nullptr), S_OK);
    }

    static std::vector<std::wstring> Texts(CSkinList *list)
    {
        std::vector<std::wstring> texts;
        for (const SkinListItem &item : list->Items())
            texts.push_back(item.text);
        return texts;
    }

    LONG locksBefore = 0;
};

} // namespace

TEST_F(ListTest, SortsWithTheLocaleAndDropsDistinctDuplicates)
{
    // Plain letters order the same in every locale, so the default comparison is used.
    CSkinList *length = nullptr;
    ComPtr<ISkinList> byLength = MakeList(&length, SKIN_LIST_SORT_LENGTH);
    for (const wchar_t *text : {L"abc", L"a", L"ab"})
        Add(byLength.Get(), text, 0);
    EXPECT_EQ(Texts(length), (std::vector<std::wstring>{L"a", L"ab", L"abc"}));

    CSkinList *alpha = nullptr;
    ComPtr<ISkinList> distinct = MakeList(&alpha, SKIN_LIST_SORT_ALPHA, true);
    Add(distinct.Get(), L"ab", 1);
    Add(distinct.Get(), L"AB", 2); // equal ignoring case: dropped, still S_OK
    Add(distinct.Get(), L"", 3);   // empty sorts first
    LONG count = 0;
    EXPECT_EQ(distinct->GetCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Texts(alpha), (std::vector<std::wstring>{L"", L"ab"}));

    // An injected order (a fixed one) is used for every comparison.
    CSkinList::SetTextCompare([](const SkinString &a, const SkinString &b) noexcept {
        return a == b ? 0 : (a < b ? 1 : -1); // reversed ordinal
    });
    CSkinList *reversed = nullptr;
    ComPtr<ISkinList> phone = MakeList(&reversed, SKIN_LIST_SORT_PHONE);
    Add(phone.Get(), L"x", 1, L"1");
    Add(phone.Get(), L"y", 2, L"2");
    Add(phone.Get(), L"z", 3, L"2");
    EXPECT_EQ(Texts(reversed), (std::vector<std::wstring>{L"z", L"y", L"x"}));
}

TEST_F(ListTest, RowAccessAndOutOfRangeIndexes)
{
    CSkinList *object = nullptr;
    ComPtr<ISkinList> list = MakeList(&object);
    for (LONG i = 0; i < 4; ++i)
        Add(list.Get(), L"row", 100 + i);
    LONG data = -1;
    EXPECT_EQ(list->GetItemData(3, &data), S_OK);
    EXPECT_EQ(data, 103);
    for (LONG bad : {4L, -1L, 1000000L})
    {
        data = -1;
        EXPECT_EQ(list->GetItemData(bad, &data), E_INVALIDARG) << bad;
        EXPECT_EQ(data, -1);
    }
    EXPECT_EQ(list->GetItemData(0, nullptr), E_POINTER);

    tx::Bstr nav;
    EXPECT_EQ(list->GetNav(nav.Put()), S_OK);
    EXPECT_STREQ(nav.Get(), L"back");

    EXPECT_EQ(list->SetPosition(-5, 99), S_OK);
    LONG top = -1, selection = -1;
    EXPECT_EQ(list->GetPosition(&top, &selection), S_OK);
    EXPECT_EQ(top, 1); // last row on the last of three lines
    EXPECT_EQ(selection, 3);

    EXPECT_EQ(list->Clear(), S_OK);
    EXPECT_EQ(list->GetPosition(&top, &selection), S_OK);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(selection, 0);
    EXPECT_EQ(list->GetItemData(0, &data), E_INVALIDARG);
}

TEST_F(ListTest, FocusCommandsAndRepeatLock)
{
    CSkinList *object = nullptr;
    ComPtr<ISkinList> list = MakeList(&object);
    ComPtr<ISkinControl> control;
    ASSERT_EQ(list.As(&control), S_OK);

    LONG x = -1;
    EXPECT_EQ(control->GetFocusRect(&x, nullptr, nullptr, nullptr), S_FALSE); // no rows
    EXPECT_EQ(x, -1);
    EXPECT_EQ(control->SetFocus(SKIN_DIR_DOWN, 0, 0), S_FALSE);

    for (LONG i = 0; i < 10; ++i)
        Add(list.Get(), L"row", 10 * i);
    EXPECT_EQ(control->GetFocusRect(&x, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(control->SetFocus(SKIN_DIR_DOWN, 0, 0), S_OK);
    BOOL used = FALSE;
    EXPECT_EQ(control->Navigate(SKIN_DIR_DOWN, &used), S_OK);
    EXPECT_TRUE(used);
    LONG cx = 0, cy = 0;
    EXPECT_EQ(control->GetCenter(&cx, &cy), S_OK);
    EXPECT_EQ(cx, 40 + 100);
    EXPECT_EQ(cy, 30 + 25 + 10);

    tx::Bstr id, action, second;
    LONG number = 0, fourth = 77;
    EXPECT_EQ(control->GetCommand(FALSE, id.Put(), &number, &fourth, action.Put(), second.Put()), S_OK);
    EXPECT_STREQ(id.Get(), L"files");
    EXPECT_STREQ(action.Get(), L"open");
    EXPECT_STREQ(second.Get(), L"");
    EXPECT_EQ(number, 10);
    EXPECT_EQ(fourth, 77);

    // Activation twice within 500 ms reports only the first; the flash lasts one tick.
    EXPECT_EQ(control->GetCommand(TRUE, id.Put(), &number, &fourth, action.Put(), second.Put()), S_OK);
    EXPECT_TRUE(object->Flashing());
    g_now += 200;
    EXPECT_EQ(control->GetCommand(TRUE, id.Put(), &number, &fourth, action.Put(), second.Put()), S_FALSE);
    g_now += 600;
    BOOL redraw = FALSE;
    EXPECT_EQ(list->Animate(&redraw), S_OK);
    EXPECT_TRUE(redraw);
    EXPECT_FALSE(object->Flashing());

    // On the scroll bar activation is refused but the values are still reported.
    EXPECT_EQ(control->Navigate(SKIN_DIR_RIGHT, &used), S_OK);
    EXPECT_TRUE(used);
    EXPECT_TRUE(object->Cursor().ScrollFocus());
    EXPECT_EQ(control->GetCommand(TRUE, id.Put(), &number, &fourth, action.Put(), second.Put()), S_FALSE);
    EXPECT_EQ(control->GetCommand(FALSE, id.Put(), &number, &fourth, action.Put(), second.Put()), S_OK);

    EXPECT_EQ(control->JumpToDigit(5), S_OK);
    LONG top = 0, selection = 0;
    list->GetPosition(&top, &selection);
    EXPECT_EQ(top, 5);
    EXPECT_EQ(selection, 5);
    EXPECT_EQ(control->JumpToDigit(10), E_INVALIDARG);
    EXPECT_EQ(control->KillFocus(), S_OK);
    EXPECT_FALSE(object->Cursor().Focused());
}

TEST_F(ListTest, NonPositivePitchAndColumnsAreGuarded)
{
    struct Case
    {
        int32_t height, lineSpace, col;
    } cases[] = {{0, 0, 1}, {-20, 5, 1}, {20, 5, -2}, {20, 5, 0}, {20, 5, 1000000000}};
    for (const Case &c : cases)
    {
        CSkinList *object = nullptr;
        ComPtr<ISkinList> list = MakeList(&object);
        object->height = c.height;
        object->lineSpace = c.lineSpace;
        object->col = c.col;
        for (LONG i = 0; i < 7; ++i)
            Add(list.Get(), L"row", i);
        ComPtr<ISkinControl> control;
        ASSERT_EQ(list.As(&control), S_OK);
        EXPECT_EQ(list->SetPosition(3, 6), S_OK);
        BOOL used = FALSE;
        control->SetFocus(SKIN_DIR_DOWN, 0, 0);
        for (LONG direction : {1, 2, 3, 4, 2, 2, 3, 1})
            EXPECT_EQ(control->Navigate(direction, &used), S_OK);
        control->JumpToDigit(9);
        LONG cx = 0, cy = 0;
        EXPECT_EQ(control->GetCenter(&cx, &cy), S_OK);
        LONG top = -1, selection = -1;
        list->GetPosition(&top, &selection);
        EXPECT_GE(top, 0);
        EXPECT_GE(selection, 0);
        EXPECT_LT(selection, 7);
        TestOsd osd(320, 240);
        EXPECT_EQ(list->Draw(&osd), S_OK) << c.height << " " << c.lineSpace << " " << c.col;
    }
}

TEST_F(ListTest, CloneCopiesAttributesAndImages)
{
    CSkinList *object = nullptr;
    ComPtr<ISkinList> list = MakeList(&object);
    for (const wchar_t *name : {L"folder", L"file"})
    {
        ComPtr<ISkinElement> child;
        CSkinListImg *image = nullptr;
        ASSERT_EQ(CreateSkinElementWithObject<CSkinListImg>(child.GetAddressOf(), &image), S_OK);
        image->id = name;
        image->src.name = std::wstring(name) + L".png";
        ComPtr<ISkinResolve> resolve;
        ASSERT_EQ(list.As(&resolve), S_OK);
        ASSERT_EQ(resolve->AddChild(child.Get(), image), S_OK);
    }
    Add(list.Get(), L"row", 1); // rows are run-time state, not copied
    ComPtr<ISkinElement> copy;
    ASSERT_EQ(list->Clone(copy.GetAddressOf()), S_OK);
    ComPtr<ISkinResolve> copyResolve;
    ASSERT_EQ(copy.As(&copyResolve), S_OK);
    CSkinElement *copyObject = nullptr;
    ASSERT_EQ(copyResolve->GetElement(&copyObject), S_OK);
    auto *copied = static_cast<CSkinList *>(copyObject);
    EXPECT_EQ(copied->ImageCount(), 2u);
    EXPECT_EQ(copied->height, 20);
    EXPECT_EQ(copied->nav, L"back");
    EXPECT_EQ(copied->focus.rect.fill, 0xFF000040u);
    EXPECT_TRUE(copied->Items().empty());
    ComPtr<ISkinList> copyList;
    EXPECT_EQ(copy.As(&copyList), S_OK);

    // A list takes only img children.
    ComPtr<ISkinResolve> resolve;
    ASSERT_EQ(list.As(&resolve), S_OK);
    EXPECT_EQ(resolve->AddChild(copy.Get(), copyObject), E_INVALIDARG);
}

// The tag's parts as the skin loader walks them: own rows on the element, sub-tags onto
// the element, img sub-tags into new children.
TEST_F(ListTest, PartsFillAttributesSubTagsAndImages)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        ComPtr<IXMLDOMDocument2> document;
        ASSERT_EQ(S_OK,
                  ::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IXMLDOMDocument2),
                                     reinterpret_cast<void **>(document.GetAddressOf())));
        VARIANT_BOOL ok = VARIANT_FALSE;
        tx::Bstr xml(L"<list id='files' pos='10,20' size='300,200' height='22' linespace='3' col='2' sort='phone' "
                     L"distinct='yes' nav='up' action='play' scrollwidth='14' img1pos='4,16'>"
                     L"<sel rect='#FF112233,4,4,#FF445566,2'/><focus style='Arial,,700'/>"
                     L"<img id='folder' src='folder.png'/><img id='file' src='file.png'/></list>");
        ASSERT_EQ(S_OK, document->loadXML(xml.Get(), &ok));
        ASSERT_EQ(VARIANT_TRUE, ok);
        ComPtr<IXMLDOMElement> root;
        ASSERT_EQ(S_OK, document->get_documentElement(root.GetAddressOf()));

        ComPtr<ISkinElement> element;
        ASSERT_EQ(CSkinList::CreateForTag(element.GetAddressOf()), S_OK);
        ComPtr<ISkinResolve> resolve;
        ASSERT_EQ(element.As(&resolve), S_OK);
        CSkinElement *object = nullptr;
        ASSERT_EQ(resolve->GetElement(&object), S_OK);
        for (size_t i = 0; i < CSkinList::kPartCount; ++i)
        {
            const SkinAttrPart &part = CSkinList::kParts[i];
            if (!part.subTag)
            {
                ASSERT_EQ(ApplySkinAttributes(part, root.Get(), object, false), S_OK);
                continue;
            }
            ComPtr<IXMLDOMNodeList> nodes;
            ASSERT_EQ(root->getElementsByTagName(tx::Bstr(part.subTag).Get(), nodes.GetAddressOf()), S_OK);
            long count = 0;
            nodes->get_length(&count);
            for (long n = 0; n < count; ++n)
            {
                ComPtr<IXMLDOMNode> node;
                ComPtr<IXMLDOMElement> sub;
                ASSERT_EQ(nodes->get_item(n, node.GetAddressOf()), S_OK);
                ASSERT_EQ(node.As(&sub), S_OK);
                if (!part.childCreator)
                {
                    ASSERT_EQ(ApplySkinAttributes(part, sub.Get(), object, false), S_OK);
                    continue;
                }
                ComPtr<ISkinElement> child;
                ASSERT_EQ(part.childCreator(child.GetAddressOf()), S_OK);
                ComPtr<ISkinResolve> childResolve;
                ASSERT_EQ(child.As(&childResolve), S_OK);
                CSkinElement *childObject = nullptr;
                childResolve->GetElement(&childObject);
                ASSERT_EQ(ApplySkinAttributes(part, sub.Get(), childObject, false), S_OK);
                ASSERT_EQ(resolve->AddChild(child.Get(), childObject), S_OK);
            }
        }
        auto *list = static_cast<CSkinList *>(object);
        EXPECT_EQ(list->id, L"files");
        EXPECT_EQ(list->pos.b, 20);
        EXPECT_EQ(list->col, 2);
        EXPECT_EQ(list->sort, SKIN_LIST_SORT_PHONE);
        EXPECT_EQ(list->distinct, 1);
        EXPECT_EQ(list->nav, L"up");
        EXPECT_EQ(list->img1Pos.b, 16);
        EXPECT_EQ(list->sel.rect.borderWidth, 2);
        EXPECT_EQ(list->sel.rect.fill, 0xFF332211u);
        EXPECT_EQ(list->focus.style.face, L"Arial");
        EXPECT_EQ(list->ImageCount(), 2u);

        // Resolving binds fonts, and the images the skin has (none here: no error).
        SkinFontCache fonts;
        SkinImageCache images;
        images.SetFolder(L"C:\\nowhere");
        images.SetLoader([](const wchar_t *, IPictureSurface **) noexcept -> HRESULT {
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        });
        TestOsd osd(320, 240);
        EXPECT_EQ(resolve->ResolveResources(&osd, &fonts, &images), S_OK);
    }
    ::CoUninitialize();
}

namespace
{
HRESULT LoadTestImage(const wchar_t *path, IPictureSurface **surface) noexcept
{
    if (!wcsstr(path, L"folder"))
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    std::vector<DWORD> pixels(16 * 16, 0xFFFF0000);
    return CreatePictureSurface(16, 16, pixels.data(), 16, surface);
}
} // namespace

TEST_F(ListTest, DrawsFrameRowsScrollBarAndImages)
{
    CSkinList *object = nullptr;
    ComPtr<ISkinList> list = MakeList(&object);
    object->img1Pos = {2, 16};
    for (const wchar_t *name : {L"folder", L"missing"})
    {
        ComPtr<ISkinElement> child;
        CSkinListImg *image = nullptr;
        ASSERT_EQ(CreateSkinElementWithObject<CSkinListImg>(child.GetAddressOf(), &image), S_OK);
        image->id = name;
        image->src.name = std::wstring(name) + L".png";
        ComPtr<ISkinResolve> resolve;
        ASSERT_EQ(list.As(&resolve), S_OK);
        ASSERT_EQ(resolve->AddChild(child.Get(), image), S_OK);
    }
    SkinFontCache fonts;
    SkinImageCache images;
    images.SetFolder(L"C:\\skin");
    images.SetLoader(&LoadTestImage);
    TestOsd osd(320, 240);
    ComPtr<ISkinResolve> resolve;
    ASSERT_EQ(list.As(&resolve), S_OK);
    ASSERT_EQ(resolve->ResolveResources(&osd, &fonts, &images), S_OK);

    // Two rows: the frame keeps room for three (BH 80), no scroll bar.
    Add(list.Get(), L"one", 1, L"", L"folder");
    Add(list.Get(), L"two", 2, L"", L"missing");
    ASSERT_EQ(list->Draw(&osd), S_OK);
    const int frameFill = osd.IndexOfSkinColour(0xFF202020);
    const int frameBorder = osd.IndexOfSkinColour(0xFF808080);
    const int rowFill = osd.IndexOfSkinColour(0xFF400000);
    const int selFill = osd.IndexOfSkinColour(0xFF004000);
    ASSERT_GT(frameFill, 0);
    EXPECT_EQ(osd.TargetIndex(40, 60), frameBorder);    // left edge
    EXPECT_EQ(osd.TargetIndex(50, 30 + 77), frameFill); // inside, below the third row slot
    EXPECT_EQ(osd.TargetIndex(50, 30 + 80 + 5), 0) << "untouched below BH";
    EXPECT_EQ(osd.TargetIndex(236, 60), frameFill); // no scroll bar on the right
    // Row backgrounds: row 0 (selected, not focused: sel), row 1 nosel. Text keyed away, the
    // background stays as drawn in index form.
    EXPECT_EQ(osd.TargetIndex(150, 30 + 5 + 10), selFill);
    EXPECT_EQ(osd.TargetIndex(150, 30 + 30 + 10), rowFill);
    // The texts reach the target as colour pixels inside their rows, keyed off their background.
    auto colourPixels = [&osd](int left, int top, int right, int bottom) {
        int found = 0;
        for (int yy = top; yy < bottom; ++yy)
            for (int xx = left; xx < right; ++xx)
                found += osd.TargetIndex(xx, yy) < 0 ? 1 : 0;
        return found;
    };
    EXPECT_GT(colourPixels(44, 35, 240, 55), 0);
    EXPECT_GT(colourPixels(44, 60, 240, 80), 0);
    EXPECT_EQ(colourPixels(44, 85, 240, 105), 0); // third slot: no row
    // Only the image whose child has a resolved picture is drawn, at the cell's offset.
    ASSERT_EQ(osd.transforms.size(), 1u);
    EXPECT_EQ(osd.transforms[0].x, 40 + 4 + 2);
    EXPECT_EQ(osd.transforms[0].y, 30 + 5);
    EXPECT_EQ(osd.transforms[0].width, 16);
    EXPECT_EQ(osd.transforms[0].height, 20);
    EXPECT_EQ(osd.transforms[0].a, 16);

    // Ten rows: scroll bar with a 30-pixel thumb at the top, then at the bottom.
    for (LONG i = 3; i <= 10; ++i)
        Add(list.Get(), L"more", i);
    ComPtr<ISkinControl> control;
    ASSERT_EQ(list.As(&control), S_OK);
    ASSERT_EQ(control->SetFocus(SKIN_DIR_LEFT, 0, 0), S_OK); // onto the scroll bar
    TestOsd first(320, 240);
    ASSERT_EQ(list->Draw(&first), S_OK);
    const int thumbFocus = first.IndexOfSkinColour(0xFF00A0A0);
    const int track = first.IndexOfSkinColour(0xFF101010);
    ASSERT_GT(thumbFocus, 0);
    EXPECT_EQ(first.TargetIndex(240 - 6, 30 + 15), thumbFocus);
    EXPECT_EQ(first.TargetIndex(240 - 6, 30 + 60), track);
    list->SetPosition(7, 9);
    TestOsd last(320, 240);
    ASSERT_EQ(list->Draw(&last), S_OK);
    EXPECT_EQ(last.TargetIndex(240 - 6, 30 + 15), last.IndexOfSkinColour(0xFF101010));
    EXPECT_EQ(last.TargetIndex(240 - 6, 30 + 65), last.IndexOfSkinColour(0xFF00A0A0));

    // A full palette ends the drawing with its error.
    TestOsd full(320, 240);
    full.paletteLimit = 1;
    EXPECT_EQ(list->Draw(&full), E_UNEXPECTED);
    EXPECT_EQ(full.copies, 0);
}

namespace
{
ChoiceBoxLook DialogLook()
{
    ChoiceBoxLook look;
    look.pos = {100, 100};
    look.size = {300, 160};
    look.rect = {0xFF303030, 0, 0, 0xFFC0C0C0, 2};
    look.header = {0xFF800000, 24};
    look.style.textColour = 0xFFFFFF;
    look.style.background = 0x00000000;
    look.margin.values[0] = 8;
    look.margin.values[1] = 8;
    look.margin.values[2] = 6;
    look.margin.values[3] = 50;
    look.buttonTop = 120;
    look.buttonSize = {80, 24};
    look.rectNosel = {0xFF404040, 0, 0, 0xFF404040, 1};
    look.rectFocus = {0xFF0000C0, 0, 0, 0xFF0000C0, 1};
    look.styleNosel.textColour = 0xFFFFFF;
    look.styleFocus.textColour = 0x00FFFF;
    return look;
}
} // namespace

TEST(ChoiceBoxDraw, PaletteRegions)
{
    struct Case
    {
        int captions;
        LONG selected;
        bool rtl;
    } cases[] = {{0, 0, false}, {1, 0, false}, {2, 1, false}, {3, 2, true}};
    for (const Case &c : cases)
    {
        ChoiceBoxLook look = DialogLook();
        look.rtlReading = c.rtl ? 1 : 0;
        ChoiceBoxContent content;
        content.message = L"Delete the recording?";
        content.wrap = true;
        const wchar_t *captions[] = {L"Yes", L"No", L"Later"};
        for (int i = 0; i < c.captions; ++i)
            content.captions[i] = captions[i];
        content.selected = c.selected;
        TestOsd osd(480, 320);
        ASSERT_EQ(DrawChoiceBox(&osd, look, content), S_OK) << c.captions;
        const int fill = osd.IndexOfSkinColour(0xFF303030);
        const int header = osd.IndexOfSkinColour(0xFF800000);
        const int frame = osd.IndexOfSkinColour(0xFFC0C0C0);
        EXPECT_EQ(osd.TargetIndex(250, 110), header);
        EXPECT_EQ(osd.TargetIndex(100, 200), frame);
        EXPECT_EQ(osd.TargetIndex(105, 250), fill);
        EXPECT_EQ(osd.TargetIndex(98, 100 - 3), 0) << "untouched outside the enlarged box";
        SkinChoiceBoxGeometry g = ComputeSkinChoiceBoxGeometry(100, 100, 300, 80, 24, 120, 0, c.captions);
        for (int i = 0; i < c.captions; ++i)
        {
            const int expected = osd.IndexOfSkinColour(i == c.selected ? 0xFF0000C0 : 0xFF404040);
            // The button's left edge column, below the caption text.
            EXPECT_EQ(osd.TargetIndex(g.buttons[i].left + 2, g.buttons[i].bottom - 2), expected)
                << c.captions << " button " << i;
        }
        auto colourPixels = [&osd](int left, int top, int right, int bottom) {
            int found = 0;
            for (int yy = top; yy < bottom; ++yy)
                for (int xx = left; xx < right; ++xx)
                    found += osd.TargetIndex(xx, yy) < 0 ? 1 : 0;
            return found;
        };
        // The message's text lands between the header and the bottom margin, the captions
        // on their buttons; the black (opacity 0) backgrounds are keyed away.
        EXPECT_GT(colourPixels(100, 130, 400, 210), 0);
        EXPECT_EQ(colourPixels(100, 100, 400, 124), 0);
        for (int i = 0; i < c.captions; ++i)
            EXPECT_GT(colourPixels(g.buttons[i].left, g.buttons[i].top, g.buttons[i].right, g.buttons[i].bottom), 0)
                << "caption " << i;
        if (c.captions == 0)
        {
            EXPECT_EQ(osd.IndexOfSkinColour(0xFF404040), -1);
            EXPECT_EQ(osd.TargetIndex(250, 100 + 130), fill); // no band cleared
        }
    }

    // A full palette: the error comes back and nothing is copied.
    TestOsd full(480, 320);
    full.paletteLimit = 2;
    ChoiceBoxContent content;
    content.message = L"x";
    EXPECT_EQ(DrawChoiceBox(&full, DialogLook(), content), E_UNEXPECTED);
    EXPECT_EQ(full.copies, 0);
    EXPECT_EQ(DrawChoiceBox(nullptr, DialogLook(), content), E_POINTER);
}

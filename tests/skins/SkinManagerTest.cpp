// The skin loader, the page stack and the input routing of the skin manager, with fake
// page controllers, a fake host and the fake decoder card.
#include "tests/skins/SkinTestSupport.h"

#include "comkit/Bstr.h"
#include "comkit/Categories.h"
#include "comkit/HResult.h"
#include "txHost/core/Actions.h"
#include "txHost/skin/SkinLoader.h"
#include "txHost/skin/SkinText.h"

#include <algorithm>

namespace
{

using namespace tx::test;
using namespace tx::host;

// Three pages a, b, c (behaviours of the same names) of buttons in a row, and a dialog.
const char kThreePages[] = R"(<skin image="default.png">
<dialog id="ask" pos="100,100" size="300,120"><button size="80,30"/></dialog>
<dialog id="box" pos="10,10" size="30,20"/>
<pages>
<page id="a" behavior="a">
<button id="one" pos="40,200" size="100,40" action="run1">One</button>
<button id="two" pos="200,200" size="100,40" action="run2">Two</button>
<button id="three" pos="360,200" size="100,40" action="run3">Three</button>
</page>
<page id="b" behavior="b" image="b.png"><button id="b1" pos="40,40" size="100,40" action="x">B</button></page>
<page id="c" behavior="c"><button id="c1" pos="40,40" size="100,40" action="x">C</button></page>
<page id="d" behavior="d"/>
</pages></skin>)";

std::string Repeat(const std::string &text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

class SkinManagerTest : public SkinFixture
{
  protected:
    void StartThreePages()
    {
        WriteSkin(kThreePages);
        ASSERT_EQ(Attach(), S_OK);
        TakeCalls();
    }
    std::vector<LONG> History()
    {
        std::vector<LONG> pages;
        for (size_t i = 0; i < Manager().HistoryCount(); ++i)
            pages.push_back(Manager().HistoryPage(i));
        return pages;
    }
    BOOL Handle(LONG action, LONG interval = 0)
    {
        BOOL handled = FALSE;
        EXPECT_EQ(Manager().HandleAction(action, interval, &handled), S_OK);
        return handled;
    }
    std::wstring FocusedId()
    {
        CSkinGroup *root = Manager().Page(static_cast<size_t>(Manager().CurrentPageIndex()))->Root();
        ISkinControl *focused = root->FocusedChild();
        if (!focused)
            return L"";
        tx::ComPtr<ISkinElement> element;
        focused->QueryInterface(__uuidof(ISkinElement), reinterpret_cast<void **>(element.GetAddressOf()));
        tx::Bstr id;
        element->GetId(id.Put());
        return std::wstring(id.View());
    }
};

TEST_F(SkinManagerTest, StartLoadsAttachesAndOpensTheFirstPage)
{
    WriteSkin(kThreePages);
    ASSERT_EQ(Attach(), S_OK);
    EXPECT_EQ(TakeCalls(), L"a:Attach b:Attach c:Attach d:Attach a:Open(0,0)");
    EXPECT_EQ(Manager().PageCount(), 4u);
    EXPECT_EQ(Manager().DialogCount(), 2u);
    EXPECT_EQ(Manager().DefaultImage(), L"default.png");
    EXPECT_EQ(Manager().Page(1)->image, L"b.png");
    EXPECT_TRUE(Manager().Page(0)->image.empty()); // falls back to the skin's picture when bound
    EXPECT_EQ(History(), std::vector<LONG>{0});
    EXPECT_TRUE(Manager().IsLastPage());
    EXPECT_TRUE(Manager().IsFirstPage());
    EXPECT_EQ(FocusedId(), L"one");
    EXPECT_FALSE(card.frames.empty()); // a refresh after the start
}

TEST_F(SkinManagerTest, OpenPageBackAndForwardSaveAndRestoreStates)
{
    StartThreePages();
    g_pages[L"a"]->value = 11;
    ASSERT_EQ(Manager().OpenPage(L"b", 5, 6), S_OK);
    EXPECT_EQ(TakeCalls(), L"a:Save=11 b:Open(5,6)");
    g_pages[L"b"]->value = 22;
    ASSERT_EQ(Manager().OpenPage(L"c", 0, 0), S_OK);
    EXPECT_EQ(TakeCalls(), L"b:Save=22 c:Open(0,0)");
    EXPECT_EQ(History(), (std::vector<LONG>{0, 1, 2}));
    EXPECT_TRUE(Manager().IsLastPage());

    // Back one: c saves into its entry, b restores what it saved.
    g_pages[L"c"]->value = 33;
    ASSERT_EQ(Manager().GoBack(1), S_OK);
    EXPECT_EQ(TakeCalls(), L"c:Save=33 b:Restore=22");
    EXPECT_EQ(Manager().HistoryPosition(), 1);
    EXPECT_FALSE(Manager().IsLastPage());
    EXPECT_EQ(History(), (std::vector<LONG>{0, 1, 2})); // going back keeps the newer entries

    // Forward again restores c's state from its own stream.
    g_pages[L"b"]->value = 23;
    ASSERT_EQ(Manager().GoForward(1), S_OK);
    EXPECT_EQ(TakeCalls(), L"b:Save=23 c:Restore=33");

    // Open from position 1 of three entries drops entry 2 and appends the new page.
    ASSERT_EQ(Manager().GoBack(1), S_OK);
    TakeCalls();
    ASSERT_EQ(Manager().OpenPage(L"d", 0, 0), S_OK);
    EXPECT_EQ(TakeCalls(), L"b:Save=23 d:Open(0,0)");
    EXPECT_EQ(History(), (std::vector<LONG>{0, 1, 3}));
    EXPECT_EQ(Manager().HistoryPosition(), 2);

    // Back 5 from position 2 goes to entry 0; its state is the one a saved at the start.
    ASSERT_EQ(Manager().GoBack(5), S_OK);
    EXPECT_EQ(TakeCalls(), L"d:Save=0 a:Restore=11");
    EXPECT_EQ(Manager().HistoryPosition(), 0);
    EXPECT_TRUE(Manager().IsFirstPage());

    // Nothing to do: no calls, S_OK.
    EXPECT_EQ(Manager().GoBack(0), S_OK);
    EXPECT_EQ(Manager().GoBack(1), S_OK);
    EXPECT_EQ(Manager().GoForward(-1), S_OK);
    EXPECT_EQ(TakeCalls(), L"");
    ASSERT_EQ(Manager().ManagerFace()->GoToNewestPage(), S_OK);
    EXPECT_EQ(Manager().HistoryPosition(), 2);
    EXPECT_EQ(Manager().GoForward(1), S_OK);
    EXPECT_EQ(Manager().HistoryPosition(), 2);
    tx::Bstr name;
    ASSERT_EQ(Manager().ManagerFace()->GetPageName(name.Put()), S_OK);
    EXPECT_EQ(name.View(), L"d");
}

TEST_F(SkinManagerTest, FailuresKeepThePreviousPage)
{
    StartThreePages();
    ASSERT_EQ(Manager().OpenPage(L"b", 0, 0), S_OK);
    ASSERT_EQ(Manager().OpenPage(L"c", 0, 0), S_OK);
    ASSERT_EQ(Manager().GoBack(1), S_OK);
    TakeCalls();

    // Unknown name (case matters): E_FAIL, the forward entry is gone, nothing else.
    EXPECT_EQ(Manager().OpenPage(L"C", 0, 0), E_FAIL);
    EXPECT_EQ(TakeCalls(), L"");
    EXPECT_EQ(History(), (std::vector<LONG>{0, 1}));
    EXPECT_EQ(Manager().CurrentPageIndex(), 1);

    // A controller that cannot open: its error, the previous page stays.
    g_failOpen = L"d";
    EXPECT_EQ(Manager().OpenPage(L"d", 0, 0), E_ABORT);
    EXPECT_EQ(Manager().CurrentPageIndex(), 1);
    EXPECT_EQ(History(), (std::vector<LONG>{0, 1}));
    EXPECT_EQ(Manager().HistoryPosition(), 1);

    // A controller that cannot restore.
    TakeCalls();
    g_failRestore = L"a";
    EXPECT_EQ(Manager().GoBack(1), E_ABORT);
    EXPECT_EQ(Manager().CurrentPageIndex(), 1);
    EXPECT_EQ(Manager().HistoryPosition(), 1);
}

TEST_F(SkinManagerTest, ActionsGoToThePageThenTheFocus)
{
    StartThreePages();
    // The page sees the action first; when it handles it nothing else happens.
    g_handledKey = ACTION_RIGHT;
    EXPECT_TRUE(Handle(ACTION_RIGHT));
    EXPECT_EQ(TakeCalls(), L"a:Key(4)");
    EXPECT_EQ(FocusedId(), L"one");

    // Not handled by the page: focus moves, and wraps around the row both ways.
    g_handledKey = -1;
    EXPECT_TRUE(Handle(ACTION_RIGHT));
    EXPECT_EQ(FocusedId(), L"two");
    EXPECT_EQ(TakeCalls(), L"a:Key(4) a:Select(two,0)");
    Handle(ACTION_RIGHT);
    EXPECT_EQ(FocusedId(), L"three");
    Handle(ACTION_RIGHT);
    EXPECT_EQ(FocusedId(), L"one");
    Handle(ACTION_LEFT);
    EXPECT_EQ(FocusedId(), L"three");
    // Down on a row: wraps spatially to the nearest element below... the same row.
    Handle(ACTION_DOWN);
    EXPECT_EQ(FocusedId(), L"three");
    TakeCalls();

    // Select: the program with the element's data, then the page's command.
    std::vector<std::wstring> runs;
    host->onRun = [&](const std::wstring &program, const std::wstring &arguments) {
        runs.push_back(program + L"|" + arguments);
    };
    Handle(ACTION_LEFT);
    Handle(ACTION_LEFT);
    TakeCalls();
    EXPECT_TRUE(Handle(ACTION_SELECT));
    EXPECT_EQ(runs, std::vector<std::wstring>{L"run1|one"}); // a button's data is its id
    EXPECT_EQ(TakeCalls(), L"a:Key(7) a:CommandValue(one) a:Command(one,0,0)");
    // Program mode select passes value 1 (after the repeat lock's half second).
    ::Sleep(510);
    EXPECT_TRUE(Handle(ACTION_SELECT + ACTION_PROGRAM_MODE_OFFSET));
    EXPECT_EQ(TakeCalls(), L"a:Key(107) a:CommandValue(one) a:Command(one,0,1)");

    // Enter goes back; an unknown action is not handled and keeps the countdown.
    ASSERT_EQ(Manager().OpenPage(L"b", 0, 0), S_OK);
    TakeCalls();
    EXPECT_TRUE(Handle(ACTION_ENTER));
    EXPECT_EQ(TakeCalls(), L"b:Key(37) b:Save=0 a:Restore=0");
    const LONG countdown = Manager().PictureCountdown();
    const size_t frames = card.frames.size();
    EXPECT_FALSE(Handle(ACTION_STOP, 7));
    EXPECT_EQ(Manager().PictureCountdown(), countdown);
    EXPECT_EQ(card.frames.size(), frames); // no refresh
    EXPECT_TRUE(Handle(ACTION_LEFT, 3));
    EXPECT_EQ(Manager().PictureCountdown(), 30);
    EXPECT_EQ(card.frames.size(), frames + 1);

    // ACTION_OSD toggles the picture timer and tells the host.
    host->pictureTimerChanges.clear();
    EXPECT_TRUE(Handle(ACTION_OSD));
    EXPECT_TRUE(Manager().PictureTimerOn());
    Manager().SetPictureView(TRUE);
    EXPECT_EQ(host->pictureTimerChanges, (std::vector<LONG>{0, 1}));
}

TEST_F(SkinManagerTest, ChoiceBoxTakesLeftRightAndSelect)
{
    StartThreePages();
    tx::Bstr ask(L"ask"), message(L"Delete?"), yes(L"Yes"), no(L"No");
    ASSERT_EQ(Manager().ManagerFace()->ShowChoiceBox(ask.Get(), message.Get(), 9, yes.Get(), no.Get(), nullptr), S_OK);
    EXPECT_EQ(Manager().Choice().dialog, 0);
    EXPECT_EQ(Manager().Choice().EntryCount(), 2);
    EXPECT_TRUE(Handle(ACTION_LEFT));
    EXPECT_EQ(Manager().Choice().selected, 1);
    EXPECT_TRUE(Handle(ACTION_RIGHT));
    EXPECT_EQ(Manager().Choice().selected, 0);
    EXPECT_TRUE(Handle(ACTION_RIGHT));
    EXPECT_EQ(Manager().Choice().selected, 1);
    EXPECT_FALSE(Handle(ACTION_UP));
    EXPECT_EQ(TakeCalls(), L""); // the page saw nothing
    EXPECT_TRUE(Handle(ACTION_SELECT));
    EXPECT_EQ(TakeCalls(), L"a:Choice(1)");
    EXPECT_EQ(Manager().Choice().dialog, -1);

    // An unknown dialog leaves the box hidden (texts replaced).
    tx::Bstr nothing(L"nothing");
    ASSERT_EQ(Manager().ShowChoiceBox(nothing.Get(), L"m", 1, L"x", nullptr, nullptr), S_OK);
    EXPECT_EQ(Manager().Choice().dialog, -1);
    EXPECT_EQ(Manager().Choice().message.View(), L"m");

    // A box without entries takes the keys without harm and closes on select.
    ASSERT_EQ(Manager().ShowChoiceBox(L"box", L"m", 1, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(Manager().Choice().dialog, 1);
    EXPECT_TRUE(Handle(ACTION_LEFT));
    EXPECT_TRUE(Handle(ACTION_RIGHT));
    EXPECT_EQ(Manager().Choice().selected, 0);
    EXPECT_TRUE(Handle(ACTION_SELECT));
    EXPECT_EQ(TakeCalls(), L"a:Choice(0)");
}

TEST_F(SkinManagerTest, FindElementFocusAndMenuFiltersByController)
{
    StartThreePages();
    tx::ComPtr<IUnknown> controllerOfB(static_cast<IPage *>(g_pages[L"b"]));
    tx::ComPtr<ISkinElement> element;
    tx::Bstr id(L"b1");
    EXPECT_EQ(Manager().ManagerFace()->FindElement(controllerOfB.Get(), id.Get(), element.GetAddressOf()), S_OK);
    ASSERT_TRUE(element);
    tx::Bstr found;
    element->GetId(found.Put());
    EXPECT_EQ(found.View(), L"b1");
    element.Reset();
    tx::Bstr other(L"one");
    EXPECT_EQ(Manager().ManagerFace()->FindElement(controllerOfB.Get(), other.Get(), element.GetAddressOf()), E_FAIL);
    tx::ComPtr<CFakePage> stranger = tx::MakeComObject<CFakePage>(L"stranger");
    EXPECT_EQ(
        Manager().ManagerFace()->FindElement(static_cast<IPage *>(stranger.Get()), id.Get(), element.GetAddressOf()),
        E_FAIL);
    EXPECT_EQ(Manager().ManagerFace()->RegisterMenuFilters(static_cast<IPage *>(stranger.Get())), E_FAIL);
    stranger.Reset();
    controllerOfB.Reset();

    TakeCalls();
    tx::Bstr three(L"three"), missing(L"missing");
    EXPECT_EQ(Manager().ManagerFace()->SetFocus(three.Get()), S_OK);
    EXPECT_EQ(FocusedId(), L"three");
    EXPECT_EQ(TakeCalls(), L"a:Select(three,0)");
    EXPECT_EQ(Manager().ManagerFace()->SetFocus(missing.Get()), E_FAIL);
    EXPECT_EQ(FocusedId(), L"");
}

TEST_F(SkinManagerTest, StringsComeFromTheLanguageThenEnglish)
{
    WriteTable(L"English", R"(<strings><string id="title">Title</string><string id="only">English only</string>
<string id="it's">apostrophe</string><string id="dup">first</string><string id="dup">second</string></strings>)");
    WriteTable(L"German", R"(<strings><string id="title">Titel</string></strings>)");
    WriteSkin(kThreePages);
    tx::host::WriteHostString(L"lang", L"German");
    ASSERT_EQ(Attach(), S_OK);

    struct Case
    {
        const wchar_t *text;
        const wchar_t *expected;
    } cases[] = {
        {L"$title$", L"Titel"},
        {L"$only$", L"English only"},
        {L"$it's$", L"apostrophe"},
        {L"$it' or '1'='1$", L"$it' or '1'='1$"},
        {L"$']|//*|/*['$", L"$']|//*|/*['$"},
        {L"$dup$", L"first"},
        {L"$missing$", L"$missing$"},
        {L"$$", L"$$"},
        {L"$", L"$"},
        {L"title", L"title"},
        {L"$title", L"$title"},
        {L"", L""},
    };
    ISkinStringTable *strings = Manager().StringFace();
    for (const Case &c : cases)
    {
        tx::Bstr text(c.text), result;
        EXPECT_EQ(strings->GetString(text.Get(), result.Put()), S_OK) << c.text;
        EXPECT_EQ(result.View(), c.expected) << c.text;
    }
    tx::Bstr result;
    EXPECT_EQ(strings->GetString(nullptr, result.Put()), S_OK);
    EXPECT_TRUE(result.IsNull());
    tx::Bstr skinFolder;
    ASSERT_EQ(strings->GetSkinFolder(skinFolder.Put()), S_OK);
    EXPECT_EQ(skinFolder.View(), folder + L"Skins\\Default");

    // A language without a file: English answers.
    tx::host::WriteHostString(L"lang", L"Klingon");
    ASSERT_EQ(osd->LoadLanguageAndSkin(), S_OK);
    tx::Bstr title(L"$title$");
    ASSERT_EQ(strings->GetString(title.Get(), result.Put()), S_OK);
    EXPECT_EQ(result.View(), L"Title");
}

TEST_F(SkinManagerTest, SkinSettingShiftAndUnsafeNames)
{
    WriteSkin(kThreePages);
    WriteSkin(R"(<skin><pages><page id="other" behavior="other"/></pages></skin>)", L"Other");
    tx::host::WriteHostString(L"skin", L"Other");
    ASSERT_EQ(Attach(), S_OK);
    EXPECT_EQ(Manager().PageCount(), 1u);
    EXPECT_EQ(Manager().Page(0)->name, L"other");

    // Shift held: Default whatever the setting says.
    Manager().SetShiftQuery([]() noexcept { return true; });
    ASSERT_EQ(osd->LoadLanguageAndSkin(), S_OK);
    EXPECT_EQ(Manager().Page(0)->name, L"a");

    // A skin name that leaves the Skins folder is not followed.
    Manager().SetShiftQuery([]() noexcept { return false; });
    tx::host::WriteHostString(L"skin", L"..\\Skins\\Other");
    ASSERT_EQ(osd->LoadLanguageAndSkin(), S_OK);
    EXPECT_EQ(Manager().Page(0)->name, L"a");

    // A skin that does not exist: the start fails, nothing is shown.
    tx::host::WriteHostString(L"skin", L"Missing");
    EXPECT_EQ(osd->LoadLanguageAndSkin(), E_FAIL);
    EXPECT_EQ(Manager().PageCount(), 0u);
    BOOL handled = TRUE;
    EXPECT_EQ(Manager().HandleAction(ACTION_SELECT, 0, &handled), S_OK);
    EXPECT_FALSE(handled);
    EXPECT_EQ(osd->Refresh(), S_OK);
}

// Each broken skin stops loading at its error; what came before stays.
TEST_F(SkinManagerTest, StructuralErrorsStopLoading)
{
    struct Case
    {
        const char *name;
        const char *xml;
        HRESULT expected;
        size_t pages;
    } cases[] = {
        {"good", R"(<skin><pages><page id="p"><text id="t">x</text></page></pages></skin>)", S_OK, 1},
        {"every tag of the table", R"(<skin><pages><page id="p"><group/><menu><item>a</item></menu><text/><image/>
<button/><buttonimg/><list><img/></list><epg/><rect/><blockrect/><slider/><pic/></page></pages></skin>)",
         S_OK, 1},
        {"missing file", nullptr, E_FAIL, 0},
        {"not well-formed", R"(<skin><pages><page id="p"></pages></skin>)", E_FAIL, 0},
        {"truncated", R"(<skin><pages><page id="p"><text)", E_FAIL, 0},
        {"root not skin", R"(<skins><pages><page id="p"/></pages></skins>)", E_UNEXPECTED, 0},
        {"comment under skin", R"(<skin><pages><page id="p"/></pages><!-- x --><pages><page id="q"/></pages></skin>)",
         E_UNEXPECTED, 1},
        {"comment in pages", R"(<skin><pages><page id="p"/><!-- x --><page id="q"/></pages></skin>)", E_UNEXPECTED, 1},
        {"comment in page", R"(<skin><pages><page id="p"><!-- x --></page></pages></skin>)", E_UNEXPECTED, 1},
        {"comment in group", R"(<skin><pages><page id="p"><group><!-- x --></group></page></pages></skin>)",
         E_UNEXPECTED, 1},
        {"text in page", R"(<skin><pages><page id="p">words</page></pages></skin>)", E_UNEXPECTED, 1},
        {"unknown tag in page", R"(<skin><pages><page id="p"><marquee/></page><page id="q"/></pages></skin>)",
         E_UNEXPECTED, 1},
        {"dialog in page", R"(<skin><pages><page id="p"><dialog id="d"/></page></pages></skin>)", E_UNEXPECTED, 1},
        {"not a page in pages", R"(<skin><pages><page id="p"/><text/><page id="q"/></pages></skin>)", E_UNEXPECTED, 1},
        {"class without class-id", R"(<skin><class><text/></class><pages><page id="p"/></pages></skin>)", E_UNEXPECTED,
         0},
        {"dialog in class", R"(<skin><class><dialog class-id="d"/></class></skin>)", E_UNEXPECTED, 0},
        {"unknown tag in class", R"(<skin><class><marquee class-id="m"/></class></skin>)", E_UNEXPECTED, 0},
        {"unknown class", R"(<skin><pages><page id="p"><text class="nope"/></page></pages></skin>)", E_UNEXPECTED, 1},
        {"class of another tag", R"(<skin><class><text class-id="c"/></class><pages><page id="p"><button class="c"/>
</page></pages></skin>)",
         E_UNEXPECTED, 1},
        {"groups nested too deeply", nullptr, E_UNEXPECTED, 1},
        {"other children ignored", R"(<skin><extra><anything/></extra><pages><page id="p"/></pages></skin>)", S_OK, 1},
    };
    static std::vector<std::wstring> logged;
    const tx::FailureLogger previous =
        tx::SetFailureLogger([](HRESULT, const wchar_t *message) noexcept { logged.push_back(message); });
    for (const Case &c : cases)
    {
        tx::test::RemoveFolder(folder + L"Skins");
        if (c.xml)
            WriteSkin(c.xml);
        else if (std::string(c.name) == "groups nested too deeply")
            WriteSkin("<skin><pages><page id=\"p\">" + Repeat("<group>", 40) + Repeat("</group>", 40) +
                      "</page></pages></skin>");
        logged.clear();
        EXPECT_EQ(LoadOnly(), c.expected) << c.name;
        EXPECT_EQ(Manager().PageCount(), c.pages) << c.name;
        // Every failure of the file says why in the log (pages without a behaviour also
        // log their missing controller).
        const bool said = std::any_of(logged.begin(), logged.end(), [](const std::wstring &line) {
            return line.rfind(L"Failed to load skin", 0) == 0;
        });
        EXPECT_EQ(said, FAILED(c.expected)) << c.name;
    }
    tx::SetFailureLogger(previous);
    Manager().FreeSkin();
    TakeCalls();
}

TEST_F(SkinManagerTest, ClassesDialogsAndRoles)
{
    WriteSkin(R"(<skin image="bg.png">
<dialog id="first" pos="1,2"><button size="80,30" margin="1,2,3,4"/></dialog>
<class><text class-id="big" pos="10,20" size="100,30" align="right" data="proto"/>
<text class-id="big" pos="11,21" size="101,31"/></class>
<pages>
<page id="status" behavior="default"><text id="time">HH:mm</text><group><text id="date">dd</text></group></page>
<page id="p" behavior="p"><text id="t" class="big" pos="50,60" data="own">T</text><text id="u" class="big"/></page>
<page id="subtitle"/><page id="log"/>
</pages></skin>)");
    ASSERT_EQ(LoadOnly(), S_OK);
    ASSERT_EQ(Manager().DialogCount(), 1u);
    CSkinDialog *dialog = Manager().Dialog(0);
    EXPECT_EQ(dialog->id, L"first");
    EXPECT_EQ(dialog->pos.b, 2);
    EXPECT_EQ(dialog->buttonSize.a, 80);
    EXPECT_EQ(dialog->buttonMargin.values[3], 4);
    EXPECT_EQ(Manager().ClassCount(), 2u);
    EXPECT_EQ(Manager().TimeFormat(), L"HH:mm");
    EXPECT_EQ(Manager().DateFormat(), L"dd");
    EXPECT_EQ(Manager().StatusPage(), Manager().Page(0));
    EXPECT_EQ(Manager().SubtitlePage(), Manager().Page(2));
    EXPECT_EQ(Manager().LogPage(), Manager().Page(3));

    // The last class of a name wins; the element's own attributes override it.
    auto text = [&](const wchar_t *id) {
        tx::ComPtr<ISkinElement> element;
        EXPECT_EQ(Manager().Page(1)->FindElement(id, element.GetAddressOf()), S_OK);
        tx::ComPtr<ISkinResolve> resolve;
        element.As(&resolve);
        CSkinElement *object = nullptr;
        resolve->GetElement(&object);
        return static_cast<CSkinText *>(object);
    };
    CSkinText *t = text(L"t");
    EXPECT_EQ(t->pos.a, 50);
    EXPECT_EQ(t->pos.b, 60);
    EXPECT_EQ(t->size.a, 101);
    EXPECT_EQ(t->data, L"own");
    EXPECT_EQ(t->text, L"T");
    CSkinText *u = text(L"u");
    EXPECT_EQ(u->pos.a, 11);
    EXPECT_EQ(u->size.b, 31);
    Manager().FreeSkin();
    EXPECT_EQ(Manager().PageCount(), 0u);
    EXPECT_EQ(Manager().StatusPage(), nullptr);
    TakeCalls();
}

TEST_F(SkinManagerTest, TicksReachTheCurrentPageAndRefreshWhenAsked)
{
    StartThreePages();
    const size_t frames = card.frames.size();
    osd->Tick(1); // the fake controllers ask for no redraw
    EXPECT_EQ(card.frames.size(), frames);
    Manager().SetPictureTimer(TRUE, 2);
    EXPECT_EQ(Manager().PictureCountdown(), 20);
    BOOL redraw = FALSE;
    EXPECT_EQ(Manager().OnTick(&redraw), S_OK);
    EXPECT_EQ(Manager().PictureCountdown(), 19);
    EXPECT_FALSE(redraw);
    EXPECT_EQ(Manager().ticks, 1);
}

TEST_F(SkinManagerTest, LayoutHeightMovesElementsOfEveryPage)
{
    WriteSkin(R"(<skin><pages><page id="p" behavior="p"><group><text id="m" pos="10,100" size="50,20" resize="move"/>
<text id="s" pos="10,100" size="50,20" resize="scale"/></group></page>
<page id="q" behavior="q"><text id="n" pos="10,100" size="50,20"/></page></pages></skin>)");
    ASSERT_EQ(Attach(), S_OK);
    osd->SetLayoutHeight(576);
    auto element = [&](size_t page, const wchar_t *id) {
        tx::ComPtr<ISkinElement> found;
        EXPECT_EQ(Manager().Page(page)->FindElement(id, found.GetAddressOf()), S_OK);
        tx::ComPtr<ISkinResolve> resolve;
        found.As(&resolve);
        CSkinElement *object = nullptr;
        resolve->GetElement(&object);
        return static_cast<CSkinText *>(object);
    };
    EXPECT_EQ(element(0, L"m")->pos.b, 148);
    EXPECT_EQ(element(0, L"s")->pos.b, 52);
    EXPECT_EQ(element(0, L"s")->size.b, 116);
    EXPECT_EQ(element(1, L"n")->pos.b, 52);
}

TEST_F(SkinManagerTest, ReloadDuringAnActivationWaitsForItsEnd)
{
    StartThreePages();
    const int created = g_pagesCreated;
    HRESULT reloadResult = E_FAIL;
    bool pagesAliveDuringProgram = false;
    host->onRun = [&](const std::wstring &, const std::wstring &) {
        // The options sheet changes the skin while the program runs and pumps messages.
        reloadResult = osd->LoadLanguageAndSkin();
        pagesAliveDuringProgram = Manager().PageCount() == 4 && g_pages.count(L"a") == 1;
    };
    g_onCommand = [&] { EXPECT_EQ(Manager().PageCount(), 4u); };
    EXPECT_TRUE(Handle(ACTION_SELECT));
    EXPECT_EQ(reloadResult, S_FALSE); // deferred
    EXPECT_TRUE(pagesAliveDuringProgram);
    EXPECT_EQ(g_pagesCreated, created + 4); // reloaded when the activation ended
    EXPECT_EQ(Manager().PageCount(), 4u);
    EXPECT_EQ(Manager().HistoryCount(), 1u);
    const std::wstring calls = TakeCalls();
    EXPECT_NE(calls.find(L"a:Command(one,0,0)"), std::wstring::npos) << calls;
    EXPECT_LT(calls.find(L"a:Command(one,0,0)"), calls.find(L"a:Attach")) << calls;
}

// ---- plug-ins through the component categories ----

// {3C6F2B1E-5A7D-4C2B-9E51-7F6A0B1D2C91}
constexpr CLSID CLSID_TestSkinPlugin = {0x3C6F2B1E, 0x5A7D, 0x4C2B, {0x9E, 0x51, 0x7F, 0x6A, 0x0B, 0x1D, 0x2C, 0x91}};

class CTestPagePlugin final : public tx::ComObject<CTestPagePlugin, ISkinPagePlugin>
{
  public:
    STDMETHODIMP CreatePage(BSTR name, IPage **page) override
    {
        if (!name || std::wstring(name) != L"fromplugin")
            return E_FAIL;
        return CreateFakePage(L"plugin", page);
    }
};

class CTestPluginFactory final : public tx::ComObject<CTestPluginFactory, IClassFactory>
{
  public:
    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        tx::ComPtr<CTestPagePlugin> plugin = tx::MakeComObject<CTestPagePlugin>();
        return plugin ? plugin->QueryInterface(riid, ppv) : E_OUTOFMEMORY;
    }
    STDMETHODIMP LockServer(BOOL) override
    {
        return S_OK;
    }
};

TEST_F(SkinManagerTest, PagePluginIsFoundThroughItsCategory)
{
    tx::ComPtr<CTestPluginFactory> factory = tx::MakeComObject<CTestPluginFactory>();
    DWORD cookie = 0;
    ASSERT_EQ(::CoRegisterClassObject(CLSID_TestSkinPlugin, static_cast<IClassFactory *>(factory.Get()),
                                      CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    ASSERT_EQ(tx::RegisterClassInCategory(CLSID_TestSkinPlugin, CATID_SkinPagePlugins, L"Tessaronix skin pages"), S_OK);

    WriteSkin(R"(<skin><pages><page id="p" behavior="fromplugin"/></pages></skin>)");
    Manager().RefreshPlugins(); // the manager looked before the plug-in was registered
    Manager().SetPageCreator([](const wchar_t *, IPage **page) noexcept {
        *page = nullptr;
        return E_FAIL; // the page table knows no such name
    });
    ASSERT_EQ(Attach(), S_OK);
    EXPECT_GE(Manager().PagePluginCount(), 1u);
    EXPECT_EQ(TakeCalls(), L"plugin:Attach plugin:Open(0,0)");
    ASSERT_NE(Manager().Page(0)->Controller(), nullptr);

    osd->Shutdown();
    osd.reset();
    tx::UnregisterClassFromCategory(CLSID_TestSkinPlugin, CATID_SkinPagePlugins);
    ::CoRevokeClassObject(cookie);
}

} // namespace

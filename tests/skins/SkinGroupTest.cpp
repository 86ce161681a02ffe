// Focus movement of groups and page roots over fake focusable elements, and the split of
// menu data texts for the collection filter.
#include "comkit/Bstr.h"
#include "comkit/ComObject.h"
#include "txHost/core/HostInterfaces.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinGroup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::wstring> g_calls;

class CFakeControl final : public tx::ComObject<CFakeControl, ISkinControl>
{
  public:
    CFakeControl(const wchar_t *name, LONG x, LONG y, LONG w, LONG h) : name(name), x(x), y(y), w(w), h(h)
    {
    }
    std::wstring name;
    LONG x, y, w, h;
    bool accept = true;
    bool focused = false;

    STDMETHODIMP GetFocusRect(LONG *px, LONG *py, LONG *pw, LONG *ph) override
    {
        if (!accept)
            return S_FALSE;
        *px = x, *py = y, *pw = w, *ph = h;
        return S_OK;
    }
    STDMETHODIMP SetFocus(LONG direction, LONG, LONG) override
    {
        g_calls.push_back(name + L":" + std::to_wstring(direction));
        focused = accept;
        return accept ? S_OK : S_FALSE;
    }
    STDMETHODIMP GetCenter(LONG *px, LONG *py) override
    {
        *px = x + w / 2, *py = y + h / 2;
        return S_OK;
    }
    STDMETHODIMP KillFocus() override
    {
        focused = false;
        return S_OK;
    }
    STDMETHODIMP Navigate(LONG, BOOL *used) override
    {
        *used = FALSE;
        return S_OK;
    }
    STDMETHODIMP GetCommand(BOOL, BSTR *, LONG *, LONG *, BSTR *, BSTR *) override
    {
        return S_FALSE;
    }
    STDMETHODIMP MarkActivated() override
    {
        return S_OK;
    }
    STDMETHODIMP JumpToDigit(LONG) override
    {
        return S_FALSE;
    }
};

class SkinGroupTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(CreateSkinElementWithObject<CSkinGroup>(element.GetAddressOf(), &group), S_OK);
        g_calls.clear();
    }
    CFakeControl *Add(const wchar_t *name, LONG x, LONG y, LONG w = 100, LONG h = 40)
    {
        tx::ComPtr<CFakeControl> control = tx::MakeComObject<CFakeControl>(name, x, y, w, h);
        controls.push_back(control);
        EXPECT_EQ(group->AddFocusable(control.Get()), S_OK);
        return control.Get();
    }
    std::wstring Focused()
    {
        ISkinControl *focused = group->FocusedChild();
        for (auto &control : controls)
            if (static_cast<ISkinControl *>(control.Get()) == focused)
                return control->name;
        return L"";
    }

    tx::ComPtr<ISkinElement> element;
    CSkinGroup *group = nullptr;
    std::vector<tx::ComPtr<CFakeControl>> controls;
};

TEST_F(SkinGroupTest, NothingFocusableOrInvisibleRefuses)
{
    LONG x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(group->GetFocusRect(&x, &y, &w, &h), S_FALSE);
    EXPECT_EQ(group->SetFocus(2, 0, 0), S_FALSE);
    Add(L"a", 10, 20)->accept = false;
    EXPECT_EQ(group->SetFocus(4, 0, 0), S_FALSE);
    EXPECT_EQ(group->FocusIndex(), -1);

    Add(L"b", 200, 100, 50, 50);
    Add(L"c", 20, 300, 10, 10);
    EXPECT_EQ(group->GetFocusRect(&x, &y, &w, &h), S_OK); // the union of those that give one
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(w, 230);
    EXPECT_EQ(h, 210);
    element->SetVisible(FALSE);
    EXPECT_EQ(group->GetFocusRect(&x, &y, &w, &h), S_FALSE);
    EXPECT_EQ(group->SetFocus(4, 0, 0), S_FALSE);
}

TEST_F(SkinGroupTest, OrderedEntryFollowsTheAxis)
{
    group->ver = 1;
    Add(L"a", 0, 0);
    Add(L"b", 0, 50);
    Add(L"c", 0, 100)->accept = false;
    // Up into a vertical group: from the last, the last that accepts.
    EXPECT_EQ(group->SetFocus(1, 0, 0), S_OK);
    EXPECT_EQ(Focused(), L"b");
    EXPECT_EQ(g_calls, (std::vector<std::wstring>{L"c:1", L"b:1"}));
    // Down: the first.
    EXPECT_EQ(group->SetFocus(2, 0, 0), S_OK);
    EXPECT_EQ(Focused(), L"a");
    // Left into a vertical group: no ordered entry, the nearest right-middle anchor.
    g_calls.clear();
    EXPECT_EQ(group->SetFocus(3, 500, 60), S_OK);
    EXPECT_EQ(Focused(), L"b");
    EXPECT_EQ(g_calls, std::vector<std::wstring>{L"b:3"});
}

TEST_F(SkinGroupTest, SpatialChoiceWeighsTheCrossAxisLess)
{
    // Moving down from (100, 0): a is far below but straight under, b is near but aside.
    Add(L"a", 50, 300); // top centre (100, 300): 0 + 300² x 0.1 = 9000
    Add(L"b", 150, 50); // top centre (200, 50): 100² + 50² x 0.1 = 10250
    EXPECT_EQ(group->SetFocus(2, 100, 0), S_OK);
    EXPECT_EQ(Focused(), L"a");
    // Moving right from (0, 20): left-middle anchors, vertical distance counts fully.
    EXPECT_EQ(group->SetFocus(4 + 0, 0, 20), S_OK); // ordered entry: the first accepts
    EXPECT_EQ(Focused(), L"a");
    controls[0]->accept = false;
    EXPECT_EQ(group->SetFocus(1, 0, 0), S_OK);
    EXPECT_EQ(Focused(), L"b");

    // Equal distances: the earlier child wins.
    controls[0]->accept = true;
    controls[1]->x = 50, controls[1]->y = 300;
    EXPECT_EQ(group->SetFocus(2, 100, 0), S_OK);
    EXPECT_EQ(Focused(), L"a");
}

TEST_F(SkinGroupTest, PageRootWrapsAround)
{
    group->SetPage(nullptr, 720, 480);
    Add(L"a", 40, 200);
    Add(L"b", 200, 200);
    Add(L"c", 360, 200);
    ASSERT_EQ(group->FocusFirst(), S_OK);
    EXPECT_EQ(Focused(), L"a");
    group->MoveFocusInPage(4);
    EXPECT_EQ(Focused(), L"b");
    group->MoveFocusInPage(4);
    group->MoveFocusInPage(4);
    EXPECT_EQ(Focused(), L"a"); // past the last: the first that accepts
    EXPECT_FALSE(controls[2]->focused);
    group->MoveFocusInPage(3);
    EXPECT_EQ(Focused(), L"c");
    EXPECT_TRUE(controls[2]->focused);
    EXPECT_FALSE(controls[0]->focused);
    // Down on a single row comes back to the nearest top centre: the same column.
    group->MoveFocusInPage(2);
    EXPECT_EQ(Focused(), L"c");
    // Nothing accepts any more: no focus is left behind.
    for (auto &control : controls)
        control->accept = false;
    group->MoveFocusInPage(4);
    EXPECT_EQ(group->FocusIndex(), -1);
}

TEST(MenuFilterData, SplitsAtTheLastSlash)
{
    struct Case
    {
        const wchar_t *data, *first, *second;
    } cases[] = {
        {L"a/b", L"b", L"a"},      {L"x/y/z", L"z", L"x/y"}, {L"a/[b]", L"a/[b]", L""}, {L"plain", L"plain", L""},
        {L"[all]", L"", L"[all]"}, {L"/root", L"root", L""}, {L"a/", L"", L"a"},        {L"", L"", L""},
    };
    for (const Case &c : cases)
    {
        std::wstring first, second;
        SplitMenuFilterData(c.data, first, second);
        EXPECT_EQ(first, c.first) << c.data;
        EXPECT_EQ(second, c.second) << c.data;
    }
}

} // namespace

namespace
{

// The collection filter's two inputs.
class CFakeCollection final : public tx::ComObject<CFakeCollection, IHostCollection>
{
  public:
    std::vector<std::wstring> names, paths;
    STDMETHODIMP SelectByType(LONG) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetCategoryValueList(BSTR, BSTR, IMediaIdList **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP NarrowByCategoryValue(BSTR, BSTR) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSelectedItemList(IMediaIdList **) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSelection(LONG **, LONG *) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetSelection(const LONG *, LONG) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP AddCategoryName(BSTR name) override
    {
        names.push_back(name);
        return S_OK;
    }
    STDMETHODIMP AddNamedList(BSTR path) override
    {
        paths.push_back(path);
        return S_OK;
    }
    STDMETHODIMP ReloadAll() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP NarrowByNamedList(BSTR) override
    {
        return E_NOTIMPL;
    }
};

// Elements whose id begins with "menu" are menus of these item data texts.
HRESULT ReadFakeMenu(ISkinElement *element, LONG index, BSTR *data) noexcept
{
    static const wchar_t *const kItems[] = {L"Videos/Films", L"[all]", L"", L"Music/[x]"};
    tx::Bstr id;
    element->GetId(id.Put());
    if (id.View().substr(0, 4) != L"menu")
        return E_NOINTERFACE;
    if (index < 0 || index >= static_cast<LONG>(std::size(kItems)))
        return E_INVALIDARG;
    *data = ::SysAllocString(kItems[index]);
    return S_OK;
}

TEST(MenuFilterWalk, ReadsEveryMenuDepthFirst)
{
    auto make = [](const wchar_t *id, CSkinGroup **group) {
        tx::ComPtr<ISkinElement> element;
        CSkinGroup *object = nullptr;
        EXPECT_EQ(CreateSkinElementWithObject<CSkinGroup>(element.GetAddressOf(), &object), S_OK);
        object->id = id;
        if (group)
            *group = object;
        return element;
    };
    CSkinGroup *root = nullptr, *inner = nullptr;
    tx::ComPtr<ISkinElement> rootElement = make(L"root", &root);
    tx::ComPtr<ISkinElement> innerElement = make(L"inner", &inner);
    tx::ComPtr<ISkinElement> menu1 = make(L"menu1", nullptr);
    tx::ComPtr<ISkinElement> menu2 = make(L"menu2", nullptr);
    ASSERT_EQ(inner->AddGroupChild(menu2.Get(), nullptr), S_OK);
    ASSERT_EQ(root->AddGroupChild(menu1.Get(), nullptr), S_OK);
    ASSERT_EQ(root->AddGroupChild(innerElement.Get(), inner), S_OK);

    tx::ComPtr<CFakeCollection> collection = tx::MakeComObject<CFakeCollection>();
    SetSkinMenuItemDataReader(ReadFakeMenu);
    EXPECT_EQ(root->RegisterMenuFilters(collection.Get()), S_OK);
    SetSkinMenuItemDataReader(nullptr);
    const std::vector<std::wstring> names{L"Films", L"Music/[x]", L"Films", L"Music/[x]"};
    const std::vector<std::wstring> paths{L"Videos", L"[all]", L"Videos", L"[all]"};
    EXPECT_EQ(collection->names, names);
    EXPECT_EQ(collection->paths, paths);
    // With the default reader only ISkinMenu elements are menus.
    collection->names.clear();
    EXPECT_EQ(root->RegisterMenuFilters(collection.Get()), S_OK);
    EXPECT_TRUE(collection->names.empty());
}

} // namespace

// The skin element objects under Wine: faces and reference counts, creators and clones,
// lookup by id, the repeat lock through ISkinControl with an injected clock, the caches,
// and attributes read from MSXML.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinElement.h"

#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "comkit/Module.h"
#include "tests/support/TestPaths.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using tx::ComPtr;
using namespace tx::skin;

// A positioned, focusable element as the element classes will be.
class CTestControl : public CSkinControlElement
{
  public:
    HRESULT Relayout(LONG delta) override
    {
        RelayoutVertical(delta, resize, y, height);
        return S_OK;
    }
    HRESULT Clone(ISkinElement **clone) override
    {
        return CloneSkinElement(this, clone);
    }
    HRESULT CopyAttributesTo(CSkinElement *target) override
    {
        auto *other = static_cast<CTestControl *>(target);
        other->y = y;
        other->height = height;
        other->caption = caption;
        return CSkinElement::CopyAttributesTo(target);
    }
    HRESULT GetCommand(BOOL activate, BSTR *, LONG *first, LONG *, BSTR *, BSTR *) override
    {
        if (activate && !IsRepeatAllowed())
            return S_FALSE;
        if (first)
            *first = 7;
        return S_OK;
    }
    HRESULT Draw(IOsd *) override
    {
        if (throwOnDraw)
            throw std::bad_alloc();
        return S_OK;
    }

    int32_t y = 0;
    int32_t height = 0;
    SkinString caption;
    bool throwOnDraw = false;
};

// A group as far as lookup needs it: children held with references.
class CTestGroup : public CSkinControlElement
{
  public:
    HRESULT AddChild(ISkinElement *child, CSkinElement *childObject) override
    {
        if (!child || !childObject)
            return E_POINTER;
        m_children.push_back(childObject); // may throw: the face answers E_OUTOFMEMORY
        child->AddRef();
        return S_OK;
    }
    ULONG GroupChildCount() const noexcept override
    {
        return static_cast<ULONG>(m_children.size());
    }
    CSkinElement *GroupChild(ULONG index) noexcept override
    {
        return index < m_children.size() ? m_children[index] : nullptr;
    }
    ~CTestGroup() override
    {
        for (CSkinElement *child : m_children)
            child->Release();
    }

  private:
    std::vector<CSkinElement *> m_children;
};

DWORD g_now = 0;
DWORD TestClock() noexcept
{
    return g_now;
}

class SkinElementTest : public ::testing::Test
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
        EXPECT_EQ(locksBefore, tx::module::LockCount()) << "an element was not released";
    }

    template <class T> ComPtr<ISkinElement> Make(T **object, const wchar_t *id)
    {
        ComPtr<ISkinElement> element;
        EXPECT_EQ(S_OK, CreateSkinElementWithObject<T>(element.GetAddressOf(), object));
        (*object)->id = id;
        return element;
    }

    LONG locksBefore = 0;
};

std::wstring IdOf(ISkinElement *element)
{
    BSTR id = nullptr;
    EXPECT_EQ(S_OK, element->GetId(&id));
    std::wstring text = id ? id : L"(null)";
    ::SysFreeString(id);
    return text;
}

TEST_F(SkinElementTest, FacesShareOneCountAndTheModuleLock)
{
    CTestControl *raw = nullptr;
    ASSERT_EQ(S_OK, CreateSkinElementInstance(&raw));
    EXPECT_EQ(locksBefore + 1, tx::module::LockCount());
    EXPECT_EQ(E_POINTER, CreateSkinElementInstance<CTestControl>(nullptr));

    ComPtr<ISkinElement> element;
    ASSERT_EQ(S_OK, raw->QueryFace(__uuidof(ISkinElement), reinterpret_cast<void **>(element.GetAddressOf())));
    ComPtr<ISkinResolve> resolve;
    ComPtr<ISkinControl> control;
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, element->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(resolve.GetAddressOf())));
    ASSERT_EQ(S_OK, resolve->QueryInterface(__uuidof(ISkinControl), reinterpret_cast<void **>(control.GetAddressOf())));
    ASSERT_EQ(S_OK, control->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void **>(unknown.GetAddressOf())));
    EXPECT_EQ(static_cast<IUnknown *>(element.Get()), unknown.Get()); // one identity
    IOsd *none = reinterpret_cast<IOsd *>(1);
    EXPECT_EQ(E_NOINTERFACE, element->QueryInterface(__uuidof(IOsd), reinterpret_cast<void **>(&none)));
    EXPECT_EQ(nullptr, none);

    CSkinElement *behind = nullptr;
    EXPECT_EQ(S_OK, resolve->GetElement(&behind));
    EXPECT_EQ(raw, behind);
    EXPECT_EQ(5u, element->AddRef());
    EXPECT_EQ(4u, element->Release());

    // Base behaviour of the operations.
    EXPECT_EQ(E_NOTIMPL, element->Reserved(0));
    EXPECT_EQ(E_NOTIMPL, resolve->AddChild(nullptr, nullptr));
    EXPECT_EQ(S_OK, resolve->ResolveResources(nullptr, nullptr, nullptr));
    BOOL visible = FALSE;
    EXPECT_EQ(S_OK, element->GetVisible(&visible));
    EXPECT_TRUE(visible);
    element->SetVisible(FALSE);
    element->GetVisible(&visible);
    EXPECT_FALSE(visible);
    BOOL redraw = 5;
    EXPECT_EQ(S_OK, element->Animate(&redraw));
    EXPECT_EQ(5, redraw);                // untouched
    EXPECT_EQ(L"", IdOf(element.Get())); // empty, not null
}

TEST_F(SkinElementTest, AnExceptionInsideAnOperationBecomesAnHResult)
{
    CTestControl *raw = nullptr;
    ComPtr<ISkinElement> element = Make(&raw, L"x");
    raw->throwOnDraw = true;
    EXPECT_EQ(E_OUTOFMEMORY, element->Draw(nullptr));
    raw->throwOnDraw = false;
    EXPECT_EQ(S_OK, element->Draw(nullptr));
}

TEST_F(SkinElementTest, CloneCopiesAttributesButNotVisibility)
{
    CTestControl *raw = nullptr;
    ComPtr<ISkinElement> element = Make(&raw, L"caption");
    raw->resize = SKIN_RESIZE_SCALE;
    raw->y = 40;
    raw->height = 20;
    raw->caption = L"Play";
    raw->visible = FALSE;

    ComPtr<ISkinElement> clone;
    ASSERT_EQ(S_OK, element->Clone(clone.GetAddressOf()));
    ComPtr<ISkinResolve> resolve;
    clone->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(resolve.GetAddressOf()));
    CSkinElement *object = nullptr;
    resolve->GetElement(&object);
    auto *copy = static_cast<CTestControl *>(object);
    EXPECT_NE(raw, copy);
    EXPECT_EQ(L"caption", IdOf(clone.Get()));
    EXPECT_EQ(SKIN_RESIZE_SCALE, copy->resize);
    EXPECT_EQ(L"Play", copy->caption);
    EXPECT_TRUE(copy->visible);

    // Relayout of the copy follows its resize mode, the original stays.
    clone->Relayout(96);
    EXPECT_EQ(-8, copy->y);
    EXPECT_EQ(116, copy->height);
    EXPECT_EQ(40, raw->y);
}

TEST_F(SkinElementTest, FindByIdSearchesDepthFirstAndTheFirstMatchWins)
{
    CTestGroup *root = nullptr;
    ComPtr<ISkinElement> rootElement = Make(&root, L"root");
    CTestGroup *inner = nullptr;
    ComPtr<ISkinElement> innerElement = Make(&inner, L"inner");
    CTestControl *deep = nullptr;
    ComPtr<ISkinElement> deepElement = Make(&deep, L"twin");
    CTestControl *later = nullptr;
    ComPtr<ISkinElement> laterElement = Make(&later, L"twin");
    CTestControl *plain = nullptr;
    ComPtr<ISkinElement> plainElement = Make(&plain, L"plain");

    ComPtr<ISkinResolve> rootResolve, innerResolve;
    rootElement->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(rootResolve.GetAddressOf()));
    innerElement->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(innerResolve.GetAddressOf()));
    ASSERT_EQ(S_OK, innerResolve->AddChild(deepElement.Get(), deep));
    ASSERT_EQ(S_OK, rootResolve->AddChild(plainElement.Get(), plain));
    ASSERT_EQ(S_OK, rootResolve->AddChild(innerElement.Get(), inner));
    ASSERT_EQ(S_OK, rootResolve->AddChild(laterElement.Get(), later));

    ComPtr<ISkinElement> found;
    ASSERT_EQ(S_OK, FindSkinElementById(root, L"twin", found.GetAddressOf()));
    EXPECT_EQ(deepElement.Get(), found.Get()); // inside the group that comes first
    found.Reset();
    ASSERT_EQ(S_OK, FindSkinElementById(root, L"root", found.GetAddressOf()));
    EXPECT_EQ(rootElement.Get(), found.Get());
    found.Reset();
    EXPECT_EQ(E_FAIL, FindSkinElementById(root, L"Twin", found.GetAddressOf())); // case matters
    EXPECT_EQ(E_POINTER, FindSkinElementById(root, L"twin", nullptr));
}

TEST_F(SkinElementTest, RepeatLockThroughTheControlFace)
{
    CTestControl *raw = nullptr;
    ComPtr<ISkinElement> element = Make(&raw, L"b");
    ComPtr<ISkinControl> control;
    ASSERT_EQ(S_OK, element->QueryInterface(__uuidof(ISkinControl), reinterpret_cast<void **>(control.GetAddressOf())));
    LONG first = 0;
    g_now = 0xFFFFFE00u; // 512 ms before the tick count wraps
    EXPECT_EQ(S_OK, control->GetCommand(TRUE, nullptr, &first, nullptr, nullptr, nullptr));
    EXPECT_EQ(7, first);
    g_now += 499; // 0xFFFFFFF3
    EXPECT_EQ(S_FALSE, control->GetCommand(TRUE, nullptr, &first, nullptr, nullptr, nullptr));
    g_now += 500; // wraps to 0x1E7
    EXPECT_EQ(S_OK, control->GetCommand(TRUE, nullptr, &first, nullptr, nullptr, nullptr));
    EXPECT_EQ(S_OK, control->GetCommand(FALSE, nullptr, &first, nullptr, nullptr, nullptr)); // no activation

    EXPECT_EQ(S_OK, control->MarkActivated());
    g_now += 499;
    EXPECT_EQ(S_FALSE, control->GetCommand(TRUE, nullptr, &first, nullptr, nullptr, nullptr));
}

TEST_F(SkinElementTest, StringsCompareWithoutCaseAndEmptyFirst)
{
    EXPECT_EQ(0, CompareSkinStrings(L"abc", L"ABC"));
    EXPECT_EQ(-1, CompareSkinStrings(L"abc", L"abd"));
    EXPECT_EQ(1, CompareSkinStrings(L"b", L"A"));
    EXPECT_EQ(-1, CompareSkinStrings(nullptr, L"a"));
    EXPECT_EQ(-1, CompareSkinStrings(L"", L" "));
    EXPECT_EQ(1, CompareSkinStrings(L"a", L""));
    EXPECT_EQ(0, CompareSkinStrings(nullptr, L""));
}

TEST_F(SkinElementTest, NoThumbnailWithoutTheThumbnailWindow)
{
    EXPECT_EQ(nullptr, RequestThumbnail(L"C:\\nothing.jpg", 10, 10));
}

TEST_F(SkinElementTest, TagCreatorsAndTheTagTable)
{
    const SkinTagEntry table[] = {
        {L"group", nullptr, 0, false, &CreateSkinElementForTag<CTestGroup>},
        {L"dialog", nullptr, 0, true, nullptr},
        {L"text", nullptr, 0, false, &CreateSkinElementForTag<CTestControl>},
    };
    EXPECT_EQ(&table[2], FindSkinTag(table, 3, L"text", false));
    EXPECT_EQ(nullptr, FindSkinTag(table, 3, L"Text", false));
    EXPECT_EQ(nullptr, FindSkinTag(table, 3, L"dialog", false)); // definition only
    EXPECT_EQ(&table[1], FindSkinTag(table, 3, L"dialog", true));
    EXPECT_EQ(nullptr, FindSkinTag(table, 3, L"text", true));

    ComPtr<ISkinElement> element;
    ASSERT_EQ(S_OK, table[2].creator(element.GetAddressOf()));
    ComPtr<ISkinControl> control;
    EXPECT_EQ(S_OK, element->QueryInterface(__uuidof(ISkinControl), reinterpret_cast<void **>(control.GetAddressOf())));
    EXPECT_EQ(E_POINTER, table[0].creator(nullptr));
}

// ---- caches ----

TEST(SkinFontCacheTest, StylesDifferingOnlyInColourShareAFont)
{
    SkinFontCache cache;
    SkinStyle a;
    a.face = L"Tahoma";
    a.height = 18;
    SkinStyle b = a;
    b.textColour = 0x123456;
    b.background = 0x80000000;
    HFONT fa = cache.GetFont(a);
    ASSERT_NE(nullptr, fa);
    EXPECT_EQ(fa, cache.GetFont(b));
    SkinStyle c = a;
    c.weight = 700;
    HFONT fc = cache.GetFont(c);
    EXPECT_NE(fa, fc);
    SkinStyle d = a;
    d.face = L"tahoma"; // the face is compared exactly
    EXPECT_NE(fa, cache.GetFont(d));
    EXPECT_EQ(3u, cache.Count());

    // 18 points at 96 dpi: a character height of 24 pixels; underline from decoration 2.
    LOGFONTW info{};
    ASSERT_NE(0, ::GetObjectW(fa, sizeof(info), &info));
    EXPECT_EQ(-24, info.lfHeight);
    EXPECT_EQ(-16, info.lfWidth);
    EXPECT_EQ(ANTIALIASED_QUALITY, info.lfQuality);
    SkinStyle u = a;
    u.decoration = 2;
    ASSERT_NE(0, ::GetObjectW(cache.GetFont(u), sizeof(info), &info));
    EXPECT_TRUE(info.lfUnderline);
    EXPECT_FALSE(info.lfStrikeOut);
    cache.Clear();
    EXPECT_EQ(0u, cache.Count());
}

int g_loads = 0;
std::wstring g_lastPath;
HRESULT CountingLoader(const wchar_t *path, IPictureSurface **surface) noexcept
{
    ++g_loads;
    g_lastPath = path;
    if (wcsstr(path, L"missing"))
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    DWORD pixel = 0xFF00FF00;
    return CreatePictureSurface(1, 1, &pixel, 1, surface);
}

TEST(SkinImageCacheTest, LoadsEachNameOnceAndCachesNoFailure)
{
    g_loads = 0;
    SkinImageCache cache;
    cache.SetLoader(&CountingLoader);
    ASSERT_EQ(S_OK, cache.SetFolder(L"C:\\Skins\\Blue"));
    ComPtr<IPictureSurface> a1, a2, b;
    ASSERT_EQ(S_OK, cache.GetImage(L"back.png", a1.GetAddressOf()));
    EXPECT_EQ(L"C:\\Skins\\Blue\\back.png", g_lastPath);
    ASSERT_EQ(S_OK, cache.GetImage(L"back.png", a2.GetAddressOf()));
    EXPECT_EQ(a1.Get(), a2.Get());
    ASSERT_EQ(S_OK, cache.GetImage(L"Back.png", b.GetAddressOf())); // names are exact
    EXPECT_NE(a1.Get(), b.Get());
    EXPECT_EQ(2, g_loads);

    ComPtr<IPictureSurface> missing;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), cache.GetImage(L"missing.png", missing.GetAddressOf()));
    EXPECT_EQ(nullptr, missing.Get());
    EXPECT_EQ(2u, cache.Count());
    cache.GetImage(L"missing.png", missing.GetAddressOf());
    EXPECT_EQ(4, g_loads); // a failure is tried again
}

TEST(SkinImageCacheTest, DecodesAFileWithGdiplus)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    std::wstring folder = tx::test::MakeScratchFolder(L"skinimages");
    {
        // A 2 x 1 bitmap file: blue then red, written by hand.
        Gdiplus::Bitmap bitmap(2, 1, PixelFormat32bppARGB);
        bitmap.SetPixel(0, 0, Gdiplus::Color(255, 0, 0, 255));
        bitmap.SetPixel(1, 0, Gdiplus::Color(255, 255, 0, 0));
        CLSID png{};
        ASSERT_EQ(S_OK, ::CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png));
        ASSERT_EQ(Gdiplus::Ok, bitmap.Save((folder + L"\\two.png").c_str(), &png, nullptr));

        SkinImageCache cache;
        cache.SetFolder(folder.c_str());
        ComPtr<IPictureSurface> surface;
        ASSERT_EQ(S_OK, cache.GetImage(L"two.png", surface.GetAddressOf()));
        LONG width = 0, height = 0;
        surface->GetSize(&width, &height);
        EXPECT_EQ(2, width);
        EXPECT_EQ(1, height);
        const DWORD *pixels = nullptr;
        LONG stride = 0;
        surface->GetPixels(&pixels, &stride);
        EXPECT_EQ(0xFF0000FFu, pixels[0]);
        EXPECT_EQ(0xFFFF0000u, pixels[1]);
    }
    tx::test::RemoveFolder(folder);
    Gdiplus::GdiplusShutdown(token);
}

// ---- attributes from MSXML ----

struct Fields
{
    int32_t size = 0;
    uint32_t colour = 0;
    SkinString text;
    uint8_t flag = 0;
};

const SkinAttrRow kRows[] = {
    {L"size", SKINATTR_INT, TX_SKIN_FIELD(Fields, size)},
    {L"colour", SKINATTR_COLOR, TX_SKIN_FIELD(Fields, colour)},
    {nullptr, SKINATTR_STRING, TX_SKIN_FIELD(Fields, text)},
    {L"flag", SKINATTR_BOOL, TX_SKIN_FIELD(Fields, flag)},
};

TEST(SkinAttributeXmlTest, FreshAndOverlayApplicationFromAnXmlElement)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        ComPtr<IXMLDOMDocument2> document;
        ASSERT_EQ(S_OK,
                  ::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IXMLDOMDocument2),
                                     reinterpret_cast<void **>(document.GetAddressOf())));
        VARIANT_BOOL ok = VARIANT_FALSE;
        tx::Bstr xml(L"<text size='  ' colour='#FF8000' flag='yes'>Hello</text>");
        ASSERT_EQ(S_OK, document->loadXML(xml.Get(), &ok));
        ComPtr<IXMLDOMElement> node;
        ASSERT_EQ(S_OK, document->get_documentElement(node.GetAddressOf()));

        SkinAttrPart part{nullptr, kRows, 4, nullptr};
        Fields fields;
        fields.size = 9;
        ASSERT_EQ(S_OK, ApplySkinAttributes(part, node.Get(), &fields, false));
        EXPECT_EQ(0, fields.size); // blank on a fresh load: the default
        EXPECT_EQ(0x000080FFu, fields.colour);
        EXPECT_EQ(L"Hello", fields.text);
        EXPECT_EQ(1, fields.flag);

        tx::Bstr other(L"<text size='12'>Bye</text>");
        ASSERT_EQ(S_OK, document->loadXML(other.Get(), &ok));
        node.Reset();
        ASSERT_EQ(S_OK, document->get_documentElement(node.GetAddressOf()));
        ASSERT_EQ(S_OK, ApplySkinAttributes(part, node.Get(), &fields, true));
        EXPECT_EQ(12, fields.size);
        EXPECT_EQ(0x000080FFu, fields.colour); // absent in overlay: kept
        EXPECT_EQ(1, fields.flag);
        EXPECT_EQ(L"Bye", fields.text);
        ASSERT_EQ(S_OK, ApplySkinAttributes(part, node.Get(), &fields, false));
        EXPECT_EQ(0u, fields.colour); // absent on a fresh load: reset
        EXPECT_EQ(0, fields.flag);

        const SkinAttrRow bad[] = {{L"size", 99, TX_SKIN_FIELD(Fields, size)}};
        SkinAttrPart badPart{nullptr, bad, 1, nullptr};
        EXPECT_EQ(E_INVALIDARG, ApplySkinAttributes(badPart, node.Get(), &fields, false));
    }
    ::CoUninitialize();
}

} // namespace

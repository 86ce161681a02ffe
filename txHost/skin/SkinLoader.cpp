// Loading the string tables and skin.xml into the skin manager, and freeing a skin.
#include "txHost/skin/SkinLoader.h"

#include "comkit/Bstr.h"
#include "comkit/HResult.h"
#include "txHost/core/HostSettings.h"
#include "txHost/skin/Osd.h"
#include "txHost/skin/SkinDialog.h"
#include "txHost/skin/SkinGroup.h"
#include "txHost/skin/SkinManager.h"
#include "txHost/skin/SkinButton.h"
#include "txHost/skin/SkinButtonImg.h"
#include "txHost/skin/SkinImage.h"
#include "txHost/skin/SkinList.h"
#include "txHost/skin/SkinMenu.h"
#include "txHost/skin/SkinRect.h"
#include "txHost/skin/SkinSlider.h"
#include "txHost/skin/SkinStandinElements.h"
#include "txHost/skin/SkinText.h"

#include <string>

namespace
{

// The tag table. The epg and pic tags make stand-ins until their classes exist.
#define TX_SKIN_TAG(tag, Class)                                                                                        \
    {                                                                                                                  \
        tag, Class::kParts, Class::kPartCount, false, &CreateSkinElementForTag<Class>                                  \
    }
const SkinTagRow kSkinTagTable[] = {
    TX_SKIN_TAG(L"group", CSkinGroup),
    {L"dialog", CSkinDialog::kParts, CSkinDialog::kPartCount, true, nullptr},
    TX_SKIN_TAG(L"menu", CSkinMenu),
    TX_SKIN_TAG(L"text", CSkinText),
    TX_SKIN_TAG(L"image", CSkinImage),
    TX_SKIN_TAG(L"button", CSkinButton),
    TX_SKIN_TAG(L"buttonimg", CSkinButtonImg),
    TX_SKIN_TAG(L"list", CSkinList),
    {L"epg", CSkinStandinControl::kPlainParts, CSkinStandinControl::kPlainPartCount, false,
     &CreateSkinElementForTag<CSkinStandinControl>},
    TX_SKIN_TAG(L"rect", CSkinRect),
    TX_SKIN_TAG(L"blockrect", CSkinBlockRect),
    TX_SKIN_TAG(L"slider", CSkinSlider),
    {L"pic", CSkinStandinControl::kPlainParts, CSkinStandinControl::kPlainPartCount, false,
     &CreateSkinElementForTag<CSkinStandinControl>},
};
#undef TX_SKIN_TAG

constexpr size_t kMaxFolderChars = 259;
constexpr int kMaxGroupDepth = 32;

// A structural error of skin.xml: logged with what was found, and E_UNEXPECTED.
HRESULT StructuralError(const wchar_t *what, const std::wstring &name = std::wstring()) noexcept
{
    try
    {
        std::wstring message = L"Failed to load skin: ";
        message += what;
        if (!name.empty())
            message += L" \"" + name + L"\"";
        tx::LogFailure(E_UNEXPECTED, message.c_str());
    }
    catch (...)
    {
        tx::LogFailure(E_UNEXPECTED, L"Failed to load skin");
    }
    return E_UNEXPECTED;
}

std::wstring NodeName(IXMLDOMNode *node)
{
    tx::Bstr name;
    if (FAILED(node->get_nodeName(name.Put())) || name.IsNull())
        return std::wstring();
    return std::wstring(name.View());
}

// The attribute's text; empty when absent.
std::wstring AttributeText(IXMLDOMElement *element, const wchar_t *name)
{
    tx::Variant value;
    tx::Bstr attribute(name);
    if (element->getAttribute(attribute.Get(), value.Put()) != S_OK || value.Get().vt != VT_BSTR ||
        !value.Get().bstrVal)
        return std::wstring();
    return std::wstring(value.Get().bstrVal, ::SysStringLen(value.Get().bstrVal));
}

bool HasAttribute(IXMLDOMElement *element, const wchar_t *name)
{
    tx::Variant value;
    tx::Bstr attribute(name);
    return element->getAttribute(attribute.Get(), value.Put()) == S_OK && value.Get().vt == VT_BSTR;
}

// Calls visit(element, name) for each child node in order; a child that is not an element
// ends the walk with E_UNEXPECTED, and so does a failing visit (with its result).
template <class Visit> HRESULT ForEachChildElement(IXMLDOMNode *parent, const wchar_t *where, Visit &&visit)
{
    tx::ComPtr<IXMLDOMNode> child;
    HRESULT hr = parent->get_firstChild(child.GetAddressOf());
    if (FAILED(hr))
        return hr;
    while (hr == S_OK && child)
    {
        tx::ComPtr<IXMLDOMElement> element;
        if (FAILED(child->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void **>(element.GetAddressOf()))))
            return StructuralError(L"a node that is not an element (a comment?) inside", where);
        hr = visit(element.Get(), NodeName(child.Get()));
        if (FAILED(hr))
            return hr;
        tx::ComPtr<IXMLDOMNode> next;
        hr = child->get_nextSibling(next.GetAddressOf());
        child = std::move(next);
    }
    return FAILED(hr) ? hr : S_OK;
}

HRESULT LoadXmlDocument(const std::wstring &path, tx::ComPtr<IXMLDOMDocument> &document, VARIANT_BOOL &loaded) noexcept
{
    loaded = VARIANT_FALSE;
    HRESULT hr = ::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IXMLDOMDocument),
                                    reinterpret_cast<void **>(document.GetAddressOf()));
    TX_RETURN_IF_FAILED(hr, L"Failed to create XML document");
    document->put_async(VARIANT_FALSE);
    // A skin is data: it names no outside entities or schemas.
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    tx::Variant source(path.c_str());
    hr = document->load(source.Get(), &loaded);
    return hr;
}

} // namespace

const SkinTagRow *FindSkinTag(const wchar_t *name, bool definitionOnly) noexcept
{
    if (!name)
        return nullptr;
    for (const SkinTagRow &row : kSkinTagTable)
        if (row.definitionOnly == definitionOnly && wcscmp(row.tag, name) == 0)
            return &row;
    return nullptr;
}

bool tx::skin::IsPlainFileName(const wchar_t *name) noexcept
{
    if (!name || !*name)
        return false;
    if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0)
        return false;
    return !wcspbrk(name, L"\\/:*?\"<>|");
}

// ---- the string tables ----

void CSkinManager::BuildStringMap(IXMLDOMDocument *document, StringMap &map) noexcept
{
    map.clear();
    if (!document)
        return;
    tx::ComPtr<IXMLDOMNodeList> nodes;
    tx::Bstr query(L"/strings/string");
    if (FAILED(document->selectNodes(query.Get(), nodes.GetAddressOf())) || !nodes)
        return;
    try
    {
        tx::ComPtr<IXMLDOMNode> node;
        while (nodes->nextNode(node.ReleaseAndGetAddressOf()) == S_OK && node)
        {
            tx::ComPtr<IXMLDOMElement> element;
            if (FAILED(
                    node->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void **>(element.GetAddressOf()))))
                continue;
            if (!HasAttribute(element.Get(), L"id"))
                continue;
            tx::Bstr text;
            if (FAILED(node->get_text(text.Put())))
                continue;
            // The first string of an id wins, as a query for the id would find it.
            map.emplace(AttributeText(element.Get(), L"id"), std::wstring(text.View()));
        }
    }
    catch (const std::bad_alloc &)
    {
        tx::LogFailure(E_OUTOFMEMORY, L"Failed to read string table");
    }
}

// ---- skin.xml ----

HRESULT CSkinManager::LoadSkinXml(const wchar_t *folder, IHost *host, IXMLDOMDocument *strings,
                                  IXMLDOMDocument *english) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    m_host = host;
    m_strings = strings;
    m_english = english;
    BuildStringMap(m_strings.Get(), m_stringMap);
    BuildStringMap(m_english.Get(), m_englishMap);
    m_groupDepth = 0;
    try
    {
        m_folder = folder ? folder : L"";
        TX_RETURN_HR_IF(m_folder.size() > kMaxFolderChars, HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE),
                        L"Failed to load skin: the skin folder's path is too long");

        tx::ComPtr<IXMLDOMDocument> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        HRESULT hr = LoadXmlDocument(m_folder + L"\\skin.xml", document, loaded);
        TX_RETURN_IF_FAILED(hr, L"Failed to load skin.xml");
        TX_RETURN_HR_IF(hr != S_OK || loaded != VARIANT_TRUE, E_FAIL,
                        L"Failed to load skin.xml: missing or not well-formed");

        tx::ComPtr<IXMLDOMElement> root;
        hr = document->get_documentElement(root.GetAddressOf());
        TX_RETURN_HR_IF(FAILED(hr) || !root, E_FAIL, L"Failed to load skin.xml: no root element");
        if (NodeName(root.Get()) != L"skin")
            return StructuralError(L"the root element is not skin but", NodeName(root.Get()));
        m_defaultImage = AttributeText(root.Get(), L"image");

        return ForEachChildElement(root.Get(), L"skin", [this](IXMLDOMElement *child, const std::wstring &name) {
            if (name == L"dialog")
                return LoadDialogDefinition(child);
            if (name == L"class")
                return LoadClasses(child);
            if (name == L"pages")
                return LoadPages(child);
            return S_OK;
        });
    }
    catch (const std::bad_alloc &)
    {
        tx::LogFailure(E_OUTOFMEMORY, L"Failed to load skin");
        return E_OUTOFMEMORY;
    }
}

HRESULT CSkinManager::LoadElementParts(const SkinTagRow &row, IXMLDOMElement *element, CSkinElement *object,
                                       bool overlay)
{
    HRESULT hr = ApplySkinAttributes(row.parts[0], element, object, overlay);
    if (FAILED(hr))
        return hr;
    tx::ComPtr<IXMLDOMNode> child;
    hr = element->get_firstChild(child.GetAddressOf());
    while (hr == S_OK && child)
    {
        tx::ComPtr<IXMLDOMElement> sub;
        if (FAILED(child->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void **>(sub.GetAddressOf()))))
            break; // the element's text: the named parts end here
        const std::wstring name = NodeName(child.Get());
        for (size_t i = 1; i < row.partCount; ++i)
        {
            const SkinAttrPart &part = row.parts[i];
            if (!part.subTag || name != part.subTag)
                continue;
            if (part.childCreator)
            {
                tx::ComPtr<ISkinElement> item;
                hr = part.childCreator(item.GetAddressOf());
                if (FAILED(hr))
                    return hr;
                tx::ComPtr<ISkinResolve> resolve;
                hr = item->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(resolve.GetAddressOf()));
                if (FAILED(hr))
                    return hr;
                CSkinElement *itemObject = nullptr;
                resolve->GetElement(&itemObject);
                // Filled first, so that the holder copies what it needs as it takes the child.
                hr = ApplySkinAttributes(part, sub.Get(), itemObject, false);
                if (FAILED(hr))
                    return hr;
                hr = object->ResolveFace()->AddChild(item.Get(), itemObject);
                if (FAILED(hr))
                    return hr;
            }
            else
            {
                hr = ApplySkinAttributes(part, sub.Get(), object, false);
                if (FAILED(hr))
                    return hr;
            }
            break;
        }
        tx::ComPtr<IXMLDOMNode> next;
        hr = child->get_nextSibling(next.GetAddressOf());
        child = std::move(next);
    }
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CSkinManager::LoadDialogDefinition(IXMLDOMElement *element)
{
    const SkinTagRow *row = FindSkinTag(L"dialog", true);
    DialogEntry entry;
    HRESULT hr = CreateSkinElementWithObject<CSkinDialog>(entry.element.GetAddressOf(), &entry.object);
    TX_RETURN_IF_FAILED(hr, L"Failed to create dialog definition");
    hr = LoadElementParts(*row, element, entry.object, false);
    if (FAILED(hr))
        return hr;
    try
    {
        m_dialogs.push_back(std::move(entry));
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CSkinManager::LoadClasses(IXMLDOMElement *element)
{
    return ForEachChildElement(element, L"class", [this](IXMLDOMElement *child, const std::wstring &tag) -> HRESULT {
        ClassEntry entry;
        const SkinTagRow *row = FindSkinTag(tag.c_str(), false);
        if (row)
        {
            HRESULT hr = row->creator(entry.prototype.GetAddressOf());
            if (FAILED(hr))
                return StructuralError(L"cannot make a class of tag", tag);
        }
        else if (FindSkinTag(tag.c_str(), true))
            return StructuralError(L"a definition-only tag inside class:", tag);
        else
            CreatePluginElement(tag.c_str(), entry.prototype.GetAddressOf());
        if (!entry.prototype)
            return StructuralError(L"no element class for tag", tag);
        if (!HasAttribute(child, L"class-id"))
            return StructuralError(L"a class without class-id, tag", tag);
        tx::ComPtr<ISkinResolve> resolve;
        HRESULT hr =
            entry.prototype->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(resolve.GetAddressOf()));
        if (FAILED(hr))
            return hr;
        resolve->GetElement(&entry.object);
        entry.classId = AttributeText(child, L"class-id");
        entry.tag = tag;
        CSkinElement *object = entry.object;
        m_classes.push_back(std::move(entry));
        if (row)
            return LoadElementParts(*row, child, object, false);
        return S_OK;
    });
}

HRESULT CSkinManager::CreateElement(const SkinTagRow &row, const std::wstring &tag, IXMLDOMElement *element,
                                    tx::ComPtr<ISkinElement> &created, CSkinElement *&object, bool &overlay)
{
    overlay = false;
    if (HasAttribute(element, L"class"))
    {
        const std::wstring className = AttributeText(element, L"class");
        tx::ComPtr<ISkinElement> prototype;
        FindSkinClass(tag.c_str(), className.c_str(), prototype.GetAddressOf());
        if (!prototype)
            return StructuralError(L"no class of that name:", className);
        HRESULT hr = prototype->Clone(created.GetAddressOf());
        TX_RETURN_IF_FAILED(hr, L"Failed to make element from its class");
        overlay = true;
    }
    else
    {
        HRESULT hr = row.creator(created.GetAddressOf());
        if (FAILED(hr) || !created)
            return StructuralError(L"cannot make element", tag);
    }
    tx::ComPtr<ISkinResolve> resolve;
    HRESULT hr = created->QueryInterface(__uuidof(ISkinResolve), reinterpret_cast<void **>(resolve.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    object = nullptr;
    resolve->GetElement(&object);
    return object ? S_OK : E_UNEXPECTED;
}

HRESULT CSkinManager::LoadElementChildren(CSkinGroup *parent, IXMLDOMElement *element)
{
    return ForEachChildElement(element, L"a page", [this, parent](IXMLDOMElement *child, const std::wstring &tag) {
        const SkinTagRow *row = FindSkinTag(tag.c_str(), false);
        if (!row || !row->creator)
            return StructuralError(L"an unknown tag inside a page:", tag);
        tx::ComPtr<ISkinElement> created;
        CSkinElement *object = nullptr;
        CSkinGroup *childGroup = nullptr;
        HRESULT hr;
        if (tag == L"group")
        {
            hr = CreateSkinElementWithObject<CSkinGroup>(created.GetAddressOf(), &childGroup);
            TX_RETURN_IF_FAILED(hr, L"Failed to create group");
            // Nesting is bounded so that a hostile file cannot exhaust the stack.
            if (m_groupDepth >= kMaxGroupDepth)
                return StructuralError(L"groups nested too deeply at", tag);
            hr = ApplySkinAttributes(CSkinGroup::kParts[0], child, childGroup, false);
            if (SUCCEEDED(hr))
            {
                ++m_groupDepth;
                hr = LoadElementChildren(childGroup, child);
                --m_groupDepth;
            }
        }
        else
        {
            bool overlay = false;
            hr = CreateElement(*row, tag, child, created, object, overlay);
            if (SUCCEEDED(hr))
                hr = LoadElementParts(*row, child, object, overlay);
        }
        if (FAILED(hr))
            return hr;
        hr = parent->AddGroupChild(created.Get(), childGroup);
        if (FAILED(hr))
            return hr;
        tx::ComPtr<ISkinControl> control;
        if (SUCCEEDED(
                created->QueryInterface(__uuidof(ISkinControl), reinterpret_cast<void **>(control.GetAddressOf()))))
            hr = parent->AddFocusable(control.Get());
        return hr;
    });
}

HRESULT CSkinManager::CreateController(CSkinPage &page)
{
    tx::ComPtr<IPage> controller;
    HRESULT hr = m_pageCreator ? m_pageCreator(page.behavior.c_str(), controller.GetAddressOf()) : E_FAIL;
    if (FAILED(hr) || !controller)
    {
        controller.Reset();
        hr = CreatePluginPage(page.behavior.c_str(), controller.GetAddressOf());
    }
    if (FAILED(hr) || !controller)
    {
        // The page still shows and takes the focus; nothing acts on its commands.
        tx::LogFailure(E_FAIL, L"Failed to create page controller");
        return S_FALSE;
    }
    tx::ComPtr<IHostCollection> collection;
    if (m_host)
        m_host->QueryInterface(__uuidof(IHostCollection), reinterpret_cast<void **>(collection.GetAddressOf()));
    page.controller = controller;
    hr = controller->Attach(&m_managerFace, collection.Get());
    tx::LogFailure(hr, L"Failed to attach page controller");
    return S_OK;
}

HRESULT CSkinManager::LoadPage(CSkinPage &page, IXMLDOMElement *element)
{
    try
    {
        page.name = AttributeText(element, L"id");
        page.image = AttributeText(element, L"image");
        page.behavior = AttributeText(element, L"behavior");
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = LoadElementChildren(page.Root(), element);
    if (FAILED(hr))
        return hr;
    CreateController(page);
    return S_OK;
}

HRESULT CSkinManager::LoadPages(IXMLDOMElement *element)
{
    return ForEachChildElement(element, L"pages", [this](IXMLDOMElement *child, const std::wstring &tag) -> HRESULT {
        if (tag != L"page")
            return StructuralError(L"an element other than page inside pages:", tag);
        auto page = std::make_unique<CSkinPage>();
        HRESULT hr = page->Initialize();
        if (FAILED(hr))
            return hr;
        CSkinPage *loaded = page.get();
        m_pages.push_back(std::move(page));
        hr = LoadPage(*loaded, child);
        if (FAILED(hr))
            return hr;
        if (loaded->name == L"status")
        {
            m_statusPage = loaded;
            for (auto [id, format] : {std::pair{L"time", &m_timeFormat}, std::pair{L"date", &m_dateFormat}})
            {
                tx::ComPtr<ISkinElement> found;
                if (FAILED(loaded->FindElement(id, found.GetAddressOf())) || !format->empty())
                    continue;
                tx::ComPtr<ISkinText> text;
                tx::Bstr value;
                if (SUCCEEDED(
                        found->QueryInterface(__uuidof(ISkinText), reinterpret_cast<void **>(text.GetAddressOf()))) &&
                    SUCCEEDED(text->GetText(value.Put())) && !value.IsNull())
                    *format = std::wstring(value.View());
            }
        }
        else if (loaded->name == L"subtitle")
            m_subtitlePage = loaded;
        else if (loaded->name == L"log")
            m_logPage = loaded;
        return S_OK;
    });
}

void CSkinManager::FreeSkin() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    m_choice.dialog = -1;
    m_history.clear();
    m_historyPosition = 0;
    // The indicators let go of the pages before the pages go.
    m_status.Unbind();
    m_statusPage = m_subtitlePage = m_logPage = nullptr;
    // Pages first: their controllers may still ask for elements while they close.
    m_pages.clear();
    m_currentPage = 0;
    m_classes.clear();
    m_dialogs.clear();
    m_host.Reset();
    m_images.Clear();
    m_fonts.Clear();
    m_timeFormat.clear();
    m_dateFormat.clear();
    m_defaultImage.clear();
}

bool CSkinManager::ShiftHeld() const noexcept
{
    if (m_shiftQuery)
        return m_shiftQuery();
    return (::GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

// ---- COsd ----

HRESULT COsd::LoadLanguageAndSkin() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    CSkinManager &manager = m_skinManager;
    if (!manager.SkinLoading())
        return S_FALSE;
    if (manager.DeferReloadIfActive())
        return S_FALSE; // the activation that runs a program reloads when it ends
    try
    {
        wchar_t language[129];
        ::lstrcpynW(language, tx::skin::kDefaultLanguage, static_cast<int>(std::size(language)));
        tx::host::ReadHostString(L"lang", language, static_cast<DWORD>(std::size(language)));
        if (!tx::skin::IsPlainFileName(language))
            ::lstrcpynW(language, tx::skin::kDefaultLanguage, static_cast<int>(std::size(language)));

        std::wstring folder = manager.DataFolder();
        if (folder.empty())
        {
            wchar_t path[MAX_PATH] = {};
            const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
            TX_RETURN_HR_IF(length == 0 || length >= MAX_PATH, E_FAIL, L"Failed to find the program's folder");
            folder.assign(path, length);
            folder.resize(folder.rfind(L'\\') == std::wstring::npos ? 0 : folder.rfind(L'\\'));
        }

        tx::ComPtr<IXMLDOMDocument> strings, english;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        // A table that does not load leaves its document empty: lookups find nothing.
        if (FAILED(LoadXmlDocument(folder + tx::skin::kStringTablesFolder + language + L".xml", strings, loaded)) ||
            loaded != VARIANT_TRUE)
            tx::LogFailure(E_FAIL, L"Failed to load string table");
        if (FAILED(LoadXmlDocument(folder + tx::skin::kStringTablesFolder + tx::skin::kDefaultLanguage + L".xml",
                                   english, loaded)) ||
            loaded != VARIANT_TRUE)
            tx::LogFailure(E_FAIL, L"Failed to load English string table");

        wchar_t skin[129];
        ::lstrcpynW(skin, tx::skin::kDefaultSkin, static_cast<int>(std::size(skin)));
        if (!manager.ShiftHeld())
        {
            tx::host::ReadHostString(L"skin", skin, static_cast<DWORD>(std::size(skin)));
            if (!tx::skin::IsPlainFileName(skin))
                ::lstrcpynW(skin, tx::skin::kDefaultSkin, static_cast<int>(std::size(skin)));
        }

        manager.EnsurePlugins();
        manager.FreeSkin();
        const std::wstring skinFolder = folder + tx::skin::kSkinsFolder + skin;
        // What loaded before a structural error is kept; the start decides.
        manager.LoadSkinXml(skinFolder.c_str(), m_host.Get(), strings.Get(), english.Get());
        HRESULT hr = manager.StartSkin(this, m_width, m_height, m_preserve ? m_layoutHeight : m_height);
        TX_RETURN_IF_FAILED(hr, L"Failed to start skin");
        RefreshOsd(false);
        return hr;
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
}

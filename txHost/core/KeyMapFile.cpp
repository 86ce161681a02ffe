#include "txHost/core/KeyMapFile.h"

#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "comkit/HResult.h"
#include "comkit/Msxml.h"
#include "txHost/core/Services.h"

#include <string>

namespace tx::host
{
namespace
{
std::wstring_view BaseNameOf(IXMLDOMNode *node, tx::Bstr &holder) noexcept
{
    if (FAILED(node->get_baseName(holder.Put())))
        return {};
    return holder.View();
}

// The string value of an attribute; false when it is missing or not a string.
bool ReadStringAttribute(IXMLDOMElement *element, const wchar_t *name, tx::Variant &value) noexcept
{
    tx::Bstr attribute(name);
    if (attribute.IsNull())
        return false;
    return element->getAttribute(attribute.Get(), value.Put()) == S_OK && value.Get().vt == VT_BSTR;
}

void LoadBindings(IXMLDOMElement *message, KeyMap &map) noexcept
{
    tx::Variant name;
    if (!ReadStringAttribute(message, L"name", name))
        return;
    const int action = MessageNameAction(name.Get().bstrVal ? name.Get().bstrVal : L"");
    if (action == 0)
        return;

    tx::Bstr query(L"./key/@code");
    tx::ComPtr<IXMLDOMNodeList> codes;
    if (query.IsNull() || FAILED(message->selectNodes(query.Get(), codes.GetAddressOf())) || !codes)
        return;
    for (;;)
    {
        tx::ComPtr<IXMLDOMNode> code;
        if (codes->nextNode(code.GetAddressOf()) != S_OK || !code)
            break;
        tx::Variant value;
        if (FAILED(code->get_nodeValue(value.Put())) || value.Get().vt != VT_BSTR)
            continue;
        const BSTR text = value.Get().bstrVal;
        // A failed append drops that binding only; the rest still loads.
        map.AppendCode(text ? std::wstring_view(text, ::SysStringLen(text)) : std::wstring_view(), action);
    }
}

void LogParseError(IXMLDOMDocument *document, const wchar_t *path) noexcept
{
    HRESULT code = E_FAIL;
    long line = 0;
    tx::ComPtr<IXMLDOMParseError> error;
    if (SUCCEEDED(document->get_parseError(error.GetAddressOf())) && error)
    {
        long reported = 0;
        if (SUCCEEDED(error->get_errorCode(&reported)) && FAILED(static_cast<HRESULT>(reported)))
            code = static_cast<HRESULT>(reported);
        error->get_line(&line);
    }
    try
    {
        const std::wstring message = L"Failed to load the key map " + std::wstring(path) +
                                     (line > 0 ? L" at line " + std::to_wstring(line) : std::wstring());
        tx::LogFailure(code, message.c_str());
    }
    catch (...)
    {
        tx::LogFailure(code, L"Failed to load the key map");
    }
}
} // namespace

HRESULT LoadKeyMapFile(const wchar_t *path, KeyMap &map) noexcept
{
    if (!path)
        return E_POINTER;
    tx::ComPtr<IXMLDOMDocument> document;
    TX_RETURN_IF_FAILED(::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_ALL, __uuidof(IXMLDOMDocument),
                                           reinterpret_cast<void **>(document.GetAddressOf())),
                        L"Failed to create the XML document for the key map");
    TX_RETURN_IF_FAILED(document->put_async(VARIANT_FALSE), L"Failed to set up the XML document for the key map");
    // The key paths are XPath expressions; MSXML 3 would take them as XSL patterns.
    tx::ComPtr<IXMLDOMDocument2> document2;
    if (SUCCEEDED(
            document->QueryInterface(__uuidof(IXMLDOMDocument2), reinterpret_cast<void **>(document2.GetAddressOf()))))
    {
        tx::Bstr property(L"SelectionLanguage");
        tx::Variant xpath(L"XPath");
        if (!property.IsNull())
            document2->setProperty(property.Get(), xpath.Get());
    }

    tx::Variant source(path);
    if (source.Get().vt != VT_BSTR)
        return E_OUTOFMEMORY;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = document->load(source.Get(), &loaded);
    if (FAILED(hr) || loaded != VARIANT_TRUE)
    {
        LogParseError(document.Get(), path);
        return FAILED(hr) ? hr : E_FAIL;
    }

    tx::ComPtr<IXMLDOMElement> root;
    tx::Bstr rootName;
    if (document->get_documentElement(root.GetAddressOf()) != S_OK || !root ||
        !NamesEqualIgnoringCase(BaseNameOf(root.Get(), rootName), L"msgs"))
    {
        tx::LogFailure(E_FAIL, L"Failed to load the key map: its root element is not msgs");
        return S_FALSE;
    }

    tx::ComPtr<IXMLDOMNode> child;
    root->get_firstChild(child.GetAddressOf());
    while (child)
    {
        DOMNodeType type = NODE_INVALID;
        tx::ComPtr<IXMLDOMElement> element;
        tx::Bstr childName;
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT &&
            NamesEqualIgnoringCase(BaseNameOf(child.Get(), childName), L"msg") &&
            SUCCEEDED(
                child->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void **>(element.GetAddressOf()))))
        {
            LoadBindings(element.Get(), map);
        }
        tx::ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.GetAddressOf());
        child = std::move(next);
    }
    return S_OK;
}

std::wstring FindKeyMapFile()
{
    wchar_t program[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
    {
        std::wstring path(program, length);
        const size_t slash = path.find_last_of(L'\\');
        if (slash != std::wstring::npos)
        {
            path.replace(slash + 1, std::wstring::npos, L"msgs.xml");
            const DWORD attributes = ::GetFileAttributesW(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return path;
        }
    }
    return L"msgs.xml";
}

KeyMap &ProcessKeyMap() noexcept
{
    static KeyMap map;
    return map;
}

HRESULT LoadKeyMap() noexcept
{
    try
    {
        return LoadKeyMapFile(FindKeyMapFile().c_str(), ProcessKeyMap());
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}
} // namespace tx::host

int LookupKeyAction(UINT virtualKey) noexcept
{
    return tx::host::ProcessKeyMap().Lookup(virtualKey);
}

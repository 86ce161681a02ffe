// Reading attribute texts from MSXML for the attribute tables.
#include "txHost/skin/SkinAttributeXml.h"

#include "comkit/Bstr.h"
#include "comkit/HResult.h"

namespace
{

// A VARIANT as text; S_FALSE (nothing) for an empty or null value.
HRESULT VariantText(tx::Variant &value, tx::skin::SkinString &text)
{
    VARIANT &v = value.Get();
    if (v.vt == VT_NULL || v.vt == VT_EMPTY)
        return S_FALSE;
    if (v.vt != VT_BSTR)
    {
        HRESULT hr = ::VariantChangeType(&v, &v, 0, VT_BSTR);
        if (FAILED(hr))
            return hr;
    }
    text.assign(v.bstrVal ? v.bstrVal : L"", v.bstrVal ? ::SysStringLen(v.bstrVal) : 0);
    return S_OK;
}

} // namespace

HRESULT ApplySkinAttributes(const SkinAttrPart &part, IXMLDOMElement *node, void *object, bool overlay) noexcept
{
    if (!node || !object)
        return E_POINTER;
    auto reader = [node](const wchar_t *name, tx::skin::SkinString &text, tx::skin::SkinAttrLookup &lookup) -> int32_t {
        tx::Variant value;
        HRESULT hr;
        if (!name)
        {
            hr = node->get_nodeTypedValue(value.Put());
        }
        else
        {
            tx::Bstr attribute(name);
            if (attribute.IsNull())
                return E_OUTOFMEMORY;
            hr = node->getAttribute(attribute.Get(), value.Put());
        }
        if (FAILED(hr))
            return hr;
        HRESULT textHr = VariantText(value, text);
        if (FAILED(textHr))
            return textHr;
        lookup = (hr == S_OK && textHr == S_OK) || !name ? tx::skin::SkinAttrLookup::Present
                                                         : tx::skin::SkinAttrLookup::Absent;
        return S_OK;
    };
    try
    {
        HRESULT hr = tx::skin::ApplySkinAttributeRows(part.rows, part.rowCount, object, overlay, reader);
        if (FAILED(hr))
            tx::LogFailure(hr, L"Failed to apply skin attributes");
        return hr;
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
    catch (...)
    {
        return E_FAIL;
    }
}

const SkinTagEntry *FindSkinTag(const SkinTagEntry *table, size_t count, const wchar_t *name,
                                bool definitionOnly) noexcept
{
    if (!table || !name)
        return nullptr;
    for (size_t i = 0; i < count; ++i)
        if (table[i].definitionOnly == definitionOnly && table[i].tag && ::wcscmp(table[i].tag, name) == 0)
            return &table[i];
    return nullptr;
}

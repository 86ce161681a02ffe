// MSXML 3.0 through our identifier definitions: DOM with XPath, and SAX into a
// content handler of ours.
#include "comkit/Bstr.h"
#include "comkit/ComObject.h"
#include "comkit/Msxml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class Msxml : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override
    {
        ::CoUninitialize();
    }
};

struct ElementSeen
{
    std::wstring name;
    std::wstring path; // the "path" attribute, empty when absent
};

class RecordingHandler final : public tx::ComObject<RecordingHandler, ISAXContentHandler>
{
  public:
    std::vector<ElementSeen> elements;
    std::wstring text;
    int depth = 0;
    int maxDepth = 0;
    bool documentEnded = false;

    STDMETHODIMP putDocumentLocator(ISAXLocator *) override
    {
        return S_OK;
    }
    STDMETHODIMP startDocument() override
    {
        return S_OK;
    }
    STDMETHODIMP endDocument() override
    {
        documentEnded = true;
        return S_OK;
    }
    STDMETHODIMP startPrefixMapping(const wchar_t *, int, const wchar_t *, int) override
    {
        return S_OK;
    }
    STDMETHODIMP endPrefixMapping(const wchar_t *, int) override
    {
        return S_OK;
    }
    STDMETHODIMP startElement(const wchar_t *, int, const wchar_t *localName, int localLength, const wchar_t *,
                              int, ISAXAttributes *attributes) override
    {
        ElementSeen seen{std::wstring(localName, localLength), {}};
        const wchar_t *value = nullptr;
        int valueLength = 0;
        if (SUCCEEDED(attributes->getValueFromQName(L"path", 4, &value, &valueLength)))
            seen.path.assign(value, valueLength);
        elements.push_back(seen);
        maxDepth = std::max(maxDepth, ++depth);
        return S_OK;
    }
    STDMETHODIMP endElement(const wchar_t *, int, const wchar_t *, int, const wchar_t *, int) override
    {
        --depth;
        return S_OK;
    }
    STDMETHODIMP characters(const wchar_t *chars, int length) override
    {
        text.append(chars, length);
        return S_OK;
    }
    STDMETHODIMP ignorableWhitespace(const wchar_t *, int) override
    {
        return S_OK;
    }
    STDMETHODIMP processingInstruction(const wchar_t *, int, const wchar_t *, int) override
    {
        return S_OK;
    }
    STDMETHODIMP skippedEntity(const wchar_t *, int) override
    {
        return S_OK;
    }
};

const wchar_t kMedias[] = L"<medias>"
                          L"<media path='C:\\a.mpg' mtype='1'><title>First</title></media>"
                          L"<media path='C:\\b.mp3' mtype='2'><title>Second</title></media>"
                          L"<media path='C:\\c.mpg' mtype='1'/>"
                          L"</medias>";
} // namespace

TEST_F(Msxml, DomAnswersXPathQuery)
{
    tx::ComPtr<IXMLDOMDocument2> document;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&document)));
    ASSERT_HRESULT_SUCCEEDED(document->setProperty(tx::Bstr(L"SelectionLanguage").Get(),
                                                   tx::Variant(L"XPath").Get()));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_HRESULT_SUCCEEDED(document->loadXML(tx::Bstr(kMedias).Get(), &loaded));
    ASSERT_EQ(loaded, VARIANT_TRUE);

    tx::ComPtr<IXMLDOMNodeList> nodes;
    ASSERT_HRESULT_SUCCEEDED(document->selectNodes(tx::Bstr(L"/medias/media[@mtype='1']").Get(), &nodes));
    LONG count = 0;
    ASSERT_HRESULT_SUCCEEDED(nodes->get_length(&count));
    EXPECT_EQ(count, 2);

    // XPath functions answer only when the selection language really is XPath.
    tx::ComPtr<IXMLDOMNode> last;
    ASSERT_EQ(document->selectSingleNode(tx::Bstr(L"/medias/media[last()]/@path").Get(), &last), S_OK);
    tx::Bstr path;
    ASSERT_HRESULT_SUCCEEDED(last->get_text(path.Put()));
    EXPECT_STREQ(path.c_str(), L"C:\\c.mpg");

    tx::ComPtr<IXMLDOMElement> root;
    ASSERT_HRESULT_SUCCEEDED(document->get_documentElement(&root));
    tx::ComPtr<IXMLDOMNode> rootNode;
    EXPECT_HRESULT_SUCCEEDED(root.As(&rootNode));
}

TEST_F(Msxml, BrokenXmlIsReportedWithReason)
{
    tx::ComPtr<IXMLDOMDocument2> document;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&document)));
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_EQ(document->loadXML(tx::Bstr(L"<medias><media path='x'></medias>").Get(), &loaded), S_FALSE);
    EXPECT_EQ(loaded, VARIANT_FALSE);
    tx::ComPtr<IXMLDOMParseError> error;
    ASSERT_HRESULT_SUCCEEDED(document->get_parseError(&error));
    LONG code = 0;
    ASSERT_HRESULT_SUCCEEDED(error->get_errorCode(&code));
    EXPECT_NE(code, 0);
}

TEST_F(Msxml, SaxDeliversElementsAndAttributes)
{
    tx::ComPtr<ISAXXMLReader> reader;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_SAXXMLReader30, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&reader)));
    tx::ComPtr<RecordingHandler> handler = tx::MakeComObject<RecordingHandler>();
    ASSERT_TRUE(handler);
    ASSERT_HRESULT_SUCCEEDED(reader->putContentHandler(handler.Get()));
    ASSERT_HRESULT_SUCCEEDED(reader->parse(tx::Variant(kMedias).Get()));

    ASSERT_EQ(handler->elements.size(), 6u);
    EXPECT_EQ(handler->elements[0].name, L"medias");
    EXPECT_EQ(handler->elements[1].name, L"media");
    EXPECT_EQ(handler->elements[1].path, L"C:\\a.mpg");
    EXPECT_EQ(handler->elements[2].name, L"title");
    EXPECT_EQ(handler->elements[2].path, L"");
    EXPECT_EQ(handler->elements[5].path, L"C:\\c.mpg");
    EXPECT_EQ(handler->text, L"FirstSecond");
    EXPECT_EQ(handler->maxDepth, 3);
    EXPECT_EQ(handler->depth, 0);
    EXPECT_TRUE(handler->documentEnded);

    reader.Reset();
    EXPECT_EQ(handler.Reset(), 0u);
}

TEST_F(Msxml, SaxStopsOnTruncatedDocument)
{
    tx::ComPtr<ISAXXMLReader> reader;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_SAXXMLReader30, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&reader)));
    tx::ComPtr<RecordingHandler> handler = tx::MakeComObject<RecordingHandler>();
    ASSERT_HRESULT_SUCCEEDED(reader->putContentHandler(handler.Get()));
    EXPECT_TRUE(FAILED(reader->parse(tx::Variant(L"<medias><media path='C:\\a.mpg'").Get())));
    EXPECT_FALSE(handler->documentEnded);
}

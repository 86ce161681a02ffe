// The default key map shipped beside the host (bin\msgs.xml): read as the host reads
// it, every action name is bound, every key code is one the host understands, and no
// key is bound twice (a second binding would silently never act).
#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "comkit/Msxml.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <set>
#include <string>

namespace
{
const wchar_t *const kMessageNames[] = {
    L"msgProgram",   L"msgLeft",  L"msgRight",    L"msgUp",         L"msgDown",   L"msgSelect",
    L"msgMenu",      L"msgTitle", L"msgOSD",      L"msgLanguage",   L"msgAngle",  L"msgSubtitle",
    L"msgPlayPause", L"msgStop",  L"msgSlow",     L"msgEject",      L"msgRewind", L"msgFastForward",
    L"msgPrevious",  L"msgNext",  L"msgVolumeUp", L"msgVolumeDown", L"msgMute",   L"msgLR",
    L"msg0",         L"msg1",     L"msg2",        L"msg3",          L"msg4",      L"msg5",
    L"msg6",         L"msg7",     L"msg8",        L"msg9",          L"msgVGATV",  L"msgEnt",
};

// The key names the host knows (upper case).
std::set<std::wstring> KnownKeyNames()
{
    std::set<std::wstring> names = {
        L"VK_CANCEL",     L"VK_BACK",     L"VK_TAB",      L"VK_CLEAR",   L"VK_RETURN",     L"VK_SHIFT",
        L"VK_CONTROL",    L"VK_MENU",     L"VK_PAUSE",    L"VK_CAPITAL", L"VK_KANA",       L"VK_JUNJA",
        L"VK_FINAL",      L"VK_HANJA",    L"VK_ESCAPE",   L"VK_CONVERT", L"VK_NONCONVERT", L"VK_ACCEPT",
        L"VK_MODECHANGE", L"VK_SPACE",    L"VK_PRIOR",    L"VK_NEXT",    L"VK_END",        L"VK_HOME",
        L"VK_LEFT",       L"VK_UP",       L"VK_RIGHT",    L"VK_DOWN",    L"VK_SELECT",     L"VK_PRINT",
        L"VK_EXECUTE",    L"VK_SNAPSHOT", L"VK_INSERT",   L"VK_DELETE",  L"VK_HELP",       L"VK_LWIN",
        L"VK_RWIN",       L"VK_APPS",     L"VK_MULTIPLY", L"VK_ADD",     L"VK_SEPARATOR",  L"VK_SUBTRACT",
        L"VK_DECIMAL",    L"VK_DIVIDE",   L"VK_NUMLOCK",  L"VK_SCROLL",
    };
    for (wchar_t c = L'0'; c <= L'9'; ++c)
    {
        names.insert(std::wstring(L"VK_") + c);
        names.insert(std::wstring(L"VK_NUMPAD") + c);
    }
    for (wchar_t c = L'A'; c <= L'Z'; ++c)
        names.insert(std::wstring(L"VK_") + c);
    for (int f = 1; f <= 24; ++f)
        names.insert(L"VK_F" + std::to_wstring(f));
    return names;
}

std::wstring Upper(std::wstring text)
{
    for (wchar_t &c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

class KeyMapFile : public ::testing::Test
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

TEST_F(KeyMapFile, BindsEveryActionToKeysTheHostKnows)
{
    tx::ComPtr<IXMLDOMDocument2> document;
    ASSERT_HRESULT_SUCCEEDED(
        ::CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&document)));
    ASSERT_HRESULT_SUCCEEDED(document->put_async(VARIANT_FALSE));
    ASSERT_HRESULT_SUCCEEDED(document->setProperty(tx::Bstr(L"SelectionLanguage").Get(), tx::Variant(L"XPath").Get()));
    const std::wstring path = tx::test::ExecutableFolder() + L"msgs.xml";
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_HRESULT_SUCCEEDED(document->load(tx::Variant(path.c_str()).Get(), &loaded));
    ASSERT_EQ(loaded, VARIANT_TRUE) << "msgs.xml is missing beside the binaries or malformed";

    tx::ComPtr<IXMLDOMElement> root;
    ASSERT_EQ(document->get_documentElement(&root), S_OK);
    tx::Bstr rootName;
    ASSERT_HRESULT_SUCCEEDED(root->get_baseName(rootName.Put()));
    EXPECT_STREQ(rootName.c_str(), L"msgs");

    const std::set<std::wstring> knownKeys = KnownKeyNames();
    std::map<std::wstring, int> bindingsPerMessage;
    std::map<std::wstring, std::wstring> messageOfKey;

    tx::ComPtr<IXMLDOMNodeList> messages;
    ASSERT_HRESULT_SUCCEEDED(document->selectNodes(tx::Bstr(L"/msgs/*").Get(), &messages));
    LONG messageCount = 0;
    ASSERT_HRESULT_SUCCEEDED(messages->get_length(&messageCount));
    for (LONG i = 0; i < messageCount; ++i)
    {
        tx::ComPtr<IXMLDOMNode> node;
        ASSERT_EQ(messages->get_item(i, &node), S_OK);
        tx::Bstr element;
        ASSERT_HRESULT_SUCCEEDED(node->get_baseName(element.Put()));
        EXPECT_STREQ(element.c_str(), L"msg");
        tx::ComPtr<IXMLDOMElement> msg;
        ASSERT_HRESULT_SUCCEEDED(node.As(&msg));
        tx::Variant nameValue;
        ASSERT_EQ(msg->getAttribute(tx::Bstr(L"name").Get(), nameValue.Put()), S_OK);
        ASSERT_EQ(nameValue.Get().vt, VT_BSTR);
        const std::wstring name = nameValue.Get().bstrVal;
        EXPECT_EQ(bindingsPerMessage.count(name), 0u) << "message listed twice";

        tx::ComPtr<IXMLDOMNodeList> codes;
        ASSERT_HRESULT_SUCCEEDED(node->selectNodes(tx::Bstr(L"./key/@code").Get(), &codes));
        LONG codeCount = 0;
        ASSERT_HRESULT_SUCCEEDED(codes->get_length(&codeCount));
        bindingsPerMessage[name] = codeCount;
        for (LONG k = 0; k < codeCount; ++k)
        {
            tx::ComPtr<IXMLDOMNode> codeNode;
            ASSERT_EQ(codes->get_item(k, &codeNode), S_OK);
            tx::Bstr code;
            ASSERT_HRESULT_SUCCEEDED(codeNode->get_text(code.Put()));
            const std::wstring key = Upper(code.c_str());
            const bool named = knownKeys.count(key) != 0;
            const bool numbered = !key.empty() && key.find_first_not_of(L"0123456789") == std::wstring::npos &&
                                  std::wcstol(key.c_str(), nullptr, 10) > 0 &&
                                  std::wcstol(key.c_str(), nullptr, 10) < 256;
            EXPECT_TRUE(named || numbered) << "unknown key code in " << std::string(name.begin(), name.end());
            EXPECT_EQ(messageOfKey.count(key), 0u) << "key bound twice in " << std::string(name.begin(), name.end());
            messageOfKey[key] = name;
        }
    }

    for (const wchar_t *name : kMessageNames)
    {
        const auto found = bindingsPerMessage.find(name);
        ASSERT_NE(found, bindingsPerMessage.end()) << "no binding for " << std::string(name, name + wcslen(name));
        EXPECT_GT(found->second, 0);
    }
    EXPECT_EQ(bindingsPerMessage.size(), std::size(kMessageNames)) << "a message the host does not know";

    // The keys the user meets first.
    const std::map<std::wstring, std::wstring> expected = {
        {L"VK_LEFT", L"msgLeft"}, {L"VK_RIGHT", L"msgRight"},   {L"VK_UP", L"msgUp"},
        {L"VK_DOWN", L"msgDown"}, {L"VK_RETURN", L"msgSelect"}, {L"VK_SPACE", L"msgPlayPause"},
        {L"VK_BACK", L"msgMenu"}, {L"VK_0", L"msg0"},           {L"VK_NUMPAD9", L"msg9"},
        {L"VK_F1", L"msgStop"},   {L"VK_F2", L"msgPlayPause"},  {L"VK_F3", L"msgEnt"},
        {L"VK_F4", L"msgSlow"},
    };
    for (const auto &[key, message] : expected)
        EXPECT_EQ(messageOfKey[key], message) << std::string(key.begin(), key.end());
}
} // namespace

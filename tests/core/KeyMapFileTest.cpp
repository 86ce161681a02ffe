// msgs.xml read through MSXML: a table of small files and the bindings each gives, the
// files that give nothing, and the shipped key map beside the program.
#include "comkit/HResult.h"
#include "tests/support/TestPaths.h"
#include "txHost/core/Actions.h"
#include "txHost/core/KeyMapFile.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace tx::host;

namespace tx::host
{
void PrintTo(const KeyMapEntry &entry, std::ostream *out)
{
    *out << "{" << entry.virtualKey << ", " << entry.action << "}";
}
} // namespace tx::host

namespace
{
std::vector<std::wstring> g_failures;

void RecordFailure(HRESULT, const wchar_t *message) noexcept
{
    g_failures.push_back(message ? message : L"");
}

class KeyMapFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        m_folder = tx::test::MakeScratchFolder(L"keymap");
        g_failures.clear();
        m_previousLogger = tx::SetFailureLogger(&RecordFailure);
    }
    void TearDown() override
    {
        tx::SetFailureLogger(m_previousLogger);
        tx::test::RemoveFolder(m_folder);
        ::CoUninitialize();
    }
    std::wstring Write(const std::string &bytes)
    {
        const std::wstring path = m_folder + L"\\msgs" + std::to_wstring(++m_files) + L".xml";
        std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
        return path;
    }
    std::wstring m_folder;
    int m_files = 0;
    tx::FailureLogger m_previousLogger = nullptr;
};
} // namespace

TEST_F(KeyMapFileTest, FilesGiveTheirBindingsInFileOrder)
{
    const struct
    {
        const char *what;
        const char *xml;
        std::vector<KeyMapEntry> entries;
    } cases[] = {
        {"a key name in lower case",
         R"(<msgs><msg name="msgSelect"><key code="vk_return"/></msg></msgs>)",
         {{13, ACTION_SELECT}}},
        {"a number", R"(<msgs><msg name="msgSelect"><key code="13"/></msg></msgs>)", {{13, ACTION_SELECT}}},
        {"a number followed by letters",
         R"(<msgs><msg name="msgSelect"><key code="13abc"/></msg></msgs>)",
         {{13, ACTION_SELECT}}},
        {"keys that name nothing",
         R"(<msgs><msg name="msgMute"><key code="VK_OEM_1"/><key code="0"/><key code=""/><key/>)"
         R"(<key code="abc"/><key code="173"/></msg></msgs>)",
         {{173, ACTION_MUTE}}},
        {"several keys of one msg and one key under two msgs",
         R"(<msgs><msg name="msgMenu"><key code="VK_BACK"/><key code="VK_M"/></msg>)"
         R"(<msg name="msgStop"><key code="VK_M"/></msg></msgs>)",
         {{8, ACTION_MENU}, {'M', ACTION_MENU}, {'M', ACTION_STOP}}},
        {"msgEnt binds ENTER, msgEnter is no name",
         R"(<msgs><msg name="msgEnter"><key code="VK_E"/></msg><msg name="MSGENT"><key code="VK_SPACE"/></msg></msgs>)",
         {{32, ACTION_ENTER}}},
        {"root and msg names in upper case",
         R"(<MSGS><MSG name="msgUp"><key code="VK_UP"/></MSG></MSGS>)",
         {{38, ACTION_UP}}},
        {"a root of another name", R"(<keys><msg name="msgUp"><key code="VK_UP"/></msg></keys>)", {}},
        {"keys nested below a direct key child are not read",
         R"(<msgs><msg name="msgUp"><group><key code="VK_UP"/></group><key code="VK_W"><key code="VK_X"/></key>)"
         R"(</msg></msgs>)",
         {{'W', ACTION_UP}}},
        {"msg elements below the root's children are not read",
         R"(<msgs><group><msg name="msgUp"><key code="VK_UP"/></msg></group></msgs>)",
         {}},
        {"comments, text and other elements between msgs",
         "<?xml version=\"1.0\"?>\n<!-- map -->\n<msgs>text<!-- c --><other name=\"msgUp\"><key "
         "code=\"VK_U\"/></other>\n"
         "<msg><key code=\"VK_N\"/></msg><msg name=\"msgDown\"><key code=\"VK_DOWN\"/></msg></msgs>",
         {{40, ACTION_DOWN}}},
        {"a namespace prefix on the root",
         R"(<k:msgs xmlns:k="urn:keys"><msg name="msgUp"><key code="VK_UP"/></msg></k:msgs>)",
         {{38, ACTION_UP}}},
        {"an empty root", "<msgs/>", {}},
    };
    for (const auto &c : cases)
    {
        KeyMap map;
        const HRESULT hr = LoadKeyMapFile(Write(c.xml).c_str(), map);
        EXPECT_TRUE(SUCCEEDED(hr)) << c.what;
        EXPECT_EQ(map.Entries(), c.entries) << c.what;
    }
}

TEST_F(KeyMapFileTest, TheFirstBindingOfAKeyDecides)
{
    KeyMap map;
    ASSERT_EQ(LoadKeyMapFile(Write(R"(<msgs><msg name="msgStop"><key code="VK_S"/></msg>)"
                                   R"(<msg name="msgSlow"><key code="VK_S"/><key code="VK_L"/></msg></msgs>)")
                                 .c_str(),
                             map),
              S_OK);
    EXPECT_EQ(map.Lookup('S'), ACTION_STOP);
    EXPECT_EQ(map.Lookup('L'), ACTION_SLOW);
    EXPECT_EQ(map.Lookup('Q'), ACTION_NONE);
}

TEST_F(KeyMapFileTest, MissingOrBrokenFilesAddNothingAndAreLogged)
{
    KeyMap map;
    map.Append(1, ACTION_MENU); // what was there stays
    const std::wstring files[] = {
        m_folder + L"\\absent.xml",
        Write(R"(<msgs><msg name="msgUp"><key code="VK_UP"/></msg>)"),       // truncated
        Write(R"(<msgs><msg name="msgUp"><key code="VK_UP"></msg></msgs>)"), // mismatched tags
        Write(""),
        Write("\xff\xfe\x00garbage"),
    };
    for (const std::wstring &file : files)
    {
        g_failures.clear();
        EXPECT_TRUE(FAILED(LoadKeyMapFile(file.c_str(), map)));
        ASSERT_EQ(g_failures.size(), 1u);
        EXPECT_EQ(g_failures[0].rfind(L"Failed to load the key map", 0), 0u) << g_failures[0];
    }
    ASSERT_EQ(map.Count(), 1u);
    EXPECT_EQ(map.Lookup(1), ACTION_MENU);

    g_failures.clear();
    EXPECT_EQ(LoadKeyMapFile(Write("<keys/>").c_str(), map), S_FALSE);
    EXPECT_EQ(g_failures.size(), 1u);
    EXPECT_EQ(LoadKeyMapFile(nullptr, map), E_POINTER);
    EXPECT_EQ(map.Count(), 1u);
}

TEST_F(KeyMapFileTest, TheShippedMapBesideTheProgramLoads)
{
    const std::wstring path = FindKeyMapFile();
    EXPECT_EQ(path, tx::test::ExecutableFolder() + L"msgs.xml");
    KeyMap map;
    ASSERT_EQ(LoadKeyMapFile(path.c_str(), map), S_OK);
    EXPECT_GE(map.Count(), 36u);
    EXPECT_EQ(map.Lookup('P'), ACTION_PROGRAM);
    EXPECT_EQ(map.Lookup(13), ACTION_SELECT);
    EXPECT_EQ(map.Lookup(0x1B), ACTION_MENU);
    EXPECT_TRUE(g_failures.empty());
}

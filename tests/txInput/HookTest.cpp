// txInput end to end: a stand-in host window on its own thread loads the library and
// installs the hook; keys injected with SendInput reach it as WM_TXKEY, and the keys it
// does not swallow reach the focused window of this thread.
#include "tests/txInput/HookHarness.h"

#include "txInput/InputHooks.h"
#include "txInput/KeystrokeFlags.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using namespace tx::input;
using namespace tx::test;

constexpr UINT kVkA = 'A', kVkB = 'B', kVkC = 'C';

class KeyboardHook : public ::testing::Test
{
  protected:
    // One focused window for the suite: showing a window under Wine takes a while.
    static void SetUpTestSuite()
    {
        s_focus = new FocusWindow;
        ASSERT_TRUE(s_focus->Create());
    }
    static void TearDownTestSuite()
    {
        delete s_focus;
        s_focus = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(s_focus, nullptr);
        s_focus->ClearKeys();
        ASSERT_TRUE(m_host.Start()) << "stand-in host did not start";
        m_host.RunOnHostThread([&] { EXPECT_EQ(m_host.Init(), 0); });
    }
    void TearDown() override
    {
        m_host.RunOnHostThread([&] { EXPECT_EQ(m_host.Uninit(), 0); });
        m_host.Stop();
    }

    // Injects the strokes and then the sentinel key; returns once the sentinel has
    // reached the focused window, so every stroke before it has been handled.
    void Inject(const std::vector<Stroke> &strokes)
    {
        ASSERT_TRUE(InjectAndWait(strokes, m_focus)) << "the sentinel key never reached the focused window";
    }

    static inline FocusWindow *s_focus = nullptr;
    StandInHostThread m_host;
    FocusWindow &m_focus = *s_focus;
};

TEST_F(KeyboardHook, EveryKeystrokeReachesTheHostWithItsFlags)
{
    m_host.SetPolicy([](UINT, UINT) { return LRESULT(1); });
    Inject({{kVkA, false}, {kVkA, false}, {kVkA, true}, {VK_RIGHT, false, true}, {VK_RIGHT, true, true}});

    const std::vector<KeyEvent> host = m_host.KeysWithoutSentinel();
    const UINT scanA = ::MapVirtualKeyW(kVkA, MAPVK_VK_TO_VSC);
    const UINT scanRight = ::MapVirtualKeyW(VK_RIGHT, MAPVK_VK_TO_VSC);
    const std::vector<KeyEvent> expected = {
        {kVkA, 0x00000001u | scanA << 16},         // first press
        {kVkA, 0x40000001u | scanA << 16},         // repeat while held
        {kVkA, 0xC0000001u | scanA << 16},         // release
        {VK_RIGHT, 0x01000001u | scanRight << 16}, // extended key
        {VK_RIGHT, 0xC1000001u | scanRight << 16},
    };
    EXPECT_EQ(host, expected);
    // Passed on, the same keystrokes reach the focused window.
    std::vector<UINT> focusedKeys;
    for (const KeyEvent &key : m_focus.KeysWithoutSentinel())
        focusedKeys.push_back(key.virtualKey);
    EXPECT_EQ(focusedKeys, (std::vector<UINT>{kVkA, kVkA, kVkA, VK_RIGHT, VK_RIGHT}));
}

TEST_F(KeyboardHook, KeysTheHostAnswersWithZeroAreSwallowed)
{
    // B is swallowed both ways; of C only the release is.
    m_host.SetPolicy([](UINT vk, UINT flags) {
        if (vk == kVkB)
            return LRESULT(0);
        if (vk == kVkC && (flags & kKeystrokeTransition))
            return LRESULT(0);
        return LRESULT(1);
    });
    Inject({{kVkA, false}, {kVkA, true}, {kVkB, false}, {kVkB, true}, {kVkC, false}, {kVkC, true}});

    std::vector<UINT> hostKeys;
    for (const KeyEvent &key : m_host.KeysWithoutSentinel())
        hostKeys.push_back(key.virtualKey);
    EXPECT_EQ(hostKeys, (std::vector<UINT>{kVkA, kVkA, kVkB, kVkB, kVkC, kVkC}));

    const std::vector<KeyEvent> focused = m_focus.KeysWithoutSentinel();
    ASSERT_EQ(focused.size(), 3u);
    EXPECT_EQ(focused[0].virtualKey, kVkA);
    EXPECT_EQ(focused[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(focused[1].virtualKey, kVkA);
    EXPECT_EQ(focused[1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(focused[2].virtualKey, kVkC);
    EXPECT_EQ(focused[2].message, static_cast<UINT>(WM_KEYDOWN));
}

TEST_F(KeyboardHook, WithTheHostWindowGoneKeysPassUnchanged)
{
    m_host.SetPolicy([](UINT, UINT) { return LRESULT(0); });
    m_host.RunOnHostThread([&] { m_host.DestroyHostWindow(); });
    Inject({{kVkA, false}, {kVkA, true}});
    EXPECT_TRUE(m_host.KeysWithoutSentinel().empty());
    EXPECT_EQ(m_focus.KeysWithoutSentinel().size(), 2u);
}

TEST_F(KeyboardHook, UninitRemovesTheHookAndIsHarmlessTwice)
{
    m_host.SetPolicy([](UINT, UINT) { return LRESULT(0); });
    m_host.RunOnHostThread([&] {
        EXPECT_EQ(m_host.Uninit(), 0);
        EXPECT_EQ(m_host.Uninit(), 0);
    });
    Inject({{kVkA, false}, {kVkA, true}});
    EXPECT_TRUE(m_host.KeysWithoutSentinel().empty());
    EXPECT_EQ(m_focus.KeysWithoutSentinel().size(), 2u);

    // Installed again, the hook forwards (and the host swallows) once more.
    m_host.RunOnHostThread([&] { EXPECT_EQ(m_host.Init(), 0); });
    m_host.ClearKeys();
    m_focus.ClearKeys();
    Inject({{kVkB, false}, {kVkB, true}});
    EXPECT_EQ(m_host.KeysWithoutSentinel().size(), 2u);
    EXPECT_TRUE(m_focus.KeysWithoutSentinel().empty());
}

TEST_F(KeyboardHook, InitTwiceInstallsOneHook)
{
    // Were a second hook installed, every key would reach the host twice.
    m_host.SetPolicy([](UINT, UINT) { return LRESULT(1); });
    m_host.RunOnHostThread([&] { EXPECT_EQ(m_host.Init(), 0); });
    Inject({{kVkA, false}, {kVkA, true}});
    EXPECT_EQ(m_host.KeysWithoutSentinel().size(), 2u);
    // One Uninit removes it: the keys no longer reach the host.
    m_host.RunOnHostThread([&] { EXPECT_EQ(m_host.Uninit(), 0); });
    m_host.ClearKeys();
    Inject({{kVkA, false}, {kVkA, true}});
    EXPECT_TRUE(m_host.KeysWithoutSentinel().empty());
}

TEST(KeyboardHookLibrary, ExportsByNameAndOrdinal)
{
    tx::UniqueModule library(::LoadLibraryW((ExecutableFolder() + L"txInput.dll").c_str()));
    ASSERT_TRUE(library);
    const auto init = tx::GetProcAddressAs<InitMessageHooksFn>(library.Get(), kInitMessageHooksName);
    const auto uninit = tx::GetProcAddressAs<UninitMessageHooksFn>(library.Get(), kUninitMessageHooksName);
    ASSERT_NE(init, nullptr);
    ASSERT_NE(uninit, nullptr);
    EXPECT_EQ(reinterpret_cast<void *>(::GetProcAddress(library.Get(), MAKEINTRESOURCEA(1))),
              reinterpret_cast<void *>(init));
    EXPECT_EQ(reinterpret_cast<void *>(::GetProcAddress(library.Get(), MAKEINTRESOURCEA(2))),
              reinterpret_cast<void *>(uninit));
    // Without InitMessageHooks there is nothing to remove.
    EXPECT_EQ(uninit(), 0);
    EXPECT_EQ(uninit(), 0);
}
} // namespace

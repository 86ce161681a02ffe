// The main window's procedure, the tray menu's items and the resources, in process.
// The window is created without a host first, as during start-up.
#include "txHost/core/Actions.h"
#include "txHost/core/AppMessages.h"
#include "txHost/core/MainWindow.h"
#include "txHost/core/res/resource.h"

#include <gtest/gtest.h>

#include <dbt.h>
#include <mmsystem.h>

#include <string>
#include <vector>

using namespace tx::host;

namespace
{
struct Posted
{
    UINT message;
    WPARAM wParam;
};

std::vector<Posted> TakePosted(HWND window)
{
    std::vector<Posted> posted;
    MSG message;
    while (::PeekMessageW(&message, window, 0, 0, PM_REMOVE))
        if (message.message != WM_TIMER && message.message != WM_PAINT)
            posted.push_back({message.message, message.wParam});
    return posted;
}

class MainWindowTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        g_shell.instance = ::GetModuleHandleW(nullptr);
        RegisterMainWindowClass(g_shell.instance);
    }
    void SetUp() override
    {
        m_window = CreateMainWindow(g_shell.instance);
        ASSERT_NE(m_window, nullptr);
        g_shell.mainWindow = m_window;
        g_shell.mouseReference = {100, 100};
        TakePosted(m_window);
    }
    void TearDown() override
    {
        if (::IsWindow(m_window))
            ::DestroyWindow(m_window);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
        }
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_window, message, wParam, lParam);
    }
    HWND m_window = nullptr;
};
} // namespace

TEST_F(MainWindowTest, IsFoundByItsClassAndStaysHidden)
{
    EXPECT_EQ(::FindWindowW(kMainWindowClass, nullptr), m_window);
    EXPECT_FALSE(::IsWindowVisible(m_window));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(m_window, GWL_STYLE)) & (WS_POPUP | WS_SYSMENU),
              static_cast<DWORD>(WS_POPUP | WS_SYSMENU));
}

TEST_F(MainWindowTest, SessionEndAndSuspendQueriesAreGranted)
{
    EXPECT_EQ(Send(WM_QUERYENDSESSION), 1);
    EXPECT_EQ(Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), 1);
    EXPECT_EQ(Send(MM_MCINOTIFY, 1, 0), 0);
}

TEST_F(MainWindowTest, OnlyVolumesArriveAndLeave)
{
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 3; // D:
    DEV_BROADCAST_HDR port = {};
    port.dbch_size = sizeof(port);
    port.dbch_devicetype = DBT_DEVTYP_PORT;

    EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&port)), 0);
    EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), 0);
    EXPECT_TRUE(TakePosted(m_window).empty());

    EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume)), 0);
    EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume)), 0);
    EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&volume)), 0);
    const auto posted = TakePosted(m_window);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(APPMSG_MEDIA_ARRIVED));
    EXPECT_EQ(posted[0].wParam, 1u << 3);
    EXPECT_EQ(posted[1].message, static_cast<UINT>(APPMSG_MEDIA_REMOVED));
}

TEST_F(MainWindowTest, KeysAreConsumedAndUnmappedKeysPostNothing)
{
    EXPECT_EQ(Send(WM_TXKEY, 'A', 0), 0);
    EXPECT_EQ(Send(WM_TXKEY, 'A', static_cast<LPARAM>(0xC0000001u)), 0);
    EXPECT_TRUE(TakePosted(m_window).empty());
}

TEST_F(MainWindowTest, MouseInputBecomesActions)
{
    const auto point = [](int x, int y) { return static_cast<LPARAM>(MAKELONG(static_cast<SHORT>(x), static_cast<SHORT>(y))); };
    EXPECT_EQ(Send(WM_TXMOUSE, WM_MOUSEMOVE, point(49, 110)), 0); // 51 left, 10 down
    EXPECT_EQ(Send(WM_TXMOUSE, WM_MOUSEMOVE, point(79, 110)), 0); // 30 right: nothing yet
    EXPECT_EQ(Send(WM_TXMOUSE, WM_MOUSEMOVE, point(109, 110)), 0); // 60 right in all
    EXPECT_EQ(Send(WM_TXMOUSE, WM_MOUSEMOVE, point(109, 60)), 0);  // exactly 50 up: nothing
    EXPECT_EQ(Send(WM_TXMOUSE, WM_LBUTTONDOWN, 0), 0);
    EXPECT_EQ(Send(WM_TXMOUSE, WM_RBUTTONDOWN, 0), 0);
    EXPECT_EQ(Send(WM_TXMOUSE, WM_MOUSEWHEEL, MAKELONG(0, static_cast<SHORT>(-120))), 0);
    EXPECT_EQ(Send(WM_TXMOUSE, WM_MOUSEWHEEL, MAKELONG(0, 120)), 0);
    EXPECT_EQ(Send(WM_TXMOUSE, WM_MBUTTONDOWN, 0), 0);
    std::vector<WPARAM> actions;
    for (const Posted &p : TakePosted(m_window))
    {
        EXPECT_EQ(p.message, static_cast<UINT>(WM_COMMAND));
        actions.push_back(p.wParam);
    }
    EXPECT_EQ(actions, (std::vector<WPARAM>{ACTION_LEFT, ACTION_RIGHT, ACTION_SELECT, ACTION_ENTER, ACTION_DOWN,
                                            ACTION_UP}));
}

TEST_F(MainWindowTest, ApplicationMessagesWithoutAHostAreAnsweredAndPathsFreed)
{
    const wchar_t path[] = L"C:\\film.mpg";
    auto *block = static_cast<wchar_t *>(::HeapAlloc(::GetProcessHeap(), 0, sizeof(path)));
    ASSERT_NE(block, nullptr);
    ::memcpy(block, path, sizeof(path));
    EXPECT_EQ(Send(APPMSG_PLAY_PATH, reinterpret_cast<WPARAM>(block), 1), 0);
    for (UINT message : {APPMSG_GRAPH_EVENT, APPMSG_OPEN_FILE, APPMSG_SET_OPTION, APPMSG_CD_LOOKUP_DONE})
        EXPECT_EQ(Send(message), 0);
    EXPECT_EQ(Send(APPMSG_TRAY_NOTIFY, 0, WM_RBUTTONUP), 0); // no host: no menu
    EXPECT_EQ(Send(WM_COMMAND, 14), 0);
}

TEST_F(MainWindowTest, TrayItemsPostTheirMessages)
{
    OnTrayCommand(0);
    OnTrayCommand(IDM_OPEN_FILE);
    OnTrayCommand(IDM_DECODER_PROPERTY);
    OnTrayCommand(IDM_REFRESH_COLLECTION);
    OnTrayCommand(IDM_CLOSE);
    const auto posted = TakePosted(m_window);
    ASSERT_EQ(posted.size(), 4u);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(APPMSG_OPEN_FILE));
    EXPECT_EQ(posted[1].message, static_cast<UINT>(APPMSG_DECODER_PROPERTIES));
    EXPECT_EQ(posted[2].message, static_cast<UINT>(APPMSG_REFRESH_COLLECTION));
    EXPECT_EQ(posted[3].message, static_cast<UINT>(WM_CLOSE));
}

TEST_F(MainWindowTest, CloseDestroysTheWindowAndEndsTheLoop)
{
    g_shell.closing = 0;
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_FALSE(::IsWindow(m_window));
    EXPECT_EQ(g_shell.closing, 1);
    MSG message;
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST(HostResources, TrayMenuHasEveryItemInOrder)
{
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    const struct
    {
        UINT id;
        const wchar_t *text;
    } items[] = {{IDM_ABOUT, L"&About"},
                 {IDM_OPTIONS, L"&Options"},
                 {IDM_OPEN_MEDIA_MANAGER, L"Open &Media Manager"},
                 {IDM_OPEN_FILE, L"Open &File"},
                 {IDM_DECODER_PROPERTY, L"Software Decoder &Property"},
                 {IDM_REFRESH_COLLECTION, L"&Refresh Collection"},
                 {IDM_CLOSE, L"C&lose"}};
    ASSERT_EQ(::GetMenuItemCount(popup), 7);
    for (int i = 0; i < 7; ++i)
    {
        EXPECT_EQ(::GetMenuItemID(popup, i), items[i].id);
        wchar_t text[64] = {};
        ::GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, items[i].text);
    }
    ::DestroyMenu(menu);
}

TEST(HostResources, IconsAndAboutBox)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    g_shell.instance = instance;
    for (int id : {IDI_TXHOST, IDI_TXHOST_SMALL, IDI_TRAY})
        EXPECT_NE(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_SHARED), nullptr) << id;

    HWND about = CreateAboutBox(instance);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(::IsWindowVisible(about)); // created hidden
    wchar_t text[64] = {};
    ::GetWindowTextW(about, text, 64);
    EXPECT_STREQ(text, L"Tessaronix About");
    ::GetDlgItemTextW(about, IDC_ABOUT_VERSION, text, 64);
    EXPECT_STREQ(text, L"Tessaronix v2.4.1");
    RECT units = {0, 0, 181, 78};
    ::MapDialogRect(about, &units);
    RECT client = {};
    ::GetClientRect(about, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    ::ShowWindow(about, SW_SHOW);
    ::SendMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(::IsWindowVisible(about)); // hidden, not destroyed
    EXPECT_TRUE(::IsWindow(about));
    ::DestroyWindow(about);
}

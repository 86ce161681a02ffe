// txHost.exe as a process: found by its class, answering messages, closing in order,
// one instance per desktop, the start-up checks through the message seam, and remote
// buttons and mapped keys becoming actions.
#include "simhw/remote/SimRemote.h"
#include "tests/support/TestPaths.h"
#include "txHost/core/AppMessages.h"
#include "txHost/core/HostSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace tx::host;

namespace
{
constexpr DWORD kStartTimeoutMs = 20000;

std::string ReadFileBytes(const std::wstring &path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class Process
{
  public:
    explicit Process(const std::wstring &commandLine)
    {
        STARTUPINFOW startup = {sizeof(startup)};
        std::wstring line = commandLine;
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info))
            ::CloseHandle(m_info.hThread);
        else
            m_info.hProcess = nullptr;
    }
    ~Process()
    {
        if (m_info.hProcess)
        {
            if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_info.hProcess, 99);
            ::CloseHandle(m_info.hProcess);
        }
    }
    bool Started() const
    {
        return m_info.hProcess != nullptr;
    }
    // The exit code, or -1 when the process did not end in time.
    long WaitExit(DWORD timeoutMs)
    {
        if (::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<long>(code);
    }

  private:
    PROCESS_INFORMATION m_info = {};
};

HWND WaitForHostWindow(DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;)
    {
        if (HWND window = ::FindWindowW(kMainWindowClass, nullptr))
            return window;
        if (::GetTickCount64() >= deadline)
            return nullptr;
        ::Sleep(50);
    }
}

bool WaitForText(const std::wstring &path, const std::string &text, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (ReadFileBytes(path).find(text) == std::string::npos)
    {
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(50);
    }
    return true;
}

// Sets a DWORD setting of the user for the host processes a test starts (they read the
// prefix's real user key) and puts back what was there before.
class UserSettingScope
{
  public:
    UserSettingScope(const wchar_t *name, DWORD value) : m_name(name)
    {
        DWORD bytes = sizeof(m_previous);
        m_hadValue = ::RegGetValueW(HKEY_CURRENT_USER, kHostKey, name, RRF_RT_REG_DWORD, nullptr, &m_previous,
                                    &bytes) == ERROR_SUCCESS;
        m_set = ::RegSetKeyValueW(HKEY_CURRENT_USER, kHostKey, name, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
    }
    ~UserSettingScope()
    {
        if (m_hadValue)
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kHostKey, m_name, REG_DWORD, &m_previous, sizeof(m_previous));
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kHostKey, m_name);
    }
    bool IsSet() const
    {
        return m_set;
    }

  private:
    const wchar_t *m_name;
    DWORD m_previous = 0;
    bool m_hadValue = false;
    bool m_set = false;
};

class HostProcessTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(::FindWindowW(kMainWindowClass, nullptr), nullptr) << "a host is already running";
        m_folder = tx::test::MakeScratchFolder(L"hostprocess");
        m_log = m_folder + L"\\host.log";
        m_boxes = m_folder + L"\\boxes.txt";
    }
    void TearDown() override
    {
        tx::test::RemoveFolder(m_folder);
    }
    std::wstring HostCommand(const std::wstring &extra = L"") const
    {
        return L"\"" + tx::test::ExecutableFolder() + L"txHost.exe\" \"--log=" + m_log + L"\" \"--message-log=" +
               m_boxes + L"\"" + extra;
    }
    std::wstring DriverCommand(const std::wstring &arguments) const
    {
        return L"\"" + tx::test::ExecutableFolder() + L"txTestDriver.exe\" " + arguments;
    }
    std::wstring m_folder;
    std::wstring m_log;
    std::wstring m_boxes;
};
} // namespace

TEST_F(HostProcessTest, RunsAnswersAndClosesInOrder)
{
    BOOL saverBefore = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &saverBefore, 0);

    Process host(HostCommand());
    ASSERT_TRUE(host.Started());
    Process waiter(DriverCommand(L"wait-window 20000"));
    ASSERT_EQ(waiter.WaitExit(kStartTimeoutMs + 5000), 0);
    HWND window = ::FindWindowW(kMainWindowClass, nullptr);
    ASSERT_NE(window, nullptr);

    // Timers run after the initialisation: each handler is reached.
    for (const char *timer : {"OnMciPollTimer", "OnUpdateTimer", "OnWebCursorTimer", "OnIdleTimer"})
        EXPECT_TRUE(WaitForText(m_log, timer, 5000)) << timer;
    // Whether the system saver is off cannot be read from here: Wine keeps a
    // screen-saver switch that is not written to the profile per process.

    DWORD_PTR answer = 99;
    ASSERT_TRUE(::SendMessageTimeoutW(window, WM_TXKEY, 'A', 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, 0u); // keys are consumed
    ASSERT_TRUE(::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, 1u);
    Process poster(DriverCommand(L"post WM_COMMAND 14 0"));
    ASSERT_EQ(poster.WaitExit(10000), 0);
    EXPECT_TRUE(WaitForText(m_log, "-Failed to run CHost::ExecuteAction 14: not built yet, 0x80004001\r\n", 5000));

    Process closer(DriverCommand(L"close 20000"));
    EXPECT_EQ(closer.WaitExit(25000), 0);
    EXPECT_EQ(host.WaitExit(20000), 0);

    BOOL saverAfter = !saverBefore;
    ::SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &saverAfter, 0);
    EXPECT_EQ(saverAfter, saverBefore);

    // Shut-down in order: close (which closes the media), drive layer, TV and event sinks.
    const std::string log = ReadFileBytes(m_log);
    const size_t onClose = log.find("CHost::StopMedia");
    const size_t drives = log.find("UninitCdDrives");
    const size_t tv = log.find("CHost::ShutdownTv");
    ASSERT_NE(onClose, std::string::npos);
    ASSERT_NE(drives, std::string::npos);
    ASSERT_NE(tv, std::string::npos);
    EXPECT_LT(onClose, drives);
    EXPECT_LT(drives, tv);
    EXPECT_EQ(ReadFileBytes(m_boxes), ""); // no message box on a normal run
    // Start-up reached the simulated card: the OSD attached and the decoder was created,
    // and the steps after them ran before the timers started.
    EXPECT_EQ(log.find("Failed to attach OSD"), std::string::npos) << log;
    EXPECT_EQ(log.find("Failed to create ZIduz decoder filter"), std::string::npos) << log;
    const size_t screenSaver = log.find("CScreenSaver::Init");
    EXPECT_NE(screenSaver, std::string::npos);
    EXPECT_LT(screenSaver, log.find("OnUpdateTimer"));
}

TEST_F(HostProcessTest, ASecondCopyExitsAtOnceWithZero)
{
    Process first(HostCommand());
    ASSERT_TRUE(first.Started());
    HWND window = WaitForHostWindow(kStartTimeoutMs);
    ASSERT_NE(window, nullptr);

    Process second(HostCommand(L" --no-mmx"));
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitExit(15000), 0);
    EXPECT_EQ(::FindWindowW(kMainWindowClass, nullptr), window); // the first one still runs
    EXPECT_EQ(ReadFileBytes(m_boxes), ""); // silently, before any check

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(20000), 0);
}

TEST_F(HostProcessTest, MissingMmxAndMsxmlAreBothReportedThenItExits)
{
    Process host(HostCommand(L" --no-mmx --no-msxml"));
    ASSERT_TRUE(host.Started());
    EXPECT_EQ(host.WaitExit(20000), 0);
    EXPECT_EQ(ReadFileBytes(m_boxes), "This program requires MMX to function properly\r\nMSXML3.0 not installed\r\n");
    EXPECT_EQ(::FindWindowW(kMainWindowClass, nullptr), nullptr);

    Process xmlOnly(HostCommand(L" --no-msxml"));
    EXPECT_EQ(xmlOnly.WaitExit(20000), 0);
    EXPECT_EQ(ReadFileBytes(m_boxes), "This program requires MMX to function properly\r\nMSXML3.0 not installed\r\n"
                                      "MSXML3.0 not installed\r\n");
}

TEST_F(HostProcessTest, RemoteButtonsAndMappedKeysBecomeActions)
{
    UserSettingScope keys(L"UseKeyMouse", 1);
    ASSERT_TRUE(keys.IsSet());
    Process host(HostCommand());
    ASSERT_TRUE(host.Started());
    HWND window = WaitForHostWindow(kStartTimeoutMs);
    ASSERT_NE(window, nullptr);
    // A timer line means the loop runs: the remote is connected and the key map loaded.
    ASSERT_TRUE(WaitForText(m_log, "OnUpdateTimer", 10000));

    // A button pressed on the simulated remote, from this process, reaches the host's
    // executor through the event table: 154 is PLAY_PAUSE (14), 25 is DIGIT_0 (26).
    EXPECT_EQ(tx::simhw::SimRemotePressButton(154), S_OK) << "no connected remote source";
    EXPECT_TRUE(WaitForText(m_log, "-Failed to run CHost::ExecuteAction 14: not built yet, 0x80004001\r\n", 5000));
    EXPECT_EQ(tx::simhw::SimRemotePressButton(25), S_OK);
    EXPECT_TRUE(WaitForText(m_log, "-Failed to run CHost::ExecuteAction 26: not built yet", 5000));

    // Keys through the shipped msgs.xml beside the program: P is PROGRAM (2), and a
    // repeat of T (TITLE, 9) is swallowed without an action before the press of Return
    // (SELECT, 7).
    DWORD_PTR answer = 99;
    ASSERT_TRUE(::SendMessageTimeoutW(window, WM_TXKEY, 'P', 0x00190001, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, 0u);
    EXPECT_TRUE(WaitForText(m_log, "-Failed to run CHost::ExecuteAction 2: not built yet", 5000));
    ASSERT_TRUE(::SendMessageTimeoutW(window, WM_TXKEY, 'T', 0x40140001, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, 0u);
    ASSERT_TRUE(::SendMessageTimeoutW(window, WM_TXKEY, VK_RETURN, 0x001C0001, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_TRUE(WaitForText(m_log, "-Failed to run CHost::ExecuteAction 7: not built yet", 5000));
    EXPECT_EQ(ReadFileBytes(m_log).find("CHost::ExecuteAction 9:"), std::string::npos);

    Process closer(DriverCommand(L"close 20000"));
    EXPECT_EQ(closer.WaitExit(25000), 0);
    EXPECT_EQ(host.WaitExit(20000), 0);
    // The remote source went with the host.
    EXPECT_EQ(tx::simhw::SimRemotePressButton(154), S_FALSE);
    const std::string log = ReadFileBytes(m_log);
    EXPECT_EQ(log.find("Failed to load txInput"), std::string::npos) << log;
    EXPECT_EQ(log.find("Failed to load the key map"), std::string::npos) << log;
    EXPECT_EQ(log.find("remote-control"), std::string::npos) << log;
    EXPECT_EQ(ReadFileBytes(m_boxes), "");
}

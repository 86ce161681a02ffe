// txcmd end to end: a stand-in host window in this process receives the text
// commands; without it, only "power" starts a (stand-in) host beside txcmd.
#include "txcmd/CommandText.h"
#include "txcmd/TextCommandProtocol.h"

#include "comkit/Handles.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace
{
using namespace tx::remote;
using namespace std::chrono_literals;

struct ReceivedCommand
{
    ATOM atom = 0;
    std::wstring text;
    LPARAM lParam = -1;
    bool wasSent = false;
};

// A window of the host's class that records every text command it is sent.
class StandInHost
{
  public:
    StandInHost()
    {
        static const ATOM windowClass = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &StandInHost::WindowProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = kHostWindowClass;
            return ::RegisterClassW(&wc);
        }();
        EXPECT_NE(windowClass, 0);
        m_window = ::CreateWindowExW(0, kHostWindowClass, kHostWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(m_window, nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~StandInHost()
    {
        ::DestroyWindow(m_window);
    }
    StandInHost(const StandInHost &) = delete;
    StandInHost &operator=(const StandInHost &) = delete;

    const std::vector<ReceivedCommand> &Received() const
    {
        return m_received;
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto *self = reinterpret_cast<StandInHost *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == APPMSG_TEXT_COMMAND)
        {
            // Read as the host does: the name of the atom, inside the call.
            ReceivedCommand command;
            command.atom = static_cast<ATOM>(wParam);
            wchar_t buffer[2048] = {};
            const UINT length = ::GlobalGetAtomNameW(command.atom, buffer, 2047);
            command.text.assign(buffer, length);
            command.lParam = lParam;
            command.wasSent = ::InSendMessage() != FALSE;
            self->m_received.push_back(std::move(command));
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::vector<ReceivedCommand> m_received;
};

struct RunResult
{
    DWORD exitCode = STILL_ACTIVE;
    ULONG processesStarted = 0; // txcmd and everything it started
};

// Runs a program with the given argument string inside a job (so that the programs it
// starts are counted), pumping this thread's messages until it ends. `whileWaiting`
// runs between waits, e.g. to answer a message box.
RunResult RunProgram(const std::wstring &program, const std::wstring &arguments,
                     const std::function<void(DWORD processId)> &whileWaiting = {})
{
    RunResult result;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    tx::UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    EXPECT_TRUE(job);
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          nullptr, &startup, &info))
    {
        ADD_FAILURE() << "cannot start " << std::string(program.begin(), program.end());
        return result;
    }
    tx::UniqueHandle process(info.hProcess);
    tx::UniqueHandle thread(info.hThread);
    EXPECT_TRUE(::AssignProcessToJobObject(job.Get(), process.Get()));
    ::ResumeThread(thread.Get());

    const auto deadline = std::chrono::steady_clock::now() + 30s;
    for (;;)
    {
        const HANDLE waitFor = process.Get();
        if (::MsgWaitForMultipleObjects(1, &waitFor, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (whileWaiting)
            whileWaiting(info.dwProcessId);
        if (std::chrono::steady_clock::now() > deadline)
        {
            ADD_FAILURE() << "program did not end";
            ::TerminateProcess(process.Get(), 99);
            ::WaitForSingleObject(process.Get(), 5000);
            break;
        }
    }
    ::GetExitCodeProcess(process.Get(), &result.exitCode);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (::QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                    nullptr))
        result.processesStarted = accounting.TotalProcesses;
    return result;
}

std::wstring TxcmdPath()
{
    return tx::test::ExecutableFolder() + L"txcmd.exe";
}

bool AtomExists(const std::wstring &text)
{
    return ::GlobalFindAtomW(text.c_str()) != 0;
}

struct MessageBoxSeen
{
    bool found = false;
    std::wstring caption;
    std::wstring text;
    int buttons = 0;
    bool hasOwner = true;
};

// Finds the message box of the given process, records it and answers OK.
void AnswerMessageBox(DWORD processId, MessageBoxSeen &seen)
{
    struct Search
    {
        DWORD processId;
        HWND box;
    } search = {processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto *s = reinterpret_cast<Search *>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            wchar_t className[64] = {};
            ::GetClassNameW(window, className, 64);
            if (owner == s->processId && std::wstring(className) == L"#32770" && ::IsWindowVisible(window))
            {
                s->box = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.box || seen.found)
        return;
    seen.found = true;
    wchar_t caption[64] = {};
    ::GetWindowTextW(search.box, caption, 64);
    seen.caption = caption;
    seen.hasOwner = ::GetWindow(search.box, GW_OWNER) != nullptr;
    ::EnumChildWindows(
        search.box,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto *s = reinterpret_cast<MessageBoxSeen *>(lParam);
            wchar_t className[64] = {};
            ::GetClassNameW(child, className, 64);
            const int length = ::GetWindowTextLengthW(child);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            text.resize(::GetWindowTextW(child, text.data(), length + 1));
            if (::lstrcmpiW(className, L"Button") == 0)
                ++s->buttons;
            else if (::lstrcmpiW(className, L"Static") == 0 && text.size() > s->text.size())
                s->text = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    ::PostMessageW(search.box, WM_COMMAND, IDOK, 0);
}

TEST(Txcmd, DeliversTheWholeCommandLineToTheHost)
{
    StandInHost host;
    const std::wstring longPath = L"queuemedia C:\\media\\" + std::wstring(300, L'x') + L".mpg";
    const struct
    {
        std::wstring arguments;
        std::wstring expected;
    } cases[] = {
        {L"queuemedia -top \"C:\\media\\a  b.mpg\"", L"queuemedia -top \"C:\\media\\a  b.mpg\""},
        {L"message -center 10 20 5 h\u00e9llo w\u00f6rld  ", L"message -center 10 20 5 h\u00e9llo w\u00f6rld  "},
        // With a host running, "power" is a command like any other.
        {L"power", L"power"},
        // More than an atom holds: the command arrives cut to the atom limit.
        {longPath, longPath.substr(0, kAtomNameLimit)},
    };
    for (const auto &c : cases)
    {
        const std::size_t before = host.Received().size();
        const RunResult run = RunProgram(TxcmdPath(), c.arguments);
        EXPECT_EQ(run.exitCode, 0u);
        ASSERT_EQ(host.Received().size(), before + 1) << std::string(c.arguments.begin(), c.arguments.end());
        const ReceivedCommand &received = host.Received().back();
        EXPECT_EQ(received.text, c.expected);
        EXPECT_NE(received.atom, 0);
        EXPECT_EQ(received.lParam, 0);
        EXPECT_TRUE(received.wasSent) << "the command must be sent, not posted";
        // txcmd deleted its atom once the host had returned.
        EXPECT_FALSE(AtomExists(c.expected));
        EXPECT_EQ(run.processesStarted, 1u);
    }
}

TEST(Txcmd, EmptyCommandLineShowsTheUsageAndSendsNothing)
{
    StandInHost host;
    MessageBoxSeen box;
    const RunResult run = RunProgram(TxcmdPath(), L"", [&](DWORD pid) { AnswerMessageBox(pid, box); });
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, L"txcmd");
    // The box's static control may keep or drop the final line feed.
    std::wstring expected(kUsageText);
    if (!box.text.empty() && box.text.back() != L'\n')
        expected.pop_back();
    EXPECT_EQ(box.text, expected);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_FALSE(box.hasOwner);
    EXPECT_TRUE(host.Received().empty());
}

class TxcmdWithoutHost : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(::FindWindowW(kHostWindowClass, nullptr), nullptr) << "a host window is already running";
        m_folder = tx::test::MakeScratchFolder(L"txcmd");
        const std::wstring binaries = tx::test::ExecutableFolder();
        ASSERT_TRUE(::CopyFileW((binaries + L"txcmd.exe").c_str(), (m_folder + L"txcmd.exe").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW((binaries + L"txTestFakeHost.exe").c_str(), (m_folder + L"txHost.exe").c_str(), FALSE));
    }
    void TearDown() override
    {
        tx::test::RemoveFolder(m_folder);
    }

    std::wstring Marker() const
    {
        return m_folder + L"host-started.txt";
    }
    // Waits for the stand-in host started by txcmd to leave its marker.
    std::wstring WaitForMarker() const
    {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline)
        {
            tx::UniqueFileHandle file(
                ::CreateFileW(Marker().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            if (file)
            {
                wchar_t text[MAX_PATH] = {};
                DWORD read = 0;
                ::ReadFile(file.Get(), text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
                return std::wstring(text, read / sizeof(wchar_t));
            }
            ::Sleep(50);
        }
        return L"(no marker)";
    }

    std::wstring m_folder;
};

TEST_F(TxcmdWithoutHost, PowerInAnyCaseStartsTheHostBesideTxcmd)
{
    std::wstring folder = m_folder;
    folder.pop_back();
    for (const wchar_t *command : {L"POWER", L"Power", L"power"})
    {
        ::DeleteFileW(Marker().c_str());
        const RunResult run = RunProgram(m_folder + L"txcmd.exe", command);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.processesStarted, 2u) << "txcmd and the host";
        // Started in txcmd's own folder.
        const std::wstring started = WaitForMarker();
        EXPECT_EQ(::lstrcmpiW(started.c_str(), folder.c_str()), 0) << std::string(started.begin(), started.end());
    }
}

TEST_F(TxcmdWithoutHost, OtherCommandsDoNothing)
{
    for (const wchar_t *command : {L"volumeup", L"power on", L"powerx", L"\"power\"", L"exit"})
    {
        const RunResult run = RunProgram(m_folder + L"txcmd.exe", command);
        EXPECT_EQ(run.exitCode, 0u) << command;
        EXPECT_EQ(run.processesStarted, 1u) << command;
        EXPECT_FALSE(AtomExists(command)) << command;
    }
    EXPECT_EQ(::GetFileAttributesW(Marker().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TxcmdWithoutHost, PowerWithTheHostProgramMissingIsSilent)
{
    ASSERT_TRUE(::DeleteFileW((m_folder + L"txHost.exe").c_str()));
    const RunResult run = RunProgram(m_folder + L"txcmd.exe", L"power");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.processesStarted, 1u);
}
} // namespace

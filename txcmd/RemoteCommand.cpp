#include "txcmd/RemoteCommand.h"

#include "txcmd/CommandText.h"
#include "txcmd/TextCommandProtocol.h"

#include "comkit/HResult.h"
#include "comkit/Handles.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace tx::remote
{
namespace
{
// Sends the text synchronously: the call returns once the host has carried the
// command out. An over-long text is cut to what an atom holds rather than lost.
void SendTextCommand(HWND host, std::wstring_view arguments) noexcept
{
    const std::wstring text(FitToAtom(arguments));
    UniqueGlobalAtom atom(::GlobalAddAtomW(text.c_str()));
    if (!atom)
    {
        // Without an atom the host would read an empty command: send nothing.
        LogFailure(HResultFromLastError(), L"Failed to add the command text atom");
        return;
    }
    ::SendMessageW(host, APPMSG_TEXT_COMMAND, atom.Get(), 0);
}

// The folder of this program, without the trailing backslash; empty on failure.
std::wstring OwnFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
        {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Starts the host program that sits beside txcmd. Its full path is given, so no other
// txHost.exe on the search path can be started in its place.
void StartHost() noexcept
{
    const std::wstring folder = OwnFolder();
    if (folder.empty())
    {
        LogFailure(HResultFromLastError(), L"Failed to get the program folder");
        return;
    }
    const std::wstring program = folder + L"\\" + kHostProgram;
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result = ::ShellExecuteW(nullptr, nullptr, program.c_str(), nullptr, folder.c_str(), SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        LogFailure(E_FAIL, L"Failed to start the host program");
    if (SUCCEEDED(com))
        ::CoUninitialize();
}
} // namespace

int RemoteCommandMain(HINSTANCE, std::wstring_view arguments) noexcept
{
    try
    {
        // The host is looked for first, whatever the command line holds.
        const HWND host = ::FindWindowW(kHostWindowClass, nullptr);
        if (arguments.empty())
        {
            ::MessageBoxW(nullptr, kUsageText, L"txcmd", MB_OK);
            return 0;
        }
        if (host)
        {
            SendTextCommand(host, arguments);
            return 0;
        }
        if (IsPowerCommand(arguments))
            StartHost();
        // Any other command with no host running is dropped silently.
    }
    catch (...)
    {
        LogFailure(E_OUTOFMEMORY, L"Failed to run the remote command");
    }
    return 0;
}

} // namespace tx::remote

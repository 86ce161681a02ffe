#include "tests/support/TestPaths.h"

#include <windows.h>
#include <shellapi.h>

#include <atomic>

namespace tx::test
{
std::wstring ExecutableFolder()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring MakeScratchFolder(const wchar_t *prefix)
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + prefix + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++counter);
    RemoveFolder(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

void RemoveFolder(const std::wstring &path)
{
    std::wstring from = path;
    while (!from.empty() && from.back() == L'\\')
        from.pop_back();
    from.push_back(L'\0'); // SHFileOperation takes a double-terminated list
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}
} // namespace tx::test

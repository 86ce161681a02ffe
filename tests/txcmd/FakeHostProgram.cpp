// Stands in for txHost.exe in the txcmd tests: writes "host-started.txt" beside
// itself with the folder it was started in, then ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring marker(module);
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"host-started.txt";

    wchar_t current[MAX_PATH] = {};
    const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, current);

    // Written aside and renamed, so the test never reads a half-written marker.
    const std::wstring partial = marker + L".part";
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    ::WriteFile(file, current, length * sizeof(wchar_t), &written, nullptr);
    ::CloseHandle(file);
    ::MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}

#pragma once
// Where a test finds the build's binaries and makes its scratch files.
#include <string>

namespace tx::test
{
// Folder of the running test executable, with a trailing backslash.
std::wstring ExecutableFolder();
// A fresh empty folder under the temp directory, removed by the caller when done.
std::wstring MakeScratchFolder(const wchar_t *prefix);
// Removes a folder and everything below it.
void RemoveFolder(const std::wstring &path);
} // namespace tx::test

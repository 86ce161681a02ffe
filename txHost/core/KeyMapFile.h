#pragma once
// Reading the key map file msgs.xml through MSXML 3 into a KeyMap, and the process's
// one key map that the main window consults. UI thread only; COM must be initialised.
//
// The file: a root element "msgs" (case ignored) whose "msg" children name an action in
// their attribute "name" and bind keys through the attribute "code" of their direct
// "key" children: a key name such as VK_RETURN or a decimal number. Everything that
// does not fit this shape is skipped; the rest of the file still loads.
#include "txHost/core/KeyMap.h"

#include <windows.h>

#include <string>

namespace tx::host
{
// Appends the bindings of the file to the map. S_OK: the file was read (bindings that
// name nothing known are skipped); S_FALSE: the root element is not "msgs", nothing
// added; an error: MSXML is missing or the file is missing or malformed (logged once),
// nothing added.
HRESULT LoadKeyMapFile(const wchar_t *path, KeyMap &map) noexcept;

// Where the key map is read from: msgs.xml beside the program when it is there, else
// "msgs.xml" in the current folder.
std::wstring FindKeyMapFile();

// The process's key map: filled once at start-up by LoadKeyMap, lives until the end.
KeyMap &ProcessKeyMap() noexcept;
// Fills the process's key map from FindKeyMapFile(); the result is only informative.
HRESULT LoadKeyMap() noexcept;
} // namespace tx::host

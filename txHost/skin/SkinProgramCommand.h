#pragma once
// The command line of a program that a skin names in an element's action: the skin's
// program text with its first "%s" replaced by the argument. Portable (no windows.h).
//
// The program text comes from skin.xml, so it is data, never a format: every other "%"
// sequence ("%n", "%%", "%d") stays exactly as written, and an argument that itself holds
// "%s" is not expanded again. Without "%s" the argument is not passed.
#include "txHost/skin/SkinAttributes.h"

namespace tx::skin
{

// Throws std::bad_alloc when the line cannot be made.
SkinString BuildProgramCommandLine(SkinStringView program, SkinStringView argument);

} // namespace tx::skin

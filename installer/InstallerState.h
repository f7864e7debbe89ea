#pragma once

#include <string>

#include "engine/core/Win32.h"

namespace setup {

// The start window, fetched by the start-up routine.
extern HWND startWindowHandle;

// The folder the path box offers, and the one an empty box installs to.
inline constexpr char kDefaultInstallDir[] = "D:\\Nimbo\\";

// The folder the path box starts with: the default, or the command line's.
extern std::string offeredInstallDir;

// 0 until start-up has finished; then 1 while background image 1 shows and
// 2 while background image 2 shows.
extern int backgroundPhase;

}  // namespace setup

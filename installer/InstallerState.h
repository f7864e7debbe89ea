#pragma once

#include <atomic>
#include <string>

#include "engine/core/Win32.h"

namespace setup {

// The start window, fetched by the start-up routine.
extern HWND startWindowHandle;

// The target folder; ends with a backslash once the install action has
// normalised it. Empty before an installation.
extern std::string installDir;

// The folder the path box offers, and the one an empty box installs to.
inline constexpr char kDefaultInstallDir[] = "D:\\Nimbo\\";

// Set to 1 by the install action when the payload is on disk; the completion
// worker waits for it on another thread.
extern std::atomic<int> installDone;

// 0 until start-up has finished; then 1 while background image 1 shows and
// 2 while background image 2 shows.
extern int backgroundPhase;

}  // namespace setup

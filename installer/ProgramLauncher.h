#pragma once

#include <string>

namespace setup {

// Shell verbs by number: 1 "edit", 2 "explore", 3 "find", 4 "open",
// 5 "print"; any other number the program's default verb.
inline constexpr int kVerbOpen = 4;

// Starts a program through the shell, with no owner window, the process's
// current folder and a normal window. True when the shell started it.
bool RunProgram(int verb, const std::wstring& file, const std::string& parameters);

// Returns after `milliseconds` (by the system's tick counter), handling the
// calling thread's window messages meanwhile. A non-positive time returns
// at once.
void WaitMilliseconds(int milliseconds);

}  // namespace setup

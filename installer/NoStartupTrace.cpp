// The shipped program's start-up trace: nothing is recorded and the window
// is never closed by it. The start-up benchmark builds the program again
// with StartupTrace.cpp in place of this file.
#include "StartupTrace.h"

namespace setup {

void BeginStartupTrace() {}
void MarkStartupStage(const char*) {}
void EndStartupTrace(HWND) {}

}  // namespace setup

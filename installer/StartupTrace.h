#pragma once

#include "engine/core/Win32.h"

namespace setup {

// The start-up benchmark's probe, only in the benchmark's build of the
// program (StartupTrace.cpp; the shipped one links NoStartupTrace.cpp,
// where these do nothing). When the environment variable
// NIMBO_STARTUP_TRACE names a file, that build writes to it how many
// milliseconds after the process began each stage of its start was reached,
// the first frame with something to see among them, and closes its window
// once it is fully shown. Without the variable nothing is recorded.
void BeginStartupTrace();
void MarkStartupStage(const char* stage);
// After the show effect: the last stage, then the window is asked to close.
void EndStartupTrace(HWND window);

}  // namespace setup

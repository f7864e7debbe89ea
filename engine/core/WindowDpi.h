#pragma once

#include "Win32.h"

namespace ui {

// The dots per inch of the display a window is on: the window's own where
// the system can say (per-monitor aware programs on Windows 10 1607 and
// later, and Wine), else the system's, else 96.
int WindowDpi(HWND window);

}  // namespace ui

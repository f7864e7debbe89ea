#pragma once

#include "WindowTimer.h"
#include "engine/core/Win32.h"

namespace setup {

// The start window's geometry and title.
inline constexpr int kStartWindowLeft = 50;
inline constexpr int kStartWindowTop = 50;
inline constexpr int kStartWindowWidth = 825;
inline constexpr int kStartWindowHeight = 468;
inline constexpr char kStartWindowTitle[] = "Nimbo - 安装";

// The background alternation timer of the start window (5000 ms).
extern WindowTimer Timer1;

// Creates the start window, runs its created event (OnStartWindowCreated)
// and shows it. Closing it runs the close query (OnStartWindowCloseQuery);
// destroying it ends the message loop.
HWND LoadStartWindow();

// The start window of another run of the installer, brought to the front
// (restored when minimised); false when there is none.
bool BringOtherStartWindowToFront();

}  // namespace setup

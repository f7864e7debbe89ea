#pragma once

#include "engine/controls/Control.h"
#include "engine/core/Win32.h"

namespace setup {

// The start window's created event: attaches the engine to the window and
// builds the start screen. Runs once.
void OnStartWindowCreated(HWND window);

// Timer1's tick: cross-fades to the other background photograph.
void OnBackgroundTimer();

}  // namespace setup

#pragma once

#include "engine/core/Win32.h"

namespace ui {

class Compositor;

// Plays a window's close effect from the picture in `source` (effect 0:
// nothing). The window ends fully transparent; the caller hides it. The
// window's compositor, when given, presents nothing of its own meanwhile.
void CloseAnimation(HWND window, HDC source, int windowAlpha, int effect, bool blur, int frameStyle,
                    Compositor* compositor);

// Shows the window with an effect, from fully transparent to the picture in
// `source`, in about `duration` milliseconds; the compositor as above.
void ShowAnimation(HWND window, HDC source, int windowAlpha, int effect, bool blur, int frameStyle, int duration,
                   Compositor* compositor);

// Handles the window messages pending on this thread. A quit request is
// left for the message loop.
void PumpPendingMessages();

}  // namespace ui

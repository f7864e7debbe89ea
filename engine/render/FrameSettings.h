#pragma once

#include <cstdint>

#include "engine/core/Win32.h"

namespace ui {

// How a window's frame looks; everything the painted frame depends on
// besides its size and background.
struct FrameSettings {
  int frameStyle = 7;                      // 0 square, 1 frameless, else rounded
  int windowAlpha = -1;                    // 0..255; -1: the window is not layered
  int backgroundMode = 0;                  // how the picture sits: 0 at its size, 1 stretched, 2 centred
  int edgeFade = 1;                        // fade the picture's edges into the colour
  std::uint32_t shadowColor = 0xFFFFFFFF;  // RGB; -1 black
  bool shadow = false;                     // shadow rings around a layered window
  RECT nineGrid{};                         // nine-slice margins of a frameless window's picture
  int blurBehind = 0;                      // DWM blur behind a layered window
};

}  // namespace ui

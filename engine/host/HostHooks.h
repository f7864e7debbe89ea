#pragma once

#include "engine/core/GdiPlus.h"
#include "engine/core/Win32.h"

namespace ui {

class Control;

// Hooks of a host window; null means none. A message hook's answer other
// than -1 is returned for the message at once.
using PaintBackgroundHook = int (*)(HWND window, GpGraphics* graphics, int width, int height);
using MessageHook = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using ControlEventHook = int (*)(HWND window, Control* control, WPARAM wParam, LPARAM lParam, int kind);
using ResizeHook = int (*)(HWND window, int width, int height);

// Everything an application hooks into one host window.
struct HostHooks {
  PaintBackgroundHook paintBackground = nullptr;
  MessageHook message = nullptr;
  ResizeHook resize = nullptr;
  ControlEventHook controlMouseDown = nullptr;
  ControlEventHook controlMouseUp = nullptr;
  ControlEventHook controlClick = nullptr;
  ControlEventHook controlDoubleClick = nullptr;
  ControlEventHook controlRightDown = nullptr;
  ControlEventHook controlRightUp = nullptr;
  ControlEventHook controlMouseEnter = nullptr;
  ControlEventHook controlMouseLeave = nullptr;
  ControlEventHook controlFocusGained = nullptr;
  ControlEventHook controlFocusLost = nullptr;
};

}  // namespace ui

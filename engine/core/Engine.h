#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GdiPlus.h"

namespace ui {

class PopupMenu;

// One entry of a menu held before the menu exists: its caption ("&" marks
// the access letter; an empty text is a separator) and its command id.
struct MenuEntry {
  std::string text;
  int id = 0;
};

// What InitEngine sets up once for the whole process. It is never released:
// GDI+ stays running until the process ends, and so do the objects made
// with it.
struct EngineState {
  ULONG_PTR gdiplusToken = 0;
  int windowsMajorVersion = 0;
  FontPtr defaultFont;
  HCURSOR defaultCursor = nullptr;
  ImagePtr captionButtonImage;
  HICON engineIcon = nullptr;
  // The shared edit context menu's entries: cut, copy, paste, a separator
  // and select all; each id is the character of its Ctrl shortcut.
  std::vector<MenuEntry> editMenuEntries;
  // The shared edit context menu, filled with those entries.
  PopupMenu* contextMenu = nullptr;
};

EngineState& Engine();

// Starts GDI+, reads the Windows version, creates the default font, loads
// the default cursor and the caption-button strip, registers the engine's
// window class and fills the edit menu. Call once, on the UI thread, before
// any engine object touches a window.
void InitEngine();

// Sets the engine's default cursor to a system cursor or to a given handle.
void SetDefaultCursor(int systemCursorId);
void SetDefaultCursor(HCURSOR cursor);

// The identifier of the program's icon resource.
inline constexpr int kProgramIconId = 129;

}  // namespace ui

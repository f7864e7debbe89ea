#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GdiPlus.h"

namespace ui {

// What InitEngine sets up once for the whole process. It is never released:
// GDI+ stays running until the process ends, and so do the objects made
// with it.
struct EngineState {
  ULONG_PTR gdiplusToken = 0;
  int windowsMajorVersion = 0;
  // The default font (see DefaultFont); made while the first window is,
  // with the name of the family it was asked for.
  FontPtr defaultFont;
  std::string defaultFontFamily;
  HANDLE defaultFontMaker = nullptr;
  HCURSOR defaultCursor = nullptr;
  ImagePtr captionButtonImage;
  HICON engineIcon = nullptr;
};

EngineState& Engine();

// The engine's default font. A process's first font makes Wine (and a cold
// Windows) load its font tables, which takes longer than the rest of the
// start-up before the first frame, and nothing before that frame draws
// text: InitEngine makes the font on a thread of its own and the first call
// here waits for it. UI thread only.
GpFont* DefaultFont();
// The family name the default font was made with; empty without one.
std::string DefaultFontFamily();

// Starts GDI+, reads the Windows version, starts making the default font, loads
// the default cursor and the caption-button strip, registers the engine's
// window class. Call once, on the UI thread, before
// any engine object touches a window.
void InitEngine();

// Sets the engine's default cursor to a system cursor or to a given handle.
// System cursor ids (what MAKEINTRESOURCE names IDC_ARROW and IDC_HAND).
inline constexpr int kArrowCursor = 32512;
inline constexpr int kHandCursor = 32649;
void SetDefaultCursor(int systemCursorId);
void SetDefaultCursor(HCURSOR cursor);

// The identifier of the program's icon resource.
inline constexpr int kProgramIconId = 129;

}  // namespace ui

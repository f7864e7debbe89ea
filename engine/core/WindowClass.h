#pragma once

#include <optional>
#include <string>

#include "Win32.h"

namespace ui {

// The class of every window the engine creates itself (menus, message
// boxes), and the prefix of the window properties by which they find each
// other.
inline constexpr char kEngineClassName[] = "Ex_DirectUI";

struct EngineClassOptions {
  std::optional<std::string> className;  // default "Ex_DirectUI"
  std::optional<UINT> style;             // default CS_DBLCLKS
  std::optional<HICON> icon;             // default the program icon
  std::optional<HCURSOR> cursor;         // default the engine's default cursor
  WNDPROC windowProcedure = nullptr;     // default DefWindowProcW
};

// Registers a window class; returns its atom, 0 on failure. Loading the
// default icon stores it as the engine's icon.
ATOM RegisterEngineClass(const EngineClassOptions& options = {});

}  // namespace ui

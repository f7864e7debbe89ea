#pragma once

#include <string>
#include <string_view>

#include "Win32.h"

namespace ui {

// The clipboard's text, exchanged as Unicode text and converted from and to
// the engine's code page 936 here, so that other programs see the right
// characters whatever the system's ANSI code page. A character with no code
// page 936 form becomes the code page's default character. Reading gives
// the text up to its first NUL, or nothing when the clipboard holds no text.
std::string ReadClipboardText();
// Replaces the clipboard's content with the text; false when that failed.
// The owner window holds the clipboard: with none, Windows refuses the data.
bool WriteClipboardText(HWND owner, std::string_view text);

}  // namespace ui

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ui {

// All text in the engine's logic is ANSI text in this code page; it becomes
// UTF-16 only at the wide Windows and GDI+ calls. The code page is fixed
// rather than the system's ANSI page, so Chinese text stays intact on a
// Windows whose ANSI page is another one.
inline constexpr unsigned kTextCodePage = 936;

std::wstring AnsiToWide(std::string_view text, unsigned codePage = kTextCodePage);
std::string WideToAnsi(std::wstring_view wide, unsigned codePage = kTextCodePage);
// The text in the engine's code page only when every character has a form
// there (no default character, no nearest match); nothing otherwise.
std::optional<std::string> ExactWideToAnsi(std::wstring_view wide);

}  // namespace ui

#pragma once

#include <string>
#include <string_view>

namespace ui {

// What an edit box takes from the keyboard and the clipboard, by input mode
// (0 normal, 1 read-only, 2 password, 3 integer, 4 decimal). Text is code
// page 936; a character is one byte, or a lead byte and its trail byte.

// Whether one typed character goes into a box whose text is `currentText`.
// Printable characters only: no control codes (below 32, and 127), no byte
// that is half of a character. Integer boxes take the digits and the minus
// sign; decimal boxes the codes from the minus sign to 9 (minus, full stop,
// slash, digits), the full stop only while the text holds none.
bool AcceptsCharacter(int inputMode, std::string_view character, std::string_view currentText);

// The text a paste inserts, `textAround` being the box's text without the
// selection the paste replaces. Line breaks (CR LF, a lone LF or a lone CR)
// end a single-line paste; in a multi-line box each becomes CR LF. Every
// other character is kept only when it could have been typed there, so a
// decimal box never gets a second full stop.
std::string PastedText(int inputMode, bool multiLine, std::string_view pasted, std::string_view textAround);

}  // namespace ui

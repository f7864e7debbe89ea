#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/RectF.h"

namespace ui {

class TextMeasurer;

// One line of an EditText: where it starts in the text and where it lies.
struct LineEntry {
  int start = 0;  // 1-based byte position of the line's first byte
  RectF extent;   // relative to the text's top-left corner; left is always 0
};

// The text of an edit box, code page 936 bytes with lines separated by CR LF,
// with its line table and the measured bounds of every line. Every edit
// builds the whole new text and sets it again, so the line table is always
// rebuilt from scratch.
//
// Positions are 1-based byte positions; a column counts characters, a
// character taking two bytes when its first byte is a lead byte (0x81 to
// 0xFE). A lead byte that ends a line (or the text) is a character of one
// byte. Positions and counts outside the text are clamped to it.
class EditText {
 public:
  // --- operations
  // multiLine: bit 0 clear keeps only the text before the first CR LF. An LF
  // not preceded by CR is dropped; a lone CR stays inside its line.
  // inputMode 2 is password mode, shown as passwordBytes once per character.
  void SetText(std::string_view text, int multiLine, int inputMode, std::string_view passwordBytes);
  // Measures every line's display text. scrollBars: bit 0 a horizontal bar
  // (no wrapping), 2 a vertical bar only (wrapping at the area's width).
  void Layout(const TextMeasurer& measurer, const RectF& area, int scrollBars);
  // The line without its CR LF, or its first byteCount bytes. For display,
  // spaces become tabs (to advance to the tab stops), or in password mode
  // every character becomes the password text.
  // Spaces are displayed as tabs only where the text drawing honours tab
  // stops; where it gives a tab no width, a space stays a space.
  void DisplaySpacesAsTabs(bool asTabs) { spacesAsTabs = asTabs; }
  std::string LineText(int line, std::optional<int> byteCount = std::nullopt, bool forDisplay = false) const;
  // The bytes between the two positions, in either order.
  std::string Substring(int a, int b) const;
  // Removes the bytes from the lower position up to before the higher one.
  void DeleteRange(int a, int b, int multiLine);
  void InsertAt(int position, std::string_view text, int multiLine);
  std::string Text() const { return bytes; }
  int LineCount() const { return lineCount; }
  int LineHeight() const { return lineHeight; }
  int ReferenceWidth() const { return referenceWidth; }
  // All zero for an invalid line.
  RectF LineExtent(int line) const;
  // 0 for an invalid line.
  int LineStart(int line) const;
  int TotalHeight() const { return totalHeight; }
  int MaxWidth() const { return maxWidth; }
  int Length() const { return length; }
  const std::string& Bytes() const { return bytes; }
  bool IsValidLine(int line) const { return lineCount > 0 && line >= 1 && line <= lineCount; }

  // --- conversions for the edit box
  // The byte position before the character at `column` of the line; a
  // column beyond the line gives the line's end, an invalid line 0.
  int PositionOf(int line, int column) const;
  // The number of characters of the line (its columns); 0 for an invalid line.
  int LineLength(int line) const;
  // The number of characters of any text, counted as columns are.
  static int CharacterCount(std::string_view text);

 private:
  // Steps shared by SetText and the edits, which keep mode and password.
  void Store(std::string_view text, int multiLine);
  // The line's bytes without its CR LF; empty for an invalid line.
  std::string_view RawLine(int line) const;
  int ClampPosition(int position) const;

  std::string bytes;
  int length = 0;
  int lineCount = 0;
  std::vector<LineEntry> lines;  // lines[0] is line 1
  int maxWidth = 0;
  int totalHeight = 0;
  int lineHeight = 0;
  int referenceWidth = 0;
  int inputMode = 0;
  std::string passwordBytes;
  bool spacesAsTabs = true;
};

}  // namespace ui

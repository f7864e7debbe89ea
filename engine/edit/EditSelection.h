#pragma once

#include <optional>

namespace ui {

// A place in an edit box's text: a 1-based line and a column (characters
// before it in the line).
struct TextPoint {
  int line = 1;
  int column = 0;
  bool operator==(const TextPoint&) const = default;
};

// True when a comes before b in the text.
bool Before(TextPoint a, TextPoint b);

// The characters of one line that lie between anchor and caret (in either
// order): start column and count; nothing when the line takes no part or
// the selection is empty.
struct LineRange {
  int start = 0;
  int count = 0;
  bool operator==(const LineRange&) const = default;
};
std::optional<LineRange> SelectedOnLine(TextPoint anchor, TextPoint caret, int line, int lineLength);

}  // namespace ui

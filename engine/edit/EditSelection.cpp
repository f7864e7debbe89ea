#include "EditSelection.h"

#include <algorithm>

namespace ui {

bool Before(TextPoint a, TextPoint b) { return a.line < b.line || (a.line == b.line && a.column < b.column); }

std::optional<LineRange> SelectedOnLine(TextPoint anchor, TextPoint caret, int line, int lineLength) {
  if (anchor == caret) return std::nullopt;
  const TextPoint first = Before(anchor, caret) ? anchor : caret;
  const TextPoint last = Before(anchor, caret) ? caret : anchor;
  if (line < first.line || line > last.line) return std::nullopt;
  // Columns beyond the line (a line shortened under the selection) are
  // taken as its end.
  const int from = line == first.line ? std::clamp(first.column, 0, lineLength) : 0;
  const int to = line == last.line ? std::clamp(last.column, 0, lineLength) : lineLength;
  if (to <= from) return std::nullopt;
  return LineRange{from, to - from};
}

}  // namespace ui

#pragma once

#include <string_view>

#include "EditSelection.h"

namespace ui {

class EditText;

// Where the caret goes for the edit box's navigation keys. Columns count
// characters; every result lies inside the text.

// One character left; from column 0 of a multi-line box to the end of the
// line above; at the start of the text it stays.
TextPoint MoveLeft(const EditText& text, TextPoint caret, bool multiLine);
// One character right; from the end of a line to the start of the next; at
// the end of the last line it stays.
TextPoint MoveRight(const EditText& text, TextPoint caret);
// A line up or down, never beyond the first or last line, keeping the
// column where the line is long enough.
TextPoint MoveUp(const EditText& text, TextPoint caret);
TextPoint MoveDown(const EditText& text, TextPoint caret);
// The word of a double click on a line: from the anchor left and from the
// caret right over digits and the letters a to z (of either case); one
// character when there is no such run. Returns {anchor, caret} columns.
struct ColumnSpan {
  int anchor = 0;
  int caret = 0;
  bool operator==(const ColumnSpan&) const = default;
};
ColumnSpan WordAt(const EditText& text, int line, int anchorColumn, int caretColumn);

// The caret after `inserted` went in at `caret`: behind the inserted text,
// on a later line when it holds line breaks (CR LF). A single-line box
// keeps only the part before the first line break. A lone LF is not kept
// by the text, so it does not count.
TextPoint CaretAfterInsert(const EditText& textAfter, TextPoint caret, std::string_view inserted, bool multiLine);

}  // namespace ui

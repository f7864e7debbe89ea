// Any bytes as a script of edits of an edit box's text: texts set, inserted
// and deleted on single- and multi-line boxes, layouts with any measured
// sizes, lines read and positions converted, the caret moved. After every
// step the line table must describe the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "engine/edit/EditNavigation.h"
#include "engine/edit/EditText.h"
#include "engine/edit/TextMeasurer.h"
#include "engine/testing/FuzzCheck.h"

namespace {

using fuzz::Check;

// What the text becomes when set: a single line ends before its first
// CR LF; an LF without a CR before it is dropped.
std::string Stored(std::string text, int multiLine) {
  if ((multiLine & 1) == 0) text = text.substr(0, text.find("\r\n"));
  std::string kept;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) kept += text[i];
  return kept;
}

// Columns: a byte from 0x81 to 0xFE starts a character of two bytes, unless
// it is the line's last byte; 0x80 (the euro sign) and 0xFF stand alone.
int Columns(std::string_view line) {
  int columns = 0;
  for (std::size_t at = 0; at < line.size(); ++columns) {
    const auto byte = static_cast<unsigned char>(line[at]);
    at += byte >= 0x81 && byte <= 0xFE && at + 1 < line.size() ? 2 : 1;
  }
  return columns;
}

// Measures sensibly (7 pixels a byte, rows of 16, wrapping at the layout
// width), fails, or answers whatever the input says, NaN and infinity
// included: the edit box's measurements come from GDI+.
class ScriptedMeasurer final : public ui::TextMeasurer {
 public:
  enum Mode { kSensible, kFailing, kAnything };
  ScriptedMeasurer(FuzzedDataProvider& input, Mode mode) : input_(input), mode_(mode) {}

  std::optional<ui::RectF> Measure(std::string_view text, const ui::RectF& layout) const override {
    if (mode_ == kFailing) return std::nullopt;
    if (mode_ == kAnything) {
      if (input_.ConsumeBool()) return std::nullopt;
      return ui::RectF{input_.ConsumeFloatingPoint<float>(), input_.ConsumeFloatingPoint<float>(),
                       input_.ConsumeFloatingPoint<float>(), input_.ConsumeFloatingPoint<float>()};
    }
    float width = 7.0f * static_cast<float>(text.size());
    float rows = 1;
    if (layout.width > 0 && width > layout.width) {
      rows = std::ceil(width / layout.width);
      width = layout.width;
    }
    return ui::RectF{layout.left, layout.top, width, 16.0f * rows};
  }

 private:
  FuzzedDataProvider& input_;
  Mode mode_;
};

std::string Line(const ui::EditText& text, int line) { return text.LineText(line); }

void CheckLineTable(const ui::EditText& text, int multiLine) {
  const std::string& bytes = text.Bytes();
  Check(text.Length() == static_cast<int>(bytes.size()) && text.Text() == bytes, "length == bytes");
  Check(text.LineStart(1) == 1, "entry 1 starts at 1");
  int entries = 1;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') Check(i > 0 && bytes[i - 1] == '\r', "no LF without a CR before it");
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      ++entries;
      // The CR is at position i + 1.
      Check(text.LineStart(entries) == static_cast<int>(i) + 3, "entry k+1 starts two bytes after the k-th CR LF");
    }
  }
  Check(text.LineCount() == entries, "lineCount == entries");
  if ((multiLine & 1) == 0) Check(entries == 1, "a single line holds no CR LF");
  Check(!text.IsValidLine(0) && !text.IsValidLine(entries + 1), "lines 0 and lineCount + 1 are invalid");
  Check(text.LineStart(0) == 0 && text.LineStart(entries + 1) == 0, "an invalid line starts nowhere");
  std::string joined;
  for (int line = 1; line <= entries; ++line) joined += (line > 1 ? "\r\n" : "") + Line(text, line);
  Check(joined == bytes, "the lines joined by CR LF are the text");
}

int AnyPosition(FuzzedDataProvider& input, const ui::EditText& text) {
  if (input.ConsumeIntegralInRange(0, 15) == 0) return input.PickValueInArray({INT_MIN, -1, 0, INT_MAX});
  return input.ConsumeIntegralInRange(-1, text.Length() + 2);
}

// A caret where the edit box keeps it: on a line, at a column of it.
ui::TextPoint AnyCaret(FuzzedDataProvider& input, const ui::EditText& text) {
  const int line = input.ConsumeIntegralInRange(1, text.LineCount());
  return {line, input.ConsumeIntegralInRange(0, text.LineLength(line))};
}

void CheckInside(const ui::EditText& text, ui::TextPoint point, const char* promise) {
  Check(point.line >= 1 && point.line <= text.LineCount() && point.column >= 0 &&
            point.column <= text.LineLength(point.line),
        promise);
}

void CheckLayout(const ui::EditText& text, int scrollBars, float areaWidth, bool sensible) {
  for (int line = 1; line <= text.LineCount(); ++line)
    Check(text.LineExtent(line).left == 0, "a line's extent starts at the left edge");
  if (!sensible) return;
  int widest = 0;
  for (int line = 1; line <= text.LineCount(); ++line)
    widest = std::max(widest, static_cast<int>(text.LineExtent(line).width));
  // A narrow wrapping area wraps even the reference character.
  const bool wraps = scrollBars == 2 && areaWidth > 0;
  if (!wraps || areaWidth >= 14)
    Check(text.LineHeight() == 16 && text.ReferenceWidth() == 14, "the reference character sets the line height");
  if (text.Length() == 0) {
    Check(text.TotalHeight() == 0 && text.MaxWidth() == 0, "an empty text takes no room");
    return;
  }
  Check(text.MaxWidth() == widest, "the widest line sets the width");
  if (scrollBars == 2) return;
  // Without wrapping every line is one row.
  Check(text.TotalHeight() == 16 * text.LineCount(), "unwrapped lines are one row each");
  for (int line = 1; line <= text.LineCount(); ++line)
    Check(text.LineExtent(line).top == 16.0f * static_cast<float>(line - 1), "each line lies below the one before");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // As the edit box makes it: with its (empty) text set.
  ui::EditText text;
  int multiLine = 1;
  int inputMode = 0;
  std::string password = "*";
  text.SetText("", multiLine, inputMode, password);
  for (int step = 0; step < 48 && input.remaining_bytes() > 0; ++step) {
    const int lastMultiLine = multiLine;
    multiLine = input.PickValueInArray({0, 1, 1, 2, 3, -1});
    switch (input.ConsumeIntegralInRange(0, 7)) {
      case 0: {
        inputMode = input.ConsumeIntegralInRange(0, 4);
        password = input.ConsumeRandomLengthString(4);
        const std::string set = input.ConsumeRandomLengthString(96);
        text.SetText(set, multiLine, inputMode, password);
        Check(text.Bytes() == Stored(set, multiLine), "SetText stores the text as the box keeps it");
        break;
      }
      case 1: {
        const int position = AnyPosition(input, text);
        const std::string inserted = input.ConsumeRandomLengthString(32);
        const int at = std::clamp(position, 1, text.Length() + 1);
        const std::string expected =
            Stored(text.Bytes().substr(0, at - 1) + inserted + text.Bytes().substr(at - 1), multiLine);
        text.InsertAt(position, inserted, multiLine);
        Check(text.Bytes() == expected, "InsertAt puts the text at the position");
        break;
      }
      case 2: {
        const int a = AnyPosition(input, text), b = AnyPosition(input, text);
        const int lo = std::clamp(std::min(a, b), 1, text.Length() + 1);
        const int hi = std::clamp(std::max(a, b), 1, text.Length() + 1);
        const std::string removed = text.Substring(a, b);
        Check(removed == text.Bytes().substr(lo - 1, hi - lo), "Substring is the bytes between the positions");
        const std::string expected = Stored(text.Bytes().substr(0, lo - 1) + text.Bytes().substr(hi - 1), multiLine);
        text.DeleteRange(a, b, multiLine);
        Check(text.Bytes() == expected, "DeleteRange removes the bytes between the positions");
        break;
      }
      case 3: {
        multiLine = lastMultiLine;
        const auto mode = static_cast<ScriptedMeasurer::Mode>(input.ConsumeIntegralInRange(0, 2));
        const int scrollBars = input.PickValueInArray({0, 1, 2, 3});
        const ui::RectF area{0, 0, static_cast<float>(input.ConsumeIntegralInRange(0, 400)), 100};
        const ScriptedMeasurer measurer(input, mode);
        text.DisplaySpacesAsTabs(input.ConsumeBool());
        text.Layout(measurer, area, scrollBars);
        CheckLayout(text, scrollBars, area.width, mode == ScriptedMeasurer::kSensible);
        break;
      }
      case 4: {
        multiLine = lastMultiLine;
        const int line = input.ConsumeIntegralInRange(-1, text.LineCount() + 1);
        const int count = input.ConsumeIntegralInRange(-2, 200);
        const std::string whole = Line(text, line);
        if (!text.IsValidLine(line)) Check(whole.empty(), "an invalid line has no text");
        Check(text.LineText(line, count) == whole.substr(0, static_cast<std::size_t>(std::max(count, 0))),
              "LineText gives the line's first bytes");
        const std::string shown = text.LineText(line, std::nullopt, true);
        if (inputMode == 2)
          Check(shown.size() == password.size() * static_cast<std::size_t>(Columns(whole)),
                "a password shows one password text per character");
        else Check(shown.size() == whole.size(), "display text keeps the line's length");
        break;
      }
      case 5: {
        multiLine = lastMultiLine;
        const int line = input.ConsumeIntegralInRange(-1, text.LineCount() + 1);
        const int column = input.ConsumeIntegralInRange(-2, 200);
        const int position = text.PositionOf(line, column);
        if (!text.IsValidLine(line)) {
          Check(position == 0 && text.LineLength(line) == 0, "an invalid line has no positions");
          break;
        }
        const std::string whole = Line(text, line);
        Check(text.LineLength(line) == Columns(whole), "a line's length counts its characters");
        const int start = text.LineStart(line);
        Check(position >= start && position <= start + static_cast<int>(whole.size()),
              "a column's position lies on its line");
        if (column <= 0) Check(position == start, "column 0 is the line's start");
        if (column >= Columns(whole))
          Check(position == start + static_cast<int>(whole.size()), "past the end: the end");
        break;
      }
      case 6: {
        multiLine = lastMultiLine;
        const bool multi = (multiLine & 1) != 0;
        const ui::TextPoint caret = AnyCaret(input, text);
        const ui::TextPoint left = ui::MoveLeft(text, caret, multi), right = ui::MoveRight(text, caret);
        CheckInside(text, left, "MoveLeft stays inside the text");
        CheckInside(text, right, "MoveRight stays inside the text");
        CheckInside(text, ui::MoveUp(text, caret), "MoveUp stays inside the text");
        CheckInside(text, ui::MoveDown(text, caret), "MoveDown stays inside the text");
        if (right != caret) Check(ui::MoveLeft(text, right, true) == caret, "left undoes right");
        const ui::ColumnSpan word =
            ui::WordAt(text, caret.line, caret.column, input.ConsumeIntegralInRange(caret.column, caret.column + 3));
        Check(0 <= word.anchor && word.anchor <= word.caret && word.caret <= text.LineLength(caret.line),
              "a word lies on its line");
        break;
      }
      case 7: {
        const ui::TextPoint caret = AnyCaret(input, text);
        const int position = text.PositionOf(caret.line, caret.column);
        const std::string inserted = input.ConsumeRandomLengthString(16);
        const std::string before = text.Bytes();
        text.InsertAt(position, inserted, multiLine);
        const ui::TextPoint after = ui::CaretAfterInsert(text, caret, inserted, (multiLine & 1) != 0);
        CheckInside(text, after, "the caret after an insertion lies inside the text");
        // Plain ASCII behind a whole character: the caret ends right behind it.
        const bool plain = std::all_of(inserted.begin(), inserted.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
        const bool wholeBefore = caret.column == 0 || static_cast<unsigned char>(before[position - 2]) <= 0x80;
        if (plain && wholeBefore && (caret.line == 1 || (multiLine & 1) != 0))
          Check(text.PositionOf(after.line, after.column) == position + static_cast<int>(inserted.size()),
                "the caret after an insertion stands behind the inserted text");
        break;
      }
    }
    CheckLineTable(text, multiLine);
  }
  return 0;
}

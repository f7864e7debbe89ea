#include "engine/edit/EditNavigation.h"

#include <gtest/gtest.h>

#include "engine/edit/EditText.h"

namespace ui {
namespace {

// "abc" on line 1, "中de" (a double-byte character, then two letters) on
// line 2, an empty line 3.
EditText ThreeLines() {
  EditText text;
  text.SetText(
      "abc\r\n\xD6\xD0"
      "de\r\n",
      1, 0, "*");
  return text;
}

TEST(EditNavigation, ArrowKeysMoveByCharacterAndWrapBetweenLines) {
  const EditText text = ThreeLines();
  struct Case {
    const char* what;
    TextPoint from, left, right, up, down;
  };
  const Case cases[] = {
      {"start of the text", {1, 0}, {1, 0}, {1, 1}, {1, 0}, {2, 0}},
      {"end of line 1", {1, 3}, {1, 2}, {2, 0}, {1, 3}, {2, 3}},
      {"after the double-byte character", {2, 1}, {2, 0}, {2, 2}, {1, 1}, {3, 0}},
      {"start of line 2", {2, 0}, {1, 3}, {2, 1}, {1, 0}, {3, 0}},
      {"the empty last line", {3, 0}, {2, 3}, {3, 0}, {2, 0}, {3, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MoveLeft(text, c.from, true), c.left) << c.what;
    EXPECT_EQ(MoveRight(text, c.from), c.right) << c.what;
    EXPECT_EQ(MoveUp(text, c.from), c.up) << c.what;
    EXPECT_EQ(MoveDown(text, c.from), c.down) << c.what;
  }
  // One line: Left at its start stays (Backspace there removes nothing).
  EditText line;
  line.SetText("xy", 0, 0, "*");
  EXPECT_EQ(MoveLeft(line, {1, 0}, false), (TextPoint{1, 0}));
  EXPECT_EQ(MoveRight(line, {1, 2}), (TextPoint{1, 2}));
}

// Byte 0x80 is the euro sign, a character of one byte (what a pasted €
// becomes); only 0x81 to 0xFE lead a character of two. "€x" on line 1,
// "€中y" on line 2: columns, positions, caret moves, a deletion and a
// selection all count the euro sign as one byte.
TEST(EditNavigation, TheEuroSignIsACharacterOfOneByte) {
  EditText text;
  text.SetText("\x80x\r\n\x80\xD6\xD0y", 1, 0, "*");
  ASSERT_EQ(text.LineStart(2), 5);
  EXPECT_EQ(text.LineLength(1), 2);
  EXPECT_EQ(text.LineLength(2), 3);
  struct Case {
    TextPoint at;
    int position;
    TextPoint right;
  };
  const Case cases[] = {
      {{1, 0}, 1, {1, 1}}, {{1, 1}, 2, {1, 2}}, {{1, 2}, 3, {2, 0}}, {{2, 0}, 5, {2, 1}},
      {{2, 1}, 6, {2, 2}}, {{2, 2}, 8, {2, 3}}, {{2, 3}, 9, {2, 3}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text.PositionOf(c.at.line, c.at.column), c.position) << c.at.line << ", " << c.at.column;
    EXPECT_EQ(MoveRight(text, c.at), c.right) << c.at.line << ", " << c.at.column;
  }
  EXPECT_EQ(MoveLeft(text, {1, 2}, true), (TextPoint{1, 1}));
  EXPECT_EQ(text.Substring(text.PositionOf(2, 1), text.PositionOf(2, 2)), "\xD6\xD0") << "Shift+Right takes all of 中";
  EXPECT_EQ(WordAt(text, 1, 1, 1), (ColumnSpan{1, 2})) << "the euro sign ends the word x";

  // Backspace at the end of "€x" removes x alone.
  text.DeleteRange(text.PositionOf(1, 1), text.PositionOf(1, 2), 1);
  EXPECT_EQ(text.Text(), "\x80\r\n\x80\xD6\xD0y");
  EXPECT_EQ(EditText::CharacterCount("\x80\x80\xFE\x40"), 3);
}

TEST(EditNavigation, DoubleClickSelectsARunOfLettersAndDigits) {
  struct Case {
    const char* line;
    int column;
    ColumnSpan expected;
  };
  const Case cases[] = {
      {"abc_def", 1, {0, 3}},  // stops at the underscore
      {"abc_def", 5, {4, 7}},
      {"x  y", 2, {2, 3}},                // between two spaces: one character
      {"Ab9 z", 1, {0, 3}},               // capitals and digits count
      {"\xD6\xD0xy\xD6\xD0", 2, {1, 3}},  // double-byte characters do not
      {"ab", 2, {0, 2}},                  // at the end of the line
      {"", 0, {0, 0}},                    // an empty line has nothing to select
  };
  for (const Case& c : cases) {
    EditText text;
    text.SetText(c.line, 1, 0, "*");
    EXPECT_EQ(WordAt(text, 1, c.column, c.column), c.expected) << c.line << " at " << c.column;
  }
}

TEST(EditNavigation, CaretGoesBehindTheInsertedText) {
  struct Case {
    const char* what;
    const char* before;
    TextPoint at;
    const char* inserted;
    int multiLine;
    TextPoint expected;
  };
  const Case cases[] = {
      {"one character", "ab", {1, 1}, "x", 1, {1, 2}},
      {"a double-byte character is one column", "ab", {1, 1}, "\xD6\xD0", 1, {1, 2}},
      {"a line break", "ab", {1, 1}, "x\r\nyz", 1, {2, 2}},
      {"two line breaks", "ab", {1, 2}, "\r\n\r\nq", 1, {3, 1}},
      {"a lone LF is not kept", "ab", {1, 1}, "x\ny", 1, {1, 3}},
      {"one line keeps what comes before the break", "ab", {1, 1}, "x\r\nyz", 0, {1, 2}},
  };
  for (const Case& c : cases) {
    EditText text;
    text.SetText(c.before, c.multiLine, 0, "*");
    text.InsertAt(text.PositionOf(c.at.line, c.at.column), c.inserted, c.multiLine);
    EXPECT_EQ(CaretAfterInsert(text, c.at, c.inserted, c.multiLine != 0), c.expected) << c.what;
  }
}

TEST(EditSelection, EachLineShowsItsPartOfTheSelection) {
  // Selected from (1, 2) to (3, 1) of the lines "abcd", "efg", "hij", in
  // either direction: the tail of line 1, all of line 2, the head of line 3.
  for (const bool backwards : {false, true}) {
    const TextPoint anchor = backwards ? TextPoint{3, 1} : TextPoint{1, 2};
    const TextPoint caret = backwards ? TextPoint{1, 2} : TextPoint{3, 1};
    EXPECT_EQ(SelectedOnLine(anchor, caret, 1, 4), (LineRange{2, 2}));
    EXPECT_EQ(SelectedOnLine(anchor, caret, 2, 3), (LineRange{0, 3}));
    EXPECT_EQ(SelectedOnLine(anchor, caret, 3, 3), (LineRange{0, 1}));
    EXPECT_FALSE(SelectedOnLine(anchor, caret, 4, 3));
  }
  EXPECT_EQ(SelectedOnLine({1, 3}, {1, 1}, 1, 5), (LineRange{1, 2}));
  EXPECT_FALSE(SelectedOnLine({1, 2}, {1, 2}, 1, 5)) << "empty";
  EXPECT_FALSE(SelectedOnLine({1, 0}, {2, 0}, 2, 4)) << "the caret at the start of a line takes none of it";
}

}  // namespace
}  // namespace ui

#include "EditNavigation.h"

#include <algorithm>
#include <string>
#include <vector>

#include "EditText.h"
#include "engine/core/CodePage936.h"

namespace ui {
namespace {

int LastLine(const EditText& text) { return std::max(1, text.LineCount()); }

TextPoint Clamped(const EditText& text, TextPoint point) {
  point.line = std::clamp(point.line, 1, LastLine(text));
  point.column = std::clamp(point.column, 0, text.LineLength(point.line));
  return point;
}

// Whether each character of a line (by column) is a digit or a letter a to z
// of either case; a double-byte character never is.
std::vector<bool> WordCharacters(std::string_view line) {
  std::vector<bool> word;
  for (std::size_t at = 0; at < line.size(); at += CharacterBytesAt(line, at)) {
    const unsigned char byte = static_cast<unsigned char>(line[at]);
    const unsigned char lower = static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte);
    word.push_back((lower >= '0' && lower <= '9') || (lower >= 'a' && lower <= 'z'));
  }
  return word;
}

// The text as the storage keeps it: an LF that does not end a CR LF pair
// is dropped.
std::string WithoutLoneLineFeeds(std::string_view text) {
  std::string kept;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) kept.push_back(text[i]);
  }
  return kept;
}

}  // namespace

TextPoint MoveLeft(const EditText& text, TextPoint caret, bool multiLine) {
  caret = Clamped(text, caret);
  if (caret.column > 0) return {caret.line, caret.column - 1};
  if (multiLine && caret.line > 1) return {caret.line - 1, text.LineLength(caret.line - 1)};
  return caret;
}

TextPoint MoveRight(const EditText& text, TextPoint caret) {
  caret = Clamped(text, caret);
  if (caret.column < text.LineLength(caret.line)) return {caret.line, caret.column + 1};
  if (caret.line < LastLine(text)) return {caret.line + 1, 0};
  return caret;
}

TextPoint MoveUp(const EditText& text, TextPoint caret) {
  const int line = std::max(1, caret.line - 1);
  return {line, std::clamp(caret.column, 0, text.LineLength(line))};
}

TextPoint MoveDown(const EditText& text, TextPoint caret) {
  const int line = std::min(LastLine(text), caret.line + 1);
  return {line, std::clamp(caret.column, 0, text.LineLength(line))};
}

ColumnSpan WordAt(const EditText& text, int line, int anchorColumn, int caretColumn) {
  const std::vector<bool> word = WordCharacters(text.LineText(line));
  const int length = static_cast<int>(word.size());
  int anchor = std::clamp(anchorColumn, 0, length);
  int caret = std::clamp(caretColumn, 0, length);
  while (anchor > 0 && word[anchor - 1]) --anchor;
  while (caret < length && word[caret]) ++caret;
  // Not on a word: the one character under the click, if the line has one.
  if (anchor == caret) caret = std::min(caret + 1, length);
  return {anchor, caret};
}

TextPoint CaretAfterInsert(const EditText& textAfter, TextPoint caret, std::string_view inserted, bool multiLine) {
  std::string kept = WithoutLoneLineFeeds(inserted);
  const std::size_t firstBreak = kept.find("\r\n");
  if (!multiLine) {
    if (firstBreak != std::string::npos) kept.resize(firstBreak);
    caret.line = 1;
  }
  const std::size_t lastBreak = kept.rfind("\r\n");
  if (!multiLine || lastBreak == std::string::npos) {
    caret.column += EditText::CharacterCount(kept);
    return Clamped(textAfter, caret);
  }
  int breaks = 0;
  for (std::size_t at = kept.find("\r\n"); at != std::string::npos; at = kept.find("\r\n", at + 2)) ++breaks;
  caret.line += breaks;
  caret.column = EditText::CharacterCount(std::string_view(kept).substr(lastBreak + 2));
  return Clamped(textAfter, caret);
}

}  // namespace ui

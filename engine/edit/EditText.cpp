#include "EditText.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "TextMeasurer.h"
#include "engine/core/CodePage936.h"

namespace ui {
namespace {

// The line height and reference width are those of this character (U+6CC6),
// tall and wide enough to stand for any character of the font.
constexpr std::string_view kReferenceCharacter = "\x9B\x75";

constexpr int kPasswordMode = 2;

// The bytes taken by the first `columns` characters of the text. A lead byte
// at the very end has no trail byte to take with it.
int CharacterBytes(std::string_view text, int columns) {
  std::size_t at = 0;
  for (int column = 0; column < columns && at < text.size(); ++column) at += CharacterBytesAt(text, at);
  return static_cast<int>(at);
}

// Measurements come from outside: one that is not a number or that lies
// beyond the integers must not make the conversion undefined.
int ToPixels(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0f) return INT_MAX;
  if (value <= -2147483648.0f) return INT_MIN;
  return static_cast<int>(value);
}

// The sum of measured heights stops at the ends of the integers rather
// than overflowing.
int AddPixels(int a, int b) {
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(a) + b, INT_MIN, INT_MAX));
}

}  // namespace

void EditText::SetText(std::string_view text, int multiLine, int mode, std::string_view password) {
  // Copied first: the caller may pass views of this object's own bytes.
  std::string newPassword(password);
  Store(text, multiLine);
  inputMode = mode;
  passwordBytes = std::move(newPassword);
}

void EditText::Store(std::string_view text, int multiLine) {
  if ((multiLine & 1) == 0) text = text.substr(0, text.find("\r\n"));
  std::string kept;
  kept.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) kept.push_back(text[i]);
  bytes = std::move(kept);
  length = static_cast<int>(bytes.size());
  lines.assign(1, LineEntry{1, {}});
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == '\r' && bytes[i + 1] == '\n') lines.push_back(LineEntry{static_cast<int>(i) + 3, {}});
  lineCount = static_cast<int>(lines.size());
}

void EditText::Layout(const TextMeasurer& measurer, const RectF& area, int scrollBars) {
  RectF layout{};
  if ((scrollBars & 1) != 0) layout = {area.left, area.top, 0, 0};
  else if (scrollBars == 2) layout = {area.left, area.top, area.width, 0};
  totalHeight = 0;
  maxWidth = 0;
  const RectF reference = measurer.Measure(kReferenceCharacter, layout).value_or(RectF{});
  lineHeight = ToPixels(reference.height);
  referenceWidth = ToPixels(reference.width);
  if (length == 0) return;

  // Without wrapping every line is one row; only a box with just a vertical
  // bar wraps, and its lines keep their measured, multi-row height.
  const bool oneRowPerLine = (scrollBars & 1) != 0 || scrollBars == 0;
  for (int line = 1; line <= lineCount; ++line) {
    // A blank line is drawn as one space and measured so: measured empty it
    // would have no height, and a wrapping box would draw the next line
    // over it.
    std::string display = LineText(line, std::nullopt, true);
    if (display.empty()) display.push_back(' ');
    RectF box = measurer.Measure(display, layout).value_or(RectF{reference.left, reference.top, 2, reference.height});
    if (oneRowPerLine) box.height = static_cast<float>(lineHeight);
    lines[line - 1].extent = {0, static_cast<float>(totalHeight), box.width, box.height};
    maxWidth = std::max(maxWidth, ToPixels(box.width));
    totalHeight = AddPixels(totalHeight, ToPixels(box.height));
  }
}

std::string EditText::LineText(int line, std::optional<int> byteCount, bool forDisplay) const {
  const std::string_view raw = RawLine(line);
  // A count beyond the line stops at its end: the next line is not this one.
  const std::size_t count = byteCount ? static_cast<std::size_t>(std::max(*byteCount, 0)) : raw.size();
  std::string text(raw.substr(0, count));
  if (!forDisplay) return text;
  if (inputMode == kPasswordMode) {
    std::string masked;
    for (int i = CharacterCount(text); i > 0; --i) masked += passwordBytes;
    return masked;
  }
  if (spacesAsTabs) std::replace(text.begin(), text.end(), ' ', '\t');
  return text;
}

std::string EditText::Substring(int a, int b) const {
  const int lo = ClampPosition(std::min(a, b));
  const int hi = ClampPosition(std::max(a, b));
  return bytes.substr(lo - 1, hi - lo);
}

void EditText::DeleteRange(int a, int b, int multiLine) {
  const int lo = ClampPosition(std::min(a, b));
  const int hi = ClampPosition(std::max(a, b));
  Store(bytes.substr(0, lo - 1) + bytes.substr(hi - 1), multiLine);
}

void EditText::InsertAt(int position, std::string_view text, int multiLine) {
  const int at = ClampPosition(position);
  std::string joined = bytes.substr(0, at - 1);
  joined += text;
  joined += std::string_view(bytes).substr(at - 1);
  Store(joined, multiLine);
}

RectF EditText::LineExtent(int line) const { return IsValidLine(line) ? lines[line - 1].extent : RectF{}; }

int EditText::LineStart(int line) const { return IsValidLine(line) ? lines[line - 1].start : 0; }

int EditText::PositionOf(int line, int column) const {
  if (!IsValidLine(line)) return 0;
  return lines[line - 1].start + CharacterBytes(RawLine(line), column);
}

int EditText::LineLength(int line) const { return CharacterCount(RawLine(line)); }

int EditText::CharacterCount(std::string_view text) {
  int count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) at += CharacterBytesAt(text, at);
  return count;
}

std::string_view EditText::RawLine(int line) const {
  if (!IsValidLine(line)) return {};
  const int start = lines[line - 1].start;
  const int end = line == lineCount ? length + 1 : lines[line].start - 2;
  return std::string_view(bytes).substr(start - 1, end - start);
}

int EditText::ClampPosition(int position) const { return std::clamp(position, 1, length + 1); }

}  // namespace ui

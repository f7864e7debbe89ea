#include "InputFilter.h"

#include "engine/core/CodePage936.h"

namespace ui {
namespace {

constexpr int kIntegerMode = 3;
constexpr int kDecimalMode = 4;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kEuroSign = 0x80;  // the one single byte above ASCII that is a character

bool IsPrintable(std::string_view character) {
  if (character.size() == 2) return IsLeadByte(character[0]) && IsTrailByte(character[1]);
  if (character.size() != 1) return false;
  const auto byte = static_cast<unsigned char>(character[0]);
  return (byte >= kFirstPrintable && byte < kDelete) || byte == kEuroSign;
}

}  // namespace

bool AcceptsCharacter(int inputMode, std::string_view character, std::string_view currentText) {
  if (!IsPrintable(character)) return false;
  if (inputMode != kIntegerMode && inputMode != kDecimalMode) return true;
  if (character.size() != 1) return false;
  const char code = character[0];
  if (inputMode == kIntegerMode) return (code >= '0' && code <= '9') || code == '-';
  if (code < '-' || code > '9') return false;
  return code != '.' || currentText.find('.') == std::string_view::npos;
}

std::string PastedText(int inputMode, bool multiLine, std::string_view pasted, std::string_view textAround) {
  std::string kept;
  // What a full stop is checked against: the text around and what the
  // paste has kept so far.
  std::string seen(textAround);
  for (std::size_t at = 0; at < pasted.size();) {
    if (pasted[at] == '\r' || pasted[at] == '\n') {
      if (!multiLine) break;
      at += pasted.compare(at, 2, "\r\n") == 0 ? 2 : 1;
      kept += "\r\n";
      continue;
    }
    std::string_view character = pasted.substr(at, CharacterBytesAt(pasted, at));
    // A lead byte without its trail byte is half a character: dropped, and
    // the byte after it read on its own.
    if (character.size() == 2 && !IsTrailByte(character[1])) character.remove_suffix(1);
    at += character.size();
    if (!AcceptsCharacter(inputMode, character, seen)) continue;
    kept += character;
    seen += character;
  }
  return kept;
}

}  // namespace ui

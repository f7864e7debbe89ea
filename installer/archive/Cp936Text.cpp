#include "Cp936Text.h"

#include <cstdint>

namespace setup {
namespace {

bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

// Lower-case letters of code page 936 whose upper-case form is in it too,
// as runs of consecutive double-byte codes: {first, last, first upper case}.
struct CaseRun {
  std::uint16_t first;
  std::uint16_t last;
  std::uint16_t upper;
};
constexpr CaseRun kCaseRuns[] = {
    {0xA2A1, 0xA2AA, 0xA2F1},  // small Roman numerals i to x
    {0xA3E1, 0xA3FA, 0xA3C1},  // full-width a to z
    {0xA6C1, 0xA6D8, 0xA6A1},  // Greek alpha to omega
    {0xA7D1, 0xA7F1, 0xA7A1},  // Cyrillic a to ya, yo included
};

}  // namespace

std::size_t Cp936CharLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead <= 0x80) return 1;
  if (!IsLeadByte(lead) || at + 1 >= text.size()) return 0;
  return IsTrailByte(static_cast<unsigned char>(text[at + 1])) ? 2 : 0;
}

bool IsValidCp936(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Cp936CharLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string Cp936FoldCase(std::string_view text) {
  std::string folded(text);
  for (std::size_t at = 0; at < folded.size();) {
    const std::size_t length = Cp936CharLength(folded, at);
    if (length == 1) {
      const char c = folded[at];
      if (c >= 'a' && c <= 'z') folded[at] = static_cast<char>(c - 'a' + 'A');
    } else if (length == 2) {
      const auto code = static_cast<std::uint16_t>((static_cast<unsigned char>(folded[at]) << 8) |
                                                   static_cast<unsigned char>(folded[at + 1]));
      for (const CaseRun& run : kCaseRuns) {
        if (code < run.first || code > run.last) continue;
        const auto upper = static_cast<std::uint16_t>(run.upper + (code - run.first));
        folded[at] = static_cast<char>(upper >> 8);
        folded[at + 1] = static_cast<char>(upper & 0xFF);
        break;
      }
    }
    at += length == 0 ? 1 : length;
  }
  return folded;
}

}  // namespace setup

#pragma once

#include <cstddef>
#include <string_view>

namespace ui {

// Code page 936, the engine's text encoding, as Windows reads it: a lead
// byte 0x81 to 0xFE and the byte after it make one character; every other
// byte is a character of its own (0x80 is the euro sign, not a lead byte).
// Every walk over the engine's text asks this one test.
constexpr bool IsLeadByte(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0x81 && value <= 0xFE;
}

// Whether the byte may follow a lead byte: 0x40 to 0xFE without 0x7F.
constexpr bool IsTrailByte(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0x40 && value <= 0xFE && value != 0x7F;
}

// The bytes of the character that starts at `at`: 2 for a lead byte with a
// byte after it, else 1 (a lead byte at the very end stands alone).
constexpr std::size_t CharacterBytesAt(std::string_view text, std::size_t at) {
  return IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

}  // namespace ui

#include "Utf8.h"

#include <cstdint>

namespace record {

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = 0;
    char32_t point = 0;
    if (lead < 0x80) {
      points.push_back(lead);
      ++i;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      point = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (text.size() - i < length) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      point = (point << 6) | (next & 0x3F);
    }
    const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return std::nullopt;
    points.push_back(point);
    i += length;
  }
  return points;
}

}  // namespace record

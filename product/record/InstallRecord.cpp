#include "InstallRecord.h"

#include <cstdint>

namespace record {
namespace {

// Strict UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = 0;
    std::uint32_t point = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      point = lead & 0x07;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    const std::uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string FormatInstallRecord(const std::vector<std::string>& paths) {
  std::string text(kInstallRecordHead);
  text += "\r\n";
  for (const std::string& path : paths) text += path + "\r\n";
  return text;
}

std::optional<std::vector<std::string>> ParseInstallRecord(std::string_view bytes) {
  if (!IsUtf8(bytes)) return std::nullopt;
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    // A last line without its line end still counts.
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  if (lines.empty() || lines.front() != kInstallRecordHead) return std::nullopt;
  lines.erase(lines.begin());
  return lines;
}

}  // namespace record

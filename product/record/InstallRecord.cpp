#include "InstallRecord.h"

#include "Utf8.h"

namespace record {

std::string FormatInstallRecord(const std::vector<std::string>& paths) {
  std::string text(kInstallRecordHead);
  text += "\r\n";
  for (const std::string& path : paths) text += path + "\r\n";
  return text;
}

std::optional<std::vector<std::string>> ParseInstallRecord(std::string_view bytes) {
  if (!DecodeUtf8(bytes)) return std::nullopt;
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

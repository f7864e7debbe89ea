#include "InstallRecordWriter.h"

#include <algorithm>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "product/record/InstallRecord.h"

namespace setup {
InstallRecordWriter::InstallRecordWriter(std::string folder) : folder_(std::move(folder)) {}

void InstallRecordWriter::Add(const std::string& path, bool isFolder) {
  if (!path.starts_with(folder_) || path.size() == folder_.size()) return;
  // Levels are split in UTF-16: in code page 936 a backslash byte may be the
  // second half of a character (運 is 0xDF 0x5C).
  std::wstring relative = ui::AnsiToWide(std::string_view(path).substr(folder_.size()));
  std::replace(relative.begin(), relative.end(), L'\\', L'/');
  while (!relative.empty() && relative.back() == L'/') relative.pop_back();
  if (isFolder) relative += L'/';
  paths_.push_back(ui::WideToAnsi(relative, CP_UTF8));
}

std::string InstallRecordWriter::Text() const { return record::FormatInstallRecord(paths_); }

}  // namespace setup

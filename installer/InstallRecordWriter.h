#pragma once

#include <string>
#include <vector>

namespace setup {

// Collects what an installation writes into the product folder and leaves
// it there as the installation's record, which the uninstaller removes
// exactly. Paths come in code page 936 as full paths inside the folder.
class InstallRecordWriter {
 public:
  // `folder` ends in a backslash.
  explicit InstallRecordWriter(std::string folder);

  void Add(const std::string& path, bool isFolder);
  bool Empty() const { return paths_.empty(); }

  // The record's text, to be written as record::kInstallRecordName in the
  // folder.
  std::string Text() const;

 private:
  std::string folder_;
  std::vector<std::string> paths_;  // UTF-8, relative, "/" between levels
};

}  // namespace setup

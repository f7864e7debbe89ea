#pragma once

#include <string>
#include <vector>

#include "engine/core/Win32.h"

namespace setup {

// What an installation changed in its target folder, in order, so that an
// installation that fails or is closed leaves the folder exactly as it was:
// the folders and files it made are removed again, and a file it replaced
// comes back. A replaced file is kept aside, renamed into a hidden folder
// of the target, until the installation has succeeded. Paths are full
// UTF-16 paths.
class InstallJournal {
 public:
  // `target` ends with a backslash.
  explicit InstallJournal(std::wstring target);
  InstallJournal(const InstallJournal&) = delete;
  InstallJournal& operator=(const InstallJournal&) = delete;

  void CreatedFolder(const std::wstring& path);
  void CreatedFile(const std::wstring& path);
  // Renames the file behind the handle (opened with DELETE access) aside,
  // to be put back by RollBack or deleted by Commit. False when it could
  // not be moved: it is still where it was.
  bool MoveAside(HANDLE file, const std::wstring& path);

  // Undoes every step, the last first; one line per step, for the log.
  std::vector<std::string> RollBack();
  // Keeps everything made, and deletes the files kept aside.
  void Commit();

 private:
  enum class Kind { kFolder, kFile, kReplaced };
  struct Step {
    Kind kind;
    std::wstring path;
    std::wstring aside;  // kReplaced: where the old file waits
  };
  bool MakeAsideFolder();

  std::wstring target_;
  std::wstring asideFolder_;
  int asideCount_ = 0;
  std::vector<Step> steps_;
};

// Deletes the item at the path by handle, the item itself when it is a
// link; a folder only when empty. True when it is gone.
bool DeleteItem(const std::wstring& path);

}  // namespace setup

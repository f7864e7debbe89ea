#pragma once

#include <map>
#include <string>

#include "InstallJournal.h"
#include "engine/core/Win32.h"

namespace setup {

// What a step of writing into the target came to.
struct WriteResult {
  enum Kind { kOk, kLink, kFailed } kind = kOk;
  std::wstring path;  // the item it came to: a link found, or what failed
  DWORD error = 0;
  bool Ok() const { return kind == kOk; }
};

// Makes folders and files inside the installation's target so that nothing
// already there is followed or written through: every folder level is
// opened as itself and checked to be a real folder (no link, junction or
// mount point) whose path, with every link followed, is its parent's and
// its own name; the handle stays open, without letting anyone rename or
// delete the folder, until the writer is done. Files are made new
// (CREATE_NEW never follows a link); a plain file where one goes is moved
// aside first, a link or a second name of another file (a hard link)
// stops the installation. Everything made is written to the journal.
class TargetWriter {
 public:
  explicit TargetWriter(InstallJournal& journal);
  ~TargetWriter();
  TargetWriter(const TargetWriter&) = delete;
  TargetWriter& operator=(const TargetWriter&) = delete;

  // The target folder (full, ending with a backslash): made with every
  // missing level (with the installation's security), or opened as it is.
  WriteResult OpenTarget(const std::wstring& target);
  // A folder under the target (relative, "\" between levels, with or
  // without a trailing one), with every missing level.
  WriteResult MakeFolder(const std::wstring& relative);
  // A new file under the target, its folder made first; `file` is open for
  // writing, the caller closes it.
  WriteResult MakeFile(const std::wstring& relative, HANDLE* file);
  // Closes the folders held open (before the journal rolls back or commits).
  void ReleaseFolders();

 private:
  struct Folder {
    HANDLE handle;
    std::wstring finalPath;  // with every link followed, no "\\?\"
  };
  WriteResult OpenLevel(const std::wstring& path, const std::wstring& expectedFinal, Folder* folder);
  const Folder* FolderOf(const std::wstring& relative, WriteResult* result);

  InstallJournal& journal_;
  std::wstring target_;
  std::map<std::wstring, Folder> folders_;  // by relative path in upper case ("" is the target)
};

}  // namespace setup

#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "InstallJournal.h"
#include "engine/core/Win32.h"

namespace setup {

// What a step of writing into the target came to.
struct WriteResult {
  enum Kind {
    kOk,
    kLink,      // a link, junction or mount point stands at `path`
    kNotOwned,  // the target was there, holds something, and others may change it
    kFailed,
  } kind = kOk;
  std::wstring path;  // the item it came to: a link found, or what failed
  DWORD error = 0;
  std::wstring detail;  // kNotOwned: who else may change the folder, or why it could not be taken over
  bool Ok() const { return kind == kOk; }
};

// Makes folders and files inside the installation's target so that nothing
// already there is followed or written through, and nothing it writes can
// be changed by anyone but the machine's administrators.
//
// The target: one that is missing is made (every missing level, with the
// installation's protected security); one that is there and empty is taken
// over (owner Administrators, the protected security); one that is there
// and holds something is used only when no one but the administrators may
// change it, or when it is the folder of an earlier installation of Nimbo,
// which is then taken over too. Every folder level is opened as itself and
// checked to be a real folder (no link, junction or mount point) whose path,
// with every link followed, is its parent's and its own name; the handle
// stays open, without letting anyone rename or delete the folder, until the
// writer has rolled back or committed. Every folder and file it makes gets
// the protected security explicitly. Files are made new (CREATE_NEW never
// follows a link); a plain file where one goes is moved aside first, a link
// or a second name of another file (a hard link) stops the installation.
// Everything made is written to the journal.
class TargetWriter {
 public:
  TargetWriter(const std::wstring& target);
  ~TargetWriter();
  TargetWriter(const TargetWriter&) = delete;
  TargetWriter& operator=(const TargetWriter&) = delete;

  // The target folder (full, ending with a backslash). `earlierInstallation`
  // is asked only of a target that holds something others may change:
  // whether it is the folder of an earlier installation of Nimbo.
  WriteResult OpenTarget(const std::function<bool()>& earlierInstallation);
  // What became of a target that was there: empty and taken over, or the
  // earlier installation's taken over (for the log); empty otherwise.
  const std::wstring& TakeOver() const { return takeOver_; }
  // The journal, on disk in the target's hidden folder from here on: called
  // once the target is open, before anything is written into it.
  WriteResult BeginJournal();
  // A folder under the target (relative, "\" between levels, with or
  // without a trailing one), with every missing level.
  WriteResult MakeFolder(const std::wstring& relative);
  // A new file under the target, its folder made first; `file` is open for
  // writing, the caller closes it.
  WriteResult MakeFile(const std::wstring& relative, HANDLE* file);

  // Undoes everything made, the last first, while the folders are still
  // held, then lets the folders go.
  RollbackReport RollBack();
  // The registration's entries in the journal: the key as it was, before it
  // is written, and that it was.
  bool WillRegister(const product::RegistrySnapshot& before);
  bool Committed();
  // Keeps everything made, deletes the files moved aside, then lets the
  // folders go; a line for the log for each file left to the next restart.
  std::vector<std::string> Commit();

 private:
  struct Folder {
    HANDLE handle;
    std::wstring finalPath;  // with every link followed, no "\\?\"
  };
  WriteResult OpenLevel(const std::wstring& path, const std::wstring& expectedFinal, Folder* folder);
  WriteResult SecureExisting(const Folder& folder, const std::wstring& path, bool isTarget,
                             const std::function<bool()>& earlierInstallation);
  const Folder* FolderOf(const std::wstring& relative, WriteResult* result);
  void Release(const std::wstring& path);
  void ReleaseFolders();

  std::wstring target_;
  InstallJournal journal_;
  std::wstring takeOver_;
  std::map<std::wstring, Folder> folders_;              // by relative path in upper case ("" is the target)
  std::vector<std::pair<std::wstring, Folder>> above_;  // levels above the target this writer made
};

}  // namespace setup

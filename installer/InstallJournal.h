#pragma once

#include <string>
#include <vector>

#include "engine/core/Win32.h"
#include "product/journal/JournalWriter.h"
#include "product/journal/RegistrySnapshot.h"

namespace setup {

// What a rollback did: a line per step for the log, and every item it could
// not put back as it was (a new file still there, an old one still aside).
struct RollbackReport {
  std::vector<std::string> lines;
  std::vector<std::wstring> notRestored;
  bool Complete() const { return notRestored.empty(); }
};

// What an installation changed in its target folder, in order, so that an
// installation that fails or is closed leaves the folder exactly as it was:
// the folders and files it made are removed again, and a file it replaced
// comes back. A replaced file is kept aside, renamed into a hidden folder
// of the target, until the installation has succeeded. Paths are full
// UTF-16 paths.
//
// The journal is also written to disk, in the hidden folder, as the
// installation goes: each step's entry before the step is taken, so that
// the next run finds what a killed one did and takes it back (or, when it
// had committed, finishes its commit). The hidden folder and its journal go
// when the run ends by itself, whichever way.
//
// Nothing is undone or committed by a name alone: every step remembers where
// its item really was when it was made (its final path, every link
// followed), and right before it acts the item is opened as itself (a link
// as the link) and must still be that item, of its kind, and no link. The
// folders it lies in are held open by the writer until the journal is done
// with them, so no level above an item can be renamed or swapped for a
// link meanwhile.
class InstallJournal {
 public:
  // `target` ends with a backslash.
  explicit InstallJournal(std::wstring target);
  ~InstallJournal();
  InstallJournal(const InstallJournal&) = delete;
  InstallJournal& operator=(const InstallJournal&) = delete;

  // Makes the hidden folder in the target (made or opened and held by the
  // writer) and its journal, and writes the target and the folders made
  // for it so far. False when they cannot be made: nothing may be written.
  bool Begin();

  // Before a step: its entry goes to disk; false when it could not, and
  // the step must not be taken. `final`: where the item will be.
  bool WillCreateFolder(const std::wstring& path, const std::wstring& final);
  bool WillCreateFile(const std::wstring& path, const std::wstring& final);
  // The step announced last did not happen.
  void NotCreated();
  // After a step, or, for the levels of the target made before Begin, in
  // place of the entry before it.
  void CreatedFolder(const std::wstring& path, const std::wstring& final);
  void CreatedFile(const std::wstring& path, const std::wstring& final);
  // Renames the file behind the handle (opened with DELETE access) aside,
  // to be put back by RollBack or deleted by Commit. False when it could
  // not be moved: it is still where it was. `final` is where it was.
  bool MoveAside(HANDLE file, const std::wstring& path, const std::wstring& final);
  // The Uninstall key as it was, before the registration writes it.
  bool WillRegister(const product::RegistrySnapshot& before);
  // The registration is done: from here on the next run keeps everything.
  bool Committed();

  // Called before a folder the journal made is removed or committed: the
  // writer closes its hold on it.
  using ReleaseFolder = void (*)(void* context, const std::wstring& path);

  // Undoes every step, the last first.
  RollbackReport RollBack(ReleaseFolder release, void* context);
  // Keeps everything made, and deletes the files kept aside. A file that
  // cannot be deleted now (a program still running from it) is deleted at
  // the next restart, and its hidden folder after it; one log line for each.
  std::vector<std::string> Commit();

 private:
  enum class Kind { kFolder, kFile, kReplaced };
  struct Step {
    Kind kind;
    std::wstring path;
    std::wstring final;  // where the item was when it was made or moved
    std::wstring aside;  // kReplaced: where the old file waits
    std::wstring asideFinal;
  };
  bool Write(product::JournalKind kind, const std::vector<std::wstring>& fields);
  void EndHiddenFolder(bool filesRemain);

  std::wstring target_;
  std::wstring hiddenFolder_;
  std::wstring hiddenFolderFinal_;
  HANDLE hiddenHandle_ = INVALID_HANDLE_VALUE;  // held while the installation runs
  product::JournalWriter disk_;
  int asideCount_ = 0;
  std::vector<Step> steps_;
};

}  // namespace setup

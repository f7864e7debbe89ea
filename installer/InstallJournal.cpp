#include "InstallJournal.h"

#include "engine/core/FileIdentity.h"
#include "engine/core/SecurityAttributes.h"
#include "engine/core/TextConversion.h"
#include "engine/core/UnguessableName.h"

namespace setup {
namespace {

using product::JournalKind;
using ui::DeleteVerifiedItem;
using ui::WithoutTrailingSeparators;

std::string Narrow(const std::wstring& path) { return ui::WideToAnsi(path); }

constexpr bool kFolder = true;
constexpr bool kFile = false;

}  // namespace

InstallJournal::InstallJournal(std::wstring target) : target_(std::move(target)) {}

InstallJournal::~InstallJournal() {
  if (hiddenHandle_ != INVALID_HANDLE_VALUE) CloseHandle(hiddenHandle_);
}

bool InstallJournal::Write(JournalKind kind, const std::vector<std::wstring>& fields) {
  product::JournalEntry entry{kind, {}};
  for (const std::wstring& field : fields) entry.fields.push_back(ui::WideToAnsi(field, CP_UTF8));
  return disk_.Append(entry);
}

bool InstallJournal::Begin() {
  const std::wstring folder = target_ + ui::UnguessableName(L".nimbo-replaced-");
  ui::SecurityAttributes installation(ui::kInstallationFolderSddl);
  if (folder.size() == target_.size() || !CreateDirectoryW(folder.c_str(), installation.get())) return false;
  // Held like the target's folders while the installation runs.
  hiddenHandle_ = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (hiddenHandle_ == INVALID_HANDLE_VALUE || ui::IsLink(hiddenHandle_, folder)) {
    if (hiddenHandle_ != INVALID_HANDLE_VALUE) CloseHandle(hiddenHandle_);
    hiddenHandle_ = INVALID_HANDLE_VALUE;
    RemoveDirectoryW(folder.c_str());
    return false;
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
  hiddenFolder_ = folder;
  hiddenFolderFinal_ = WithoutTrailingSeparators(ui::FinalPath(hiddenHandle_));
  bool written = disk_.Create(folder + L'\\' + product::kJournalFileName) &&
                 Write(JournalKind::kTarget, {WithoutTrailingSeparators(target_)});
  // The levels made for the target came before there was a place for the
  // journal.
  for (const Step& step : steps_) written = written && Write(JournalKind::kCreatedFolder, {step.path, step.final});
  if (!written) {
    disk_.Discard();
    EndHiddenFolder(false);
  }
  return written;
}

bool InstallJournal::WillCreateFolder(const std::wstring& path, const std::wstring& final) {
  return Write(JournalKind::kCreatedFolder, {WithoutTrailingSeparators(path), final});
}

bool InstallJournal::WillCreateFile(const std::wstring& path, const std::wstring& final) {
  return Write(JournalKind::kCreatedFile, {path, final});
}

void InstallJournal::NotCreated() { Write(JournalKind::kNotMade, {}); }

void InstallJournal::CreatedFolder(const std::wstring& path, const std::wstring& final) {
  steps_.push_back({Kind::kFolder, WithoutTrailingSeparators(path), final, {}, {}});
}

void InstallJournal::CreatedFile(const std::wstring& path, const std::wstring& final) {
  steps_.push_back({Kind::kFile, path, final, {}, {}});
}

bool InstallJournal::MoveAside(HANDLE file, const std::wstring& path, const std::wstring& final) {
  if (hiddenHandle_ == INVALID_HANDLE_VALUE) return false;
  const std::wstring name = std::to_wstring(++asideCount_);
  const std::wstring aside = hiddenFolder_ + L'\\' + name;
  const std::wstring asideFinal = hiddenFolderFinal_ + L'\\' + name;
  if (!Write(JournalKind::kReplaced, {path, final, aside, asideFinal})) return false;
  if (!ui::RenameOpenItem(file, aside, false)) {
    const DWORD error = GetLastError();
    NotCreated();
    SetLastError(error);
    return false;
  }
  steps_.push_back({Kind::kReplaced, path, final, aside, asideFinal});
  return true;
}

bool InstallJournal::WillRegister(const product::RegistrySnapshot& before) {
  product::JournalEntry entry{JournalKind::kRegistry, before.Fields()};
  return disk_.Append(entry);
}

bool InstallJournal::Committed() { return Write(JournalKind::kCommitted, {}); }

void InstallJournal::EndHiddenFolder(bool filesRemain) {
  if (hiddenHandle_ == INVALID_HANDLE_VALUE) return;
  CloseHandle(hiddenHandle_);
  hiddenHandle_ = INVALID_HANDLE_VALUE;
  if (!DeleteVerifiedItem(hiddenFolder_, hiddenFolderFinal_, kFolder) && filesRemain) {
    // Scheduled after its files, so it is empty when its turn comes.
    MoveFileExW(hiddenFolder_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
  hiddenFolder_.clear();
}

RollbackReport InstallJournal::RollBack(ReleaseFolder release, void* context) {
  RollbackReport report;
  std::vector<std::string>& lines = report.lines;
  // Files first, the last first, then the hidden folder, then the folders
  // made, deepest first: the target, when this run made it, holds the
  // hidden folder until the end.
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
    switch (step->kind) {
      case Kind::kFile: {
        const bool removed = DeleteVerifiedItem(step->path, step->final, kFile);
        lines.push_back((removed ? "rolled back: removed file " : "rollback: could not remove file ") +
                        Narrow(step->path));
        if (!removed) report.notRestored.push_back(step->path);
        break;
      }
      case Kind::kFolder:
        break;
      case Kind::kReplaced: {
        // The old file comes back to its name, as itself, when it is still
        // the file that was moved aside.
        HANDLE old = ui::OpenItemItself(step->aside);
        const bool back = old != INVALID_HANDLE_VALUE &&
                          ui::IsExpectedItem(old, step->aside, step->asideFinal, kFile) &&
                          ui::RenameOpenItem(old, step->path, false);
        if (old != INVALID_HANDLE_VALUE) CloseHandle(old);
        lines.push_back((back ? "rolled back: put back " : "rollback: could not put back ") + Narrow(step->path) +
                        (back ? "" : ", the earlier file waits in " + Narrow(step->aside)));
        // The new file that could not be removed from its place is named once.
        if (!back && (report.notRestored.empty() || report.notRestored.back() != step->path)) {
          report.notRestored.push_back(step->path);
        }
        break;
      }
    }
  }
  // Everything this run did is undone, or said not to be: the journal has
  // served. A file that could not be put back stays in the hidden folder,
  // which then stays too: it is the only copy of the user's earlier file.
  disk_.Discard();
  EndHiddenFolder(false);
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
    if (step->kind != Kind::kFolder) continue;
    release(context, step->path);
    lines.push_back((DeleteVerifiedItem(step->path, step->final, kFolder) ? "rolled back: removed folder "
                                                                          : "rollback: kept folder (not empty) ") +
                    Narrow(step->path));
  }
  steps_.clear();
  return report;
}

std::vector<std::string> InstallJournal::Commit() {
  std::vector<std::string> lines;
  bool allGone = true;
  for (const Step& step : steps_) {
    if (step.kind != Kind::kReplaced || DeleteVerifiedItem(step.aside, step.asideFinal, kFile)) continue;
    // Still open somewhere (Windows lets a running program be renamed, not
    // deleted): the system deletes it when it restarts.
    allGone = false;
    const bool scheduled = MoveFileExW(step.aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    lines.push_back("commit: the replaced " + Narrow(step.path) + " is still in use as " + Narrow(step.aside) +
                    (scheduled
                         ? "; it is deleted at the next restart"
                         : "; it could not be scheduled for deletion (error " + std::to_string(GetLastError()) + ")"));
  }
  disk_.Discard();
  EndHiddenFolder(!allGone);
  steps_.clear();
  return lines;
}

}  // namespace setup

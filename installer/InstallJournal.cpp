#include "InstallJournal.h"

#include "engine/core/FileIdentity.h"
#include "engine/core/SecurityAttributes.h"
#include "engine/core/TextConversion.h"
#include "engine/core/UnguessableName.h"

namespace setup {
namespace {

using ui::SameName;
using ui::WithoutTrailingSeparators;

std::string Narrow(const std::wstring& path) { return ui::WideToAnsi(path); }

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The item itself (a link as the link), for deleting or renaming.
HANDLE OpenItem(const std::wstring& path) {
  return CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Whether the open item is still the one made: of its kind, no link, and
// where it was.
bool IsExpected(HANDLE item, const std::wstring& path, const std::wstring& expectedFinal, ItemKind kind) {
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic)) return false;
  const bool folder = (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (folder != (kind == ItemKind::kFolder) || ui::IsLink(item, path)) return false;
  return SameName(WithoutTrailingSeparators(ui::FinalPath(item)), expectedFinal);
}

bool DeleteOpenItem(HANDLE item) {
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic) &&
      (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileInformationByHandle(item, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  return SetFileInformationByHandle(item, FileDispositionInfo, &dispose, sizeof dispose);
}

}  // namespace

bool DeleteVerifiedItem(const std::wstring& path, const std::wstring& expectedFinal, ItemKind kind) {
  HANDLE item = OpenItem(path);
  if (item == INVALID_HANDLE_VALUE) return IsMissing(GetLastError());
  const bool deleted = IsExpected(item, path, expectedFinal, kind) && DeleteOpenItem(item);
  CloseHandle(item);
  return deleted;
}

InstallJournal::InstallJournal(std::wstring target) : target_(std::move(target)) {}

void InstallJournal::CreatedFolder(const std::wstring& path, const std::wstring& final) {
  steps_.push_back({Kind::kFolder, WithoutTrailingSeparators(path), final, {}, {}});
}

void InstallJournal::CreatedFile(const std::wstring& path, const std::wstring& final) {
  steps_.push_back({Kind::kFile, path, final, {}, {}});
}

bool InstallJournal::MakeAsideFolder() {
  if (asideHandle_ != INVALID_HANDLE_VALUE) return true;
  const std::wstring folder = target_ + ui::UnguessableName(L".nimbo-replaced-");
  ui::SecurityAttributes installation(ui::kInstallationFolderSddl);
  if (folder.size() == target_.size() || !CreateDirectoryW(folder.c_str(), installation.get())) return false;
  // Held like the target's folders while the replaced files wait in it.
  asideHandle_ = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (asideHandle_ == INVALID_HANDLE_VALUE || ui::IsLink(asideHandle_, folder)) {
    CloseAsideFolder();
    RemoveDirectoryW(folder.c_str());
    return false;
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
  asideFolder_ = folder;
  asideFolderFinal_ = WithoutTrailingSeparators(ui::FinalPath(asideHandle_));
  return true;
}

void InstallJournal::CloseAsideFolder() {
  if (asideHandle_ != INVALID_HANDLE_VALUE) CloseHandle(asideHandle_);
  asideHandle_ = INVALID_HANDLE_VALUE;
}

bool InstallJournal::MoveAside(HANDLE file, const std::wstring& path, const std::wstring& final) {
  if (!MakeAsideFolder()) return false;
  const std::wstring name = std::to_wstring(++asideCount_);
  if (!ui::RenameOpenItem(file, asideFolder_ + L'\\' + name, false)) return false;
  steps_.push_back({Kind::kReplaced, path, final, asideFolder_ + L'\\' + name, asideFolderFinal_ + L'\\' + name});
  return true;
}

RollbackReport InstallJournal::RollBack(ReleaseFolder release, void* context) {
  RollbackReport report;
  std::vector<std::string>& lines = report.lines;
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
    switch (step->kind) {
      case Kind::kFile: {
        const bool removed = DeleteVerifiedItem(step->path, step->final, ItemKind::kFile);
        lines.push_back((removed ? "rolled back: removed file " : "rollback: could not remove file ") +
                        Narrow(step->path));
        if (!removed) report.notRestored.push_back(step->path);
        break;
      }
      case Kind::kFolder:
        release(context, step->path);
        lines.push_back((DeleteVerifiedItem(step->path, step->final, ItemKind::kFolder)
                             ? "rolled back: removed folder "
                             : "rollback: kept folder (not empty) ") +
                        Narrow(step->path));
        break;
      case Kind::kReplaced: {
        // The old file comes back to its name, as itself, when it is still
        // the file that was moved aside.
        HANDLE old = OpenItem(step->aside);
        const bool back = old != INVALID_HANDLE_VALUE && IsExpected(old, step->aside, step->asideFinal, ItemKind::kFile) &&
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
  steps_.clear();
  // A file that could not be put back stays in the hidden folder, which
  // then stays too: it is the only copy of the user's earlier file.
  if (asideHandle_ != INVALID_HANDLE_VALUE) {
    CloseAsideFolder();
    DeleteVerifiedItem(asideFolder_, asideFolderFinal_, ItemKind::kFolder);
  }
  asideFolder_.clear();
  return report;
}

std::vector<std::string> InstallJournal::Commit() {
  std::vector<std::string> lines;
  bool allGone = true;
  for (const Step& step : steps_) {
    if (step.kind != Kind::kReplaced || DeleteVerifiedItem(step.aside, step.asideFinal, ItemKind::kFile)) continue;
    // Still open somewhere (Windows lets a running program be renamed, not
    // deleted): the system deletes it when it restarts.
    allGone = false;
    const bool scheduled = MoveFileExW(step.aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    lines.push_back("commit: the replaced " + Narrow(step.path) + " is still in use as " + Narrow(step.aside) +
                    (scheduled ? "; it is deleted at the next restart"
                               : "; it could not be scheduled for deletion (error " + std::to_string(GetLastError()) + ")"));
  }
  if (asideHandle_ != INVALID_HANDLE_VALUE) {
    CloseAsideFolder();
    if (!DeleteVerifiedItem(asideFolder_, asideFolderFinal_, ItemKind::kFolder) && !allGone) {
      // Scheduled after its files, so it is empty when its turn comes.
      MoveFileExW(asideFolder_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
  }
  steps_.clear();
  asideFolder_.clear();
  return lines;
}

}  // namespace setup

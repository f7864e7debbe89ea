#include "JournalReplay.h"

#include <algorithm>

#include "JournalFile.h"
#include "JournalWriter.h"
#include "RegistrySnapshot.h"
#include "engine/core/FileIdentity.h"
#include "engine/core/TextConversion.h"

namespace product {
namespace {

constexpr wchar_t kHiddenFolderPattern[] = L".nimbo-replaced-*";
// A journal is a few hundred bytes a file; anything much larger is not one.
constexpr DWORD kLargestJournal = 64u << 20;

std::wstring Wide(const std::string& utf8) { return ui::AnsiToWide(utf8, CP_UTF8); }

// Opens the hidden folder or the journal as itself, checked to be of its
// kind, no link, where it is found, and trusted.
HANDLE OpenChecked(const std::wstring& path, bool folder, const std::function<bool(HANDLE)>& trusted, DWORD access) {
  HANDLE item = CreateFileW(path.c_str(), access | READ_CONTROL | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (item == INVALID_HANDLE_VALUE) return item;
  const std::wstring final = ui::WithoutTrailingSeparators(ui::FinalPath(item));
  if (!ui::IsExpectedItem(item, path, final, folder) || !ui::SameName(final, path) || (trusted && !trusted(item))) {
    CloseHandle(item);
    return INVALID_HANDLE_VALUE;
  }
  return item;
}

bool ReadAll(HANDLE file, std::string* bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart > kLargestJournal) return false;
  bytes->resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return bytes->empty() ||
         (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) && read == bytes->size());
}

class Replay {
 public:
  Replay(std::wstring folder, std::wstring key, ReplayPurpose purpose, ReplayReport* report)
      : folder_(std::move(folder)), key_(std::move(key)), purpose_(purpose), report_(*report) {}

  // Acts on one journal; true when the hidden folder may go.
  bool Run(const std::wstring& hidden, const std::string& bytes) {
    const JournalRead read = ReadJournal(bytes);
    const JournalRecovery recovery = DecideRecovery(read);
    if (recovery == JournalRecovery::kLeaveAlone) {
      Say(L"a journal that cannot be read stays in " + hidden);
      return false;
    }
    if (recovery == JournalRecovery::kForget) {
      Say(L"an installation was stopped before it wrote anything");
      return true;
    }
    target_ = read.entries.front().fields[0];
    if (!ui::SameName(Wide(target_), folder_)) {
      Say(L"a journal of another folder stays in " + hidden);
      return false;
    }
    std::vector<JournalEntry> steps = TakenSteps(read);
    if (recovery == JournalRecovery::kFinishCommit) {
      Say(L"an installation was stopped while it committed: its commit is finished");
      for (const JournalEntry& step : steps) {
        if (step.kind == JournalKind::kReplaced && Inside(step.fields[2])) DropAside(step);
      }
      return true;
    }
    Say(L"an installation was stopped before it committed: it is taken back");
    std::vector<JournalEntry> aboveTarget;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
      if (step->kind == JournalKind::kCreatedFolder && !Inside(step->fields[0])) {
        aboveTarget.push_back(*step);  // the target, or a level made for it: once the rest is gone
      } else {
        Undo(*step);
      }
    }
    aboveTarget_ = std::move(aboveTarget);
    return true;
  }

  // The target and the levels made for it, once the hidden folder is gone.
  void RemoveLevelsMadeForTarget() {
    for (const JournalEntry& level : aboveTarget_) {
      const std::wstring path = Wide(level.fields[0]);
      const std::string& text = level.fields[0];
      const bool targetOrAbove =
          text == target_ || (target_.size() > text.size() + 1 && target_.compare(0, text.size(), text) == 0 &&
                              target_[text.size()] == '\\');
      if (!targetOrAbove) continue;
      if (ui::DeleteVerifiedItem(path, Wide(level.fields[1]), true)) Say(L"taken back: removed folder " + path);
    }
    aboveTarget_.clear();
  }

 private:
  void Say(const std::wstring& line) { report_.lines.push_back(line); }
  bool Inside(const std::string& path) const { return InsideTarget(target_, path); }

  void Undo(const JournalEntry& step) {
    switch (step.kind) {
      case JournalKind::kCreatedFile:
      case JournalKind::kCreatedFolder: {
        if (!Inside(step.fields[0])) return;
        const bool folder = step.kind == JournalKind::kCreatedFolder;
        const std::wstring path = Wide(step.fields[0]);
        if (ui::DeleteVerifiedItem(path, Wide(step.fields[1]), folder)) {
          Say(std::wstring(L"taken back: removed ") + (folder ? L"folder " : L"file ") + path);
        } else if (folder) {
          Say(L"taken back: kept folder (not empty) " + path);
        } else {
          Say(L"could not remove file " + path);
          report_.notRestored.push_back(path);
        }
        return;
      }
      case JournalKind::kReplaced:
        PutBack(step);
        return;
      case JournalKind::kRegistry: {
        const std::optional<RegistrySnapshot> before = RegistrySnapshot::FromFields(key_, step.fields);
        if (before && before->Restore()) {
          Say(before->KeyExisted() ? L"taken back: the earlier Uninstall key got its values back"
                                   : L"taken back: the Uninstall key was removed");
        } else {
          Say(L"could not put back the Uninstall key");
          report_.notRestored.push_back(L"HKEY_LOCAL_MACHINE\\" + key_);
        }
        return;
      }
      default:
        return;
    }
  }

  // The earlier file comes back to its name when it is still the one moved
  // aside; one already back (the killed run's own rollback got that far)
  // is left.
  void PutBack(const JournalEntry& step) {
    if (!Inside(step.fields[0]) || !Inside(step.fields[2])) return;
    const std::wstring path = Wide(step.fields[0]);
    const std::wstring aside = Wide(step.fields[2]);
    HANDLE old = ui::OpenItemItself(aside);
    if (old == INVALID_HANDLE_VALUE) {
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Say(L"could not find the earlier " + path);
        report_.notRestored.push_back(path);
      }
      return;
    }
    const bool back =
        ui::IsExpectedItem(old, aside, Wide(step.fields[3]), false) && ui::RenameOpenItem(old, path, false);
    CloseHandle(old);
    if (back) {
      Say(L"taken back: put back " + path);
      return;
    }
    if (purpose_ == ReplayPurpose::kRemove) {
      // The removal that follows takes this file away anyway.
      DropAside(step);
      return;
    }
    Say(L"could not put back " + path + L"; the earlier file stays in " + aside);
    report_.notRestored.push_back(path);
  }

  void DropAside(const JournalEntry& step) {
    const std::wstring aside = Wide(step.fields[2]);
    if (ui::DeleteVerifiedItem(aside, Wide(step.fields[3]), false)) return;
    MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    Say(L"the replaced " + Wide(step.fields[0]) + L" is still in use; it is deleted at the next restart");
  }

  std::wstring folder_;
  std::wstring key_;
  ReplayPurpose purpose_;
  ReplayReport& report_;
  std::string target_;
  std::vector<JournalEntry> aboveTarget_;
};

}  // namespace

ReplayReport ReplayInterrupted(const std::wstring& productFolder, const std::wstring& uninstallKey,
                               ReplayPurpose purpose, const std::function<bool(HANDLE)>& trusted) {
  ReplayReport report;
  const std::wstring folder = ui::WithoutTrailingSeparators(productFolder);
  std::vector<std::wstring> hiddenFolders;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L'\\' + kHiddenFolderPattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return report;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      hiddenFolders.push_back(folder + L'\\' + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);

  for (const std::wstring& hidden : hiddenFolders) {
    HANDLE held = OpenChecked(hidden, true, trusted, FILE_LIST_DIRECTORY);
    if (held == INVALID_HANDLE_VALUE) {
      report.lines.push_back(L"a hidden folder that cannot be trusted is left alone: " + hidden);
      continue;
    }
    const std::wstring journalPath = hidden + L'\\' + kJournalFileName;
    HANDLE journal = OpenChecked(journalPath, false, trusted, GENERIC_READ | DELETE);
    std::string bytes;
    const bool readable = journal != INVALID_HANDLE_VALUE && ReadAll(journal, &bytes);
    if (!readable) {
      if (journal != INVALID_HANDLE_VALUE) CloseHandle(journal);
      CloseHandle(held);
      // No journal: files a commit could not delete, waiting for a restart.
      continue;
    }
    report.found = true;
    Replay replay(folder, uninstallKey, purpose, &report);
    const bool done = replay.Run(hidden, bytes);
    if (done) {
      FILE_DISPOSITION_INFO dispose{TRUE};
      SetFileInformationByHandle(journal, FileDispositionInfo, &dispose, sizeof dispose);
    }
    CloseHandle(journal);
    const std::wstring heldFinal = ui::WithoutTrailingSeparators(ui::FinalPath(held));
    CloseHandle(held);
    if (done) {
      // Empty unless an earlier file could not be put back.
      if (ui::DeleteVerifiedItem(hidden, heldFinal, true)) replay.RemoveLevelsMadeForTarget();
    }
  }
  return report;
}

}  // namespace product

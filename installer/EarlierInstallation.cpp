#include "EarlierInstallation.h"

#include "InstallLog.h"
#include "InstallerState.h"
#include "ProductRegistration.h"
#include "Registry.h"
#include "engine/core/FileIdentity.h"
#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "product/uninstaller/FolderRemoval.h"
#include "product/uninstaller/PayloadPlan.h"
#include "product/uninstaller/RecordedEntries.h"

namespace setup {
namespace {

std::string Narrow(const std::wstring& text) { return ui::WideToAnsi(text); }

// "X:\..." with something after the drive's backslash.
bool IsFullFolderPath(const std::wstring& path) {
  return path.size() > 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

}  // namespace

std::optional<std::wstring> EarlierInstallationFolder() {
  const std::optional<std::wstring> location =
      ReadRegistryText(kLocalMachine, std::string(kUninstallKey) + "\\InstallLocation");
  if (!location) return std::nullopt;
  const std::wstring folder = ui::WithoutTrailingSeparators(*location);
  if (!IsFullFolderPath(folder)) return std::nullopt;
  return folder + L'\\';
}

std::string OfferedFolder(const SetupOptions& options) {
  if (options.folder) return *options.folder;
  if (const std::optional<std::wstring> earlier = EarlierInstallationFolder()) return Narrow(*earlier);
  return kDefaultInstallDir;
}

bool HoldsInstallationRecord(const std::wstring& folder) {
  const DWORD record = GetFileAttributesW(uninstall::RecordPath(ui::WithoutTrailingSeparators(folder)).c_str());
  return record != INVALID_FILE_ATTRIBUTES && (record & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void RemoveEarlierInstallation(const std::wstring& earlier) {
  const std::wstring folder = ui::WithoutTrailingSeparators(earlier);
  const std::string shown = Narrow(folder) + "\\";
  if (uninstall::ClassifyFolder(folder) != uninstall::FolderVerdict::kUsable ||
      !uninstall::ProductFolderFinalPath(folder)) {
    LogLine("earlier installation in " + shown + ": not a folder it can be removed from; left as it is");
    return;
  }
  const uninstall::EntriesToRemove toRemove = uninstall::ReadEntriesToRemove(folder);
  const std::wstring problem = toRemove.missing            ? L"no record"
                               : !toRemove.problem.empty() ? toRemove.problem
                                                           : uninstall::ListProblem(toRemove.Pointers());
  if (!problem.empty()) {
    LogLine("earlier installation in " + shown + ": " + Narrow(problem) + "; left as it is");
    return;
  }
  const uninstall::RemovalReport report =
      uninstall::RemovePayload(folder, uninstall::RemovalOrder(toRemove.Pointers()));
  for (const std::wstring& item : report.kept)
    LogLine("earlier installation: kept (not Nimbo's) " + shown + Narrow(item));
  for (const std::wstring& item : report.failed)
    LogLine("earlier installation: could not remove " + shown + Narrow(item));
  // The record goes last, and only when the payload did: a removal that
  // stopped can be made again by the earlier uninstaller.
  if (report.Complete() && !uninstall::DeleteFileWithPatience(uninstall::RecordPath(folder), 0)) {
    LogLine("earlier installation: could not remove its record " + Narrow(uninstall::RecordPath(folder)));
  }
  const bool folderGone = uninstall::RemoveEmptyProductFolder(folder);
  LogLine("earlier installation in " + shown + " removed: " + std::to_string(report.removed) + " item(s)" +
          (folderGone            ? ", and its folder"
           : report.kept.empty() ? ""
                                 : "; the user's own files are kept there"));
}

}  // namespace setup

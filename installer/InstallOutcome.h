#pragma once

#include <string>
#include <vector>

namespace setup {

// How an installation ended. Every outcome but Installed leaves the target
// folder and the registry as they were before it.
enum class InstallOutcome {
  Installed,           // every entry is on disk and the product registered
  FolderNotCreated,    // the target folder could not be made
  PayloadDamaged,      // the program's own payload could not be read, or is not what was built
  ArchiveUnsafe,       // an entry would land outside the folder or is not a plain file name
  ArchiveFailed,       // an entry could not be written (broken entry, disk full, file in use)
  RegistrationFailed,  // the product could not be registered
  Cancelled,           // the window was closed before the installation was done
  TargetRelative,      // the folder is not a full path
  TargetIsDriveRoot,   // the folder is the top of a drive or share
  NoSuchDrive,         // the folder's drive or share does not exist
  TargetTooLong,       // the deepest entry would not fit under the folder
  LinkInTarget,        // a link, junction or mount point stands in the target
  NotEnoughSpace,      // the drive has less free space than the payload takes
  TargetNotOwned,      // the folder was there, holds something, and others may change it
  ProductRunning,      // Nimbo runs from the folder and did not close when asked
};

// The process's exit code for an installation that ended so: 0 installed,
// 1 folder not created, 2 payload damaged, 3 archive unsafe or failed,
// 4 registration failed, 6 closed before finished, 7 relative folder,
// 8 a drive's top, 9 no such drive, 10 too long, 11 a link in the target,
// 12 not enough space, 13 a folder others may change, 14 Nimbo still runs.
int ExitCodeOf(InstallOutcome outcome);
// The exit codes that are not an installation's end.
inline constexpr int kExitBadCommandLine = 5;
inline constexpr int kExitClosedBeforeFinished = 6;
// Another installation or removal of Nimbo was running, and still ran at
// the end of the wait.
inline constexpr int kExitAnotherRunning = 15;

// What the log says of the outcome, in a few words.
const char* OutcomeName(InstallOutcome outcome);

// The line the status box gets for a failed installation: the reason, the
// folder (or, for a link, the link found), after a line break, and that
// nothing was installed; or, when the rollback could not put everything
// back, the first item it could not (and how many there are). Empty for a
// successful one.
std::string FailureLine(InstallOutcome outcome, const std::string& where,
                        const std::vector<std::string>& notRestored = {});

}  // namespace setup

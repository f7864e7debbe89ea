#pragma once

#include <string>

namespace setup {

// How an installation ended. The install action records it before it raises
// installDone; the completion worker reads it after.
enum class InstallOutcome {
  Installed,          // every entry is on disk
  FolderNotCreated,   // the target folder could not be made
  PayloadNotWritten,  // the archive could not be written into it
  ArchiveUnsafe,      // an entry would land outside the folder or is not a plain file name
  ArchiveFailed,      // the archive could not be read or an entry not extracted
  RegistrationFailed  // the product could not be registered
};

// The process's exit code for an installation that ended so: 0 installed,
// 1 folder not created, 2 payload not written, 3 archive unsafe or failed,
// 4 registration failed.
int ExitCodeOf(InstallOutcome outcome);
// The exit codes that are not an installation's end.
inline constexpr int kExitBadCommandLine = 5;
inline constexpr int kExitClosedBeforeFinished = 6;

// What the log says of the outcome, in a few words.
const char* OutcomeName(InstallOutcome outcome);

// The line the status box gets for a failed installation: the reason and
// the folder, after a line break. Empty for a successful one.
std::string FailureLine(InstallOutcome outcome, const std::string& folder);

}  // namespace setup

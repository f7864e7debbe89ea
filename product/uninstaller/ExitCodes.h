#pragma once

namespace uninstall {

// The uninstaller's exit codes. The run started from the product folder
// ends with 0 as soon as its temporary copy, which does the removing, has
// started; the copy's own code tells how the removal went.
enum ExitCode : int {
  kExitRemoved = 0,     // removed; or, for the first run, the copy is started
  kExitCancelled = 1,   // the user answered No; nothing removed
  kExitRefused = 2,     // bad switches, a folder that looks like a drive root, an unsafe
                        // list, or no uninstaller in the folder; nothing removed
  kExitNotStarted = 3,  // the temporary copy could not be made or started; nothing removed
  kExitIncomplete = 4,  // a payload item, the registry entry or the shortcut could not be
                        // removed; the uninstaller stays in the folder for another try
  kExitTimedOut = 5,    // the first run did not end within 30 s; nothing removed
};

}  // namespace uninstall

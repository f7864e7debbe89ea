#pragma once

namespace uninstall {

// The uninstaller's exit codes. The run started from the product folder
// waits for its temporary copy, which does the removing, and ends with the
// copy's code: how the removal went.
enum ExitCode : int {
  kExitRemoved = 0,          // removed
  kExitCancelled = 1,        // the user answered No; nothing removed
  kExitRefused = 2,          // bad switches, a folder that looks like a drive root, an unsafe
                             // list, or no uninstaller in the folder; nothing removed
  kExitNotStarted = 3,       // the temporary copy could not be made or started; nothing removed
  kExitIncomplete = 4,       // a payload item, the registry entry or the shortcut could not be
                             // removed, or the product folder is a link; the uninstaller stays
                             // in the folder for another try
  kExitAnotherRunning = 5,   // an installation or removal of Nimbo still ran when the wait
                             // ended; nothing removed
  kExitProductRunning = 14,  // Nimbo ran from the folder and did not close when asked;
                             // nothing removed
};

}  // namespace uninstall

#pragma once

#include "CommandLine.h"

namespace setup {

// The installation without the window (/S): the same steps as a click on
// the install button (folder, payload, extraction, registration, desktop
// shortcut), the product started only with /LAUNCH. Returns the exit code.
int RunSilentInstallation(const SetupOptions& options);

}  // namespace setup

#pragma once

#include <string>

#include "InstallOutcome.h"
#include "engine/controls/Control.h"

namespace setup {

// The install button's click: runs the installation.
int OnInstallClick(ui::Control* button, unsigned message, WPARAM wParam, LPARAM lParam);

// Stops the background alternation, takes the folder from the path box,
// replaces the path box and the button by the progress bar and the status
// box, starts the completion worker and puts the payload on disk; the
// worker then finishes (or reports the failure). Runs on the UI thread.
int InstallAction();

// The folder an installation goes to for the path box's text: the default
// folder when it is empty, always with a backslash at its end.
std::string NormalisedInstallDir(const std::string& typed);

// Makes the folder, writes the payload archive into it, extracts it,
// deletes the archive again and leaves the installation's record of what it
// wrote in the folder.
InstallOutcome DeployPayload(const std::string& folder);

}  // namespace setup

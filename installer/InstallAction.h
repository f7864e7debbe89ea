#pragma once

#include <string>

#include "InstallOutcome.h"
#include "engine/controls/Control.h"

namespace setup {

// The install button's click: runs the installation.
int OnInstallClick(ui::Control* button, unsigned message, WPARAM wParam, LPARAM lParam);

// Stops the background alternation, takes the folder from the path box,
// replaces the path box and the button by the progress bar and the status
// box, and starts the installation on the completion worker's thread; the
// window goes on answering meanwhile. Runs on the UI thread.
int InstallAction();

// The folder an installation goes to for the path box's text (code page
// 936): the default folder when it is empty, always with a backslash at its
// end, as the one wide path the installation keeps.
std::wstring NormalisedInstallDir(const std::string& typed);

}  // namespace setup
